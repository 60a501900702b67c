#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/Identify.h"
#include "support/TempDir.h"

namespace mutaro::testing {
namespace {

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

// A leading information record: 4-byte length, "I", the product text's length in byte 1 (and
// three more length bytes), the product text from byte 5.
std::string InfoRecord(const std::string& product, int lengthByte = -1, std::uint32_t recordLength = 0) {
    std::string body = "I";
    body += static_cast<char>(lengthByte < 0 ? product.size() : static_cast<std::size_t>(lengthByte));
    body += Bytes({0, 0, 0}) + product + Bytes({4, 0, 0, 0}) + "1.26";
    std::uint32_t length = recordLength != 0 ? recordLength : static_cast<std::uint32_t>(body.size());
    return Bytes({static_cast<int>(length & 0xFF), static_cast<int>(length >> 8 & 0xFF), static_cast<int>(length >> 16 & 0xFF),
                  static_cast<int>(length >> 24)}) +
           body;
}

// `text` placed at byte `at` of a 32-byte block of filler (or zeros) and whatever follows.
std::string At(std::size_t at, const std::string& text, char filler = '\0', std::size_t size = 32) {
    std::string s(size, filler);
    s.replace(at, text.size(), text);
    return s;
}

TEST(IdentifyLog, SignaturesTheirPlacesAndTheirOrder) {
    struct Case {
        const char* what;
        std::string bytes;
        int product;
    };
    const std::string zeros4 = Bytes({0, 0, 0, 0});
    const std::vector<Case> cases = {
        {"Talvor information record", InfoRecord("ZYT TALVOR"), kProductTalvor},
        {"Dravik information record", InfoRecord("ZYT DRAVIK"), kProductDravik},
        {"Vek information record", InfoRecord("ZYT VEK"), kProductVekCard},
        {"Sarnel information record", InfoRecord("ZYT SARNEL"), kProductSarnel},
        {"TALV is tested before DRAV", InfoRecord("DRAV+TALV"), kProductTalvor},
        {"DRAV is tested before SARN", InfoRecord("SARN+DRAV"), kProductDravik},
        {"unknown product text", InfoRecord("ZYT PELLIX"), kProductNone},
        {"record that is not an information record", InfoRecord("ZYT TALVOR").replace(4, 1, "X"), kProductNone},
        {"a zero byte ends the product text", InfoRecord(Bytes({'A', 0}) + "TALV"), kProductNone},
        {"byte 1 ends the product text", InfoRecord("ZYT TALVOR", 6), kProductNone},
        {"byte 1 reaches the signature", InfoRecord("ZYT TALVOR", 8), kProductTalvor},
        {"record length 256 is an information record", InfoRecord("ZYT TALVOR", -1, 256), kProductTalvor},
        {"record length 257 is not", InfoRecord("ZYT TALVOR", -1, 257), kProductNone},
        // The product text starts at byte 9, so its "ZYTHURLAN" sits at byte 13.
        {"Hurlan PC card at byte 13 wins over an information record", InfoRecord("ZYT ZYTHURLAN TALV"),
         kProductHurlanCard},
        {"four zero bytes and no signature", zeros4 + "....ZYTHUR", kProductNone},
        {"Vek dump at byte 4 after four zero bytes", zeros4 + "ZYTVEK" + Bytes({0}), kProductVekDump},
        {"Vek dump is tested before Vek", At(0, "VEK!ZYTVEK", 0), kProductVekDump},
        {"Vek at byte 0", At(0, "VEK\x01 card"), kProductVekCard},
        {"Vek anywhere in the text from byte 0", At(0, "LOG VEK"), kProductVekCard},
        {"Talvor from 1.27 at byte 0", At(0, "TDL\x02"), kProductTalvor2},
        {"Hurlan at byte 9 after zero bytes", At(9, "ZYTHURLAN"), kProductHurlan},
        {"Hurlan hidden by a zero byte after byte 9", At(10, "ZYTHURLAN", 'x').replace(9, 1, 1, '\0'), kProductNone},
        {"Hurlan hidden by a zero byte after byte 13", At(14, "ZYTHURLAN", 'x').replace(13, 1, 1, '\0'), kProductNone},
        {"Vek hidden by a zero byte before it", At(0, Bytes({'L', 0x10, 0x10, 0x10, 0}) + "VEK", 'x'), kProductNone},
        {"a signature must lie inside the first 32 bytes", At(0, "ABCD", 'x', 40).replace(30, 3, "TDL"), kProductNone},
        {"negative length", Bytes({0xFF, 0xFF, 0xFF, 0xFF}) + "ZYTVEK", kProductVekDump},
        {"information record cut short", InfoRecord("ZYT TALVOR").substr(0, 17), kProductTalvor},
        {"three bytes", "TDL", kProductNone},
        {"empty file", "", kProductNone},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = dir / "log";
        WriteFile(name, c.bytes);
        EXPECT_EQ(IdentifyLog(name), c.product);
    }
    EXPECT_EQ(IdentifyLog(dir / "missing.tlf"), kProductNone);
    EXPECT_EQ(IdentifyLog(dir.path()), kProductNone) << "a folder";
}

TEST(IdentifyLog, TheSampleIsATalvorLog) {
    EXPECT_EQ(IdentifyLog(std::string(MUTARO_SOURCE_DIR) + "/samples/drive.tlf"), kProductTalvor);
}

TEST(DefaultOutputName, ReplacesTheExtensionOfTheFileNamePart) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"run.tlf", "run.out"},
        {"/data/logs/run.bin", "/data/logs/run.out"},
        {"C:\\logs\\a", "C:\\logs\\a.out"},
        {"C:\\logs\\run.tlf", "C:\\logs\\run.out"},
        {"/data/v1.2/run", "/data/v1.2/run.out"},
        {"drive.2024.vek", "drive.2024.out"},
        {"a.logfile", "a.out"},
        {"run.", "run.out"},
        {"/data/.tlf", "/data/.tlf.out"},
    };
    for (const auto& [chosen, output] : cases) EXPECT_EQ(DefaultOutputName(chosen), output) << chosen;
}

} // namespace
} // namespace mutaro::testing

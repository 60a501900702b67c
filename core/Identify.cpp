#include "core/Identify.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "core/Bytes.h"
#include "platform/BinaryStream.h"
#include "platform/FileSystem.h"

namespace mutaro {

namespace {

constexpr std::size_t kBlockSize = 32;
using LeadingBlock = std::array<std::uint8_t, kBlockSize>;

// Up to 32 bytes from the start of the file; bytes the file lacks are zero.
LeadingBlock ReadLeadingBlock(BinaryStream& stream) {
    LeadingBlock block{};
    if (stream.Rewind()) stream.Read(block.data(), block.size());
    return block;
}

// A signature looked for from byte k is searched in the text that starts at byte k and ends at the
// first zero byte at or after k (or at the end of the block): a zero byte between k and the
// signature hides it, zero bytes before k do not.
bool FoundFrom(const LeadingBlock& block, std::size_t k, std::string_view signature) {
    std::size_t end = k;
    while (end < block.size() && block[end] != 0) ++end;
    std::string_view text(reinterpret_cast<const char*>(block.data()) + k, end - k);
    return text.find(signature) != std::string_view::npos;
}

int Identify(BinaryStream& stream) {
    LeadingBlock block = ReadLeadingBlock(stream);
    // A Hurlan PC-card log is known before its first 4 bytes are taken for a length.
    if (FoundFrom(block, 13, "ZYTHURLAN")) return kProductHurlanCard;

    std::uint8_t prefix[4];
    if (!stream.Rewind() || !stream.ReadExact(prefix, sizeof prefix)) return kProductNone;
    auto length = static_cast<std::int32_t>(le32(ByteView{prefix, sizeof prefix}, 0));
    if (length >= 1 && length <= 256) {
        // The information record: "I", the product text's length in byte 1, the text from byte 5.
        std::array<std::uint8_t, 256> record{};
        stream.Read(record.data(), static_cast<std::size_t>(length));  // missing bytes stay zero
        if (record[0] != 'I') return kProductNone;
        std::size_t textEnd = std::min<std::size_t>(5 + record[1], record.size());
        std::size_t end = 5;
        while (end < textEnd && record[end] != 0) ++end;
        std::string_view product(reinterpret_cast<const char*>(record.data()) + 5, end - 5);
        if (product.find("TALV") != std::string_view::npos) return kProductTalvor;
        if (product.find("DRAV") != std::string_view::npos) return kProductDravik;
        if (product.find("VEK") != std::string_view::npos) return kProductVekCard;
        if (product.find("SARN") != std::string_view::npos) return kProductSarnel;
        return kProductNone;
    }
    block = ReadLeadingBlock(stream);
    // A Vek dump log carries "ZYTVEK" at byte 4 and would otherwise also match "VEK".
    if (FoundFrom(block, 4, "ZYTVEK")) return kProductVekDump;
    if (FoundFrom(block, 0, "VEK")) return kProductVekCard;
    if (FoundFrom(block, 0, "TDL")) return kProductTalvor2;
    if (FoundFrom(block, 9, "ZYTHURLAN")) return kProductHurlan;
    return kProductNone;
}

} // namespace

int IdentifyLog(const std::string& fileName) {
    BinaryStream stream;
    if (!stream.Open(fileName)) return kProductNone;
    int product = Identify(stream);
    stream.Close();
    return product;
}

std::string DefaultOutputName(const std::string& chosenName) {
    // Replacing the extension keeps the name beside the log even when it has no three-letter
    // extension; for "run.tlf" it is the same as dropping the last four characters.
    std::size_t dot = ExtensionStart(chosenName);
    if (dot == std::string::npos) return chosenName + ".out";
    return chosenName.substr(0, dot) + ".out";
}

} // namespace mutaro

// The logs the command-line tests run on are committed under tests/data/cli/; this test keeps them
// equal to their builders. MUTARO_REGENERATE=1 writes them afresh (explain any change in the commit).

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/Identify.h"
#include "support/FormFixture.h"

namespace mutaro::testing {
namespace {

using mklog::TalvorBand;

// One fast record (four receivers, one without data) and one scan record, firmware 1.26.
std::vector<std::uint8_t> ReceiversLog() {
    const TalvorBand first{0x00, 870, 300, 300, 1};     // 870.0300 MHz + 0.03 MHz per channel from raw 1
    const TalvorBand second{0x00, 880, 0, 250, 0};      // 880.0000 MHz + 0.025 MHz per channel from raw 0
    const TalvorBand third{0x40, 890, 1500, 300, 34};   // 890.1500 MHz at raw 34; channels counted from 34
    std::vector<std::uint8_t> log;
    TalvorRecord::Information("TALVOR CW", "1.26").AppendFramed(log);
    TalvorRecord fast = DriveRecord(false, 0, 30, 0);
    fast.Rtc(8, 7, 6, 11, 12, 24).LongGpsTime(11, 22, 33);
    fast.FastReceiver(1, 100, first, 75).FastReceiver(2, 200, second, 80).FastReceiver(3, 34, third, 90);
    fast.AppendFramed(log);
    TalvorRecord scan = DriveRecord(true, 0, 30, 600);
    scan.Rtc(8, 7, 7, 11, 12, 24).LongGpsTime(11, 22, 34);
    scan.ScanBand(1, first).ScanEntry(1, 0, 11, 60).ScanEntry(1, 1, 21, 55).ScanEntry(1, 2, 31, 70);
    scan.ScanBand(2, second).ScanEntry(2, 0, 4, 85);
    scan.AppendFramed(log);
    return log;
}

// The fast, scan, fast log with its last record cut short.
std::vector<std::uint8_t> TruncatedLog() {
    std::vector<std::uint8_t> log = ThreeRunLog();
    log.resize(log.size() - 10);
    return log;
}

// Bytes from a fixed linear congruential sequence.
std::vector<std::uint8_t> RandomBytes() {
    std::vector<std::uint8_t> bytes(3000);
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return bytes;
}

struct Fixture {
    const char* name;
    std::vector<std::uint8_t> (*build)();
};

const Fixture kFixtures[] = {
    {"three-runs.tlf", ThreeRunLog},
    {"receivers.tlf", ReceiversLog},
    {"truncated.tlf", TruncatedLog},
    {"random.bin", RandomBytes},
};

TEST(CliFixtures, CommittedLogsMatchTheirBuilders) {
    const bool regenerate = std::getenv("MUTARO_REGENERATE") != nullptr;
    for (const Fixture& fixture : kFixtures) {
        SCOPED_TRACE(fixture.name);
        const std::string path = std::string(MUTARO_SOURCE_DIR) + "/tests/data/cli/" + fixture.name;
        const std::string built = Bytes(fixture.build());
        if (regenerate) WriteFile(path, built);
        EXPECT_EQ(ReadFile(path), built);
    }
    // The random bytes stand for a file no receiver wrote.
    EXPECT_EQ(IdentifyLog(std::string(MUTARO_SOURCE_DIR) + "/tests/data/cli/random.bin"), 0);
}

} // namespace
} // namespace mutaro::testing

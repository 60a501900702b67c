#pragma once

// Synthetic Dravik logs (the generator's "dravik" family): an information record, then runs of
// fast records (two 530-byte receiver blocks) and scan records (two tables of 3-byte entries),
// every body behind its u32 little-endian length.
//
// The committed sample was made with:
//   mutaro-mklog dravik -o samples/drive.dlf --records 400 --seed 1

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/DriveMotion.h"
#include "tools/TalvorLog.h"

namespace mutaro::mklog {

struct DravikDriveOptions {
    std::uint64_t records = 300;  // data records after the information record
    std::uint64_t seed = 1;
};

namespace dravik {

constexpr std::size_t kHeader = 23, kBlock = 530, kSamples = 18, kFast = 1083, kScan = 525;

inline void AppendFramed(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& body) {
    std::uint8_t length[4];
    PutLe32(length, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), length, length + 4);
    out.insert(out.end(), body.begin(), body.end());
}

inline std::vector<std::uint8_t> Information(std::string_view product, std::string_view version) {
    std::vector<std::uint8_t> body(1 + 4 + product.size() + 4 + version.size());
    body[0] = 'I';
    PutLe32(&body[1], static_cast<std::uint32_t>(product.size()));
    std::copy(product.begin(), product.end(), body.begin() + 5);
    PutLe32(&body[5 + product.size()], static_cast<std::uint32_t>(version.size()));
    std::copy(version.begin(), version.end(), body.begin() + 9 + static_cast<std::ptrdiff_t>(product.size()));
    return body;
}

// The 23-byte header: RTC, GPS status, BCD position with hemisphere letters, BCD GPS time, marker.
inline void WriteHeader(std::uint8_t* at, char type, const DriveMotion& m, bool fix) {
    at[0] = static_cast<std::uint8_t>(type);
    at[1] = static_cast<std::uint8_t>(m.second);
    at[2] = static_cast<std::uint8_t>(m.minute);
    at[3] = static_cast<std::uint8_t>(m.hour);
    at[4] = static_cast<std::uint8_t>(m.day);
    at[5] = static_cast<std::uint8_t>(m.month);
    at[6] = static_cast<std::uint8_t>(m.year);
    at[7] = fix ? 0x80 : 0x00;
    if (fix) {
        auto bcd = [](std::uint8_t* to, double degrees) {  // DDDMMmmm, high nibble first
            int d, mm, t;
            DriveMotion::Parts(degrees, d, mm, t);
            to[0] = Bcd2(d / 10);
            to[1] = static_cast<std::uint8_t>((d % 10) << 4 | (mm / 10));
            to[2] = static_cast<std::uint8_t>((mm % 10) << 4 | (t / 100));
            to[3] = Bcd2(t % 100);
        };
        bcd(at + 8, m.latitude);
        at[12] = m.latitude >= 0 ? 'N' : 'S';
        bcd(at + 13, m.longitude);
        at[17] = m.longitude >= 0 ? 'E' : 'W';
        at[18] = Bcd2(m.GpsHour());
        at[19] = Bcd2(m.minute);
        at[20] = Bcd2(m.second);
    }
    PutLe16(at + 21, static_cast<std::uint16_t>(m.marker));
}

} // namespace dravik

// Writes the drive through sink(const std::uint8_t* bytes, std::size_t count); returns the bytes.
template <class Sink>
std::uint64_t WriteDravikDrive(const DravikDriveOptions& options, Sink&& sink) {
    using namespace dravik;
    DriveMotion motion(options.seed, 41.4993, -81.6944);
    std::vector<std::uint8_t> framed;
    std::uint64_t written = 0;
    auto emit = [&](const std::vector<std::uint8_t>& body) {
        framed.clear();
        AppendFramed(framed, body);
        sink(framed.data(), framed.size());
        written += framed.size();
    };
    emit(Information("ZYT DRAVIK CW 2RX", "1.10"));

    // Receiver 1 uses the channel offset rule (and its 0.01 MHz) from 869.0200 MHz in 30 kHz
    // steps; receiver 2 has 30 kHz channels from 881.5200 MHz.
    const std::array<TalvorBand, 2> bands = {{{0x40, 869, 200, 300, 34}, {0x00, 881, 5200, 300, 1}}};
    const std::array<double, 2> bandMHz = {869.03, 881.52};
    const std::array<int, 2> channelCount = {300, 120};

    bool fastRun = true;
    int runLeft = motion.random.Between(15, 40);
    std::array<int, 2> parked{};
    auto park = [&] {
        for (int n = 0; n < 2; ++n) parked[n] = motion.random.Between(40, channelCount[n]);
    };
    park();
    std::array<int, 2> scanCount{}, scanFirst{}, scanStep{};
    int runNumber = 0;
    std::vector<std::uint8_t> body;
    for (std::uint64_t r = 0; r < options.records; ++r) {
        if (runLeft == 0) {
            fastRun = !fastRun;
            ++runNumber;
            runLeft = fastRun ? motion.random.Between(15, 40) : motion.random.Between(6, 20);
            if (fastRun) park();
            for (int n = 0; n < 2; ++n) {
                scanCount[n] = motion.random.Between(8, 80);
                scanStep[n] = motion.random.Between(1, 3);
                scanFirst[n] = motion.random.Between(40, channelCount[n] - 1 - scanCount[n] * scanStep[n] > 40
                                                               ? channelCount[n] - 1 - scanCount[n] * scanStep[n]
                                                               : 40);
            }
        }
        --runLeft;
        const bool fix = r >= 2;
        if (fastRun) {
            body.assign(kFast, 0);
            WriteHeader(body.data(), 'F', motion, fix);
            for (int n = 0; n < 2; ++n) {
                // Receiver 2 has no data during the first fast data set.
                if (n == 1 && runNumber == 0) continue;
                std::uint8_t* block = body.data() + kHeader + kBlock * n;
                PutLe16(block, static_cast<std::uint16_t>(parked[n]));
                bands[n].WriteTo(block + 2);
                for (int i = 0; i < 512; ++i) block[kSamples + i] = motion.Sample(parked[n], i, bandMHz[n]);
            }
        } else {
            body.assign(kScan, 0);
            WriteHeader(body.data(), 'S', motion, fix);
            for (int n = 0; n < 2; ++n) {
                bands[n].WriteTo(body.data() + 23 + 11 * n);
                std::uint8_t* table = body.data() + 45 + 240 * n;
                for (int e = 0; e < scanCount[n]; ++e) {
                    const int channel = scanFirst[n] + e * scanStep[n];
                    PutLe16(table + 3 * e, static_cast<std::uint16_t>(channel));
                    table[3 * e + 2] = motion.Level(channel);
                }
            }
        }
        emit(body);
        motion.Step();
    }
    return written;
}

} // namespace mutaro::mklog

#pragma once

// Synthetic Sarnel logs (the generator's "sarnel" family): an information record, a setup record
// with the frequency plan, then small data records in runs of the three scan modes; a second
// setup record changes the plan half way. Framing as the Dravik's; setup and data values are
// big-endian.
//
// The committed sample was made with:
//   mutaro-mklog sarnel -o samples/drive.slf --records 2000 --seed 1

#include <cstdint>
#include <vector>

#include "tools/DravikLog.h"

namespace mutaro::mklog {

struct SarnelDriveOptions {
    std::uint64_t records = 300;  // data records
    std::uint64_t seed = 1;
};

template <class Sink>
std::uint64_t WriteSarnelDrive(const SarnelDriveOptions& options, Sink&& sink) {
    DriveMotion motion(options.seed, 33.7490, -84.3880);
    std::vector<std::uint8_t> framed;
    std::uint64_t written = 0;
    auto emit = [&](const std::vector<std::uint8_t>& body) {
        framed.clear();
        dravik::AppendFramed(framed, body);
        sink(framed.data(), framed.size());
        written += framed.size();
    };
    emit(dravik::Information("ZYT SARNEL CW", "2.03"));
    auto setup = [&](int wholeMHz, int fraction, int spacing, int baseChannel) {
        std::vector<std::uint8_t> body(257, 0);
        body[0] = 'U';
        PutBe16(&body[2], static_cast<std::uint16_t>(wholeMHz));
        PutBe16(&body[4], static_cast<std::uint16_t>(fraction));
        PutBe16(&body[6], static_cast<std::uint16_t>(spacing));
        PutBe16(&body[8], static_cast<std::uint16_t>(baseChannel));
        emit(body);
    };
    // 851.0125 MHz in 25 kHz steps from channel 1, later 935.0125 MHz in 12.5 kHz steps.
    setup(851, 125, 250, 1);

    static constexpr std::uint8_t kModes[3] = {0x20, 0x10, 0x40};  // three channels, one, scan table
    int mode = 0;
    int runLeft = motion.random.Between(20, 60);
    int channels[3] = {motion.random.Between(2, 400), motion.random.Between(2, 400), motion.random.Between(2, 400)};
    int scanAt = 1;
    std::vector<std::uint8_t> body(16);
    for (std::uint64_t r = 0; r < options.records; ++r) {
        if (r == options.records / 2) setup(935, 125, 125, 1);
        if (runLeft == 0) {
            mode = (mode + 1) % 3;
            runLeft = motion.random.Between(20, 60);
            for (int& c : channels) c = motion.random.Between(2, 400);
        }
        --runLeft;
        body.assign(16, 0);
        body[0] = 'D';
        body[1] = static_cast<std::uint8_t>(motion.hour);
        body[2] = static_cast<std::uint8_t>(motion.minute);
        body[3] = static_cast<std::uint8_t>(motion.second);
        PutBe16(&body[4], static_cast<std::uint16_t>(motion.marker));
        body[6] = kModes[mode];
        const int used = kModes[mode] == 0x10 ? 1 : 3;
        for (int k = 0; k < used; ++k) {
            // The scan table walks on by three channels per record.
            const int channel = kModes[mode] == 0x40 ? scanAt + k : channels[k];
            PutBe16(&body[7 + 3 * k], static_cast<std::uint16_t>(channel));
            body[9 + 3 * k] = motion.Level(channel);
        }
        if (kModes[mode] == 0x40) scanAt = scanAt + 3 > 400 ? 1 : scanAt + 3;
        emit(body);
        motion.Step();
    }
    return written;
}

} // namespace mutaro::mklog

#pragma once

// Synthetic firmware 1.27 Talvor logs (the generator's "talvor2" family): the "TDL" file header,
// then i16-framed records. Receivers 1 and 2 report fast records; receiver 3 follows a control
// channel ("c" records, with "s" pairs now and then) and receiver 4 a voice channel ("v" records,
// with "r" pairs). A band table opens the log and comes again now and then, starting a new data
// set; a zero length ends the log.
//
// The committed sample was made with:
//   mutaro-mklog talvor2 -o samples/drive-fw127.tlf --records 250 --seed 1

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/DriveMotion.h"
#include "tools/TalvorLog.h"

namespace mutaro::mklog {

struct Talvor2DriveOptions {
    std::uint64_t records = 300;  // fast records and band tables
    std::uint64_t seed = 1;
};

namespace talvor2 {

constexpr std::size_t kFast = 2868, kBandTable = 84, kBlock = 708;

// A band entry, 12 bytes.
struct Band {
    std::uint8_t flags = 0;  // bit 6: channel offset rule and codes in fast blocks
    std::uint16_t wholeMHz = 0, fraction = 0, spacing = 0, lowChannel = 0, highChannel = 0;
    std::uint8_t codeFlags = 0;  // bit 6: SAT and VMAC; bit 7: DCC and second code
    double Frequency(int channel) const {
        const double step = spacing == 62 ? 0.00625 : spacing * 0.0001;
        return wholeMHz + fraction * 0.0001 + (channel - lowChannel) * step;
    }
    void WriteTo(std::uint8_t* at) const {
        at[0] = flags;
        PutLe16(at + 1, wholeMHz);
        PutLe16(at + 3, fraction);
        PutLe16(at + 5, spacing);
        PutLe16(at + 7, lowChannel);
        PutLe16(at + 9, highChannel);
        at[11] = codeFlags;
    }
};

// The common header of fast records and band tables.
inline void WriteHeader(std::uint8_t* at, char type, const DriveMotion& m, bool fix) {
    at[0] = static_cast<std::uint8_t>(type);
    at[2] = static_cast<std::uint8_t>(m.second);
    at[3] = static_cast<std::uint8_t>(m.minute);
    at[4] = static_cast<std::uint8_t>(m.hour);
    at[5] = static_cast<std::uint8_t>(m.day);
    at[6] = static_cast<std::uint8_t>(m.month);
    at[7] = static_cast<std::uint8_t>(m.year);
    at[8] = fix ? 0x80 : 0x00;
    if (fix) {
        PutBe32(at + 9, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(m.latitude * 3600000.0))));
        PutBe32(at + 13, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(m.longitude * 3600000.0))));
        PutBe32(at + 17, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(m.altitude * 100))));
        PutBe16(at + 21, static_cast<std::uint16_t>(std::lround(m.speed * 100)));
        PutBe16(at + 23, static_cast<std::uint16_t>(std::lround(m.HeadingDegrees() * 10)));  // tenths of a degree
        at[25] = static_cast<std::uint8_t>(m.GpsHour());
        at[26] = static_cast<std::uint8_t>(m.minute);
        at[27] = static_cast<std::uint8_t>(m.second);
    }
    PutLe16(at + 28, static_cast<std::uint16_t>(m.marker));
}

inline void AppendFramed(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& body) {
    std::uint8_t length[2];
    PutLe16(length, static_cast<std::uint16_t>(body.size()));
    out.insert(out.end(), length, length + 2);
    out.insert(out.end(), body.begin(), body.end());
}

} // namespace talvor2

template <class Sink>
std::uint64_t WriteTalvor2Drive(const Talvor2DriveOptions& options, Sink&& sink) {
    using namespace talvor2;
    DriveMotion motion(options.seed, 32.7767, -96.7970);
    std::vector<std::uint8_t> framed;
    std::uint64_t written = 0;
    auto emitBytes = [&](const std::uint8_t* bytes, std::size_t count) {
        sink(bytes, count);
        written += count;
    };
    auto emit = [&](const std::vector<std::uint8_t>& body) {
        framed.clear();
        AppendFramed(framed, body);
        emitBytes(framed.data(), framed.size());
    };
    const std::uint8_t fileHeader[6] = {'T', 'D', 'L', 0x01, 0x27, 0x00};
    emitBytes(fileHeader, sizeof fileHeader);

    // Receiver 1: 6.25 kHz channels from 869.0400 MHz; receiver 2: 30 kHz channels from 870.0300
    // MHz with the channel offset rule and SAT/VMAC codes; receiver 3: control channels with DCC;
    // receiver 4: voice channels with SAT and VMAC.
    const std::array<Band, 4> bands = {{
        {0x00, 869, 400, 62, 0, 800, 0x00},
        {0x40, 870, 300, 300, 0, 1023, 0x40},
        {0x40, 879, 9900, 300, 0, 1023, 0x80},
        {0x40, 870, 300, 300, 0, 1023, 0x40},
    }};
    std::array<int, 4> channel = {motion.random.Between(10, 790), motion.random.Between(40, 300),
                                  motion.random.Between(313, 333), motion.random.Between(40, 300)};
    int untilBandTable = 0;
    std::vector<std::uint8_t> body;
    auto channelRecord = [&](char type, int receiver, int phase, int sat) {
        const int c = channel[receiver];
        const std::uint8_t level = motion.Level(c);
        if (type == 'c' || type == 'v') {
            body.assign(7, 0);
            body[0] = static_cast<std::uint8_t>(type);
            body[1] = static_cast<std::uint8_t>(receiver);
            PutLe16(&body[2], static_cast<std::uint16_t>(c));
            body[4] = level;
            body[5] = static_cast<std::uint8_t>(type == 'c' ? c % 4 : sat);  // DCC, or SAT
            if (type == 'v') body[6] = static_cast<std::uint8_t>(c % 8);     // VMAC
        } else {
            body.assign(type == 'r' ? 7 : 8, 0);
            body[0] = static_cast<std::uint8_t>(type);
            body[1] = static_cast<std::uint8_t>(receiver);
            PutLe16(&body[2], static_cast<std::uint16_t>(phase));
            PutLe16(&body[4], static_cast<std::uint16_t>(c + phase - 1));
            body[6] = level;
            if (type == 's') body[7] = static_cast<std::uint8_t>(sat);
        }
        emit(body);
    };

    for (std::uint64_t r = 0; r < options.records; ++r) {
        const bool fix = r >= 2;
        if (untilBandTable-- == 0) {
            body.assign(kBandTable, 0);
            WriteHeader(body.data(), 'S', motion, fix);
            for (int n = 0; n < 4; ++n) bands[n].WriteTo(body.data() + 36 + 12 * n);
            emit(body);
            untilBandTable = motion.random.Between(25, 70);
            channel[0] = motion.random.Between(10, 790);
            channel[1] = motion.random.Between(40, 300);
            motion.Step();
            continue;
        }
        body.assign(kFast, 0);
        WriteHeader(body.data(), 'F', motion, fix);
        for (int n = 0; n < 2; ++n) {
            body[32 + n] = 1;  // receivers 3 and 4 carry no fast data
            std::uint8_t* block = body.data() + 36 + kBlock * n;
            PutLe16(block, static_cast<std::uint16_t>(channel[n]));
            bands[n].WriteTo(block + 2);
            block[14] = static_cast<std::uint8_t>(channel[n] % 3);  // SAT
            block[15] = static_cast<std::uint8_t>(channel[n] % 8);  // VMAC
            const double mhz = bands[n].Frequency(channel[n]);
            for (int i = 0; i < 512; ++i) block[22 + i] = motion.Sample(channel[n], i, mhz);
        }
        emit(body);
        // Now and then two paired readings in a row on each channel receiver: the second opening
        // record brings out the first pair.
        const bool secondPair = r % 7 == 4;
        if (!secondPair) {
            channelRecord('c', 2, 0, 0);
            channelRecord('v', 3, 0, static_cast<int>(r % 3));
        }
        if (r % 7 == 3 || secondPair) {
            channelRecord('r', 3, 1, 0);
            channelRecord('r', 3, 2, 0);
            channelRecord('s', 2, 1, 1);
            channelRecord('s', 2, 2, 1);
        }
        if (r % 11 == 5) {  // a handoff to another voice channel, and a record the reader ignores
            channel[3] = motion.random.Between(40, 300);
            body.assign(4, 0);
            body[0] = 'd';
            emit(body);
        }
        motion.Step();
    }
    const std::uint8_t end[2] = {0, 0};
    emitBytes(end, sizeof end);
    return written;
}

} // namespace mutaro::mklog

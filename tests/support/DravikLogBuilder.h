#pragma once

// Builds Dravik log records byte by byte (u32 little-endian framing, which the Sarnel shares).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/ClassicLogBytes.h"

namespace mutaro::testing::dravik {

// A body with its u32 length in front.
inline std::string Framed(const std::string& body) {
    return Bytes().le32(static_cast<std::uint32_t>(body.size())).bytes(body);
}

inline std::string Information(const std::string& product, const std::string& version) {
    return Bytes()
        .text("I")
        .le32(static_cast<std::uint32_t>(product.size()))
        .text(product)
        .le32(static_cast<std::uint32_t>(version.size()))
        .text(version);
}

struct Header {
    std::uint8_t rtcSecond = 5, rtcMinute = 6, rtcHour = 7, rtcDay = 8, rtcMonth = 9, rtcYear = 10;
    std::uint8_t gpsStatus = 0x80;
    std::uint32_t latitudeBcd = 0x04051234;   // 040 degrees, 51.234 minutes
    char latHemisphere = 'N';
    std::uint32_t longitudeBcd = 0x07300506;  // 073 degrees, 00.506 minutes
    char lonHemisphere = 'W';
    std::uint8_t gpsHourBcd = 0x13, gpsMinuteBcd = 0x07, gpsSecondBcd = 0x59;
    std::uint16_t marker = 513;
};

// The 23-byte header of a fast ("F") or scan ("S") record.
inline std::string HeaderBytes(char type, const Header& h) {
    return Bytes()
        .u8(static_cast<unsigned char>(type))
        .u8(h.rtcSecond).u8(h.rtcMinute).u8(h.rtcHour).u8(h.rtcDay).u8(h.rtcMonth).u8(h.rtcYear)
        .u8(h.gpsStatus)
        .be32(h.latitudeBcd)  // packed BCD, high nibble first
        .u8(static_cast<unsigned char>(h.latHemisphere))
        .be32(h.longitudeBcd)
        .u8(static_cast<unsigned char>(h.lonHemisphere))
        .u8(h.gpsHourBcd).u8(h.gpsMinuteBcd).u8(h.gpsSecondBcd)
        .le16(h.marker);
}

struct Band {
    std::uint8_t flags = 0;
    std::uint16_t wholeMHz = 870, fraction = 300, spacing = 300, rawAtBase = 1;
};

inline std::string BandBytes(const Band& b) {
    return Bytes().u8(b.flags).le16(b.wholeMHz).le16(b.fraction).le16(b.spacing).le16(b.rawAtBase);
}

// One 530-byte receiver block; the first `lowCount` samples hold `low`, the rest `high`.
struct Block {
    std::uint16_t rawChannel = 34;
    Band band;
    std::uint8_t low = 70, high = 70;
    int lowCount = 512;
};

inline std::string BlockBytes(const Block& b) {
    Bytes out;
    out.le16(b.rawChannel).bytes(BandBytes(b.band)).fill(7, 0xEE);  // 7 unused bytes, never read
    out.fill(static_cast<std::size_t>(b.lowCount), b.low).fill(static_cast<std::size_t>(512 - b.lowCount), b.high);
    return out;
}

// A complete 1083-byte fast record.
inline std::string Fast(const Header& h, const Block& r1, const Block& r2) {
    return Bytes().bytes(HeaderBytes('F', h)).bytes(BlockBytes(r1)).bytes(BlockBytes(r2));
}

using Entries = std::vector<std::pair<std::uint16_t, std::uint8_t>>;  // raw channel, RSSI

// A complete 525-byte scan record; tables are padded with zero entries to 80.
inline std::string Scan(const Header& h, const Band& b1, const Band& b2, const Entries& t1, const Entries& t2) {
    Bytes out;
    out.bytes(HeaderBytes('S', h)).bytes(BandBytes(b1)).le16(0xEEEE).bytes(BandBytes(b2)).le16(0xEEEE);
    for (const Entries* table : {&t1, &t2}) {
        Bytes entries;
        for (auto [channel, rssi] : *table) entries.le16(channel).u8(rssi);
        entries.padTo(240);
        out.bytes(entries);
    }
    return out;
}

} // namespace mutaro::testing::dravik

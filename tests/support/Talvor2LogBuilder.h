#pragma once

// Builds firmware 1.27 Talvor logs byte by byte: the 6-byte file header, i16-framed records.

#include <array>
#include <cstdint>
#include <string>

#include "support/ClassicLogBytes.h"

namespace mutaro::testing::talvor2 {

inline std::string FileHeader() { return Bytes().text("TDL").u8(1).u8(0x27).u8(0); }

inline std::string Framed(const std::string& body) {
    return Bytes().le16(static_cast<unsigned>(body.size())).bytes(body);
}

struct Header {
    std::uint8_t rtcSecond = 1, rtcMinute = 2, rtcHour = 3, rtcDay = 4, rtcMonth = 5, rtcYear = 6;
    std::uint8_t gpsStatus = 0x80;
    std::int32_t latitude = -1800000;  // 1/3 600 000 degree: 0.5 degrees south
    std::int32_t longitude = 36905000; // 10 degrees 15 minutes 5 seconds east
    std::int32_t altitudeCm = 12345;
    std::uint16_t velocityCms = 1341;
    std::int16_t heading = 225;
    std::uint8_t gpsHour = 12, gpsMinute = 34, gpsSecond = 56;
    std::int16_t marker = -7;
};

// The 32 bytes of the common header of "F" and "S" records.
inline std::string HeaderBytes(char type, const Header& h) {
    return Bytes()
        .u8(static_cast<unsigned char>(type))
        .u8(0xEE)
        .u8(h.rtcSecond).u8(h.rtcMinute).u8(h.rtcHour).u8(h.rtcDay).u8(h.rtcMonth).u8(h.rtcYear)
        .u8(h.gpsStatus)
        .be32(static_cast<std::uint32_t>(h.latitude))
        .be32(static_cast<std::uint32_t>(h.longitude))
        .be32(static_cast<std::uint32_t>(h.altitudeCm))
        .be16(h.velocityCms)
        .be16(static_cast<std::uint16_t>(h.heading))
        .u8(h.gpsHour).u8(h.gpsMinute).u8(h.gpsSecond)
        .le16(static_cast<std::uint16_t>(h.marker))
        .le16(0xEEEE);
}

// Base 869.040 MHz in steps of 6.25 kHz, channels 0 to 96.
struct Band {
    std::uint8_t flags = 0;
    std::uint16_t wholeMHz = 869, fraction = 400, spacing = 62, lowChannel = 0, highChannel = 96;
    std::uint8_t codeFlags = 0;
};

inline std::string BandBytes(const Band& b) {
    return Bytes().u8(b.flags).le16(b.wholeMHz).le16(b.fraction).le16(b.spacing).le16(b.lowChannel)
        .le16(b.highChannel).u8(b.codeFlags);
}

struct Block {
    std::uint16_t rawChannel = 5;
    Band band;
    std::uint8_t code1 = 7, code2 = 3;
    std::uint8_t low = 70, high = 70;
    int lowCount = 512;
};

inline std::string BlockBytes(const Block& b) {
    Bytes out;
    out.le16(b.rawChannel).bytes(BandBytes(b.band)).u8(b.code1).u8(b.code2).fill(6, 0xEE);
    out.fill(static_cast<std::size_t>(b.lowCount), b.low).fill(static_cast<std::size_t>(512 - b.lowCount), b.high);
    return out.fill(174, 0xEE).str();
}

// A 2868-byte fast record.
inline std::string Fast(const Header& h, std::array<std::uint8_t, 4> present, const std::array<Block, 4>& blocks) {
    Bytes out;
    out.bytes(HeaderBytes('F', h));
    for (auto p : present) out.u8(p);
    for (const auto& b : blocks) out.bytes(BlockBytes(b));
    return out;
}

// An 84-byte band table.
inline std::string BandTable(const Header& h, const std::array<Band, 4>& bands) {
    Bytes out;
    out.bytes(HeaderBytes('S', h)).le32(0xEEEEEEEE);
    for (const auto& b : bands) out.bytes(BandBytes(b));
    return out;
}

inline std::string C(unsigned receiver, std::uint16_t channel, std::uint8_t rssi, std::uint8_t dcc) {
    return Bytes().text("c").u8(receiver).le16(channel).u8(rssi).u8(dcc).u8(0xEE);
}
inline std::string V(unsigned receiver, std::uint16_t channel, std::uint8_t rssi, std::uint8_t sat, std::uint8_t vmac) {
    return Bytes().text("v").u8(receiver).le16(channel).u8(rssi).u8(sat).u8(vmac);
}
inline std::string R(unsigned receiver, std::int16_t phase, std::uint16_t channel, std::uint8_t rssi) {
    return Bytes().text("r").u8(receiver).le16(static_cast<std::uint16_t>(phase)).le16(channel).u8(rssi);
}
inline std::string S(unsigned receiver, std::int16_t phase, std::uint16_t channel, std::uint8_t rssi, std::uint8_t sat) {
    return Bytes().text("s").u8(receiver).le16(static_cast<std::uint16_t>(phase)).le16(channel).u8(rssi).u8(sat);
}

} // namespace mutaro::testing::talvor2

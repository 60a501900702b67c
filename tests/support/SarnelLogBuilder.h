#pragma once

// Builds Sarnel log records byte by byte: the Dravik framing, big-endian setup and data records.

#include <cstdint>
#include <string>

#include "support/DravikLogBuilder.h"

namespace mutaro::testing::sarnel {

using dravik::Framed;
using dravik::Information;

// A complete 257-byte setup record; every multi-byte value big-endian.
inline std::string SetupRecord(std::int16_t wholeMHz, std::int16_t fraction, std::uint16_t spacing, std::int16_t baseChannel) {
    return Bytes()
        .text("U")
        .u8(0)
        .be16(static_cast<std::uint16_t>(wholeMHz))
        .be16(static_cast<std::uint16_t>(fraction))
        .be16(spacing)
        .be16(static_cast<std::uint16_t>(baseChannel))
        .fill(247, 0xEE);  // not used by the reader
}

struct Entry {
    std::int16_t channel = 0;
    std::uint8_t rssi = 0;
};

// A 16-byte data record.
inline std::string Data(std::uint8_t hour, std::uint8_t minute, std::uint8_t second, std::int16_t marker,
                        std::uint8_t flags, Entry e0, Entry e1 = {}, Entry e2 = {}) {
    Bytes out;
    out.text("D").u8(hour).u8(minute).u8(second).be16(static_cast<std::uint16_t>(marker)).u8(flags);
    for (const Entry& e : {e0, e1, e2}) out.be16(static_cast<std::uint16_t>(e.channel)).u8(e.rssi);
    return out;
}

} // namespace mutaro::testing::sarnel

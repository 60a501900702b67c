#pragma once

#include <cstddef>
#include <cstdint>

#include "core/Bytes.h"

namespace mutaro {

// The frequency plan of one receiver, 9 bytes in every classic Talvor and Dravik receiver block and
// scan receiver header. The firmware 1.27 reader fills one from its own band entry.
struct BandDescriptor {
    static constexpr std::size_t kSize = 9;

    std::uint8_t flags = 0;       // bit 7 adds 1000 MHz; bit 6 selects the channel offset rule
    std::uint16_t wholeMHz = 0;   // 0 in a fast block means the receiver has no data
    std::uint16_t fraction = 0;   // units of 0.0001 MHz
    std::uint16_t spacing = 0;    // units of 0.0001 MHz
    std::uint16_t rawAtBase = 0;  // raw channel number at the base frequency

    // Reads the 9 bytes at the start of `bytes`; bytes it lacks read as zero.
    static BandDescriptor Read(ByteView bytes) {
        BandDescriptor band;
        band.flags = u8(bytes, 0);
        band.wholeMHz = le16(bytes, 1);
        band.fraction = le16(bytes, 3);
        band.spacing = le16(bytes, 5);
        band.rawAtBase = le16(bytes, 7);
        return band;
    }
    bool AddsThousandMHz() const { return (flags & 0x80) != 0; }
    bool ChannelOffsetRule() const { return (flags & 0x40) != 0; }
};

// The Dravik adds 0.01 MHz to the base frequency when flags bit 6 is set; the Talvor does not.
enum class FrequencyRule { Talvor, Dravik };

// Frequency in MHz of a raw channel in a band, written "%.4f".
double ChannelToFrequency(const BandDescriptor& band, std::uint16_t raw,
                          FrequencyRule rule = FrequencyRule::Talvor);

// The channel number shown for a raw channel, written "%d" as an unsigned 16-bit value.
std::uint16_t DisplayChannel(const BandDescriptor& band, std::uint16_t raw);

// The mean of the 512 RSSI sample bytes that `samples` starts with (the caller passes the samples
// of its block: offset 22 in a Talvor block, 18 in a Dravik block), truncated; written "-%d".
constexpr std::size_t kRssiSamples = 512;
int MeanRssi(ByteView samples);

// Degrees, minutes and thousandths of a minute from four packed BCD bytes DDDMMmmm, high nibble
// first. Nibbles above 9 are taken at face value, as the receiver's own software does.
struct BcdCoordinate {
    std::int16_t degrees = 0;
    std::int16_t minutes = 0;
    std::int16_t thousandths = 0;
};
BcdCoordinate DecodeBcdCoordinate(ByteView bytes);

// Degrees + minutes / 60 + thousandths / 60000, the value of the "Decimal Degrees" fields.
inline double DecimalDegrees(int degrees, int minutes, int thousandths) {
    return static_cast<double>(degrees) + minutes / 60.0 + thousandths / 60000.0;
}

} // namespace mutaro

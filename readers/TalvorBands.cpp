#include "readers/TalvorBands.h"

namespace mutaro {

double ChannelToFrequency(const BandDescriptor& band, std::uint16_t raw, FrequencyRule rule) {
    // The receiver's software works in extended precision and stores the result as a double.
    const long double step = 0.0001;
    long double x = band.wholeMHz + band.fraction * step;
    if (band.AddsThousandMHz()) x += 1000;
    if (rule == FrequencyRule::Dravik && band.ChannelOffsetRule()) x += 0.01;
    // The channel difference is taken in full int range: raw 0 below a base of 65535 is -65535.
    int difference = static_cast<int>(raw) - static_cast<int>(band.rawAtBase);
    return static_cast<double>(x + band.spacing * static_cast<long double>(difference) * step);
}

std::uint16_t DisplayChannel(const BandDescriptor& band, std::uint16_t raw) {
    if (!band.ChannelOffsetRule()) return raw;
    auto c = static_cast<std::int16_t>(raw - 34);
    if (c < 0) c = static_cast<std::int16_t>(c + 1023);
    return static_cast<std::uint16_t>(c);
}

int MeanRssi(ByteView samples) {
    unsigned sum = 0;
    // Samples the view lacks count as zero, so only the bytes it holds are summed.
    const std::size_t count = samples.size < kRssiSamples ? samples.size : kRssiSamples;
    for (std::size_t i = 0; i < count; ++i) sum += samples.data[i];
    return static_cast<int>(sum >> 9);
}

BcdCoordinate DecodeBcdCoordinate(ByteView bytes) {
    int d[8];
    for (int i = 0; i < 4; ++i) {
        d[2 * i] = bytes[i] >> 4;
        d[2 * i + 1] = bytes[i] & 0x0F;
    }
    BcdCoordinate c;
    c.degrees = static_cast<std::int16_t>(d[0] * 100 + d[1] * 10 + d[2]);
    c.minutes = static_cast<std::int16_t>(d[3] * 10 + d[4]);
    c.thousandths = static_cast<std::int16_t>(d[5] * 100 + d[6] * 10 + d[7]);
    return c;
}

} // namespace mutaro

#pragma once

// A deterministic synthetic drive written as a classic Talvor log: the generator's "talvor" and
// "talvor124" families, and the benchmark's large logs.

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "tools/TalvorLog.h"

namespace mutaro::mklog {

// The receiver's clock, one second on (two-digit years; February has 29 days, as the drives need
// no more).
inline void AdvanceOneSecond(int& year, int& month, int& day, int& hour, int& minute, int& second) {
    static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (++second < 60) return;
    second = 0;
    if (++minute < 60) return;
    minute = 0;
    if (++hour < 24) return;
    hour = 0;
    if (++day <= kDays[month - 1]) return;
    day = 1;
    if (++month <= 12) return;
    month = 1;
    year = (year + 1) % 100;
}

// splitmix64: the same numbers on every platform and library, unlike the standard distributions.
class DriveRandom {
public:
    explicit DriveRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform integer in [low, high].
    int Between(int low, int high) {
        return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }

private:
    std::uint64_t state_;
};

struct TalvorDriveOptions {
    bool longHeaders = true;      // "talvor": firmware 1.26; "talvor124": short BCD headers
    std::uint64_t records = 300;  // data records after the information record
    std::uint64_t seed = 1;
    std::uint64_t maxBytes = 0;   // stop once this many bytes are written (0: no limit)
    // Lengths of the alternating fast and scan data sets, in records.
    int fastRunMin = 20, fastRunMax = 60;
    int scanRunMin = 8, scanRunMax = 25;
};

// Writes the drive through sink(const std::uint8_t* bytes, std::size_t count); returns the bytes.
template <class Sink>
std::uint64_t WriteTalvorDrive(const TalvorDriveOptions& options, Sink&& sink) {
    constexpr double kPi = 3.14159265358979323846;
    const int firmware = options.longHeaders ? 126 : 124;
    DriveRandom random(options.seed);
    std::vector<std::uint8_t> framed;
    std::uint64_t written = 0;
    auto emit = [&](const TalvorRecord& record) {
        framed.clear();
        record.AppendFramed(framed);
        sink(framed.data(), framed.size());
        written += framed.size();
    };
    emit(TalvorRecord::Information("ZYT TALVOR CW 4RX", options.longHeaders ? "1.26" : "1.24"));

    // Receivers 1 and 2 share a band of 30 kHz channels from 869.0100 MHz; receiver 3 uses the
    // channel offset rule on a band from 870.0300 MHz; receiver 4 has 25 kHz channels from
    // 851.0125 MHz. Every band stays between 800 and 900 MHz.
    const std::array<TalvorBand, 4> bands = {{
        {0x00, 869, 100, 300, 1},
        {0x00, 869, 100, 300, 1},
        {0x40, 870, 300, 300, 34},
        {0x00, 851, 125, 250, 1},
    }};
    const std::array<int, 4> channelCount = {990, 990, 960, 1900};

    // Route: start position, heading and speed that drift smoothly, with a turn now and then.
    double latitude = 39.9612 + random.Unit() * 0.05;
    double longitude = -82.9988 - random.Unit() * 0.05;
    double heading = random.Unit() * 2 * kPi;
    double turnRate = 0;
    double speed = 12.0;  // m/s
    double altitude = 240.0 + random.Unit() * 40.0;
    double travelled = 0;  // metres, drives the fast fading
    // Sites that the levels fall off from, placed around the start.
    std::array<double, 6> siteLat{}, siteLon{};
    for (int s = 0; s < 6; ++s) {
        siteLat[s] = latitude + (random.Unit() - 0.5) * 0.08;
        siteLon[s] = longitude + (random.Unit() - 0.5) * 0.1;
    }
    auto meanLevel = [&](int channel) {  // magnitude in -dBm
        int s = channel % 6;
        double dy = (latitude - siteLat[s]) * 111320.0;
        double dx = (longitude - siteLon[s]) * 111320.0 * std::cos(latitude * kPi / 180);
        double km = std::sqrt(dx * dx + dy * dy) / 1000.0 + 0.2;
        double shadow = 4.0 * std::sin(travelled / 173.0 + channel) + 3.0 * std::sin(travelled / 61.0 + 2.0 * channel);
        return 62.0 + 33.0 * std::log10(km) + shadow;
    };
    auto clampLevel = [](double magnitude) {
        long v = std::lround(magnitude);
        return static_cast<std::uint8_t>(v < 30 ? 30 : (v > 125 ? 125 : v));
    };
    // Fast fading over one record: a sum of three waves in the distance travelled, in wavelengths.
    std::array<float, 1024> sine{};
    for (std::size_t i = 0; i < sine.size(); ++i) sine[i] = static_cast<float>(std::sin(2 * kPi * static_cast<double>(i) / 1024));
    auto fade = [&](double wavelengths, int channel) {
        auto at = [&](double cycles) { return sine[static_cast<std::size_t>(static_cast<long long>(cycles * 1024)) & 1023]; };
        return 5.0 * at(wavelengths * 0.93 + channel * 0.37) + 3.5 * at(wavelengths * 0.61 + channel * 0.11) +
               2.0 * at(wavelengths * 0.27 + 0.5);
    };

    // Clock: the receiver's clock is local time, GPS time runs five hours ahead.
    int year = 24, month = 5, day = 14, hour = 9, minute = 30 + random.Between(0, 20), second = random.Between(0, 59);
    auto tick = [&] { AdvanceOneSecond(year, month, day, hour, minute, second); };

    std::uint16_t marker = 0;
    int untilMarker = random.Between(30, 90);
    bool fastRun = true;
    int runLeft = random.Between(options.fastRunMin, options.fastRunMax);
    std::array<int, 4> parked{};
    auto park = [&] {
        for (int n = 0; n < 4; ++n) parked[n] = random.Between(2, channelCount[n]);
    };
    park();
    std::array<int, 4> scanCount{}, scanFirst{}, scanStep{};
    int runNumber = 0;

    for (std::uint64_t r = 0; r < options.records; ++r) {
        if (options.maxBytes != 0 && written >= options.maxBytes) break;
        if (runLeft == 0) {
            fastRun = !fastRun;
            ++runNumber;
            runLeft = fastRun ? random.Between(options.fastRunMin, options.fastRunMax)
                              : random.Between(options.scanRunMin, options.scanRunMax);
            if (fastRun) park();
            for (int n = 0; n < 4; ++n) {
                scanCount[n] = random.Between(8, 80);
                scanStep[n] = random.Between(1, 7);
                scanFirst[n] = random.Between(1, channelCount[n] - scanCount[n] * scanStep[n]);
            }
        }
        --runLeft;
        if (--untilMarker == 0) {
            ++marker;
            untilMarker = random.Between(30, 90);
        }

        // One fix per record, one record per second; the first few records come before the fix.
        const bool fix = r >= 3;
        TalvorRecord record = fastRun ? TalvorRecord::Fast(options.longHeaders) : TalvorRecord::Scan(options.longHeaders);
        record.Rtc(hour, minute, second, day, month, year).GpsStatus(fix ? 0x80 : 0x00);
        const int gpsHour = (hour + 5) % 24;
        if (options.longHeaders) {
            if (fix) {
                record.LongPosition(static_cast<std::int32_t>(std::lround(latitude * 3600000.0)),
                                    static_cast<std::int32_t>(std::lround(longitude * 3600000.0)))
                    .AltitudeCm(static_cast<std::int32_t>(std::lround(altitude * 100)))
                    .VelocityCmPerS(static_cast<std::uint16_t>(std::lround(speed * 100)))
                    .LongGpsTime(gpsHour, minute, second);
            }
        } else if (fix) {
            auto parts = [](double degrees, int& d, int& m, int& t) {
                long thousandths = std::lround(std::fabs(degrees) * 60000.0);  // thousandths of a minute
                d = static_cast<int>(thousandths / 60000);
                m = static_cast<int>(thousandths / 1000 % 60);
                t = static_cast<int>(thousandths % 1000);
            };
            int ld, lm, lt, od, om, ot;
            parts(latitude, ld, lm, lt);
            parts(longitude, od, om, ot);
            record.ShortPosition(ld, lm, lt, latitude >= 0 ? 'N' : 'S', od, om, ot, longitude >= 0 ? 'E' : 'W')
                .ShortGpsTime(gpsHour, minute, second);
        }
        record.Marker(marker, firmware);

        if (fastRun) {
            const double wavelengthsPerMetre = 870e6 / 3e8;
            for (int n = 1; n <= 4; ++n) {
                // Receiver 4 has no data during the first fast data set.
                if (n == 4 && runNumber == 0) continue;
                const int channel = parked[n - 1];
                record.FastReceiver(n, static_cast<std::uint16_t>(channel), bands[n - 1], 0);
                const double mean = meanLevel(channel);
                for (int i = 0; i < 512; ++i) {
                    double metres = travelled + speed * i / 512.0;
                    record.Sample(n, i, clampLevel(mean - fade(metres * wavelengthsPerMetre, channel)));
                }
            }
        } else {
            for (int n = 1; n <= 4; ++n) {
                record.ScanBand(n, bands[n - 1]);
                for (int e = 0; e < scanCount[n - 1]; ++e) {
                    const int channel = scanFirst[n - 1] + e * scanStep[n - 1];
                    record.ScanEntry(n, e, static_cast<std::uint16_t>(channel),
                                     clampLevel(meanLevel(channel) - fade(travelled * 2.9, channel)));
                }
            }
        }
        emit(record);

        // Move on by one second of driving.
        turnRate += (random.Unit() - 0.5) * 0.02;
        turnRate *= 0.9;
        if (random.Unit() < 0.01) heading += (random.Unit() < 0.5 ? 1 : -1) * kPi / 2;  // a corner
        heading += turnRate;
        speed += (random.Unit() - 0.5) * 1.5;
        speed = speed < 3 ? 3 : (speed > 25 ? 25 : speed);
        latitude += speed * std::cos(heading) / 111320.0;
        longitude += speed * std::sin(heading) / (111320.0 * std::cos(latitude * kPi / 180));
        altitude += (random.Unit() - 0.5) * 0.8;
        travelled += speed;
        tick();
    }
    return written;
}

} // namespace mutaro::mklog

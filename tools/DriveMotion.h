#pragma once

// The moving vehicle behind the synthetic Dravik, Sarnel and firmware 1.27 Talvor drives: a route
// that drifts and turns, one fix per second, a clock, and levels that fall off from a few sites
// with shadowing and fast fading. Deterministic for a seed.

#include <array>
#include <cmath>
#include <cstdint>

#include "tools/TalvorDrive.h"

namespace mutaro::mklog {

class DriveMotion {
public:
    static constexpr double kPi = 3.14159265358979323846;

    explicit DriveMotion(std::uint64_t seed, double startLatitude, double startLongitude) : random(seed) {
        latitude = startLatitude + random.Unit() * 0.05;
        longitude = startLongitude - random.Unit() * 0.05;
        heading = random.Unit() * 2 * kPi;
        altitude = 180.0 + random.Unit() * 60.0;
        for (int s = 0; s < 6; ++s) {
            siteLat[s] = latitude + (random.Unit() - 0.5) * 0.08;
            siteLon[s] = longitude + (random.Unit() - 0.5) * 0.1;
        }
        minute = 10 + random.Between(0, 30);
        second = random.Between(0, 59);
    }

    // Mean level of a channel at the current position, as a magnitude in -dBm.
    double MeanLevel(int channel) const {
        const int s = ((channel % 6) + 6) % 6;
        const double dy = (latitude - siteLat[s]) * 111320.0;
        const double dx = (longitude - siteLon[s]) * 111320.0 * std::cos(latitude * kPi / 180);
        const double km = std::sqrt(dx * dx + dy * dy) / 1000.0 + 0.2;
        const double shadow = 4.0 * std::sin(travelled / 173.0 + channel) + 3.0 * std::sin(travelled / 61.0 + 2.0 * channel);
        return 62.0 + 33.0 * std::log10(km) + shadow;
    }
    // The level of sample i of 512 over the coming second, with fast fading at `mhz`.
    std::uint8_t Sample(int channel, int i, double mhz) const {
        const double metres = travelled + speed * i / 512.0;
        const double w = metres * mhz * 1e6 / 3e8;
        const double fading = 5.0 * std::sin(2 * kPi * (w * 0.93 + channel * 0.37)) +
                              3.5 * std::sin(2 * kPi * (w * 0.61 + channel * 0.11)) + 2.0 * std::sin(2 * kPi * (w * 0.27 + 0.5));
        return Clamp(MeanLevel(channel) - fading);
    }
    std::uint8_t Level(int channel) const { return Clamp(MeanLevel(channel) - 3.0 * std::sin(travelled / 7.0 + channel)); }
    static std::uint8_t Clamp(double magnitude) {
        long v = std::lround(magnitude);
        return static_cast<std::uint8_t>(v < 30 ? 30 : (v > 125 ? 125 : v));
    }

    // GPS time runs five hours ahead of the receiver's local clock.
    int GpsHour() const { return (hour + 5) % 24; }
    // Degrees, minutes and thousandths of a minute of |degrees|.
    static void Parts(double degrees, int& d, int& m, int& t) {
        const long thousandths = std::lround(std::fabs(degrees) * 60000.0);
        d = static_cast<int>(thousandths / 60000);
        m = static_cast<int>(thousandths / 1000 % 60);
        t = static_cast<int>(thousandths % 1000);
    }

    // One second of driving.
    void Step() {
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
        if (--untilMarker == 0) {
            ++marker;
            untilMarker = random.Between(30, 90);
        }
        Tick();
    }
    double HeadingDegrees() const {
        double d = std::fmod(heading * 180 / kPi, 360.0);
        return d < 0 ? d + 360 : d;
    }

    DriveRandom random;
    double latitude = 0, longitude = 0, heading = 0, turnRate = 0, speed = 12.0, altitude = 0, travelled = 0;
    int year = 24, month = 6, day = 3, hour = 10, minute = 0, second = 0;
    int marker = 0;
    int untilMarker = 45;

private:
    void Tick() { AdvanceOneSecond(year, month, day, hour, minute, second); }

    std::array<double, 6> siteLat{}, siteLon{};
};

} // namespace mutaro::mklog

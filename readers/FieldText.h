#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>

#include "core/TextBuffer.h"

namespace mutaro {

// Fast equivalents of the printf conversions the readers write per column. A scan row carries up
// to 960 numbers, so going through vsnprintf for each would dominate a conversion; these give the
// same bytes as the printf conversion named beside each.

// "%d" (also "%ld", "%u") of any integer.
template <class Integer>
inline void AppendDecimal(TextBuffer& out, Integer value) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

// "%02d".
inline void AppendTwoDigits(TextBuffer& out, int value) {
    if (value >= 0 && value < 10) {
        out.append('0');
        out.append(static_cast<char>('0' + value));
    } else if (value >= 10) {
        AppendDecimal(out, value);
    } else {
        out.appendf("%02d", value);
    }
}

// "%.4f". The value is rounded to four decimals by its exact binary value as printf does; a value
// whose fifth decimal sits within 1e-5 of a tie, or that is too large for the 64-bit extended
// product to be exact, goes through printf itself.
inline void AppendFixed4(TextBuffer& out, double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude < 1e9)) {  // also NaN and infinity
        out.appendf("%.4f", value);
        return;
    }
    const long double scaled = static_cast<long double>(magnitude) * 10000.0L;
    const long double whole = std::floor(scaled);
    const long double rest = scaled - whole;
    if (std::fabs(rest - 0.5L) < 1e-5L) {
        out.appendf("%.4f", value);
        return;
    }
    auto units = static_cast<std::uint64_t>(whole) + (rest > 0.5L ? 1 : 0);
    if (std::signbit(value)) out.append('-');
    AppendDecimal(out, units / 10000);
    out.append('.');
    auto decimals = static_cast<unsigned>(units % 10000);
    char four[4] = {static_cast<char>('0' + decimals / 1000), static_cast<char>('0' + decimals / 100 % 10),
                    static_cast<char>('0' + decimals / 10 % 10), static_cast<char>('0' + decimals % 10)};
    out.append(std::string_view(four, 4));
}

struct ClockTime {
    int hour, minute, second;
};
struct ClockDate {
    int month, day, year;
};

// The clock fields the classic readers write alike: GPS time (tags 18 to 21) and the receiver's
// clock (33 to 40). Returns false, writing nothing, for any other tag.
inline bool AppendClockField(TextBuffer& out, std::int16_t tag, ClockTime gps, ClockDate rtcDate, ClockTime rtc) {
    switch (tag) {
    case 18: out.appendf("%02d:%02d:%02d", gps.hour, gps.minute, gps.second); return true;
    case 19: AppendTwoDigits(out, gps.hour); return true;
    case 20: AppendTwoDigits(out, gps.minute); return true;
    case 21: AppendTwoDigits(out, gps.second); return true;
    // The field is named MM-DD-YY but the receiver's software writes slashes.
    case 33: out.appendf("%02d/%02d/%02d", rtcDate.month, rtcDate.day, rtcDate.year); return true;
    case 34: AppendTwoDigits(out, rtcDate.month); return true;
    case 35: AppendTwoDigits(out, rtcDate.day); return true;
    case 36: AppendTwoDigits(out, rtcDate.year); return true;
    case 37: out.appendf("%02d:%02d:%02d", rtc.hour, rtc.minute, rtc.second); return true;
    case 38: AppendTwoDigits(out, rtc.hour); return true;
    case 39: AppendTwoDigits(out, rtc.minute); return true;
    case 40: AppendTwoDigits(out, rtc.second); return true;
    default: return false;
    }
}

} // namespace mutaro

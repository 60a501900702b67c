#include "core/FieldCatalogue.h"

namespace mutaro {

const std::array<std::string_view, kFieldCount>& FieldCatalogue() {
    static const std::array<std::string_view, kFieldCount> names = {
        "<< DATA >>",
        "<< FLEX DATA >>",
        "<< POCSAG DATA >>",
        "BER",
        "CR / LF",
        "Latitude (Decimal Degrees)",
        "Latitude (Degrees)",
        "Latitude (Minutes)",
        "Latitude (Decimal Minutes)",
        "Latitude (Seconds)",
        "Latitude Hemisphere",
        "Longitude (Decimal Degrees)",
        "Longitude (Degrees)",
        "Longitude (Minutes)",
        "Longitude (Decimal Minutes)",
        "Longitude (Seconds)",
        "Longitude Hemisphere",
        "GPS Status",
        "GPS Time (HH:MM:SS)",
        "GPS Hour (HH)",
        "GPS Minute (MM)",
        "GPS Second (SS)",
        "GPS Date (MM/DD/YY)",
        "GPS Month (MM)",
        "GPS Day (DD)",
        "GPS Year (YY)",
        "GPS Altitude (Meters)",
        "GPS Velocity (MPH)",
        "GPS Heading",
        "Marker Value",
        "Measurement Type",
        "Odometer Reading",
        "Record Number",
        "RTC Date (MM-DD-YY)",
        "RTC Month (MM)",
        "RTC Day (DD)",
        "RTC Year (YY)",
        "RTC Time (HH:MM:SS)",
        "RTC Hour (HH)",
        "RTC Minute (MM)",
        "RTC Second (SS)",
        "Speed (BPS)",
        "X Coordinate",
        "Y_Coordinate",
        "Scan Mode",
        "Ext. Navigation Status",
        "Min. Frequency (MHz)",
        "Max. Frequency (MHz)",
        "Step Size (KHz)",
        "Receiver",
        "TP Latitude (Dec Deg)",
        "TP Longitude (Dec Deg)",
        "TP Date (MM-DD-YY)",
        "TP Time (HH:MM:SS)",
        "TP Speed (km/h)",
        "TP Direction (deg from N)",
        "",
        "",
        "",
        "",
    };
    return names;
}

int FieldTagOfName(std::string_view name) {
    if (name.empty()) return -1;
    const auto& names = FieldCatalogue();
    for (int t = 0; t < kFieldCount; ++t)
        if (names[t] == name) return t;
    return -1;
}

} // namespace mutaro

#include "ui/Presets.h"

#include <array>
#include <cctype>

namespace mutaro {

namespace {

using H = HeaderSetting;
constexpr int kComma = 0, kTab = 2;
constexpr int kSame = kDelimiterUnchanged;

constexpr std::span<const std::int16_t> kNone{};
constexpr std::int16_t kDataOnly[] = {0};
constexpr std::int16_t kLonLatData[] = {11, 5, 0};
constexpr std::int16_t kLatLonData[] = {5, 11, 0};
constexpr std::int16_t kExcel[] = {11, 5, 18};
constexpr std::int16_t kCellularWizard[] = {32, 6, 7, 9, 10, 12, 13, 15, 16, 0, 36, 34, 35, 19, 20, 21};
constexpr std::int16_t kRecordNumberOnly[] = {32};

// index, text, fixed, "Header", delimiter, fields, fields for the Sarnel, RSSI of receiver 1 only,
// Output name.
constexpr std::array<PresetRow, kPresetCount> kPresets = {{
    {0, "Comarco Workbench", false, H::Unchanged, kSame, kNone, kNone, false, ""},
    {1, "EDX SignalPro", false, H::Off, kComma, kLonLatData, kDataOnly, true, ""},
    {2, "Expert Wireless MaXPlan", false, H::Off, kTab, kLatLonData, kDataOnly, true, "test.sdr"},
    {3, "Grayson IQ Analyzer", true, H::Unchanged, kSame, kNone, kNone, false, ""},
    {4, "MapInfo (w/ dB Planner)", false, H::Off, kTab, kLonLatData, kDataOnly, false, ""},
    {5, "Microsoft Excel", false, H::On, kTab, kExcel, kNone, false, ""},
    {6, "MLJ PathPro", true, H::Unchanged, kSame, kNone, kNone, false, "MLJ.M01"},
    {7, "MSI Planet", true, H::Unchanged, kSame, kNone, kNone, false, ""},
    {8, "SAFCO OPAS32", false, H::Unchanged, kSame, kNone, kNone, false, ""},
    {9, "TEC Cellular Wizard", false, H::Off, kComma, kCellularWizard, kRecordNumberOnly, false, ""},
    {10, "Teleworx PlotworX", false, H::Off, kTab, kLonLatData, kDataOnly, false, ""},
    {11, "Custom ASCII Configuration", false, H::Off, kComma, kNone, kNone, false, ""},
    {12, "Wireless Valley InFielder", true, H::Unchanged, kSame, kNone, kNone, false, ""},
}};

} // namespace

bool SameListText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::span<const PresetRow, kPresetCount> Presets() { return kPresets; }

const PresetRow* FindPreset(int index) {
    if (index < 0 || index >= kPresetCount) return nullptr;
    return &kPresets[index];
}

int PresetIndexOfText(std::string_view text) {
    for (const PresetRow& row : kPresets)
        if (SameListText(row.text, text)) return row.index;
    return -1;
}

} // namespace mutaro

#pragma once

// The output-format presets of the Format Type list: for each post-processing tool the columns it
// expects, the delimiter and "Header" switch, and whether the job writes its fixed import format.

#include <cstdint>
#include <span>
#include <string_view>

namespace mutaro {

constexpr int kPresetCount = 13;
constexpr int kStartPreset = 11;  // "Custom ASCII Configuration": shown and remembered at start-up

enum class HeaderSetting { Unchanged, Off, On };
constexpr int kDelimiterUnchanged = -1;

struct PresetRow {
    int index;
    std::string_view text;   // the list text
    bool fixed;              // the job writes the tool's fixed format; the field lists are locked
    HeaderSetting header;    // ignored (the switch is hidden) for fixed formats
    int delimiter;           // item of the Field Delimiter group, or kDelimiterUnchanged
    std::span<const std::int16_t> fields;        // field tags, in list order
    std::span<const std::int16_t> sarnelFields;  // the list when the current product is the Sarnel
    // Field data "RSSI" only, and receiver 1 only.
    bool rssiOfReceiverOne;
    std::string_view outputName;  // replaces the Output name as a whole; empty leaves it alone
};

std::span<const PresetRow, kPresetCount> Presets();
// The row of an output format index, nullptr outside 0 to 12.
const PresetRow* FindPreset(int index);
// The index whose list text equals `text` in any case, -1 when none does.
int PresetIndexOfText(std::string_view text);
// Texts a person types against a list's texts match in any case.
bool SameListText(std::string_view a, std::string_view b);

} // namespace mutaro

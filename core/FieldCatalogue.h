#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace mutaro {

constexpr int kFieldCount = 60;

// The output field names by tag; tags 56 to 59 exist with empty names.
const std::array<std::string_view, kFieldCount>& FieldCatalogue();

// Tag of a catalogue name, or -1 when no tag has that name (empty names never match).
int FieldTagOfName(std::string_view name);

namespace tag {
constexpr std::int16_t kData = 0;
constexpr std::int16_t kFlexData = 1;
constexpr std::int16_t kPocsagData = 2;
constexpr std::int16_t kBer = 3;
constexpr std::int16_t kLineBreak = 4;
constexpr std::int16_t kRecordNumber = 32;
} // namespace tag

} // namespace mutaro

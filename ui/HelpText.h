#pragma once

#include <array>
#include <string_view>

namespace mutaro {

constexpr std::string_view kProgramName = "ZYT Mutaro CW";
constexpr std::string_view kProgramVersion = "0.1.0";

// The headings of the user manual, in the order the help window shows them.
const std::array<std::string_view, 9>& HelpHeadings();
// The user manual as rich text (HTML), under those headings.
std::string_view HelpManualHtml();
// The text of the About box: the program's name and version.
std::string_view AboutText();

} // namespace mutaro

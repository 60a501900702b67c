#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mutaro {

constexpr char kPathSeparator = '/';

// Size in bytes of a named file, 0 when it cannot be asked.
std::uint64_t FileSize(const std::string& name);
bool IsRegularFile(const std::string& name);
bool FolderExists(const std::string& name);
bool CreateFolder(const std::string& name);
// True when both names reach the same file (same path, another path, a symbolic or a hard link).
bool SameFile(const std::string& a, const std::string& b);

// Names written on another system may use a backslash: both count as separators when splitting.
bool IsSeparator(char c);
// Index where the file-name part of a name starts (after the last separator).
std::size_t FileNameStart(std::string_view name);
// Index of the dot that starts the extension of the file-name part, or npos when it has none.
std::size_t ExtensionStart(std::string_view name);
std::string JoinPath(std::string_view folder, std::string_view file);

} // namespace mutaro

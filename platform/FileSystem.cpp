#include "platform/FileSystem.h"

#include <sys/stat.h>
#include <sys/types.h>

namespace mutaro {

std::uint64_t FileSize(const std::string& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) return 0;
    return info.st_size < 0 ? 0 : static_cast<std::uint64_t>(info.st_size);
}

bool IsRegularFile(const std::string& name) {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& name) {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::string& name) { return ::mkdir(name.c_str(), 0777) == 0; }

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    struct stat first {}, second {};
    if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::size_t FileNameStart(std::string_view name) {
    for (std::size_t i = name.size(); i > 0; --i)
        if (IsSeparator(name[i - 1])) return i;
    return 0;
}

std::size_t ExtensionStart(std::string_view name) {
    std::size_t start = FileNameStart(name);
    std::size_t dot = name.rfind('.');
    // A leading dot names a hidden file, not an extension.
    if (dot == std::string_view::npos || dot <= start) return std::string_view::npos;
    return dot;
}

std::string JoinPath(std::string_view folder, std::string_view file) {
    std::string joined(folder);
    if (!joined.empty() && !IsSeparator(joined.back())) joined += kPathSeparator;
    joined += file;
    return joined;
}

} // namespace mutaro

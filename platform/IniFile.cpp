#include "platform/IniFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace mutaro {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The section name of a "[Name]" line, or nothing.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// The key of a "Key=Value" line, or nothing (comments and other lines).
std::optional<std::string_view> KeyOf(std::string_view line) {
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#' || trimmed.front() == '[')
        return std::nullopt;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(0, eq));
}

} // namespace

bool IniFile::Load(const std::string& path) {
    lines_.clear();
    lineEnd_ = "\r\n";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::FILE* probe = std::fopen(path.c_str(), "rb");
        if (probe) std::fclose(probe);
        return probe == nullptr && errno == ENOENT;
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::size_t firstFeed = text.find('\n');
    if (firstFeed != std::string::npos && (firstFeed == 0 || text[firstFeed - 1] != '\r')) lineEnd_ = "\n";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

std::string IniFile::Text() const {
    std::string text;
    for (const auto& line : lines_) {
        text += line;
        text += lineEnd_;
    }
    return text;
}

bool IniFile::Save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    std::string text = Text();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out.flush());
}

IniFile::Place IniFile::Find(std::string_view section, std::string_view key) const {
    Place place;
    bool inside = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (auto name = SectionOf(lines_[i])) {
            if (inside) break;  // the first section of that name holds the keys
            inside = SameName(*name, section);
            if (inside) place.sectionLine = place.lastEntry = i;
            continue;
        }
        if (!inside) continue;
        if (auto found = KeyOf(lines_[i])) {
            place.lastEntry = i;
            if (place.keyLine == npos && SameName(*found, key)) place.keyLine = i;
        }
    }
    return place;
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
    Place place = Find(section, key);
    if (place.keyLine == npos) return std::nullopt;
    const std::string& line = lines_[place.keyLine];
    return std::string(Trim(std::string_view(line).substr(line.find('=') + 1)));
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, const std::string& fallback) const {
    auto value = Read(section, key);
    return value ? *value : fallback;
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
    auto value = Read(section, key);
    if (!value || value->empty()) return fallback;
    const char* first = value->data();
    const char* last = first + value->size();
    if (*first == '+') ++first;
    int number = 0;
    auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end != last) return fallback;
    return number;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    Place place = Find(section, key);
    if (place.keyLine != npos) {
        lines_[place.keyLine] = std::move(line);
        return;
    }
    if (place.sectionLine != npos) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(place.lastEntry + 1), std::move(line));
        return;
    }
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(line));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

} // namespace mutaro

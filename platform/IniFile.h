#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mutaro {

// A configuration file of "[Section]" lines and "Key=Value" lines. Sections and keys are found
// without regard to case, as configuration files written by hand expect. Writing a key changes
// only that key's line (or adds it to its section); every other line, comment, section and key
// stays where it was, so saving into an existing file keeps what others put there.
class IniFile {
public:
    // A missing file reads as an empty one; false only when an existing file cannot be read.
    bool Load(const std::string& path);
    bool Save(const std::string& path) const;

    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, const std::string& fallback) const;
    // A value that is not a whole decimal number (in the int range) counts as missing.
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value) { WriteInteger(section, key, value ? 1 : 0); }

    // The whole text as it would be saved.
    std::string Text() const;

private:
    struct Place {
        std::size_t sectionLine = npos;  // line of the "[Section]" header
        std::size_t keyLine = npos;      // line of the key, when present
        std::size_t lastEntry = npos;    // last key line of the section (or its header)
    };
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    Place Find(std::string_view section, std::string_view key) const;

    std::vector<std::string> lines_;
    std::string lineEnd_ = "\r\n";
};

} // namespace mutaro

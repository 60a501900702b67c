#pragma once

// The command line's commands and options as data: one table drives parsing, --help and the
// usage errors.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mutaro::cli {

enum class Command { Identify, Fields, Index, Convert };

enum class Option {
    Help,
    Output,
    Config,
    SaveConfig,
    Product,
    Format,
    Field,
    Delimiter,
    Header,
    NoHeader,
    Receivers,
    Data,
    ScanType,
    Reduction,
    Average,
    Skip,
    Split,
    Quiet,
};

struct OptionSpec {
    Option id;
    std::string_view name;      // "--output"
    char shortName;             // 'o', or 0
    std::string_view argument;  // "PATH"; empty for a switch
    // The allowed words of an option that takes one of a few ("table|fast"); empty for any value.
    std::span<const std::string_view> words;
    bool repeatable;
    std::string_view help;
};

struct CommandSpec {
    Command id;
    std::string_view name;
    std::string_view synopsis;
    std::string_view description;
    std::span<const Option> options;
};

std::span<const OptionSpec> Options();
std::span<const CommandSpec> Commands();
const OptionSpec& SpecOf(Option id);

// A command line taken apart: the command, its operands and its options in the order given.
struct Arguments {
    const CommandSpec* command = nullptr;
    std::vector<std::string> operands;
    std::vector<std::pair<Option, std::string>> options;

    bool Has(Option id) const;
    // The value of an option given once; nullopt when it was not given.
    std::optional<std::string> Value(Option id) const;
    std::vector<std::string> Values(Option id) const;
};

// A usage error: the text names the bad word; the program prints it and exits with 2.
struct UsageError {
    std::string text;
};

// Parses argv[1..]; a missing or unknown command, an unknown option, a missing value, a word not
// among an option's words or an option given twice is a usage error.
std::optional<Arguments> Parse(std::span<const std::string> args, UsageError& error);

std::string ProgramHelp();
std::string CommandHelp(const CommandSpec& command);

} // namespace mutaro::cli

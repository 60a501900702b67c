#include "CommandLine.h"

#include <array>
#include <cstdio>

#include "ui/Presets.h"
#include "ui/Products.h"

namespace mutaro::cli {

namespace {

constexpr std::string_view kScanTypeWords[] = {"table", "fast"};
constexpr std::string_view kReductionWords[] = {"all", "best-server"};
constexpr std::string_view kAverageWords[] = {"none", "40-lambda"};

constexpr OptionSpec kOptions[] = {
    {Option::Help, "--help", 'h', "", {}, false, "show this help"},
    {Option::Output, "--output", 'o', "PATH", {}, false,
     "output file (default: the name identification proposes, FILE with its\n"
     "extension replaced by \".out\", also under the presets that name a file)"},
    {Option::Product, "--product", 0, "N", {}, false, "take this product index (1 to 9) instead of identifying FILE"},
    {Option::Config, "--config", 0, "PATH", {}, false, "restore this configuration file first, as the window's\n\"Open Configuration\" does"},
    {Option::SaveConfig, "--save-config", 0, "PATH", {}, false,
     "save the resulting choices into this configuration file, then convert"},
    {Option::Format, "--format", 0, "NAME|INDEX", {}, false,
     "apply an output-format preset: list text (any case) or index 0 to 12"},
    {Option::Field, "--field", 0, "NAME|TAG", {}, true,
     "repeatable; replaces the Selected Fields list, in the order given.\n"
     "A NAME must be in the reader's Available Fields; a number is a field tag"},
    {Option::Delimiter, "--delimiter", 0, "D", {}, false,
     "comma, semicolon, tab, space, or other:C (C one character, may be empty)"},
    {Option::Header, "--header", 0, "", {}, false, "the \"Header\" switch on"},
    {Option::NoHeader, "--no-header", 0, "", {}, false, "the \"Header\" switch off"},
    {Option::Receivers, "--receivers", 0, "LIST", {}, false, "e.g. 1,3: exactly these receiver switches on"},
    {Option::Data, "--data", 0, "LIST", {}, false,
     "subset of freq,channel,rssi,sat,vmac: exactly these field-data switches on"},
    {Option::ScanType, "--scan-type", 0, "table|fast", kScanTypeWords, false,
     "the hidden Scan Type group, as a configuration file sets it\n(products with scan types only)"},
    {Option::Reduction, "--reduction", 0, "all|best-server", kReductionWords, false,
     "\"Convert All Data\" or \"Best Server\""},
    {Option::Average, "--average", 0, "none|40-lambda", kAverageWords, false, "\"None\" or \"40 Lambda\""},
    {Option::Skip, "--skip", 0, "LIST", {}, false, "data-set numbers (as `mutaro index` prints them) to tick out"},
    {Option::Split, "--split", 0, "", {}, false, "\"Excel Split\" on"},
    {Option::Quiet, "--quiet", 'q', "", {}, false, "no progress display and no Information messages"},
};

constexpr Option kIdentifyOptions[] = {Option::Help};
constexpr Option kFieldsOptions[] = {Option::Product, Option::Help};
constexpr Option kIndexOptions[] = {Option::Help};
constexpr Option kConvertOptions[] = {
    Option::Output, Option::Product, Option::Config, Option::Format, Option::Field, Option::Delimiter, Option::Header,
    Option::NoHeader, Option::Receivers, Option::Data, Option::ScanType, Option::Reduction, Option::Average,
    Option::Skip, Option::SaveConfig, Option::Split, Option::Quiet, Option::Help,
};

constexpr CommandSpec kCommands[] = {
    {Command::Identify, "identify", "mutaro identify FILE...",
     "One line per file: FILE<TAB>INDEX<TAB>LABEL, the product that wrote it (0 and \"(None)\"\n"
     "when the file is not recognised). Exit 0 when every file was recognised, else 1.",
     kIdentifyOptions},
    {Command::Fields, "fields", "mutaro fields (FILE | --product N)",
     "The Available Fields list of the reader of FILE's product (or of product N), one line\n"
     "per entry: TAG<TAB>NAME, in list order.",
     kFieldsOptions},
    {Command::Index, "index", "mutaro index FILE",
     "Runs the content-index pass and prints the tree: every group on a line of its own, in\n"
     "tree order; under it each of its data sets as two spaces, the data-set number, a tab\n"
     "and the label. Data sets are numbered from 1 in the order the log holds them.",
     kIndexOptions},
    {Command::Convert, "convert", "mutaro convert FILE [options]",
     "Converts FILE as the window would: --config, then identification of FILE (or --product),\n"
     "then --format, then the other options, then the content-index pass and --skip, then\n"
     "--save-config, then the conversion.\n"
     "A choice the window would not allow for the product is a usage error.",
     kConvertOptions},
};

bool Accepts(const CommandSpec& command, Option id) {
    for (Option allowed : command.options)
        if (allowed == id) return true;
    return false;
}

const OptionSpec* FindOption(std::string_view word) {
    for (const OptionSpec& row : kOptions) {
        if (word == row.name) return &row;
        if (row.shortName != 0 && word.size() == 2 && word[0] == '-' && word[1] == row.shortName) return &row;
    }
    return nullptr;
}

std::string Quoted(std::string_view word) { return "'" + std::string(word) + "'"; }

// The option column of the help, and the help text indented under it.
void AppendOptionHelp(std::string& text, const OptionSpec& row) {
    std::string left = "  ";
    if (row.shortName != 0) left += std::string("-") + row.shortName + ", ";
    left += row.name;
    if (!row.argument.empty()) left += " " + std::string(row.argument);
    constexpr std::size_t kColumn = 30;
    text += left;
    if (left.size() + 1 > kColumn) text += "\n" + std::string(kColumn, ' ');
    else text += std::string(kColumn - left.size(), ' ');
    for (char c : row.help) {
        text += c;
        if (c == '\n') text += std::string(kColumn, ' ');
    }
    text += "\n";
}

} // namespace

std::span<const OptionSpec> Options() { return kOptions; }
std::span<const CommandSpec> Commands() { return kCommands; }

const OptionSpec& SpecOf(Option id) {
    for (const OptionSpec& row : kOptions)
        if (row.id == id) return row;
    return kOptions[0];
}

bool Arguments::Has(Option id) const {
    for (const auto& [option, value] : options)
        if (option == id) return true;
    return false;
}

std::optional<std::string> Arguments::Value(Option id) const {
    for (const auto& [option, value] : options)
        if (option == id) return value;
    return std::nullopt;
}

std::vector<std::string> Arguments::Values(Option id) const {
    std::vector<std::string> values;
    for (const auto& [option, value] : options)
        if (option == id) values.push_back(value);
    return values;
}

std::optional<Arguments> Parse(std::span<const std::string> args, UsageError& error) {
    Arguments parsed;
    if (args.empty()) {
        error.text = "mutaro: missing command";
        return std::nullopt;
    }
    for (const CommandSpec& command : kCommands)
        if (args[0] == command.name) parsed.command = &command;
    if (parsed.command == nullptr) {
        if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") return parsed;
        error.text = "mutaro: unknown command " + Quoted(args[0]);
        return std::nullopt;
    }
    const CommandSpec& command = *parsed.command;
    const std::string prefix = "mutaro " + std::string(command.name) + ": ";
    bool operandsOnly = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (operandsOnly || word.size() < 2 || word[0] != '-') {
            parsed.operands.push_back(word);
            continue;
        }
        if (word == "--") {
            operandsOnly = true;
            continue;
        }
        // --name=value
        std::string name = word;
        std::optional<std::string> attached;
        if (std::size_t equals = word.find('='); word.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = word.substr(0, equals);
            attached = word.substr(equals + 1);
        }
        const OptionSpec* row = FindOption(name);
        if (row == nullptr || !Accepts(command, row->id)) {
            error.text = prefix + "unknown option " + Quoted(name);
            return std::nullopt;
        }
        std::string value;
        if (row->argument.empty()) {
            if (attached) {
                error.text = prefix + "option " + Quoted(row->name) + " takes no value";
                return std::nullopt;
            }
        } else if (attached) {
            value = *attached;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            error.text = prefix + "option " + Quoted(row->name) + " needs " + std::string(row->argument);
            return std::nullopt;
        }
        if (!row->words.empty()) {
            bool known = false;
            for (std::string_view allowed : row->words) known = known || value == allowed;
            if (!known) {
                error.text = prefix + std::string(row->name) + ": unknown word " + Quoted(value) + " (" +
                             std::string(row->argument) + ")";
                return std::nullopt;
            }
        }
        if (!row->repeatable && parsed.Has(row->id)) {
            error.text = prefix + "option " + Quoted(row->name) + " given twice";
            return std::nullopt;
        }
        parsed.options.emplace_back(row->id, value);
    }
    return parsed;
}

std::string ProgramHelp() {
    std::string text =
        "mutaro: converts drive-test receiver logs into delimited text, as the ZYT Mutaro CW window does.\n\n"
        "Commands:\n";
    for (const CommandSpec& command : kCommands) text += "  " + std::string(command.synopsis) + "\n";
    text += "\n'mutaro COMMAND --help' describes a command and its options.\n\nProducts (--product N):\n";
    for (const ProductInfo& product : Products()) {
        if (!product.Selectable()) continue;
        char line[160];
        std::snprintf(line, sizeof line, "  %d  %-22.*s", product.index, static_cast<int>(product.itemText.size()),
                      product.itemText.data());
        text += line;
        text += product.extensions;
        while (text.back() == ' ') text.pop_back();
        text += "\n";
    }
    text += "\nOutput formats (--format NAME|INDEX):\n";
    for (const PresetRow& preset : Presets()) {
        char line[160];
        std::snprintf(line, sizeof line, "  %2d  %.*s%s\n", preset.index, static_cast<int>(preset.text.size()),
                      preset.text.data(), preset.fixed ? " (fixed format, not yet built)" : "");
        text += line;
    }
    text +=
        "\nMessages are printed on stderr as \"CAPTION: TEXT\". Exit status: 0 when the work ran to its\n"
        "end, 1 when an Error or Warning message ended it, 2 for a usage error.\n";
    return text;
}

std::string CommandHelp(const CommandSpec& command) {
    std::string text = "usage: " + std::string(command.synopsis) + "\n\n" + std::string(command.description) + "\n";
    text += "\nOptions:\n";
    for (Option id : command.options) AppendOptionHelp(text, SpecOf(id));
    if (command.id == Command::Convert)
        text +=
            "\nThe fixed import formats (Grayson IQ Analyzer, MLJ PathPro, MSI Planet, Wireless Valley\n"
            "InFielder) and 40 Lambda averaging are not yet built: their output is empty or unaveraged.\n";
    return text;
}

} // namespace mutaro::cli

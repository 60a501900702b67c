// mutaro: the command line. It drives the same form a person uses; see `mutaro --help`.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Commands.h"

namespace {

int PrintUsage(const mutaro::cli::UsageError& error, const mutaro::cli::CommandSpec* command) {
    std::fprintf(stderr, "%s\n", error.text.c_str());
    if (command != nullptr) std::fprintf(stderr, "Try 'mutaro %.*s --help'.\n", static_cast<int>(command->name.size()), command->name.data());
    else std::fprintf(stderr, "Try 'mutaro --help'.\n");
    return mutaro::cli::kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    using namespace mutaro::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
    UsageError error;
    std::optional<Arguments> parsed = Parse(args, error);
    if (!parsed) {
        const CommandSpec* command = nullptr;
        for (const CommandSpec& row : Commands())
            if (!args.empty() && args[0] == row.name) command = &row;
        return PrintUsage(error, command);
    }
    if (parsed->command == nullptr) {
        std::fputs(ProgramHelp().c_str(), stdout);
        return kExitDone;
    }
    if (parsed->Has(Option::Help)) {
        std::fputs(CommandHelp(*parsed->command).c_str(), stdout);
        return kExitDone;
    }
    try {
        switch (parsed->command->id) {
        case Command::Identify: return RunIdentify(*parsed);
        case Command::Fields: return RunFields(*parsed);
        case Command::Index: return RunIndex(*parsed);
        case Command::Convert: return RunConvert(*parsed);
        }
    } catch (const UsageError& usage) {
        return PrintUsage(usage, parsed->command);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "Error: %s\n", failure.what());
        return kExitFailed;
    }
    return kExitFailed;
}

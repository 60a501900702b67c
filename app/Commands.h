#pragma once

#include "CommandLine.h"

namespace mutaro::cli {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;  // an Error or Warning message ended the work
constexpr int kExitUsage = 2;

// Each command returns its exit status; a usage error found on the way is thrown as UsageError.
int RunIdentify(const Arguments& args);
int RunFields(const Arguments& args);
int RunIndex(const Arguments& args);
int RunConvert(const Arguments& args);

} // namespace mutaro::cli

#pragma once

#include <string>

namespace mutaro {

class TMainForm;

// The wizard's choices in a configuration file (*.cfg): sections and keys in a fixed order,
// switches as 1 and 0. Saving into an existing file updates only these keys.
bool SaveConfiguration(const TMainForm& form, const std::string& path);
// Restores a configuration as the window does, step by step; false when the file cannot be read.
bool RestoreConfiguration(TMainForm& form, const std::string& path);

} // namespace mutaro

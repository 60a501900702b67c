#include "core/ConversionSettings.h"

namespace mutaro {

ConversionSettings& SharedSettings() {
    static ConversionSettings settings;
    return settings;
}

} // namespace mutaro

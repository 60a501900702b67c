#pragma once

// The generator's "dravik", "sarnel" and "talvor2" families, written to an open file.

#include <cstdint>
#include <cstdio>

#include "tools/DravikLog.h"
#include "tools/SarnelLog.h"
#include "tools/Talvor2Log.h"

namespace mutaro::mklog {

// Runs a drive writer into `file`; false when a write failed.
template <class Options, class Writer>
bool WriteDriveFile(std::FILE* file, std::uint64_t records, std::uint64_t seed, Writer&& writer) {
    Options options;
    options.records = records;
    options.seed = seed;
    bool ok = true;
    writer(options, [&](const std::uint8_t* bytes, std::size_t count) {
        if (ok && std::fwrite(bytes, 1, count, file) != count) ok = false;
    });
    return ok;
}

inline bool WriteDravikFile(std::FILE* file, std::uint64_t records, std::uint64_t seed) {
    return WriteDriveFile<DravikDriveOptions>(file, records, seed,
                                              [](const auto& o, auto&& sink) { WriteDravikDrive(o, sink); });
}
inline bool WriteSarnelFile(std::FILE* file, std::uint64_t records, std::uint64_t seed) {
    return WriteDriveFile<SarnelDriveOptions>(file, records, seed,
                                              [](const auto& o, auto&& sink) { WriteSarnelDrive(o, sink); });
}
inline bool WriteTalvor2File(std::FILE* file, std::uint64_t records, std::uint64_t seed) {
    return WriteDriveFile<Talvor2DriveOptions>(file, records, seed,
                                               [](const auto& o, auto&& sink) { WriteTalvor2Drive(o, sink); });
}

} // namespace mutaro::mklog

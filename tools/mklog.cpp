// mutaro-mklog FAMILY -o PATH [--records N] [--seed S]: writes a synthetic drive-test log.
//
// The committed sample was made with:
//   mutaro-mklog talvor -o samples/drive.tlf --records 300 --seed 1

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/ReceiverDrives.h"
#include "tools/TalvorDrive.h"

namespace {

struct Request {
    std::string family;
    std::string output;
    std::uint64_t records = 300;
    std::uint64_t seed = 1;
};

using Writer = bool (*)(const Request&, std::FILE*);

bool WriteTalvor(const Request& request, std::FILE* file, bool longHeaders) {
    mutaro::mklog::TalvorDriveOptions options;
    options.longHeaders = longHeaders;
    options.records = request.records;
    options.seed = request.seed;
    bool ok = true;
    mutaro::mklog::WriteTalvorDrive(options, [&](const std::uint8_t* bytes, std::size_t count) {
        if (ok && std::fwrite(bytes, 1, count, file) != count) ok = false;
    });
    return ok;
}

// Each family of receiver logs the generator knows, by its command-line name.
struct Family {
    const char* name;
    const char* description;
    Writer write;
};
const Family kFamilies[] = {
    {"talvor", "classic Talvor, firmware 1.26 (long headers)",
     [](const Request& r, std::FILE* f) { return WriteTalvor(r, f, true); }},
    {"talvor124", "classic Talvor, firmware 1.24 (short BCD headers)",
     [](const Request& r, std::FILE* f) { return WriteTalvor(r, f, false); }},
    {"talvor2", "Talvor firmware 1.27", [](const Request& r, std::FILE* f) { return mutaro::mklog::WriteTalvor2File(f, r.records, r.seed); }},
    {"dravik", "Dravik, two receivers", [](const Request& r, std::FILE* f) { return mutaro::mklog::WriteDravikFile(f, r.records, r.seed); }},
    {"sarnel", "Sarnel, one receiver", [](const Request& r, std::FILE* f) { return mutaro::mklog::WriteSarnelFile(f, r.records, r.seed); }},
};

int Usage(const char* problem) {
    if (problem != nullptr) std::fprintf(stderr, "mutaro-mklog: %s\n", problem);
    std::fprintf(stderr, "usage: mutaro-mklog FAMILY -o PATH [--records N] [--seed S]\nfamilies:\n");
    for (const Family& family : kFamilies) std::fprintf(stderr, "  %-10s %s\n", family.name, family.description);
    return 2;
}

bool ParseCount(const char* text, std::uint64_t& value) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0') return false;
    value = parsed;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Request request;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
            Usage(nullptr);
            return 0;
        }
        if (std::strcmp(arg, "-o") == 0 || std::strcmp(arg, "--output") == 0) {
            if (value == nullptr) return Usage("-o needs a path");
            request.output = value;
            ++i;
        } else if (std::strcmp(arg, "--records") == 0) {
            if (!ParseCount(value, request.records)) return Usage("--records needs a whole number");
            ++i;
        } else if (std::strcmp(arg, "--seed") == 0) {
            if (!ParseCount(value, request.seed)) return Usage("--seed needs a whole number");
            ++i;
        } else if (arg[0] == '-') {
            std::string problem = std::string("unknown option ") + arg;
            return Usage(problem.c_str());
        } else if (request.family.empty()) {
            request.family = arg;
        } else {
            return Usage("more than one family given");
        }
    }
    if (request.family.empty()) return Usage("no family given");
    if (request.output.empty()) return Usage("no output path given (-o PATH)");
    const Family* family = nullptr;
    for (const Family& candidate : kFamilies)
        if (request.family == candidate.name) family = &candidate;
    if (family == nullptr) {
        std::string problem = "unknown family " + request.family;
        return Usage(problem.c_str());
    }
    std::FILE* file = std::fopen(request.output.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "mutaro-mklog: cannot write %s: %s\n", request.output.c_str(), std::strerror(errno));
        return 1;
    }
    bool ok = family->write(request, file);
    if (std::fclose(file) != 0) ok = false;
    if (!ok) {
        std::fprintf(stderr, "mutaro-mklog: writing %s failed\n", request.output.c_str());
        return 1;
    }
    return 0;
}

// Conversion of 200 MB classic Talvor logs (fast-heavy and scan-heavy), with the spreadsheet preset's
// three fields and with << DATA >> of four receivers, against the plain-I/O floor: reading the same
// input and writing the same number of output bytes with buffered stdio.
//
// The logs are generated into /tmp at start (not into the source tree) and removed at the end.
// Two more modes drive one conversion for a peak-memory measurement with /usr/bin/time -v:
//   talvor_bench --make-log=PATH --megabytes=N [--kind=fast|scan]
//   talvor_bench --convert-log=PATH        (<< DATA >> of four receivers; prints the peak RSS)

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/Convert.h"
#include "core/Identify.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"
#include "readers/Talvor.h"
#include "tools/TalvorDrive.h"

namespace mutaro {
namespace {

constexpr std::uint64_t kLogBytes = 200ull << 20;
const char* const kFolder = "/tmp/mutaro-talvor-bench";

class NullPresenter : public MessagePresenter {
public:
    void Present(int, const std::string&, const std::string&) override {}
};

mklog::TalvorDriveOptions DriveOf(bool fastHeavy, std::uint64_t bytes) {
    mklog::TalvorDriveOptions options;
    options.records = ~0ull;
    options.maxBytes = bytes;
    options.seed = fastHeavy ? 11 : 12;
    if (fastHeavy) {
        options.fastRunMin = 200, options.fastRunMax = 400, options.scanRunMin = 5, options.scanRunMax = 10;
    } else {
        options.fastRunMin = 5, options.fastRunMax = 10, options.scanRunMin = 200, options.scanRunMax = 400;
    }
    return options;
}

bool MakeLog(const std::string& path, bool fastHeavy, std::uint64_t bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = true;
    mklog::WriteTalvorDrive(DriveOf(fastHeavy, bytes), [&](const std::uint8_t* p, std::size_t n) {
        if (ok && std::fwrite(p, 1, n, file) != n) ok = false;
    });
    return std::fclose(file) == 0 && ok;
}

enum class Fields { Spreadsheet, Data };

ConversionSettings SettingsFor(const std::string& input, const std::string& output, Fields fields) {
    ConversionSettings s;
    s.inputFileName = input;
    s.outputFileName = output;
    s.productIndex = kProductTalvor;
    s.headerRow = true;
    s.scanType = 1;
    s.receiverEnabled = {true, true, true, true};
    s.fieldData = {true, true, true, false, false};
    const auto& names = FieldCatalogue();
    if (fields == Fields::Spreadsheet) {
        s.delimiterChoice = 2;  // tab
        for (std::int16_t t : {11, 5, 18}) s.selectedFields.push_back({std::string(names[t]), t});
    } else {
        s.delimiterChoice = 0;
        s.selectedFields.push_back({std::string(names[0]), 0});
    }
    return s;
}

double Seconds(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

bool RunConversion(const ConversionSettings& settings) {
    static ConversionSettings shared;  // the reader's switches are bound to this record
    shared = settings;
    static ZTalvor reader(shared);
    ImmediateDispatcher dispatcher;
    TConvert job(reader, shared, dispatcher);
    job.RunHere();
    return job.outcome() == JobOutcome::Completed;
}

// Reads the input and writes `outputBytes` bytes (the real output's first megabytes, repeated)
// with buffered stdio: the least any conversion of this input to this output must cost.
double PlainIoFloor(const std::string& input, const std::string& output, const std::string& floorOut) {
    std::vector<char> sample(8u << 20);
    std::FILE* real = std::fopen(output.c_str(), "rb");
    std::size_t sampleSize = real ? std::fread(sample.data(), 1, sample.size(), real) : 0;
    if (real) std::fclose(real);
    if (sampleSize == 0) sampleSize = 1;
    const std::uint64_t outputBytes = FileSize(output);

    auto start = std::chrono::steady_clock::now();
    std::vector<char> chunk(1u << 18);
    std::FILE* in = std::fopen(input.c_str(), "rb");
    std::FILE* out = std::fopen(floorOut.c_str(), "wb");
    std::uint64_t sum = 0;
    while (in != nullptr) {
        std::size_t got = std::fread(chunk.data(), 1, chunk.size(), in);
        if (got == 0) break;
        sum += static_cast<unsigned char>(chunk[got - 1]);
    }
    for (std::uint64_t written = 0; out != nullptr && written < outputBytes;) {
        std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(sampleSize, outputBytes - written));
        std::fwrite(sample.data(), 1, piece, out);
        written += piece;
    }
    if (in) std::fclose(in);
    if (out) std::fclose(out);
    benchmark::DoNotOptimize(sum);
    return Seconds(start);
}

struct Variant {
    const char* name;
    bool fastHeavy;
    Fields fields;
};

void BM_Convert(benchmark::State& state, Variant variant) {
    const std::string input = std::string(kFolder) + (variant.fastHeavy ? "/fast.tlf" : "/scan.tlf");
    const std::string output = std::string(kFolder) + "/run.out";
    const ConversionSettings settings = SettingsFor(input, output, variant.fields);
    const double inputMB = static_cast<double>(FileSize(input)) / (1 << 20);
    double convert = 0, floor = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        if (!RunConversion(settings)) state.SkipWithError("conversion failed");
        double seconds = Seconds(start);
        state.SetIterationTime(seconds);
        convert += seconds;
        floor += PlainIoFloor(input, output, std::string(kFolder) + "/floor.out");
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["input_MB"] = inputMB;
    state.counters["output_MB"] = static_cast<double>(FileSize(output)) / (1 << 20);
    state.counters["input_MB_per_s"] = inputMB / (convert / n);
    state.counters["floor_s"] = floor / n;
    state.counters["ratio_to_floor"] = convert / floor;
    std::remove(output.c_str());
    std::remove((std::string(kFolder) + "/floor.out").c_str());
}

long PeakRssKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace
} // namespace mutaro

int main(int argc, char** argv) {
    using namespace mutaro;
    static NullPresenter presenter;
    static ImmediateDispatcher dispatcher;
    InstallMessageRoute(&dispatcher, &presenter);

    std::string makeLog, convertLog, kind = "fast";
    std::uint64_t megabytes = 200;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--make-log=", 0) == 0) makeLog = arg.substr(11);
        else if (arg.rfind("--megabytes=", 0) == 0) megabytes = std::stoull(arg.substr(12));
        else if (arg.rfind("--kind=", 0) == 0) kind = arg.substr(7);
        else if (arg.rfind("--convert-log=", 0) == 0) convertLog = arg.substr(14);
    }
    if (!makeLog.empty()) return MakeLog(makeLog, kind != "scan", megabytes << 20) ? 0 : 1;
    if (!convertLog.empty()) {
        const std::string output = convertLog + ".out";
        bool ok = RunConversion(SettingsFor(convertLog, output, Fields::Data));
        std::printf("input %.1f MB, output %.1f MB, peak RSS %ld kB\n", FileSize(convertLog) / 1048576.0,
                    FileSize(output) / 1048576.0, PeakRssKilobytes());
        std::remove(output.c_str());
        return ok ? 0 : 1;
    }

    CreateFolder(kFolder);
    auto start = std::chrono::steady_clock::now();
    if (!MakeLog(std::string(kFolder) + "/fast.tlf", true, kLogBytes) ||
        !MakeLog(std::string(kFolder) + "/scan.tlf", false, kLogBytes)) {
        std::fprintf(stderr, "cannot write the logs into %s\n", kFolder);
        return 1;
    }
    std::fprintf(stderr, "generated two %llu MB logs in %.1f s\n", static_cast<unsigned long long>(kLogBytes >> 20),
                 Seconds(start));
    for (Variant v : {Variant{"fast_heavy/spreadsheet", true, Fields::Spreadsheet},
                      Variant{"fast_heavy/data_4rx", true, Fields::Data},
                      Variant{"scan_heavy/spreadsheet", false, Fields::Spreadsheet},
                      Variant{"scan_heavy/data_4rx", false, Fields::Data}}) {
        benchmark::RegisterBenchmark((std::string("TalvorConvert/") + v.name).c_str(), BM_Convert, v)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove((std::string(kFolder) + "/fast.tlf").c_str());
    std::remove((std::string(kFolder) + "/scan.tlf").c_str());
    ::rmdir(kFolder);
    return 0;
}

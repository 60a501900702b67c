// Delimited-row throughput of the conversion job against a plain buffered write of the same bytes.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "core/Convert.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"

namespace mutaro {
namespace {

constexpr std::int32_t kRecords = 200000;

// Yields kRecords data records with a position, a time and four receiver groups of << DATA >>.
class SyntheticReader : public ZProduct {
public:
    using ZProduct::ZProduct;
    std::int32_t Open(const std::string& name) override {
        left_ = kRecords;
        return ZProduct::Open(name);
    }
    std::int32_t ReadRecord(RawRecord&) override { return left_-- > 0 ? 2868 : 0; }
    std::int16_t ParseRecord(RawRecord&) override {
        readyOutputs = 1;
        ++second_;
        return kRecordData;
    }
    std::int16_t DataColumns(std::int16_t step, TextBuffer& out, char delimiter) override {
        out.clear();
        if (step == 0) receiver_ = 0;
        if (receiver_ >= 4) return -1;
        ++receiver_;
        out.appendf("%.4f%c%d%c-%d", 881.52 + receiver_ * 0.03, delimiter, 300 + receiver_, delimiter,
                    70 + (second_ + receiver_) % 40);
        return 0;
    }
    void FormatField(std::int16_t tag, TextBuffer& out) override {
        out.clear();
        switch (tag) {
        case 5: out.appendf("%.4f", 42.0 + (second_ % 1000) * 1e-4); break;
        case 11: out.appendf("-%.4f", 71.0 + (second_ % 1000) * 1e-4); break;
        case 18: out.appendf("%02d:%02d:%02d", second_ / 3600 % 24, second_ / 60 % 60, second_ % 60); break;
        default: break;
        }
    }

private:
    std::int32_t left_ = 0;
    int receiver_ = 0;
    int second_ = 0;
};

class NullPresenter : public MessagePresenter {
public:
    void Present(int, const std::string&, const std::string&) override {}
};

std::string TempName(const char* name) { return std::string("/tmp/mutaro-bench-") + name; }

ConversionSettings BenchSettings() {
    ConversionSettings s;
    s.inputFileName = TempName("input");
    s.outputFileName = TempName("rows.out");
    s.productIndex = 1;
    s.delimiterChoice = 2;
    s.selectedFields = {{"Longitude (Decimal Degrees)", 11}, {"Latitude (Decimal Degrees)", 5},
                        {"GPS Time (HH:MM:SS)", 18}, {"<< DATA >>", 0}};
    return s;
}

void BM_DelimitedRows(benchmark::State& state) {
    NullPresenter presenter;
    ImmediateDispatcher dispatcher;
    InstallMessageRoute(&dispatcher, &presenter);
    ConversionSettings settings = BenchSettings();
    { std::FILE* f = std::fopen(settings.inputFileName.c_str(), "wb"); if (f) std::fclose(f); }
    SyntheticReader reader(settings);
    std::uint64_t bytes = 0;
    double rowSeconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        TConvert job(reader, settings, dispatcher);
        job.RunHere();
        rowSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        bytes += FileSize(settings.outputFileName);
    }

    // The floor: the same output bytes written again with a plain buffered write.
    std::string copy;
    {
        std::FILE* f = std::fopen(settings.outputFileName.c_str(), "rb");
        char chunk[1 << 16];
        std::size_t got;
        while (f && (got = std::fread(chunk, 1, sizeof chunk, f)) > 0) copy.append(chunk, got);
        if (f) std::fclose(f);
    }
    auto start = std::chrono::steady_clock::now();
    std::FILE* out = std::fopen(TempName("plain.out").c_str(), "wb");
    for (std::size_t i = 0; i < copy.size(); i += 1 << 16)
        std::fwrite(copy.data() + i, 1, std::min<std::size_t>(1 << 16, copy.size() - i), out);
    std::fclose(out);
    double plainSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const double iterations = static_cast<double>(state.iterations());
    state.counters["rows/s"] = benchmark::Counter(kRecords * iterations / rowSeconds);
    state.counters["out_MB/s"] = benchmark::Counter(bytes / 1e6 / rowSeconds);
    state.counters["plain_MB/s"] = benchmark::Counter(copy.size() / 1e6 / plainSeconds);
    state.counters["ratio_to_plain"] = benchmark::Counter((rowSeconds / iterations) / plainSeconds);
    InstallMessageRoute(nullptr, nullptr);
    std::remove(settings.inputFileName.c_str());
    std::remove(settings.outputFileName.c_str());
    std::remove(TempName("plain.out").c_str());
}
BENCHMARK(BM_DelimitedRows)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace mutaro

BENCHMARK_MAIN();

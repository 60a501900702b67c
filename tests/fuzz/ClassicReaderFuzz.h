#pragma once

// The fuzz harness the Dravik, Sarnel and firmware 1.27 Talvor targets share: arbitrary bytes as a
// log, through an index pass and two conversion passes with every column operation and every tag.
// The first three bytes choose the settings (receivers, scan type, averaging, field data,
// delimiter, ticked data sets); the rest is the log. Traps when a byte count differs from the bytes
// the stream advanced, a column sequence does not end, a text exceeds its capacity, or the second
// conversion pass writes other texts than the first.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/ConversionSettings.h"
#include "core/Product.h"
#include "core/TextBuffer.h"

namespace mutaro::fuzzing {

inline void Check(bool condition) {
    if (!condition) __builtin_trap();
}

// A reader whose averaging finishes a varying number of averages, so the 40-lambda row paths run
// with real counts before the averaging engine lands. Open restarts its sequence, so two passes
// over one log average alike.
template <class Reader>
class AveragingReader : public Reader {
public:
    using Reader::Reader;
    std::int32_t Open(const std::string& name) override {
        calls_ = 0;
        return Reader::Open(name);
    }
    std::int16_t LambdaWindow(std::int16_t receiver) override {
        Check(receiver >= 0 && receiver < 4);
        return static_cast<std::int16_t>(receiver + 1);
    }
    std::int16_t AverageSamples(std::int16_t receiver) override {
        Check(receiver >= 0 && receiver < 4);
        auto& block = this->averageWork.blocks[receiver];
        calls_ = calls_ * 1103515245u + 12345u + static_cast<unsigned>(receiver);
        block.produced = static_cast<std::int32_t>((calls_ >> 16) % 514);  // 513 is one past the array
        for (std::int32_t k = 0; k < block.produced && k < 512; ++k)
            block.averages[k] = static_cast<std::int32_t>(calls_ >> (k % 16));
        return static_cast<std::int16_t>(block.produced);
    }

private:
    unsigned calls_ = 0;
};

class MaskSelection : public DataSetSelection {
public:
    std::uint8_t mask = 0;
    bool IsDataSetChecked(int dataSet) const override { return ((mask >> (dataSet % 8)) & 1) == 0; }
};

// FNV-1a over every text a pass writes.
struct Digest {
    std::uint64_t value = 1469598103934665603ull;
    void Add(const TextBuffer& text) {
        Check(text.size() <= text.capacity());
        for (char c : text.view()) value = (value ^ static_cast<std::uint8_t>(c)) * 1099511628211ull;
        value = (value ^ 0xFF) * 1099511628211ull;
    }
};

inline const std::string& FuzzFileName() {
    static const std::string name = "/tmp/mutaro-fuzz-" + std::to_string(::getpid()) + ".log";
    return name;
}

// One pass over the log; returns the digest of what a conversion writes.
inline std::uint64_t RunPass(ZProduct& reader, bool converting, char delimiter) {
    static RawRecord raw;
    static TextBuffer text(kFieldTextCapacity);
    static TextBuffer titles(kTitleTextCapacity);
    Digest digest;
    reader.converting = converting ? 1 : 0;
    if (reader.Open(FuzzFileName()) != 0) return 0;
    const auto& settings = reader.settings();
    reader.SetAverageMode(settings.fortyLambda ? kAverageFortyLambda
                                               : (settings.bestServer ? kAverageBestServer : kAverageNone));
    std::int16_t g = reader.DataTitles(0, titles, delimiter);
    for (int guard = 0; g >= 0; ++guard) {
        Check(guard < 100);
        digest.Add(titles);
        g = reader.DataTitles(1, titles, delimiter);
    }
    const auto offered = reader.AvailableTags();
    for (int records = 0;; ++records) {
        const std::uint64_t before = reader.logStream.Position();
        const std::int32_t n = reader.ReadRecord(raw);
        if (n <= 0) break;
        Check(reader.logStream.Position() - before == static_cast<std::uint64_t>(n));
        const std::int16_t kind = reader.ParseRecord(raw);
        Check(kind >= 0 && kind <= 4);
        reader.newDataSet = 0;
        if (!converting || kind != kRecordData) continue;
        Check(reader.readyOutputs >= 0 && reader.readyOutputs <= 513);
        reader.pendingOutputs = reader.readyOutputs;
        for (; reader.pendingOutputs > 0; --reader.pendingOutputs) {
            for (std::int16_t r = 1; r <= 4; ++r) {
                if (reader.ReceiverHasData(r)) digest.value ^= r;
                ++reader.outputRowCount;
                std::int16_t d = reader.DataColumns(0, text, delimiter);
                for (int guard = 0; d >= 0; ++guard) {
                    Check(guard <= static_cast<int>(kMaxBlocksPerReceiver) + 1);
                    digest.Add(text);
                    d = reader.DataColumns(1, text, delimiter);
                }
                // Rows past the first few of a record differ only in their averages.
                if (reader.readyOutputs - reader.pendingOutputs >= 4) continue;
                for (std::int16_t tag : offered) {
                    reader.FormatField(tag, text);
                    digest.Add(text);
                }
                // Every other tag must answer too, with some text or none, inside its capacity; once
                // per record is enough, as rows differ only in their averages.
                if (reader.pendingOutputs != reader.readyOutputs) continue;
                for (std::int16_t tag = 0; tag <= 500; ++tag) {
                    reader.FormatField(tag, text);
                    Check(text.size() <= text.capacity());
                }
                reader.FormatField(-1, text);
                Check(text.empty());
            }
        }
    }
    reader.Close();
    return digest.value;
}

template <class Reader>
int FuzzReader(const std::uint8_t* data, std::size_t size) {
    static ConversionSettings settings;
    static Reader plain(settings);
    static AveragingReader<Reader> averaging(settings);
    static MaskSelection selection;
    const std::size_t skip = size < 3 ? size : 3;
    const std::uint8_t a = skip > 0 ? data[0] : 0;
    const std::uint8_t b = skip > 1 ? data[1] : 0;
    selection.mask = skip > 2 ? data[2] : 0;
    FILE* file = std::fopen(FuzzFileName().c_str(), "wb");
    if (file == nullptr) return 0;
    if (size > skip) std::fwrite(data + skip, 1, size - skip, file);
    std::fclose(file);

    for (int i = 0; i < 4; ++i) settings.receiverEnabled[i] = (a >> i) & 1;
    settings.scanType = (a >> 4) & 1;
    settings.bestServer = (a >> 5) & 1;
    settings.fortyLambda = (a >> 6) & 1;
    settings.fieldData = {(b & 1) != 0, (b & 2) != 0, (b & 4) != 0, (b & 8) != 0, (b & 16) != 0};
    const char delimiter = (b & 0x80) ? '\0' : ',';
    ZProduct& reader = (a & 0x80) ? static_cast<ZProduct&>(averaging) : static_cast<ZProduct&>(plain);
    reader.SetDataSetSelection(&selection);
    RunPass(reader, false, delimiter);
    const std::uint64_t first = RunPass(reader, true, delimiter);
    const std::uint64_t second = RunPass(reader, true, delimiter);
    Check(first == second);
    return 0;
}

} // namespace mutaro::fuzzing

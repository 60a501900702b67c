#pragma once

// Small byte writers for building receiver logs in tests, and a way to run a real conversion over
// them. Header-only, so nothing else breaks on it.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/Convert.h"
#include "core/Product.h"
#include "platform/Dispatcher.h"
#include "support/RecordingPresenter.h"
#include "support/TempDir.h"

namespace mutaro::testing {

// Appends fields to a byte string in the byte orders the logs use.
class Bytes {
public:
    Bytes& u8(unsigned v) { data_.push_back(static_cast<char>(v & 0xFF)); return *this; }
    Bytes& le16(unsigned v) { return u8(v).u8(v >> 8); }
    Bytes& le32(std::uint32_t v) { return le16(v & 0xFFFF).le16(v >> 16); }
    Bytes& be16(unsigned v) { return u8(v >> 8).u8(v); }
    Bytes& be32(std::uint32_t v) { return be16(v >> 16).be16(v & 0xFFFF); }
    Bytes& text(const std::string& s) { data_ += s; return *this; }
    Bytes& fill(std::size_t count, unsigned v) { data_.append(count, static_cast<char>(v & 0xFF)); return *this; }
    Bytes& bytes(const std::string& s) { data_ += s; return *this; }
    // Pads with zero bytes up to `length`.
    Bytes& padTo(std::size_t length) {
        if (data_.size() < length) data_.append(length - data_.size(), '\0');
        return *this;
    }
    std::size_t size() const { return data_.size(); }
    const std::string& str() const { return data_; }
    operator std::string() const { return data_; }

private:
    std::string data_;
};

// Rows of delimited output as the job writes them: each line ends with CR LF.
inline std::string Lines(std::initializer_list<std::string> lines) {
    std::string all;
    for (const auto& line : lines) all += line + "\r\n";
    return all;
}

// Unticks the listed data sets (numbered from 0).
class UntickedSets : public DataSetSelection {
public:
    explicit UntickedSets(std::vector<int> sets) : sets_(std::move(sets)) {}
    bool IsDataSetChecked(int dataSet) const override {
        for (int s : sets_)
            if (s == dataSet) return false;
        return true;
    }

private:
    std::vector<int> sets_;
};

// Converts `log` with `reader` and the choices in `settings` (whose file names are set here) and
// returns the output bytes.
inline std::string ConvertLog(ZProduct& reader, ConversionSettings& settings, const std::string& log,
                              const std::string& extension = ".log") {
    TempDir dir;
    RecordingPresenter messages;
    settings.inputFileName = dir / ("in" + extension);
    settings.outputFileName = dir / "out.out";
    WriteFile(settings.inputFileName, log);
    ImmediateDispatcher dispatcher;
    TConvert job(reader, settings, dispatcher);
    job.RunHere();
    return ReadFile(settings.outputFileName);
}

// The data sets an index pass finds: (kind, label) in file order.
struct FoundDataSet {
    std::int16_t kind;
    std::string label;
    bool operator==(const FoundDataSet&) const = default;
};
inline std::vector<FoundDataSet> IndexLog(ZProduct& reader, const std::string& log) {
    TempDir dir;
    const std::string name = dir / "in.log";
    WriteFile(name, log);
    std::vector<FoundDataSet> found;
    reader.converting = 0;
    if (reader.Open(name) != 0) return found;
    RawRecord raw{};
    while (reader.ReadRecord(raw) > 0) {
        reader.ParseRecord(raw);
        if (reader.newDataSet) {
            found.push_back({reader.dataSetKind, reader.dataSetLabel.str()});
            reader.newDataSet = 0;
        }
    }
    reader.Close();
    return found;
}

// The byte counts ReadRecord answers over a whole log, up to and including the closing 0.
inline std::vector<std::int32_t> FrameLog(ZProduct& reader, const std::string& log) {
    TempDir dir;
    const std::string name = dir / "in.log";
    WriteFile(name, log);
    std::vector<std::int32_t> counts;
    if (reader.Open(name) != 0) return counts;
    RawRecord raw{};
    for (int guard = 0; guard < 100000; ++guard) {
        std::int32_t n = reader.ReadRecord(raw);
        counts.push_back(n);
        if (n <= 0) break;
    }
    reader.Close();
    return counts;
}

} // namespace mutaro::testing

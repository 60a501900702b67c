#pragma once

// Small classic Talvor logs built byte by byte, and a fixture that drives ZTalvor over them.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/Convert.h"
#include "readers/Talvor.h"
#include "support/RecordingPresenter.h"
#include "support/TempDir.h"
#include "tools/TalvorLog.h"

namespace mutaro::testing {

using mklog::TalvorBand;
using mklog::TalvorRecord;

// A log as a byte string: framed records and raw bytes in order.
class TalvorLog {
public:
    TalvorLog& Add(const TalvorRecord& record) {
        record.AppendFramed(bytes_);
        return *this;
    }
    TalvorLog& Info(const std::string& version, const std::string& product = "ZYT TALVOR") {
        return Add(TalvorRecord::Information(product, version));
    }
    TalvorLog& Raw(std::initializer_list<std::uint8_t> bytes) {
        bytes_.insert(bytes_.end(), bytes);
        return *this;
    }
    TalvorLog& Raw(const std::vector<std::uint8_t>& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // A length prefix followed by a body given byte by byte, whatever the length says.
    TalvorLog& Framed(std::uint32_t length, const std::vector<std::uint8_t>& body) {
        std::uint8_t prefix[4];
        mklog::PutLe32(prefix, length);
        bytes_.insert(bytes_.end(), prefix, prefix + 4);
        return Raw(body);
    }
    std::string str() const { return {bytes_.begin(), bytes_.end()}; }
    std::size_t size() const { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
};

// The bands the fixtures use, each easy to work out by hand.
inline TalvorBand Band869() { return {0x00, 869, 100, 300, 1}; }     // 869.0100 MHz + 0.03 MHz per channel
inline TalvorBand Band1836() { return {0x80, 836, 0, 250, 1}; }      // bit 7: 1836.0000 MHz + 0.025
inline TalvorBand Band870Offset() { return {0x40, 870, 0, 300, 34}; } // bit 6: raw 34 is channel 0

class TalvorReaderTest : public ::testing::Test {
protected:
    TalvorReaderTest() : reader(settings) {
        settings.productIndex = 1;
        settings.inputFileName = dir / "run.tlf";
        settings.outputFileName = dir / "run.out";
    }

    // Opens the log for a conversion pass (indexing pass with converting = false).
    void Open(const TalvorLog& log, bool converting = true) {
        WriteFile(settings.inputFileName, log.str());
        ASSERT_EQ(reader.Open(settings.inputFileName), 0);
        reader.converting = converting ? 1 : 0;
    }
    // ReadRecord and ParseRecord once: the kind, or -1 when ReadRecord reports the end.
    int Step() {
        lastCount = reader.ReadRecord(raw);
        if (lastCount == 0) return -1;
        return reader.ParseRecord(raw);
    }
    // Steps until a record yields data; false at the end of the log.
    bool NextData() {
        for (;;) {
            int kind = Step();
            if (kind < 0) return false;
            if (kind == kRecordData) return true;
        }
    }
    std::string Field(std::int16_t tag) {
        TextBuffer out(kFieldTextCapacity);
        reader.FormatField(tag, out);
        return out.str();
    }
    // The DataColumns sequence as "result:text" per call, until the negative answer.
    std::vector<std::string> Columns(char delimiter = ',') {
        return Sequence([&](std::int16_t step, TextBuffer& out) { return reader.DataColumns(step, out, delimiter); });
    }
    std::vector<std::string> Titles(char delimiter = ',') {
        return Sequence([&](std::int16_t step, TextBuffer& out) { return reader.DataTitles(step, out, delimiter); });
    }

    // A whole conversion through the job; the output file's bytes.
    std::string Convert(const TalvorLog& log, std::initializer_list<std::int16_t> tags, int delimiterChoice = 0) {
        WriteFile(settings.inputFileName, log.str());
        settings.selectedFields.clear();
        for (std::int16_t t : tags)
            settings.selectedFields.push_back({std::string(FieldCatalogue()[static_cast<std::size_t>(t)]), t});
        settings.delimiterChoice = delimiterChoice;
        ImmediateDispatcher dispatcher;
        TConvert job(reader, settings, dispatcher);
        job.RunHere();
        EXPECT_EQ(job.outcome(), JobOutcome::Completed);
        return ReadFile(settings.outputFileName);
    }

    TempDir dir;
    ConversionSettings settings;
    ZTalvor reader;
    RecordingPresenter messages;
    RawRecord raw{};
    std::int32_t lastCount = 0;

private:
    template <class Call>
    std::vector<std::string> Sequence(Call call) {
        std::vector<std::string> calls;
        TextBuffer out(kFieldTextCapacity);
        for (std::int16_t step = 0; calls.size() < 20; step = 1) {
            std::int16_t result = call(step, out);
            if (result < 0) {
                EXPECT_TRUE(out.empty());
                break;
            }
            calls.push_back(std::to_string(result) + ":" + out.str());
        }
        return calls;
    }
};

} // namespace mutaro::testing

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ConversionSettings.h"
#include "core/FieldCatalogue.h"
#include "core/TextBuffer.h"
#include "platform/BinaryStream.h"

namespace mutaro {

// The largest record body any reader accepts, plus the 4192 bytes the FLEX decoder copies from a
// paging body that starts at byte 52.
constexpr std::size_t kRawRecordSize = 4244;
using RawRecord = std::array<std::uint8_t, kRawRecordSize>;

// Capacities of the job's buffers, which every text operation respects.
constexpr std::size_t kTitleTextCapacity = 8192;
constexpr std::size_t kFieldTextCapacity = 1000000;
constexpr std::size_t kFixedTextCapacity = 16384;
constexpr std::size_t kRecordTextCapacity = 1000000;
constexpr std::size_t kTextLineCapacity = 1023;

// Result of ParseRecord.
enum RecordKind : std::int16_t {
    kRecordNothing = 0,
    kRecordData = 1,
    kRecordTextLine = 2,
    kRecordHeader = 3,
    kRecordHeaderAndData = 4,
};

// Averaging modes of SetAverageMode.
enum AverageMode : std::int16_t { kAverageNone = 0, kAverageFortyLambda = 1, kAverageBestServer = 3 };

// Answers whether the content-index entry of data set n (counted from 0) is ticked in.
class DataSetSelection {
public:
    virtual ~DataSetSelection() = default;
    virtual bool IsDataSetChecked(int dataSet) const = 0;
};

constexpr int kMaxDataSetNodes = 1024;
constexpr int kMaxFieldTags = 100;
constexpr std::size_t kMaxBlocksPerReceiver = 4096;

class ZProduct {
public:
#pragma pack(push, 1)
    // One measured channel of one receiver, kept by value.
    struct DATABLOCK {
        std::int16_t channel = 0;
        std::uint8_t rssi = 0;  // the level is minus this many dBm
        std::uint8_t sat = 0;
        std::uint8_t dcc = 0;
        std::uint8_t vmac = 0;
        std::uint8_t auxCode = 0;
    };
#pragma pack(pop)

    // A receiver's channel list. A list that is never emptied must not grow without bound: no real
    // log fills more than a few hundred blocks between rows, so blocks beyond the cap are dropped.
    class BlockList {
    public:
        void push_back(const DATABLOCK& block) {
            if (blocks_.size() < kMaxBlocksPerReceiver) blocks_.push_back(block);
        }
        void clear() { blocks_.clear(); }
        bool empty() const { return blocks_.empty(); }
        std::size_t size() const { return blocks_.size(); }
        DATABLOCK& operator[](std::size_t i) { return blocks_[i]; }
        const DATABLOCK& operator[](std::size_t i) const { return blocks_[i]; }
        std::vector<DATABLOCK>& items() { return blocks_; }
        const std::vector<DATABLOCK>& items() const { return blocks_; }

    private:
        std::vector<DATABLOCK> blocks_;
    };

    // One receiver's 40-lambda state.
    struct LambdaBlock {
        std::int16_t window = 0;
        std::int16_t fill = 0;
        std::int32_t runningSum = 0;
        std::int32_t produced = 0;
        std::array<std::int32_t, 512> averages{};
    };
    // The averaging work area: one block per receiver, receiver n in block n - 1.
    struct AverageWork {
        std::array<LambdaBlock, 4> blocks{};
        std::array<std::uint8_t, 20560 - sizeof(std::array<LambdaBlock, 4>)> reserve{};
    };

    // The generic log header. No operation reads its decoded values; it keeps CopyHeader in place.
    struct HeaderBlock {
        std::array<std::uint8_t, 69> raw{};
        double latitudeDegrees = 0;
        double longitudeDegrees = 0;
        std::array<std::int32_t, 15> integers{};
    };

    explicit ZProduct(ConversionSettings& settings = SharedSettings());
    virtual ~ZProduct();
    ZProduct(const ZProduct&) = delete;
    ZProduct& operator=(const ZProduct&) = delete;

    // The sixteen operations, in their fixed order.
    virtual void CopyHeader();
    virtual void BindReceivers();
    virtual std::int32_t Open(const std::string& fileName);
    virtual std::int32_t Close();
    virtual std::int16_t DataTitles(std::int16_t step, TextBuffer& out, char delimiter);
    virtual std::int16_t DataColumns(std::int16_t step, TextBuffer& out, char delimiter);
    virtual void FormatField(std::int16_t tag, TextBuffer& out);
    virtual std::int32_t ReadRecord(RawRecord& buffer);
    virtual std::int16_t ParseRecord(RawRecord& buffer);
    virtual std::int32_t WriteHeader(TextBuffer& out);
    virtual std::int32_t WriteRecord(TextBuffer& out);
    virtual std::int32_t WriteTrailer(TextBuffer& out);
    virtual std::int32_t SetAverageMode(std::int16_t mode);
    virtual std::int16_t AverageSamples(std::int16_t receiver);
    virtual std::int16_t LambdaWindow(std::int16_t receiver);
    virtual bool ReceiverHasData(std::int16_t receiver);

    ConversionSettings& settings() const { return *settings_; }
    // Receiver switch n (1 to 4).
    bool ReceiverOn(int receiver) const {
        return receiver >= 1 && receiver <= 4 && receiverSwitches[receiver - 1] != nullptr &&
               *receiverSwitches[receiver - 1];
    }
    // Whether data set n (from 0) is ticked in; a number beyond the index's entries counts as ticked.
    bool DataSetChecked(int dataSet) const;
    void SetDataSetSelection(const DataSetSelection* selection) { dataSetNodes = selection; }
    // The offered field tags as a list.
    std::vector<std::int16_t> AvailableTags() const;
    // Fills availableTags from a list (constructors).
    void SetAvailableTags(std::initializer_list<std::int16_t> tags);

    // The data-set step shared by the readers, for a data record of kind `kind`. Indexing pass: a
    // new kind starts a data set, labelled by writeLabel; the record yields nothing. Conversion:
    // a new kind looks up the tick of the data set; returns true when the record yields output.
    template <class WriteLabel>
    bool DataSetStep(std::int16_t kind, WriteLabel&& writeLabel) {
        if (!converting) {
            if (kind != dataSetKind) {
                newDataSet = 1;
                dataSetKind = kind;
                dataSetLabel.clear();
                writeLabel(dataSetLabel);
                if (dataSetIndex < INT16_MAX) ++dataSetIndex;
            }
            return false;
        }
        if (kind != dataSetKind) {
            dataSetKind = kind;
            skipDataSet = DataSetChecked(dataSetIndex) ? 0 : 1;
            if (dataSetIndex < INT16_MAX) ++dataSetIndex;
        }
        return !skipDataSet;
    }

    HeaderBlock headerBlock;
    BinaryStream logStream;
    std::array<const bool*, 4> receiverSwitches{};
    std::array<BlockList, 4> receiverBlocks;
    TextBuffer textLine{kTextLineCapacity};
    std::uint32_t outputRowCount = 0;
    std::uint8_t headerPending = 1;
    std::array<std::int16_t, kMaxFieldTags> availableTags{};
    std::array<std::int16_t, kMaxFieldTags> selectedTags{};
    std::int16_t availableCount = 0;
    std::int16_t averageMode = kAverageNone;
    std::int16_t pendingOutputs = 1;
    std::int16_t readyOutputs = 0;
    std::uint8_t lambdaStart = 0;
    std::array<std::int16_t, 4> bestChannel{};
    const std::array<std::string_view, kFieldCount>& fieldNames;
    AverageWork averageWork;
    std::uint8_t newDataSet = 0;
    TextBuffer dataSetLabel{63};
    std::int16_t dataSetKind = -1;
    const DataSetSelection* dataSetNodes = nullptr;
    std::int16_t dataSetIndex = 0;
    std::uint8_t skipDataSet = 0;
    std::uint8_t converting = 0;

private:
    ConversionSettings* settings_;
};

static_assert(sizeof(ZProduct::DATABLOCK) == 7, "a DATABLOCK is 7 bytes");
static_assert(sizeof(ZProduct::AverageWork) == 20560, "the averaging work area is 20560 bytes");

} // namespace mutaro

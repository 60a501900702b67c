#include "core/Product.h"

#include <cstring>

#include "core/Bytes.h"

namespace mutaro {

ZProduct::ZProduct(ConversionSettings& settings) : fieldNames(FieldCatalogue()), settings_(&settings) {
    textLine.clear();
    headerPending = 1;
    outputRowCount = 0;
    averageMode = kAverageNone;
    pendingOutputs = 1;
    lambdaStart = 0;
    // Until the front end binds them, the switches follow the settings record.
    BindReceivers();
}

ZProduct::~ZProduct() = default;

void ZProduct::CopyHeader() {
    ByteView raw{headerBlock.raw.data(), headerBlock.raw.size()};
    headerBlock.latitudeDegrees = sbe32(raw, 0) / 3600000.0;
    headerBlock.longitudeDegrees = sbe32(raw, 4) / 3600000.0;
    for (std::size_t i = 0; i < headerBlock.integers.size(); ++i)
        headerBlock.integers[i] = sbe32(raw, 8 + 4 * i);
}

void ZProduct::BindReceivers() {
    for (int i = 0; i < 4; ++i) receiverSwitches[i] = &settings_->receiverEnabled[i];
}

std::int32_t ZProduct::Open(const std::string& fileName) {
    dataSetKind = -1;
    dataSetIndex = 0;
    outputRowCount = 0;
    headerPending = 1;
    newDataSet = 0;
    skipDataSet = 0;
    if (!logStream.Open(fileName)) return -1;
    for (auto& list : receiverBlocks) list.clear();
    return 0;
}

std::int32_t ZProduct::Close() {
    logStream.Close();
    return 0;
}

std::int16_t ZProduct::DataTitles(std::int16_t, TextBuffer& out, char) {
    out.clear();
    return -1;
}

std::int16_t ZProduct::DataColumns(std::int16_t, TextBuffer& out, char) {
    out.clear();
    return -1;
}

void ZProduct::FormatField(std::int16_t, TextBuffer& out) { out.clear(); }

std::int32_t ZProduct::ReadRecord(RawRecord&) { return 0; }
std::int16_t ZProduct::ParseRecord(RawRecord&) { return kRecordNothing; }

std::int32_t ZProduct::WriteHeader(TextBuffer& out) {
    out.clear();
    return 0;
}
std::int32_t ZProduct::WriteRecord(TextBuffer& out) {
    out.clear();
    return 0;
}
std::int32_t ZProduct::WriteTrailer(TextBuffer& out) {
    out.clear();
    return 0;
}

std::int32_t ZProduct::SetAverageMode(std::int16_t mode) {
    averageMode = mode;
    averageWork = AverageWork{};
    if (mode == kAverageFortyLambda) lambdaStart = 1;
    return 0;
}

std::int16_t ZProduct::AverageSamples(std::int16_t) { return 0; }
std::int16_t ZProduct::LambdaWindow(std::int16_t) { return 0; }
bool ZProduct::ReceiverHasData(std::int16_t) { return false; }

bool ZProduct::DataSetChecked(int dataSet) const {
    if (dataSetNodes == nullptr || dataSet < 0 || dataSet >= kMaxDataSetNodes) return true;
    return dataSetNodes->IsDataSetChecked(dataSet);
}

std::vector<std::int16_t> ZProduct::AvailableTags() const {
    int count = availableCount < 0 ? 0 : (availableCount > kMaxFieldTags ? kMaxFieldTags : availableCount);
    return {availableTags.begin(), availableTags.begin() + count};
}

void ZProduct::SetAvailableTags(std::initializer_list<std::int16_t> tags) {
    availableCount = 0;
    for (std::int16_t t : tags) {
        if (availableCount >= kMaxFieldTags) break;
        availableTags[availableCount++] = t;
    }
}

} // namespace mutaro

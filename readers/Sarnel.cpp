#include "readers/Sarnel.h"

#include "readers/ClassicFraming.h"
#include "readers/FieldText.h"

namespace mutaro {

ZSarnel::ZSarnel(ConversionSettings& settings) : ZProduct(settings) {
    SetAvailableTags({0, 4, 29, 37, 38, 39, 40, 44, 32});
    headerPending = 1;
}

std::int32_t ZSarnel::Open(const std::string& fileName) {
    std::int32_t result = ZProduct::Open(fileName);
    if (result != 0) return result;
    // A log's data records before its first setup record are converted from a zero plan, never
    // from the plan of the previous log or of the index pass over this one.
    baseFrequency = 0;
    channelSpacing = 0;
    baseChannel = 0;
    return 0;
}

std::int32_t ZSarnel::ReadRecord(RawRecord& buffer) {
    return ReadClassicRecord(logStream, buffer, recordLength_);
}

std::int16_t ZSarnel::ParseRecord(RawRecord& buffer) {
    const std::size_t length = recordLength_ < buffer.size() ? recordLength_ : buffer.size();
    ByteView record{buffer.data(), length};
    if (length == 0) return kRecordNothing;  // a lost length delivered no record
    switch (record[0]) {
    case 'I':
        ParseInformationTexts(record, productText, versionText, textLine);
        return kRecordNothing;
    case 'U': return ParseSetup(record);
    case 'D': return ParseData(record);
    default: return kRecordNothing;
    }
}

std::int16_t ZSarnel::ParseSetup(ByteView record) {
    // A setup record shorter than 257 bytes reads its missing bytes as zero.
    CopyRecordBytes(record, 1, setupRecord.data(), setupRecord.size());
    ByteView setup{setupRecord.data(), setupRecord.size()};
    // Offsets below count from the type byte, as the record's layout does.
    const std::int16_t whole = sbe16(setup, 2 - 1);
    const std::int16_t fraction = sbe16(setup, 4 - 1);
    const std::uint16_t spacing = be16(setup, 6 - 1);
    baseChannel = sbe16(setup, 8 - 1);
    baseFrequency = static_cast<double>(whole + fraction * static_cast<long double>(0.0001));
    channelSpacing = spacing;
    return kRecordNothing;
}

std::int16_t ZSarnel::ModeOf(std::uint8_t flags) {
    std::int16_t mode = kNoMode;
    if (flags & 0x40) mode = kScanTable;
    if (flags & 0x20) mode = kThreeChannels;
    if (flags & 0x10) mode = kOneChannel;
    return mode;
}

int ZSarnel::EntriesOf(std::int16_t kind) {
    if (kind == kScanTable || kind == kThreeChannels) return 3;
    if (kind == kOneChannel) return 1;
    return 0;
}

std::int16_t ZSarnel::ParseData(ByteView record) {
    CopyRecordBytes(record, 1, dataRecord.data(), dataRecord.size());
    ByteView data{dataRecord.data(), dataRecord.size()};
    markerValue = sbe16(data, 4 - 1);
    for (int k = 0; k < kEntries; ++k) channels[k] = sbe16(data, 7 - 1 + 3 * k);
    const std::int16_t mode = ModeOf(ScanFlags());
    // Records without a mode before the first data set belong to no data set: they yield nothing.
    if (mode == kNoMode && dataSetIndex == 0) return kRecordNothing;
    auto label = [this](TextBuffer& text) {
        text.appendf("%02d:%02d:%02d", RtcHour(), RtcMinute(), RtcSecond());
    };
    if (!DataSetStep(mode, label)) return kRecordNothing;
    if (averageMode == kAverageBestServer) {
        bestChannel[0] = PickStrongest(
            kEntries, [&](int k) { return channels[k] != 0; }, [&](int k) { return EntryRssi(k); });
    }
    readyOutputs = 1;
    return kRecordData;
}

double ZSarnel::EntryFrequency(int k) const {
    if (k < 0 || k >= kEntries) return 0;
    const int difference = static_cast<int>(channels[k]) - static_cast<int>(baseChannel);
    // Worked out in extended precision and stored as a double, as the receiver's software does.
    const long double step = static_cast<long double>(0.0001) * channelSpacing;
    return static_cast<double>(difference * step + baseFrequency);
}

std::int16_t ZSarnel::DataTitles(std::int16_t step, TextBuffer& out, char delimiter) {
    out.clear();
    if (!headerPending) return -1;
    if (step == 0) {
        // Right after Open the kind is still -1, so a conversion's header row has one group.
        if (dataSetKind == kScanTable || dataSetKind == kThreeChannels) titleGroups = 3;
        else if (dataSetKind == kOneChannel) titleGroups = 1;
    }
    const auto& fieldData = settings().fieldData;
    const int groups = averageMode == kAverageBestServer ? 1 : titleGroups;
    bool first = true;
    auto title = [&](const char* name) {
        if (!first) out.append(delimiter);
        first = false;
        out.appendf("\"%s\"", name);
    };
    for (int g = 0; g < groups; ++g) {
        if (fieldData.frequency) title("Frequency");
        if (fieldData.channel) title("Channel");
        if (fieldData.rssi) title("RSSI");
    }
    headerPending = 0;
    return 0;
}

void ZSarnel::AppendEntry(TextBuffer& out, int k, char delimiter, bool& first) const {
    const auto& fieldData = settings().fieldData;
    auto separate = [&] {
        if (!first) out.append(delimiter);
        first = false;
    };
    if (fieldData.frequency) {
        separate();
        AppendFixed4(out, EntryFrequency(k));
    }
    if (fieldData.channel) {
        separate();
        AppendDecimal(out, static_cast<std::uint16_t>(channels[k]));
    }
    if (fieldData.rssi) {
        separate();
        out.append('-');
        AppendDecimal(out, static_cast<int>(EntryRssi(k)));
    }
}

std::int16_t ZSarnel::DataColumns(std::int16_t step, TextBuffer& out, char delimiter) {
    out.clear();
    if (step != 0) return -1;  // one receiver: one group per row
    const int entries = EntriesOf(dataSetKind);
    bool first = true;
    if (averageMode == kAverageBestServer) {
        // The best entry alone; a record without a mode writes no entry in any case.
        const int best = bestChannel[0];
        if (entries > 0 && best >= 0 && best < kEntries) AppendEntry(out, best, delimiter, first);
        return 0;
    }
    for (int k = 0; k < entries; ++k) AppendEntry(out, k, delimiter, first);
    return 0;
}

void ZSarnel::FormatField(std::int16_t tag, TextBuffer& out) {
    out.clear();
    switch (tag) {
    case 4: out.append('\n'); break;
    case 29: AppendDecimal(out, markerValue); break;
    case 32: AppendDecimal(out, outputRowCount); break;
    case 37: out.appendf("%02d:%02d:%02d", RtcHour(), RtcMinute(), RtcSecond()); break;
    case 38: AppendTwoDigits(out, RtcHour()); break;
    case 39: AppendTwoDigits(out, RtcMinute()); break;
    case 40: AppendTwoDigits(out, RtcSecond()); break;
    case 44:
        // Needs exactly one of the three bits, unlike the data-set kind.
        switch (ScanFlags() & 0x70) {
        case 0x10: out.append("1CH"); break;
        case 0x20: out.append("3CH"); break;
        case 0x40: out.append("SCAN"); break;
        default: break;
        }
        break;
    default: break;
    }
}

} // namespace mutaro

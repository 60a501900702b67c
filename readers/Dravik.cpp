#include "readers/Dravik.h"

#include "readers/ClassicFraming.h"
#include "readers/FieldText.h"

namespace mutaro {

ZDravik::ZDravik(ConversionSettings& settings) : ZProduct(settings) {
    SetAvailableTags({0, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 21, 17, 29, 33, 36, 34,
                      35, 37, 38, 39, 40});
    headerPending = 1;
}

std::int32_t ZDravik::ReadRecord(RawRecord& buffer) {
    return ReadClassicRecord(logStream, buffer, recordLength_);
}

std::int16_t ZDravik::ParseRecord(RawRecord& buffer) {
    const std::size_t length = recordLength_ < buffer.size() ? recordLength_ : buffer.size();
    ByteView record{buffer.data(), length};
    if (length == 0) return kRecordNothing;  // a lost length delivered no record
    switch (record[0]) {
    case 'I':
        ParseInformationTexts(record, productText, versionText, textLine);
        return kRecordNothing;
    case 'F': return ParseFast(record);
    case 'S': return ParseScan(record);
    default: return kRecordNothing;
    }
}

void ZDravik::DecodeHeader(ByteView record) {
    CopyRecordBytes(record, 0, recordHeader.data(), recordHeader.size());
    ByteView header{recordHeader.data(), recordHeader.size()};
    BcdCoordinate lat = DecodeBcdCoordinate(header.sub(8, 4));
    latDegrees = lat.degrees;
    latMinutes = lat.minutes;
    latThousandths = lat.thousandths;
    latHemisphere = static_cast<char>(header[12]);
    BcdCoordinate lon = DecodeBcdCoordinate(header.sub(13, 4));
    lonDegrees = lon.degrees;
    lonMinutes = lon.minutes;
    lonThousandths = lon.thousandths;
    lonHemisphere = static_cast<char>(header[17]);
    gpsHour = static_cast<std::int16_t>(bcd(header[18]));
    gpsMinute = static_cast<std::int16_t>(bcd(header[19]));
    gpsSecond = static_cast<std::int16_t>(bcd(header[20]));
}

std::int16_t ZDravik::ParseFast(ByteView record) {
    readyOutputs = 1;
    DecodeHeader(record);
    auto label = [this](TextBuffer& text) { text.appendf("%02d:%02d:%02d", gpsHour, gpsMinute, gpsSecond); };
    if (!DataSetStep(0, label)) return kRecordNothing;
    for (int n = 1; n <= kReceivers; ++n) {
        if (!ReceiverOn(n)) continue;
        CopyRecordBytes(record, kHeaderLength + kReceiverBlockLength * (n - 1), receiverBlock[n - 1].data(),
                        kReceiverBlockLength);
        // A whole-MHz field of 0 marks a receiver without data: it takes no part in averaging.
        if (FastBand(n).wholeMHz != 0 && averageMode == kAverageFortyLambda) {
            LambdaBlock& block = averageWork.blocks[n - 1];
            if (lambdaStart) block.window = LambdaWindow(static_cast<std::int16_t>(n - 1));
            std::int16_t produced = AverageSamples(static_cast<std::int16_t>(n - 1));
            if (produced > readyOutputs) readyOutputs = produced;
        }
    }
    lambdaStart = 0;
    return kRecordData;
}

std::int16_t ZDravik::ParseScan(ByteView record) {
    DecodeHeader(record);
    CopyRecordBytes(record, 0, scanBlock.data(), scanBlock.size());
    auto label = [this](TextBuffer& text) { text.appendf("%02d:%02d:%02d", gpsHour, gpsMinute, gpsSecond); };
    if (!DataSetStep(1, label)) return kRecordNothing;
    if (averageMode == kAverageBestServer) {
        for (int n = 1; n <= kReceivers; ++n) {
            ByteView table = ScanTable(n);
            bestChannel[n - 1] = PickStrongest(
                kScanEntries, [&](int e) { return le16(table, 3 * e) != 0; },
                [&](int e) { return table[3 * e + 2]; });
        }
    }
    readyOutputs = 1;
    return kRecordData;
}

ByteView ZDravik::FastBlock(int receiver) const {
    if (receiver < 1 || receiver > kReceivers) return {};
    return {receiverBlock[receiver - 1].data(), kReceiverBlockLength};
}

BandDescriptor ZDravik::FastBand(int receiver) const { return BandDescriptor::Read(FastBlock(receiver).sub(2, 9)); }

std::uint16_t ZDravik::FastChannel(int receiver) const { return le16(FastBlock(receiver), 0); }

double ZDravik::FastFrequency(int receiver) const {
    return ChannelToFrequency(FastBand(receiver), FastChannel(receiver), FrequencyRule::Dravik);
}

BandDescriptor ZDravik::ScanBand(int receiver) const {
    if (receiver < 1 || receiver > kReceivers) return {};
    ByteView scan{scanBlock.data(), scanBlock.size()};
    return BandDescriptor::Read(scan.sub(kScanHeaderOffset + kScanHeaderLength * (receiver - 1), 9));
}

ByteView ZDravik::ScanTable(int receiver) const {
    if (receiver < 1 || receiver > kReceivers) return {};
    ByteView scan{scanBlock.data(), scanBlock.size()};
    return scan.sub(kScanTableOffset + kScanTableLength * (receiver - 1), kScanTableLength);
}

std::int16_t ZDravik::DataTitles(std::int16_t step, TextBuffer& out, char delimiter) {
    return ClassicDataTitles(*this, kReceivers, titleReceiver, titleGroups, step, out, delimiter);
}

void ZDravik::AppendFastValue(TextBuffer& out, int receiver, int what) const {
    switch (what) {
    case 1: AppendFixed4(out, FastFrequency(receiver)); break;
    case 2: AppendDecimal(out, DisplayChannel(FastBand(receiver), FastChannel(receiver))); break;
    case 3:
        out.append('-');
        AppendDecimal(out, MeanRssi(FastBlock(receiver).sub(kSampleOffset, kRssiSamples)));
        break;
    default: break;
    }
}

std::int16_t ZDravik::DataColumns(std::int16_t step, TextBuffer& out, char delimiter) {
    out.clear();
    if (step == 0) columnReceiver = 1;
    else if (columnReceiver < 1 || columnReceiver > kReceivers) return -1;
    const int n = columnReceiver++;
    if (dataSetKind != 0 && dataSetKind != 1) return 0;
    if (!ReceiverOn(n)) return 1;
    const auto& data = settings().fieldData;
    bool first = true;
    auto separate = [&] {
        if (!first) out.append(delimiter);
        first = false;
    };
    if (dataSetKind == 0) {
        if (data.frequency) {
            separate();
            AppendFastValue(out, n, 1);
        }
        if (data.channel) {
            separate();
            AppendFastValue(out, n, 2);
        }
        if (data.rssi) {
            separate();
            if (averageMode != kAverageFortyLambda) {
                AppendFastValue(out, n, 3);
            } else {
                // The average of this output row, or an empty column once the receiver has none left.
                const LambdaBlock& block = averageWork.blocks[n - 1];
                const int row = readyOutputs - pendingOutputs;
                if (row >= 0 && row < block.produced && row < static_cast<int>(block.averages.size())) {
                    out.append('-');
                    AppendDecimal(out, static_cast<long>(block.averages[row]));
                }
            }
        }
        return 0;
    }
    const BandDescriptor band = ScanBand(n);
    const ByteView table = ScanTable(n);
    int from = 0, to = kScanEntries;
    if (averageMode == kAverageBestServer) {
        from = bestChannel[n - 1] >= 0 && bestChannel[n - 1] < kScanEntries ? bestChannel[n - 1] : 0;
        to = from + 1;
    }
    for (int e = from; e < to; ++e) {
        const std::uint16_t raw = le16(table, 3 * e);
        if (raw == 0) break;
        if (data.frequency) {
            separate();
            AppendFixed4(out, ChannelToFrequency(band, raw, FrequencyRule::Dravik));
        }
        if (data.channel) {
            separate();
            AppendDecimal(out, DisplayChannel(band, raw));
        }
        if (data.rssi) {
            separate();
            out.append('-');
            AppendDecimal(out, static_cast<int>(table[3 * e + 2]));
        }
    }
    return 0;
}

void ZDravik::AppendDecimalDegrees(TextBuffer& out, bool latitude) const {
    const double value = latitude ? DecimalDegrees(latDegrees, latMinutes, latThousandths)
                                  : DecimalDegrees(lonDegrees, lonMinutes, lonThousandths);
    const char positive = latitude ? 'N' : 'E';
    if ((latitude ? latHemisphere : lonHemisphere) != positive) out.append('-');
    AppendFixed4(out, value);
}

void ZDravik::FormatField(std::int16_t tag, TextBuffer& out) {
    out.clear();
    if (AppendClockField(out, tag, {gpsHour, gpsMinute, gpsSecond}, {RtcMonth(), RtcDay(), RtcYear()},
                         {RtcHour(), RtcMinute(), RtcSecond()}))
        return;
    const bool lat = tag >= 5 && tag <= 10;
    const std::int16_t degrees = lat ? latDegrees : lonDegrees;
    const std::int16_t minutes = lat ? latMinutes : lonMinutes;
    const std::int16_t thousandths = lat ? latThousandths : lonThousandths;
    switch (tag) {
    case 4: out.append('\n'); break;
    case 5:
    case 11: AppendDecimalDegrees(out, lat); break;
    case 6:
    case 12: AppendDecimal(out, degrees); break;
    case 7:
    case 13: AppendDecimal(out, minutes); break;
    case 8:
    case 14: out.appendf("%d.%03d", minutes, thousandths); break;
    case 9:
    case 15: AppendDecimal(out, thousandths * 60 / 1000); break;
    case 10:
    case 16: out.appendf("%c", lat ? latHemisphere : lonHemisphere); break;
    case 17: out.append((GpsStatus() & 0x80) ? "OK" : "NO"); break;
    case 29: AppendDecimal(out, MarkerValue()); break;
    case 32: AppendDecimal(out, outputRowCount); break;
    case 101:
    case 102:
    case 103:
    case 201:
    case 202:
    case 203: AppendFastValue(out, tag / 100, tag % 100); break;
    default: break;  // altitude, velocity, receivers 3 and 4 and every other tag: empty
    }
}

} // namespace mutaro

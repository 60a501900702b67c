#include "readers/Talvor.h"

#include <algorithm>
#include <cstring>

#include "platform/Messages.h"
#include "readers/ClassicFraming.h"
#include "readers/FieldText.h"

namespace mutaro {

namespace {

// Scan tables: entry e of a table is 4 bytes, u16 raw channel (0 ends the table), u8 RSSI.
std::uint16_t EntryChannel(ByteView table, int e) { return le16(table, 4 * static_cast<std::size_t>(e)); }
std::uint8_t EntryRssi(ByteView table, int e) { return u8(table, 4 * static_cast<std::size_t>(e) + 2); }

// Copies `source` to the start of `target`; whatever `source` lacks becomes zero.
template <std::size_t N>
void CopyZeroFilled(std::array<std::uint8_t, N>& target, ByteView source, std::size_t count = N) {
    std::size_t take = std::min({count, N, source.size});
    if (take > 0) std::memcpy(target.data(), source.data, take);
    std::fill(target.begin() + static_cast<std::ptrdiff_t>(take), target.end(), std::uint8_t{0});
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::int16_t FirmwareVersionOf(const char* text) {
    const char* p = text;
    while (IsSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // The significant digits and the power of ten they are scaled by.
    char digits[8];
    int count = 0;
    long scale = 0;
    bool anyDigit = false;
    // Digits past the eighth significant one cannot change a truncated value of at most 5 digits.
    auto take = [&](char c, bool fraction) {
        anyDigit = true;
        if (count == 0 && c == '0') {
            if (fraction) --scale;
            return;
        }
        if (count < static_cast<int>(sizeof digits)) {
            digits[count++] = c;
            if (fraction) --scale;
        } else if (!fraction) {
            ++scale;
        }
    };
    for (; IsDigit(*p); ++p) take(*p, false);
    if (*p == '.')
        for (++p; IsDigit(*p); ++p) take(*p, true);
    if (!anyDigit) return 0;
    if ((*p == 'e' || *p == 'E') && (IsDigit(p[1]) || ((p[1] == '+' || p[1] == '-') && IsDigit(p[2])))) {
        ++p;
        bool down = false;
        if (*p == '+' || *p == '-') down = *p++ == '-';
        long exponent = 0;
        for (; IsDigit(*p); ++p) exponent = std::min(exponent * 10 + (*p - '0'), 100000L);
        scale += down ? -exponent : exponent;
    }
    scale += 2;  // times 100
    // The value times 100 is digits x 10^scale; truncate toward zero and saturate to 16 bits.
    long value = 0;
    for (int i = 0; i < count; ++i) {
        long position = static_cast<long>(count - 1 - i) + scale;  // power of ten of this digit
        if (position < 0) break;
        if (position > 5) return negative ? INT16_MIN : INT16_MAX;
        long weight = 1;
        for (long k = 0; k < position; ++k) weight *= 10;
        value += (digits[i] - '0') * weight;
        if (value > 32767) return negative ? INT16_MIN : INT16_MAX;
    }
    return static_cast<std::int16_t>(negative ? -value : value);
}

ZTalvor::ZTalvor(ConversionSettings& settings) : ZProduct(settings) {
    SetAvailableTags({0, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 21, 26, 27, 17, 29,
                      33, 36, 34, 35, 37, 38, 39, 40});
    headerPending = 1;
}

std::int32_t ZTalvor::Open(const std::string& fileName) {
    firmwareVersion = -1;
    // Everything decoded from the previous log goes, so the conversion pass after the indexing
    // pass (or over another log) starts from the same state as the first pass did.
    productText.fill(0);
    versionText.fill(0);
    recordHeader.fill(0);
    for (auto& block : receiverBlock) block.fill(0);
    scanBlock.fill(0);
    latDegrees = latMinutes = latThousandths = 0;
    lonDegrees = lonMinutes = lonThousandths = 0;
    gpsHour = gpsMinute = gpsSecond = 0;
    latHemisphere = lonHemisphere = 0;
    altitudeMetres = velocityMph = 0;
    markerValue = 0;
    bestChannel.fill(0);
    titleReceiver = columnReceiver = 1;
    return ZProduct::Open(fileName);
}

std::int32_t ZTalvor::ReadRecord(RawRecord& buffer) {
    std::uint32_t skipped = 0;
    for (;;) {
        std::uint8_t prefix[4];
        if (!logStream.ReadExact(prefix, sizeof prefix)) return 0;
        std::uint32_t length = le32(ByteView{prefix, sizeof prefix}, 0);
        if (length >= 1 && length <= kMaxBodyLength) {
            if (!logStream.ReadExact(buffer.data(), length)) return 0;
            // A body shorter than its layout is decoded from the bytes it has: every byte it does
            // not supply reads as zero, and no byte past the body is taken from the file.
            if (length < kLongestLayout) std::memset(buffer.data() + length, 0, kLongestLayout - length);
            return static_cast<std::int32_t>(length + 4 + skipped);
        }
        // Lost framing: try again one byte further on; the skipped byte counts in the total.
        if (!logStream.Skip(-3)) return 0;
        if (++skipped == kMaxSkipPerStep) {
            std::memset(buffer.data(), 0, kLongestLayout);  // no record: type 0 is ignored
            return static_cast<std::int32_t>(skipped);
        }
    }
}

std::int16_t ZTalvor::ParseRecord(RawRecord& buffer) {
    ByteView record{buffer.data(), buffer.size()};
    switch (record[0]) {
    case 'I':
        try {
            return ParseInformation(record);
        } catch (...) {
            ReportMessage(kError, "ID problem");
            return kRecordNothing;
        }
    case 'F':
        try {
            return ParseFast(record);
        } catch (...) {
            ReportMessage(kError, "FAST problem");
            return kRecordNothing;
        }
    case 'S':
        try {
            return ParseScan(record);
        } catch (...) {
            ReportMessage(kError, "SCAN problem");
            return kRecordNothing;
        }
    default:
        return kRecordNothing;
    }
}

std::int16_t ZTalvor::ParseInformation(ByteView record) {
    productText.fill(0);
    versionText.fill(0);
    // A negative length counts as an over-long one.
    std::int32_t productLength = sle32(record, 1);
    if (productLength < 0 || productLength > 511) return kRecordNothing;
    ByteView product = record.sub(5, static_cast<std::size_t>(productLength));
    if (product.size > 0) std::memcpy(productText.data(), product.data, product.size);
    std::size_t versionAt = 5 + static_cast<std::size_t>(productLength);
    std::int32_t versionLength = sle32(record, versionAt);
    if (versionLength < 0 || versionLength > 63) return kRecordNothing;
    ByteView version = record.sub(versionAt + 4, static_cast<std::size_t>(versionLength));
    if (version.size > 0) std::memcpy(versionText.data(), version.data, version.size);
    // The texts end at their first zero byte, as the receiver's software reads them.
    textLine.assignf("%s %s\n", productText.data(), versionText.data());
    firmwareVersion = FirmwareVersionOf(versionText.data());
    return kRecordNothing;
}

void ZTalvor::DecodeHeader(ByteView record) {
    const std::size_t headerLength = HeaderLength();
    CopyZeroFilled(recordHeader, record, headerLength);
    if (headerLength == kShortHeaderLength) {
        BcdCoordinate lat = DecodeBcdCoordinate(record.sub(9, 4));
        latDegrees = lat.degrees;
        latMinutes = lat.minutes;
        latThousandths = lat.thousandths;
        latHemisphere = static_cast<char>(record[13]);
        BcdCoordinate lon = DecodeBcdCoordinate(record.sub(14, 4));
        lonDegrees = lon.degrees;
        lonMinutes = lon.minutes;
        lonThousandths = lon.thousandths;
        lonHemisphere = static_cast<char>(record[18]);
        gpsHour = static_cast<std::int16_t>(bcd(record[19]));
        gpsMinute = static_cast<std::int16_t>(bcd(record[20]));
        gpsSecond = static_cast<std::int16_t>(bcd(record[21]));
        markerValue = le16(record, 22);
        return;
    }
    // Positions in 1/3,600,000 degree; above 0 is north (east), 0 and below south (west).
    auto split = [](std::int32_t v, std::int16_t& degrees, std::int16_t& minutes, std::int16_t& thousandths) {
        // The magnitude in 64 bits, so the most negative value has one too.
        std::int64_t a = v < 0 ? -static_cast<std::int64_t>(v) : v;
        degrees = static_cast<std::int16_t>(a / 3600000);
        std::int64_t r = a % 3600000;
        minutes = static_cast<std::int16_t>(r / 60000);
        thousandths = static_cast<std::int16_t>((r % 60000) / 60);
    };
    std::int32_t latitude = sbe32(record, 9);
    std::int32_t longitude = sbe32(record, 13);
    latHemisphere = latitude > 0 ? 'N' : 'S';
    lonHemisphere = longitude > 0 ? 'E' : 'W';
    split(latitude, latDegrees, latMinutes, latThousandths);
    split(longitude, lonDegrees, lonMinutes, lonThousandths);
    altitudeMetres = sbe32(record, 17) / 100;
    velocityMph = static_cast<std::int32_t>(static_cast<std::int64_t>(be16(record, 21)) * 22356 / 1000000);
    gpsHour = record[25];
    gpsMinute = record[26];
    gpsSecond = record[27];
    // Firmware 1.25 has the long header but keeps the marker at offset 22, over the velocity's
    // low byte; later firmware moved it to offset 28.
    markerValue = firmwareVersion <= 125 ? le16(record, 22) : le16(record, 28);
}

std::int16_t ZTalvor::ParseFast(ByteView record) {
    readyOutputs = 1;
    DecodeHeader(record);
    auto label = [this](TextBuffer& text) { text.appendf("%02d:%02d:%02d", gpsHour, gpsMinute, gpsSecond); };
    if (!DataSetStep(0, label)) return kRecordNothing;
    const std::size_t headerLength = HeaderLength();
    for (int n = 1; n <= kReceivers; ++n) {
        if (!ReceiverOn(n)) continue;
        auto& block = receiverBlock[static_cast<std::size_t>(n - 1)];
        CopyZeroFilled(block, record.sub(headerLength + kReceiverBlockLength * static_cast<std::size_t>(n - 1),
                                         kReceiverBlockLength));
        if (FastBand(n).wholeMHz == 0 || averageMode != kAverageFortyLambda) continue;
        const auto receiver = static_cast<std::int16_t>(n - 1);
        if (lambdaStart) averageWork.blocks[static_cast<std::size_t>(n - 1)].window = LambdaWindow(receiver);
        std::int16_t ready = AverageSamples(receiver);
        if (ready > readyOutputs) readyOutputs = ready;
    }
    lambdaStart = 0;
    return kRecordData;
}

std::int16_t ZTalvor::ParseScan(ByteView record) {
    const std::size_t headerLength = HeaderLength();
    DecodeHeader(record);
    CopyZeroFilled(scanBlock, record.sub(headerLength, kScanBlockLength));
    auto label = [this](TextBuffer& text) { text.appendf("%02d:%02d:%02d", gpsHour, gpsMinute, gpsSecond); };
    if (!DataSetStep(1, label)) return kRecordNothing;
    if (averageMode == kAverageBestServer) PickBestServer();
    readyOutputs = 1;
    return kRecordData;
}

void ZTalvor::PickBestServer() {
    // The strongest level wins: the smallest magnitude, a tie keeping the lower index; magnitudes
    // of 121 and above and raw channel 0 never win, and with no winner entry 0 stands. Every one of
    // the 80 entries is a candidate, also past a raw channel 0.
    for (int n = 1; n <= kReceivers; ++n) {
        ByteView table = ScanTable(n);
        bestChannel[static_cast<std::size_t>(n - 1)] = PickStrongest(
            kScanEntries, [&](int e) { return EntryChannel(table, e) != 0; },
            [&](int e) { return EntryRssi(table, e); });
    }
}

ByteView ZTalvor::FastBlock(int receiver) const {
    if (receiver < 1 || receiver > kReceivers) return {};
    const auto& block = receiverBlock[static_cast<std::size_t>(receiver - 1)];
    return {block.data(), block.size()};
}

BandDescriptor ZTalvor::FastBand(int receiver) const { return BandDescriptor::Read(FastBlock(receiver).sub(2, 9)); }

std::uint16_t ZTalvor::FastChannel(int receiver) const { return le16(FastBlock(receiver), 0); }

BandDescriptor ZTalvor::ScanBand(int receiver) const {
    if (receiver < 1 || receiver > kReceivers) return {};
    ByteView block{scanBlock.data(), scanBlock.size()};
    return BandDescriptor::Read(block.sub(16 * static_cast<std::size_t>(receiver - 1), BandDescriptor::kSize));
}

ByteView ZTalvor::ScanTable(int receiver) const {
    if (receiver < 1 || receiver > kReceivers) return {};
    ByteView block{scanBlock.data(), scanBlock.size()};
    return block.sub(kScanTableOffset + kScanTableLength * static_cast<std::size_t>(receiver - 1), kScanTableLength);
}

std::int16_t ZTalvor::DataTitles(std::int16_t step, TextBuffer& out, char delimiter) {
    return ClassicDataTitles(*this, kReceivers, titleReceiver, titleGroups, step, out, delimiter);
}

void ZTalvor::AppendFastValue(TextBuffer& out, int receiver, int what) const {
    switch (what) {
    case 1: AppendFixed4(out, ChannelToFrequency(FastBand(receiver), FastChannel(receiver))); break;
    case 2: AppendDecimal(out, DisplayChannel(FastBand(receiver), FastChannel(receiver))); break;
    case 3:
        out.append('-');
        AppendDecimal(out, MeanRssi(FastBlock(receiver).sub(kSampleOffset, kRssiSamples)));
        break;
    default: break;
    }
}

std::int16_t ZTalvor::DataColumns(std::int16_t step, TextBuffer& out, char delimiter) {
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
        if (data.frequency) separate(), AppendFastValue(out, n, 1);
        if (data.channel) separate(), AppendFastValue(out, n, 2);
        if (data.rssi) {
            separate();
            if (averageMode != kAverageFortyLambda) {
                AppendFastValue(out, n, 3);
            } else {
                // Row r of the record shows average r of this receiver, if it produced that many.
                const auto& lambda = averageWork.blocks[static_cast<std::size_t>(n - 1)];
                const int row = readyOutputs - pendingOutputs;
                const int produced = std::min<std::int32_t>(lambda.produced, static_cast<std::int32_t>(lambda.averages.size()));
                if (row >= 0 && row < produced) {
                    out.append('-');
                    AppendDecimal(out, lambda.averages[static_cast<std::size_t>(row)]);
                }
            }
        }
        return 0;
    }
    ByteView table = ScanTable(n);
    const BandDescriptor band = ScanBand(n);
    int from = 0;
    int to = kScanEntries;
    if (averageMode == kAverageBestServer) {
        from = std::clamp<int>(bestChannel[static_cast<std::size_t>(n - 1)], 0, kScanEntries - 1);
        to = from + 1;
    }
    for (int e = from; e < to; ++e) {
        const std::uint16_t raw = EntryChannel(table, e);
        if (raw == 0) break;
        if (data.frequency) separate(), AppendFixed4(out, ChannelToFrequency(band, raw));
        if (data.channel) separate(), AppendDecimal(out, DisplayChannel(band, raw));
        if (data.rssi) separate(), out.append('-'), AppendDecimal(out, EntryRssi(table, e));
    }
    return 0;
}

void ZTalvor::AppendDecimalDegrees(TextBuffer& out, bool latitude) const {
    const char positive = latitude ? 'N' : 'E';
    const char hemisphere = latitude ? latHemisphere : lonHemisphere;
    const double value = latitude ? DecimalDegrees(latDegrees, latMinutes, latThousandths)
                                  : DecimalDegrees(lonDegrees, lonMinutes, lonThousandths);
    if (hemisphere != positive) out.append('-');
    AppendFixed4(out, value);
}

void ZTalvor::FormatField(std::int16_t tag, TextBuffer& out) {
    out.clear();
    if (AppendClockField(out, tag, {gpsHour, gpsMinute, gpsSecond}, {RtcMonth(), RtcDay(), RtcYear()},
                         {RtcHour(), RtcMinute(), RtcSecond()}))
        return;
    if (tag >= 101 && tag <= 403) {
        const int receiver = tag / 100;
        const int what = tag % 100;
        AppendFastValue(out, receiver, what);
        return;
    }
    const bool latitude = tag >= 5 && tag <= 10;
    switch (tag) {
    case 4: out.append('\n'); break;
    case 5:
    case 11: AppendDecimalDegrees(out, latitude); break;
    case 6: AppendDecimal(out, latDegrees); break;
    case 12: AppendDecimal(out, lonDegrees); break;
    case 7: AppendDecimal(out, latMinutes); break;
    case 13: AppendDecimal(out, lonMinutes); break;
    case 8: out.appendf("%d.%03d", latMinutes, latThousandths); break;
    case 14: out.appendf("%d.%03d", lonMinutes, lonThousandths); break;
    case 9: AppendDecimal(out, latThousandths * 60 / 1000); break;
    case 15: AppendDecimal(out, lonThousandths * 60 / 1000); break;
    case 10: out.appendf("%c", latHemisphere); break;
    case 16: out.appendf("%c", lonHemisphere); break;
    case 17: out.append((GpsStatus() & 0x80) ? "OK" : "NO"); break;
    case 26: AppendDecimal(out, altitudeMetres); break;
    case 27: AppendDecimal(out, velocityMph); break;
    case 29: AppendDecimal(out, markerValue); break;
    // Written unsigned: the same digits as "%d" for any count a log can reach, never negative.
    case 32: AppendDecimal(out, outputRowCount); break;
    default: break;
    }
}

} // namespace mutaro

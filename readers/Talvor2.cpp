#include "readers/Talvor2.h"

#include <cstdlib>

#include "readers/ClassicFraming.h"
#include "readers/FieldText.h"

namespace mutaro {

double Talvor2Band::Frequency(std::uint16_t c) const {
    const long double base = wholeMHz + fraction * static_cast<long double>(0.0001);
    // The spacing value 62 stands for exactly 6.25 kHz, which the 0.1 kHz unit cannot hold.
    const long double step = spacing == 62 ? static_cast<long double>(0.00625)
                                           : spacing * static_cast<long double>(0.0001);
    const int difference = static_cast<int>(c) - static_cast<int>(lowChannel);
    return static_cast<double>(difference * step + base);
}

std::uint16_t Talvor2Band::DisplayChannel(std::uint16_t c) const {
    if (!ChannelOffsetRule()) return c;
    return static_cast<std::uint16_t>(c <= 34 ? c + 989 : c - 34);
}

BandDescriptor Talvor2Band::AsDescriptor() const {
    BandDescriptor descriptor;
    descriptor.flags = flags;
    descriptor.wholeMHz = wholeMHz;
    descriptor.fraction = fraction;
    descriptor.spacing = spacing;
    descriptor.rawAtBase = lowChannel;
    return descriptor;
}

const std::array<const char*, 17> ZTalvor2::headingNames = {
    "N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE", "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW", "N"};

int ZTalvor2::HeadingIndex(std::int16_t h) {
    // The receiver's own rounding, kept as it is: 225 is the first value past "N".
    int index = ((h * 225 + 113) / 225) / 225;
    return index < 0 ? 0 : (index > 16 ? 16 : index);
}

ZTalvor2::ZTalvor2(ConversionSettings& settings) : ZProduct(settings) {
    SetAvailableTags({0,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 21,
                      26, 27, 28, 17, 29, 33, 36, 34, 35, 37, 38, 39, 40, 46, 47, 48, 49});
    headerPending = 1;
    currentReceiver = 1;
}

std::int32_t ZTalvor2::Open(const std::string& fileName) {
    outputRowCount = 0;
    if (ZProduct::Open(fileName) != 0) return -1;
    // The signature and the three bytes after it carry nothing the reader uses.
    std::uint8_t fileHeader[kFileHeaderLength];
    logStream.Read(fileHeader, sizeof fileHeader);
    receiverUpdated.fill(false);
    // One log's open pair must never reach the next log.
    pendingR.fill(PendingPair{});
    pendingS.fill(PendingPair{});
    // Nor its bands and header: channel records ahead of a log's first band table or fast record
    // would otherwise be written with the plan and position of the previous log, or of the
    // previous pass over the same log.
    receiverBand.fill(ReceiverBand{});
    receiverBlock = {};
    DecodeHeader(ByteView{});
    recordLength_ = 0;
    return 0;
}

std::int32_t ZTalvor2::ReadRecord(RawRecord& buffer) {
    recordLength_ = 0;
    std::uint8_t prefix[2];
    if (!logStream.ReadExact(prefix, sizeof prefix)) return 0;
    const std::int16_t length = sle16(ByteView{prefix, sizeof prefix}, 0);
    if (length == 0) return 0;  // a zero length ends the log, whatever follows
    if (length < 0 || length > kMaxBodyLength) return 2;
    if (!logStream.ReadExact(buffer.data(), static_cast<std::size_t>(length))) return 0;
    recordLength_ = static_cast<std::size_t>(length);
    return length + 2;
}

std::int16_t ZTalvor2::ParseRecord(RawRecord& buffer) {
    readyOutputs = 1;
    const std::size_t length = recordLength_ < buffer.size() ? recordLength_ : buffer.size();
    // A record shorter than its layout is decoded from the bytes it has; missing bytes read as zero.
    ByteView record{buffer.data(), length};
    if (length == 0) return kRecordNothing;  // a lost length delivered no record
    switch (record[0]) {
    case 'F': return ParseFast(record);
    case 'S': return ParseBandTable(record);
    case 'c':
    case 'v':
    case 'r':
    case 's': return ParseChannel(record);
    default: return kRecordNothing;  // 0x0D, 0x0E, "d" and any other type
    }
}

void ZTalvor2::DecodeHeader(ByteView record) {
    CopyRecordBytes(record, 0, recordHeader.data(), recordHeader.size());
    ByteView header{recordHeader.data(), recordHeader.size()};
    auto position = [](std::int32_t v, double& decimal, std::int16_t& degrees, std::int16_t& minutes,
                       std::int32_t& seconds, char& hemisphere, char positive, char negative) {
        decimal = static_cast<double>(static_cast<long double>(v) * (1.0 / 3600000));
        hemisphere = decimal > 0 ? positive : negative;
        const std::int32_t s = std::abs(v / 1000);
        degrees = static_cast<std::int16_t>(s / 3600);
        minutes = static_cast<std::int16_t>((s - degrees * 3600) / 60);
        seconds = s - degrees * 3600 - minutes * 60;
    };
    position(sbe32(header, 9), latDecimal, latDegrees, latMinutes, latSeconds, latHemisphere, 'N', 'S');
    position(sbe32(header, 13), lonDecimal, lonDegrees, lonMinutes, lonSeconds, lonHemisphere, 'E', 'W');
    altitudeMetres = sbe32(header, 17) / 100;
    velocityMph = static_cast<std::int32_t>(be16(header, 21) * 22356 / 1000000);
    headingText = headingNames[HeadingIndex(sbe16(header, 23))];
    gpsHour = header[25];
    gpsMinute = header[26];
    gpsSecond = header[27];
    markerValue = sle16(header, 28);
}

std::int16_t ZTalvor2::ParseFast(ByteView record) {
    if (!converting) DecodeHeader(record);  // the index labels the data set by this record's time
    auto label = [this](TextBuffer& text) { text.appendf("%02d:%02d:%02d", gpsHour, gpsMinute, gpsSecond); };
    if (!DataSetStep(0, label)) return kRecordNothing;
    DecodeHeader(record);
    std::array<bool, kReceivers> marked{};
    bool anyMarked = false;
    for (int i = 0; i < kReceivers; ++i) {
        if (record[kPresenceOffset + i] == 0 || !ReceiverOn(i + 1)) continue;
        auto& block = receiverBlock[i];
        CopyRecordBytes(record, kBlocksOffset + kReceiverBlockLength * i, block.data(), block.size());
        ByteView view{block.data(), block.size()};
        ReceiverBand& band = receiverBand[i];
        band.rawChannel = le16(view, 0);
        band.band = Talvor2Band::Read(view.sub(2, Talvor2Band::kSize));
        BlockList& list = receiverBlocks[i];
        list.clear();
        DATABLOCK d;
        d.channel = static_cast<std::int16_t>(band.rawChannel);
        if (d.channel > band.band.highChannel || d.channel < band.band.lowChannel) {
            // A channel outside its band stops the record. The receivers handled before it must not
            // keep their marks: their readings would be written later under another record's header.
            for (int j = 0; j < i; ++j)
                if (marked[j]) receiverUpdated[j] = false;
            return kRecordNothing;
        }
        if (band.band.ChannelOffsetRule()) {
            if (band.band.codeFlags & 0x40) {
                d.sat = view[14];
                d.vmac = view[15];
            }
            if (band.band.codeFlags & 0x80) {
                d.dcc = view[14];
                d.auxCode = view[15];
            }
        }
        if (averageMode == kAverageFortyLambda) {
            LambdaBlock& lambda = averageWork.blocks[i];
            lambda.window = LambdaWindow(static_cast<std::int16_t>(i));
            int produced = AverageSamples(static_cast<std::int16_t>(i));
            if (produced > static_cast<int>(lambda.averages.size())) produced = static_cast<int>(lambda.averages.size());
            for (int k = 0; k < produced; ++k) {
                DATABLOCK average = d;
                average.rssi = static_cast<std::uint8_t>(lambda.averages[k] & 0xFF);
                list.push_back(average);
            }
            if (produced > 0) {
                if (!receiverUpdated[i]) marked[i] = true;
                receiverUpdated[i] = true;
                anyMarked = true;
            }
        } else {
            unsigned sum = 0;
            for (std::size_t s = 0; s < kRssiSamples; ++s) sum += view[kSampleOffset + s];
            d.rssi = static_cast<std::uint8_t>((sum >> 9) & 0xFF);
            list.push_back(d);
            if (!receiverUpdated[i]) marked[i] = true;
            receiverUpdated[i] = true;
            anyMarked = true;
        }
    }
    return anyMarked ? kRecordData : kRecordNothing;
}

std::int16_t ZTalvor2::ParseBandTable(ByteView record) {
    if (!converting) DecodeHeader(record);
    auto label = [this](TextBuffer& text) { text.appendf("%02d:%02d:%02d", gpsHour, gpsMinute, gpsSecond); };
    if (!DataSetStep(1, label)) return kRecordNothing;
    DecodeHeader(record);
    for (int i = 0; i < kReceivers; ++i) {
        receiverBand[i].rawChannel = 0;
        receiverBand[i].band = Talvor2Band::Read(record.sub(kBlocksOffset + Talvor2Band::kSize * i, Talvor2Band::kSize));
    }
    return kRecordNothing;
}

std::int16_t ZTalvor2::ParseChannel(ByteView record) {
    if (skipDataSet) return kRecordNothing;  // channel records belong to the data set in progress
    const std::uint8_t r = record[1];
    if (r >= kReceivers) return kRecordNothing;
    BlockList& list = receiverBlocks[r];
    const std::uint8_t type = record[0];
    DATABLOCK d;
    if (type == 'c' || type == 'v') {
        d.channel = sle16(record, 2);
        d.rssi = record[4];
        if (type == 'c') {
            d.dcc = record[5];
        } else {
            d.sat = record[5];
            d.vmac = record[6];
        }
        list.clear();
        list.push_back(d);
        receiverUpdated[r] = true;
        return kRecordData;
    }
    // "r" and "s": receiver, i16 phase, u16 channel, RSSI, and for "s" the SAT.
    const bool withSat = type == 's';
    const std::int16_t phase = sle16(record, 2);
    d.channel = sle16(record, 4);
    d.rssi = record[6];
    if (withSat) d.sat = record[7];
    PendingPair& pair = withSat ? pendingS[r] : pendingR[r];
    auto closePair = [&] {
        if (!pair.open) return;
        list.clear();
        pair.open = false;
        ByteView body{pair.body.data(), pair.body.size()};
        DATABLOCK opening;
        opening.channel = sle16(body, 3);
        opening.rssi = body[5];
        if (withSat) opening.sat = body[6];
        list.push_back(opening);
    };
    auto openPair = [&] {
        pair.body.fill(0);
        CopyRecordBytes(record, 1, pair.body.data(), withSat ? 7 : 6);
        pair.open = true;
        receiverUpdated[r] = true;
    };
    if (phase == 1) {
        // An "r" opening closes the pair before it; an "s" opening leaves the list as it is.
        if (!withSat) closePair();
        openPair();
        return kRecordData;
    }
    if (phase == 2) closePair();
    list.push_back(d);
    return kRecordNothing;
}

bool ZTalvor2::ReceiverHasData(std::int16_t receiver) {
    if (receiver < 1 || receiver > kReceivers) return false;
    const int i = receiver - 1;
    currentReceiver = static_cast<std::int16_t>(i);
    if (receiverBand[i].band.spacing == 0 || !ReceiverOn(receiver) || !receiverUpdated[i]) return false;
    receiverUpdated[i] = false;
    return true;
}

ByteView ZTalvor2::FastBlock(int receiver) const {
    const auto& block = receiverBlock[ClampReceiver(receiver)];
    return {block.data(), block.size()};
}

std::int16_t ZTalvor2::DataTitles(std::int16_t, TextBuffer& out, char delimiter) {
    out.clear();
    if (!headerPending) return -1;
    const auto& data = settings().fieldData;
    bool first = true;
    auto title = [&](bool on, const char* name) {
        if (!on) return;
        if (!first) out.append(delimiter);
        first = false;
        out.appendf("\"%s\"", name);
    };
    title(data.frequency, "Frequency");
    title(data.channel, "Channel");
    title(data.rssi, "RSSI");
    title(data.satDcc, "SAT/DCC");
    title(data.vmac, "VMAC");
    headerPending = 0;
    return 0;
}

void ZTalvor2::AppendBlock(TextBuffer& out, const DATABLOCK& block, char delimiter, bool& first) const {
    const auto& data = settings().fieldData;
    const Talvor2Band& band = receiverBand[ClampReceiver(currentReceiver)].band;
    const auto channel = static_cast<std::uint16_t>(block.channel);
    auto separate = [&] {
        if (!first) out.append(delimiter);
        first = false;
    };
    if (data.frequency) {
        separate();
        out.appendf("%.5f", band.Frequency(channel));
    }
    if (data.channel) {
        separate();
        AppendDecimal(out, band.DisplayChannel(channel));
    }
    if (data.rssi) {
        separate();
        out.append('-');
        AppendDecimal(out, static_cast<int>(block.rssi));
    }
    if (data.satDcc) {
        separate();
        AppendDecimal(out, static_cast<int>(block.sat));
        out.append(',');
        AppendDecimal(out, static_cast<int>(block.dcc));
    }
    if (data.vmac) {
        separate();
        AppendDecimal(out, static_cast<int>(block.vmac));
    }
}

void ZTalvor2::OrderForBestServer(BlockList& list) {
    // A stable sort by falling rssi, then reversed: the strongest level first and, of equal levels,
    // the block added last. Done as a counting sort over the 256 magnitudes into fixed room.
    const std::size_t n = list.size() < orderScratch_.size() ? list.size() : orderScratch_.size();
    std::array<std::size_t, 257> start{};
    for (std::size_t i = 0; i < n; ++i) ++start[255 - list[i].rssi + 1];
    for (std::size_t v = 1; v < start.size(); ++v) start[v] += start[v - 1];
    for (std::size_t i = 0; i < n; ++i) orderScratch_[start[255 - list[i].rssi]++] = list[i];
    for (std::size_t i = 0; i < n; ++i) list[i] = orderScratch_[n - 1 - i];
}

std::int16_t ZTalvor2::DataColumns(std::int16_t step, TextBuffer& out, char delimiter) {
    out.clear();
    if (step == 0) {
        columnCalls = 0;
        columnsDone = 0;
    } else if (columnsDone > 0) {
        return -1;
    }
    const auto position = static_cast<std::size_t>(columnCalls);
    if (columnCalls < INT32_MAX) ++columnCalls;
    BlockList& list = receiverBlocks[ClampReceiver(currentReceiver)];
    bool first = true;
    if (averageMode == kAverageBestServer) {
        OrderForBestServer(list);
        if (!list.empty()) AppendBlock(out, list[0], delimiter, first);
        ++columnsDone;
        return 0;
    }
    // Under 40 lambda each call writes the next average of a fast data set as a group of its own.
    const bool oneBlockPerCall = averageMode == kAverageFortyLambda && dataSetKind != 1;
    std::size_t i = position;
    while (i < list.size()) {
        AppendBlock(out, list[i], delimiter, first);
        ++i;
        if (oneBlockPerCall) break;
    }
    if (averageMode != kAverageFortyLambda || i >= list.size()) ++columnsDone;
    return 0;
}

void ZTalvor2::FormatField(std::int16_t tag, TextBuffer& out) {
    out.clear();
    if (AppendClockField(out, tag, {gpsHour, gpsMinute, gpsSecond}, {RtcMonth(), RtcDay(), RtcYear()},
                         {RtcHour(), RtcMinute(), RtcSecond()}))
        return;
    const bool lat = tag >= 5 && tag <= 10;
    const Talvor2Band& band = receiverBand[ClampReceiver(currentReceiver)].band;
    switch (tag) {
    case 4: out.append('\n'); break;
    case 5:
    case 11: AppendFixed4(out, lat ? latDecimal : lonDecimal); break;
    case 6:
    case 12: AppendDecimal(out, lat ? latDegrees : lonDegrees); break;
    case 7:
    case 13: AppendDecimal(out, lat ? latMinutes : lonMinutes); break;
    case 9:
    case 15: AppendDecimal(out, lat ? latSeconds : lonSeconds); break;
    case 10:
    case 16: out.appendf("%c", lat ? latHemisphere : lonHemisphere); break;
    case 17: out.append((GpsStatus() & 0x80) ? "VALID" : "INVALID"); break;
    case 26: AppendDecimal(out, altitudeMetres); break;
    case 27: AppendDecimal(out, velocityMph); break;
    case 28: out.append(headingText); break;
    case 29: AppendDecimal(out, markerValue); break;
    case 32: AppendDecimal(out, outputRowCount); break;
    case 46: AppendFixed4(out, band.Frequency(band.lowChannel)); break;
    case 47: AppendFixed4(out, band.Frequency(band.highChannel)); break;
    case 48: out.appendf("%.1f", band.spacing * 0.1); break;
    case 49: AppendDecimal(out, ClampReceiver(currentReceiver) + 1); break;
    default: break;  // decimal minutes (8, 14), GPS date and every other tag: empty
    }
}

} // namespace mutaro

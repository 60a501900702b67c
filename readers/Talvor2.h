#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Bytes.h"
#include "core/Product.h"
#include "readers/TalvorBands.h"

namespace mutaro {

// One receiver's frequency plan in a firmware 1.27 log: a 12-byte band entry.
struct Talvor2Band {
    static constexpr std::size_t kSize = 12;

    std::uint8_t flags = 0;        // bit 6: channel offset rule, and the code values of fast blocks
    std::uint16_t wholeMHz = 0;
    std::uint16_t fraction = 0;    // units of 0.0001 MHz
    std::uint16_t spacing = 0;     // units of 0.0001 MHz; 62 stands for 0.00625 MHz; 0: not configured
    std::uint16_t lowChannel = 0;  // the channel at the base frequency
    std::uint16_t highChannel = 0;
    std::uint8_t codeFlags = 0;    // bit 6: SAT and VMAC present; bit 7: DCC and second code present

    static Talvor2Band Read(ByteView bytes) {
        Talvor2Band band;
        band.flags = u8(bytes, 0);
        band.wholeMHz = le16(bytes, 1);
        band.fraction = le16(bytes, 3);
        band.spacing = le16(bytes, 5);
        band.lowChannel = le16(bytes, 7);
        band.highChannel = le16(bytes, 9);
        band.codeFlags = u8(bytes, 11);
        return band;
    }
    bool ChannelOffsetRule() const { return (flags & 0x40) != 0; }
    // Frequency in MHz of channel c, written "%.5f" in the data columns and "%.4f" as a band limit.
    double Frequency(std::uint16_t c) const;
    // The channel number shown for c: raw 0 gives 989, 34 gives 1023, 35 gives 1 under the rule.
    std::uint16_t DisplayChannel(std::uint16_t c) const;
    // The entry read as a classic band descriptor, as the fixed-format writers take a block's plan.
    BandDescriptor AsDescriptor() const;
};

// A raw channel followed by a band entry: 14 bytes, one per receiver. A fast block supplies all of
// it; a band table supplies the band entry with raw channel 0.
struct ReceiverBand {
    std::uint16_t rawChannel = 0;
    Talvor2Band band;
};

// The Talvor log from firmware 1.27 on: a 6-byte file header, i16-framed records, one common
// header layout with binary position, altitude, velocity and heading, band tables, fast records
// with presence flags, and channel records that report single measured channels with their codes.
// Each receiver's measured channels are kept in its DATABLOCK list; one row is written for every
// receiver with new data.
class ZTalvor2 : public ZProduct {
public:
    static constexpr int kReceivers = 4;
    static constexpr std::size_t kFileHeaderLength = 6;
    static constexpr std::int16_t kMaxBodyLength = 4096;
    static constexpr std::size_t kHeaderCopyLength = 38;
    static constexpr std::size_t kPresenceOffset = 32;
    static constexpr std::size_t kBlocksOffset = 36;
    static constexpr std::size_t kReceiverBlockLength = 708;
    static constexpr std::size_t kSampleOffset = 22;
    static constexpr std::size_t kFastRecordLength = kBlocksOffset + kReceivers * kReceiverBlockLength;
    static constexpr std::size_t kBandTableLength = kBlocksOffset + kReceivers * Talvor2Band::kSize;

    explicit ZTalvor2(ConversionSettings& settings = SharedSettings());

    std::int32_t Open(const std::string& fileName) override;
    std::int16_t DataTitles(std::int16_t step, TextBuffer& out, char delimiter) override;
    std::int16_t DataColumns(std::int16_t step, TextBuffer& out, char delimiter) override;
    void FormatField(std::int16_t tag, TextBuffer& out) override;
    std::int32_t ReadRecord(RawRecord& buffer) override;
    std::int16_t ParseRecord(RawRecord& buffer) override;
    bool ReceiverHasData(std::int16_t receiver) override;

    // The classic view of receiver i's (0 to 3) fast block for the fixed-format writers.
    ByteView FastBlock(int receiver) const;
    BandDescriptor FastDescriptor(int receiver) const { return receiverBand[ClampReceiver(receiver)].band.AsDescriptor(); }

    std::uint8_t RtcSecond() const { return recordHeader[2]; }
    std::uint8_t RtcMinute() const { return recordHeader[3]; }
    std::uint8_t RtcHour() const { return recordHeader[4]; }
    std::uint8_t RtcDay() const { return recordHeader[5]; }
    std::uint8_t RtcMonth() const { return recordHeader[6]; }
    std::uint8_t RtcYear() const { return recordHeader[7]; }
    std::uint8_t GpsStatus() const { return recordHeader[8]; }
    // The raw velocity in centimetres per second, which the 40-lambda window takes.
    std::uint16_t VelocityCms() const { return be16(ByteView{recordHeader.data(), recordHeader.size()}, 21); }

    // The 17 heading texts; the last repeats the first.
    static const std::array<const char*, 17> headingNames;
    // Index into headingNames of a heading value h.
    static int HeadingIndex(std::int16_t h);

    // A record that opened an "r" or "s" pair: the body after the type byte.
    struct PendingPair {
        bool open = false;
        std::array<std::uint8_t, 7> body{};
    };

    std::array<std::uint8_t, kHeaderCopyLength> recordHeader{};
    std::array<std::array<std::uint8_t, kReceiverBlockLength>, kReceivers> receiverBlock{};
    std::array<ReceiverBand, kReceivers> receiverBand{};
    double latDecimal = 0, lonDecimal = 0;
    std::int16_t latDegrees = 0, latMinutes = 0, lonDegrees = 0, lonMinutes = 0;
    std::int32_t latSeconds = 0, lonSeconds = 0;
    char latHemisphere = 0, lonHemisphere = 0;
    std::uint8_t gpsHour = 0, gpsMinute = 0, gpsSecond = 0;
    std::int32_t altitudeMetres = 0, velocityMph = 0;
    const char* headingText = "";
    std::int16_t markerValue = 0;
    std::int16_t currentReceiver = 1;
    std::array<bool, kReceivers> receiverUpdated{};
    std::array<PendingPair, kReceivers> pendingR{};
    std::array<PendingPair, kReceivers> pendingS{};
    // DataColumns iteration.
    std::int32_t columnCalls = 0;
    std::int32_t columnsDone = 0;

private:
    static int ClampReceiver(int receiver) { return receiver < 0 ? 0 : (receiver >= kReceivers ? kReceivers - 1 : receiver); }
    std::int16_t ParseFast(ByteView record);
    std::int16_t ParseBandTable(ByteView record);
    std::int16_t ParseChannel(ByteView record);
    void DecodeHeader(ByteView record);
    void OrderForBestServer(BlockList& list);
    void AppendBlock(TextBuffer& out, const DATABLOCK& block, char delimiter, bool& first) const;

    std::size_t recordLength_ = 0;
    // Room for the best-server ordering, so ordering a list allocates nothing.
    std::array<DATABLOCK, kMaxBlocksPerReceiver> orderScratch_{};
};

} // namespace mutaro

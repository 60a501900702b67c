#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/Bytes.h"
#include "core/Product.h"
#include "readers/TalvorBands.h"

namespace mutaro {

// The Dravik receiver log: the classic Talvor record structure from a two-receiver scanner, with
// one 23-byte header layout, 530-byte receiver blocks, 525-byte scan records of 3-byte entries and
// the 0.01 MHz rule of flags bit 6. The decoded state is public because the fixed-format writers and
// the averaging engine read it.
class ZDravik : public ZProduct {
public:
    static constexpr int kReceivers = 2;
    static constexpr std::size_t kHeaderLength = 23;
    static constexpr std::size_t kReceiverBlockLength = 530;
    static constexpr std::size_t kSampleOffset = 18;      // 512 RSSI samples in a receiver block
    static constexpr std::size_t kFastRecordLength = kHeaderLength + kReceivers * kReceiverBlockLength;
    static constexpr std::size_t kScanRecordLength = 525;
    static constexpr std::size_t kScanHeaderOffset = 23;  // two 11-byte receiver headers
    static constexpr std::size_t kScanHeaderLength = 11;
    static constexpr std::size_t kScanTableOffset = 45;   // two tables of 80 three-byte entries
    static constexpr std::size_t kScanTableLength = 240;
    static constexpr int kScanEntries = 80;

    explicit ZDravik(ConversionSettings& settings = SharedSettings());

    std::int16_t DataTitles(std::int16_t step, TextBuffer& out, char delimiter) override;
    std::int16_t DataColumns(std::int16_t step, TextBuffer& out, char delimiter) override;
    void FormatField(std::int16_t tag, TextBuffer& out) override;
    std::int32_t ReadRecord(RawRecord& buffer) override;
    std::int16_t ParseRecord(RawRecord& buffer) override;

    // Receiver n (1 or 2): its fast block, band and channel, its scan band and channel table.
    ByteView FastBlock(int receiver) const;
    BandDescriptor FastBand(int receiver) const;
    std::uint16_t FastChannel(int receiver) const;
    double FastFrequency(int receiver) const;
    BandDescriptor ScanBand(int receiver) const;
    ByteView ScanTable(int receiver) const;
    std::uint8_t RtcSecond() const { return recordHeader[1]; }
    std::uint8_t RtcMinute() const { return recordHeader[2]; }
    std::uint8_t RtcHour() const { return recordHeader[3]; }
    std::uint8_t RtcDay() const { return recordHeader[4]; }
    std::uint8_t RtcMonth() const { return recordHeader[5]; }
    std::uint8_t RtcYear() const { return recordHeader[6]; }
    std::uint8_t GpsStatus() const { return recordHeader[7]; }
    std::uint16_t MarkerValue() const { return le16(ByteView{recordHeader.data(), recordHeader.size()}, 21); }

    std::array<char, 512> productText{};
    std::array<char, 64> versionText{};
    std::array<std::uint8_t, kHeaderLength> recordHeader{};
    std::array<std::array<std::uint8_t, kReceiverBlockLength>, kReceivers> receiverBlock{};
    std::array<std::uint8_t, kScanRecordLength> scanBlock{};
    std::int16_t latDegrees = 0, latMinutes = 0, latThousandths = 0;
    std::int16_t lonDegrees = 0, lonMinutes = 0, lonThousandths = 0;
    std::int16_t gpsHour = 0, gpsMinute = 0, gpsSecond = 0;
    // Taken unchanged from the header; "%c" of a zero byte is an empty text.
    char latHemisphere = 0, lonHemisphere = 0;

    // Column iteration: receiver cursors (1 or 2, 3 when done) and title groups per receiver.
    std::int16_t titleReceiver = 1;
    std::int16_t titleGroups = 1;
    std::int16_t columnReceiver = 1;

private:
    std::int16_t ParseFast(ByteView record);
    std::int16_t ParseScan(ByteView record);
    void DecodeHeader(ByteView record);
    void AppendFastValue(TextBuffer& out, int receiver, int what) const;
    void AppendDecimalDegrees(TextBuffer& out, bool latitude) const;

    // The body length of the latest ReadRecord; a record shorter than its layout is decoded from
    // the bytes it has, every missing byte reading as zero.
    std::size_t recordLength_ = 0;
};

} // namespace mutaro

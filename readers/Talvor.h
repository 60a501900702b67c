#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Bytes.h"
#include "core/Product.h"
#include "readers/TalvorBands.h"

namespace mutaro {

// The classic Talvor receiver log: length-prefixed records (information, fast, scan) from a
// four-receiver CW scanner. The decoded state is public because the fixed-format writers and the
// averaging engine read it.
class ZTalvor : public ZProduct {
public:
    static constexpr int kReceivers = 4;
    static constexpr std::uint32_t kMaxBodyLength = 4096;
    static constexpr std::size_t kShortHeaderLength = 28;  // firmware below 1.25: BCD positions
    static constexpr std::size_t kLongHeaderLength = 36;   // from 1.25: big-endian positions
    static constexpr std::size_t kReceiverBlockLength = 708;
    static constexpr std::size_t kSampleOffset = 22;       // 512 RSSI samples in a receiver block
    static constexpr std::size_t kScanBlockLength = 1344;
    static constexpr std::size_t kScanTableOffset = 64;    // after four 16-byte receiver headers
    static constexpr std::size_t kScanTableLength = 320;   // 80 entries of 4 bytes
    static constexpr int kScanEntries = 80;
    // A complete fast record with the long header, the longest layout the reader decodes.
    static constexpr std::size_t kLongestLayout = kLongHeaderLength + kReceivers * kReceiverBlockLength;
    // Resynchronising over a long run of garbage hands back its count in steps of this size, so
    // the byte count of one step always fits its 32-bit result.
    static constexpr std::uint32_t kMaxSkipPerStep = 1u << 20;

    explicit ZTalvor(ConversionSettings& settings = SharedSettings());

    std::int32_t Open(const std::string& fileName) override;
    std::int16_t DataTitles(std::int16_t step, TextBuffer& out, char delimiter) override;
    std::int16_t DataColumns(std::int16_t step, TextBuffer& out, char delimiter) override;
    void FormatField(std::int16_t tag, TextBuffer& out) override;
    std::int32_t ReadRecord(RawRecord& buffer) override;
    std::int16_t ParseRecord(RawRecord& buffer) override;

    // 28 or 36 by the firmware version of the latest information record.
    std::size_t HeaderLength() const {
        return firmwareVersion < 125 ? kShortHeaderLength : kLongHeaderLength;
    }
    // Receiver n (1 to 4): its fast block, its scan band and its scan channel table.
    ByteView FastBlock(int receiver) const;
    BandDescriptor FastBand(int receiver) const;
    std::uint16_t FastChannel(int receiver) const;
    BandDescriptor ScanBand(int receiver) const;
    ByteView ScanTable(int receiver) const;
    // The record header's fields that are kept raw.
    std::uint8_t GpsStatus() const { return recordHeader[8]; }
    std::uint8_t RtcSecond() const { return recordHeader[2]; }
    std::uint8_t RtcMinute() const { return recordHeader[3]; }
    std::uint8_t RtcHour() const { return recordHeader[4]; }
    std::uint8_t RtcDay() const { return recordHeader[5]; }
    std::uint8_t RtcMonth() const { return recordHeader[6]; }
    std::uint8_t RtcYear() const { return recordHeader[7]; }

    std::int16_t firmwareVersion = -1;
    std::array<char, 512> productText{};
    std::array<char, 64> versionText{};
    std::array<std::uint8_t, kLongHeaderLength> recordHeader{};
    std::array<std::array<std::uint8_t, kReceiverBlockLength>, kReceivers> receiverBlock{};
    std::array<std::uint8_t, kScanBlockLength> scanBlock{};
    std::int16_t latDegrees = 0, latMinutes = 0, latThousandths = 0;
    std::int16_t lonDegrees = 0, lonMinutes = 0, lonThousandths = 0;
    std::int16_t gpsHour = 0, gpsMinute = 0, gpsSecond = 0;
    // A receiver without a fix writes zero bytes here; "%c" of a zero byte is an empty text.
    char latHemisphere = 0, lonHemisphere = 0;
    std::int32_t altitudeMetres = 0, velocityMph = 0;
    // Taken by the marker rule when the header is decoded, so a later information record cannot
    // change how the latest header is read.
    std::uint16_t markerValue = 0;

    // Column iteration: receiver cursors (1 to 4, 5 when done) and title groups per receiver.
    std::int16_t titleReceiver = 1;
    std::int16_t titleGroups = 1;
    std::int16_t columnReceiver = 1;

private:
    std::int16_t ParseInformation(ByteView record);
    std::int16_t ParseFast(ByteView record);
    std::int16_t ParseScan(ByteView record);
    void DecodeHeader(ByteView record);
    void PickBestServer();
    void AppendFastValue(TextBuffer& out, int receiver, int what) const;
    void AppendDecimalDegrees(TextBuffer& out, bool latitude) const;
};

// The firmware version text read as a decimal number, times 100, truncated toward zero; 0 when the
// text is not a number. Worked out on the decimal digits, so "1.13" is 113 and not 112.99...
std::int16_t FirmwareVersionOf(const char* text);

} // namespace mutaro

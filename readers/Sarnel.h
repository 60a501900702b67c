#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Bytes.h"
#include "core/Product.h"

namespace mutaro {

// The Sarnel receiver log: one receiver, a setup record that fixes the frequency plan and small
// data records of up to three channel readings, in one of three scan modes. No GPS data. The
// setup and data records hold their multi-byte values big-endian.
class ZSarnel : public ZProduct {
public:
    static constexpr std::size_t kSetupLength = 256;  // the bytes after the setup record's type byte
    static constexpr std::size_t kDataLength = 15;    // the bytes after the data record's type byte
    static constexpr int kEntries = 3;

    // Scan modes, which are also the data-set kinds.
    static constexpr std::int16_t kNoMode = -1;
    static constexpr std::int16_t kScanTable = 1;
    static constexpr std::int16_t kOneChannel = 2;
    static constexpr std::int16_t kThreeChannels = 3;

    explicit ZSarnel(ConversionSettings& settings = SharedSettings());

    std::int32_t Open(const std::string& fileName) override;
    std::int16_t DataTitles(std::int16_t step, TextBuffer& out, char delimiter) override;
    std::int16_t DataColumns(std::int16_t step, TextBuffer& out, char delimiter) override;
    void FormatField(std::int16_t tag, TextBuffer& out) override;
    std::int32_t ReadRecord(RawRecord& buffer) override;
    std::int16_t ParseRecord(RawRecord& buffer) override;

    // The mode of a data record's flags: a later test wins, so one channel beats three channels,
    // which beats the scan table.
    static std::int16_t ModeOf(std::uint8_t flags);
    // Channel entries a data set of this kind writes.
    static int EntriesOf(std::int16_t kind);
    // Frequency in MHz of entry k (0 to 2) under the latest setup.
    double EntryFrequency(int k) const;

    std::uint8_t RtcHour() const { return dataRecord[0]; }
    std::uint8_t RtcMinute() const { return dataRecord[1]; }
    std::uint8_t RtcSecond() const { return dataRecord[2]; }
    std::uint8_t ScanFlags() const { return dataRecord[5]; }
    std::uint8_t EntryRssi(int k) const { return dataRecord[6 + 3 * k + 2]; }

    std::array<char, 512> productText{};
    std::array<char, 64> versionText{};
    std::array<std::uint8_t, kSetupLength> setupRecord{};
    std::array<std::uint8_t, kDataLength> dataRecord{};  // bytes 1 to 15 of the latest data record
    double baseFrequency = 0;   // MHz
    double channelSpacing = 0;  // units of 0.0001 MHz
    std::int16_t baseChannel = 0;
    std::array<std::int16_t, kEntries> channels{};
    std::int16_t markerValue = 0;
    std::int16_t titleGroups = 1;

private:
    std::int16_t ParseSetup(ByteView record);
    std::int16_t ParseData(ByteView record);
    void AppendEntry(TextBuffer& out, int k, char delimiter, bool& first) const;

    std::size_t recordLength_ = 0;
};

} // namespace mutaro

#include "readers/ClassicFraming.h"

#include <cstring>

namespace mutaro {

std::int32_t ReadClassicRecord(BinaryStream& stream, RawRecord& buffer, std::size_t& length) {
    length = 0;
    std::uint8_t prefix[4];
    if (!stream.ReadExact(prefix, sizeof prefix)) return 0;
    const std::uint32_t body = le32(ByteView{prefix, sizeof prefix}, 0);
    // Read as signed, a negative length is above 4096 too.
    if (body == 0 || body > kClassicMaxBodyLength) return 4;
    if (!stream.ReadExact(buffer.data(), body)) return 0;
    length = body;
    return static_cast<std::int32_t>(body + 4);
}

namespace {

// Copies `count` text bytes at `offset` into `text`, cut to the buffer less its terminator and to
// the bytes the record holds.
template <std::size_t N>
void CopyText(ByteView record, std::int64_t offset, std::int64_t count, std::array<char, N>& text) {
    std::int64_t take = count < static_cast<std::int64_t>(N - 1) ? count : static_cast<std::int64_t>(N - 1);
    for (std::int64_t i = 0; i < take; ++i)
        text[static_cast<std::size_t>(i)] = static_cast<char>(record[static_cast<std::size_t>(offset + i)]);
}

} // namespace

void ParseInformationTexts(ByteView record, std::array<char, 512>& productText,
                           std::array<char, 64>& versionText, TextBuffer& textLine) {
    productText.fill(0);
    versionText.fill(0);
    const std::int32_t productLength = sle32(record, 1);
    if (productLength >= 0) {
        CopyText(record, 5, productLength, productText);
        // The version length sits after the whole product text; past the record it reads as zero.
        const std::int64_t versionAt = 5 + static_cast<std::int64_t>(productLength);
        if (versionAt + 4 <= static_cast<std::int64_t>(record.size)) {
            const std::int32_t versionLength = sle32(record, static_cast<std::size_t>(versionAt));
            if (versionLength > 0) CopyText(record, versionAt + 4, versionLength, versionText);
        }
    }
    textLine.clear();
    textLine.appendf("%s %s\n", productText.data(), versionText.data());
}

std::int16_t ClassicDataTitles(ZProduct& reader, int receivers, std::int16_t& titleReceiver,
                               std::int16_t& titleGroups, std::int16_t step, TextBuffer& out, char delimiter) {
    out.clear();
    if (!reader.headerPending) return -1;
    if (step == 0) {
        titleReceiver = 1;
        if (reader.settings().scanType == 0) titleGroups = 80;
        else if (reader.settings().scanType == 1) titleGroups = 1;
    }
    if (titleReceiver < 1 || titleReceiver > receivers) {
        // Asked to go on after the last receiver without a fresh start: nothing is left.
        reader.headerPending = 0;
        return -1;
    }
    const int n = titleReceiver;
    std::int16_t result = 1;
    if (reader.ReceiverOn(n)) {
        const auto& data = reader.settings().fieldData;
        const int groups = reader.averageMode == kAverageBestServer ? 1 : titleGroups;
        bool first = true;
        auto title = [&](const char* name) {
            if (!first) out.append(delimiter);
            first = false;
            out.appendf("\"Rec#%d %s\"", n, name);
        };
        for (int g = 0; g < groups; ++g) {
            if (data.frequency) title("Frequency");
            if (data.channel) title("Channel");
            if (data.rssi) title("RSSI");
        }
        result = 0;
    }
    ++titleReceiver;
    if (titleReceiver > receivers) reader.headerPending = 0;
    return result;
}

} // namespace mutaro

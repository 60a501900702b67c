#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/Bytes.h"
#include "core/Product.h"
#include "core/TextBuffer.h"
#include "platform/BinaryStream.h"

namespace mutaro {

// The framing the Dravik and Sarnel logs share: a u32 little-endian body length, then the body.
// A length of 0 or above 4096 is lost framing that costs exactly its four bytes; there is no
// byte-by-byte resynchronisation. Returns the bytes advanced (0 at the end or on a read failure)
// and sets `length` to the body now at the start of `buffer` (0 when none was delivered).
constexpr std::uint32_t kClassicMaxBodyLength = 4096;
std::int32_t ReadClassicRecord(BinaryStream& stream, RawRecord& buffer, std::size_t& length);

// The information record of Dravik and Sarnel logs: "I", i32 product length N1, the product text,
// i32 version length N2, the version text. Both texts are zero-filled and copied, then "%s %s\n" of
// the two goes into `textLine`. A text longer than its buffer is cut to the buffer less its
// terminator, and the version text is still looked for after the whole product text; a negative
// length gives an empty text and nothing after it is read. Bytes beyond the record read as zero.
void ParseInformationTexts(ByteView record, std::array<char, 512>& productText,
                           std::array<char, 64>& versionText, TextBuffer& textLine);

// Copies `count` bytes of `record` from `offset` on; bytes beyond the record are zero.
inline void CopyRecordBytes(ByteView record, std::size_t offset, std::uint8_t* to, std::size_t count) {
    ByteView part = record.sub(offset, count);
    if (part.size > 0) std::memcpy(to, part.data, part.size);
    if (part.size < count) std::memset(to + part.size, 0, count - part.size);
}

// The best-server rule of the magnitude readers: best index 0 and limit -121; an eligible
// candidate whose level -(magnitude) beats the limit becomes the best, so the smallest magnitude
// wins, a tie keeps the lower index and magnitudes of 121 and above never win.
template <class Eligible, class Magnitude>
std::int16_t PickStrongest(int candidates, Eligible&& eligible, Magnitude&& magnitude) {
    std::int16_t best = 0;
    int limit = -121;
    for (int i = 0; i < candidates; ++i) {
        if (!eligible(i)) continue;
        int level = -static_cast<int>(magnitude(i));
        if (level > limit) {
            best = static_cast<std::int16_t>(i);
            limit = level;
        }
    }
    return best;
}

// The << DATA >> titles of the classic readers, one receiver group per call: with step 0 the
// cursor starts at receiver 1 and the group count follows the scan type (80 for "Scan Table", 1
// for "Fast Data", anything else keeps it); each group repeats "Rec#n Frequency", "Rec#n Channel"
// and "Rec#n RSSI" for the field data that is on, once only under best server. Returns 0 with the
// titles, 1 for a switched-off receiver, -1 when headerPending is clear or nothing is left;
// headerPending is cleared after the last receiver.
std::int16_t ClassicDataTitles(ZProduct& reader, int receivers, std::int16_t& titleReceiver,
                               std::int16_t& titleGroups, std::int16_t step, TextBuffer& out, char delimiter);

} // namespace mutaro

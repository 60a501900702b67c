#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/Bytes.h"
#include "core/TextBuffer.h"

namespace mutaro {

// One captured FLEX frame turned into page texts "FLEX   TT CCCCCCCCCC text", one page per
// NextPage call. The 21 information bits of each code word are used as stored; there is no error
// correction. Created for one record, drained phase by phase, destroyed.
class TFLEX {
public:
    static constexpr int kMaxPhases = 4;
    static constexpr int kPhaseWords = 88;
    static constexpr std::size_t kHeadSize = 18;
    static constexpr std::size_t kMaxData = kMaxPhases * kPhaseWords * 4;  // 1408 bytes
    // The readers keep page texts of up to 1023 characters; a page never yields more.
    static constexpr std::size_t kMaxText = 1023;
    static constexpr int kMaxLines = 10;

    // `body` is the record body behind the type byte: the 18-byte head, then the frame data.
    // Bytes beyond the view, and data bytes beyond the head's length L, read as zero.
    // `previousPhases` is the phase count of the previous FLEX record (1 before the first one).
    TFLEX(ByteView body, int previousPhases);

    std::uint16_t DataLength() const { return le16(head(), 0); }
    std::uint8_t Rssi() const { return u8(head(), 2); }
    std::uint8_t Mode() const { return u8(head(), 4); }
    std::uint16_t Channel() const { return le16(head(), 14); }
    std::uint16_t BitError() const { return le16(head(), 16); }
    int Phases() const { return phases_; }

    void ResetPhase(int phase);
    // Empties `out`; returns true (done) when the phase is exhausted. On false `out` holds one page
    // text, or nothing when the address taken led to no numeric or alphanumeric page.
    bool NextPage(int phase, TextBuffer& out);

    // Phase word access for tests and diagnostics; 0 outside the phase.
    std::uint32_t PhaseWord(int phase, int index) const;
    int BlockInfoCount(int phase) const { return valid(phase) ? e_[phase] : 0; }
    int VectorStart(int phase) const { return valid(phase) ? v_[phase] : 0; }

private:
    ByteView head() const { return {head_.data(), head_.size()}; }
    bool valid(int phase) const { return phase >= 0 && phase < phases_; }

    std::array<std::uint8_t, kHeadSize> head_{};
    std::array<std::array<std::uint32_t, kPhaseWords>, kMaxPhases> words_{};
    std::array<int, kMaxPhases> e_{};
    std::array<int, kMaxPhases> v_{};
    std::array<int, kMaxPhases> n_{};
    int phases_ = 1;
};

// Phase count from the mode byte: 1 gives 1, 4 and 6 give 2, 8 gives 4, 0 repeats the previous
// record's count, anything else gives 1.
int FlexPhaseCount(std::uint8_t mode, int previousPhases);

// Field (s, n) of a code word held with b0 as its most significant byte: positions s to s + n - 1
// in transmission order, position s the least significant bit of the value.
inline std::uint32_t FlexField(std::uint32_t word, int s, int n) {
    std::uint32_t value = 0;
    for (int k = 0; k < n; ++k) value |= ((word >> (32 - (s + k))) & 1u) << k;
    return value;
}

} // namespace mutaro

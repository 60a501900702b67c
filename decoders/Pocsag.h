#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/Bytes.h"
#include "core/TextBuffer.h"

namespace mutaro {

// What one POCSAG record hands to the next: a message that ran past the end of its batch (its
// text so far, the bits of a character begun in the last code word, and the function code whose
// type decodes the rest), or an address that stood in the batch's last code word and so has its
// message words in the next record. The reader keeps one of these for the whole program run.
struct PocsagCarry {
    static constexpr std::size_t kTextCapacity = 1023;

    std::array<char, kTextCapacity + 1> text{};
    std::size_t textLength = 0;
    int bitCount = 0;            // bits still missing from the begun character, 0 to 6
    std::uint32_t bitValue = 0;  // the low bits of that character
    int functionCode = 0;        // of the carried message
    bool addressPending = false;
    std::uint32_t pendingCapcode = 0;
    int pendingFunctionCode = 0;

    std::string_view Text() const { return {text.data(), textLength}; }
    void Clear() { *this = PocsagCarry{}; }
};

// One captured POCSAG batch (8 frames of 2 code words) turned into message texts
// "POCSAG TT CCCCCCCCCC text", one message per NextMessage call. Information bits are used as
// stored; there is no error correction. Only the first line of a message reaches its text.
class TPOCSAG {
public:
    static constexpr std::size_t kBodySize = 79;
    static constexpr std::size_t kBatchOffset = 13;
    static constexpr int kFrames = 8;
    // Texts are kept up to 1023 characters; a carried text plus its continuation is cut there.
    static constexpr std::size_t kMaxText = PocsagCarry::kTextCapacity;
    static constexpr int kMaxLines = 10;
    // The idle code word, as the four bytes read little-endian.
    static constexpr std::uint32_t kIdleWord = 0x7A89C197;

    enum Type { kTypeXX = 0, kTypeTN = 1, kTypeNU = 2, kTypeAN = 3 };

    // `body` is the record body behind the type byte (81 bytes, of which 79 are used); bytes
    // beyond the view read as zero. `carry` is what the previous record's decoder left.
    TPOCSAG(ByteView body, const PocsagCarry& carry);

    bool Valid() const { return valid_; }
    std::uint8_t Rssi() const { return u8(body(), 2); }
    std::uint8_t TypeMap() const { return u8(body(), 3); }
    double BitRate() const { return bitRate_; }
    std::uint16_t BitError() const { return le16(body(), 7); }
    std::uint16_t Channel() const { return le16(body(), 77); }
    int MessageType(int functionCode) const { return types_[functionCode & 3]; }
    static const char* TypeText(int type);

    // Empties `out`; returns true (done) at the end of the batch's messages. On false `out` holds
    // one message text or nothing; on true it holds the text of a message that continues in the
    // next record when Continues(), and nothing otherwise.
    bool NextMessage(TextBuffer& out);

    // After done: whether the last message runs on, the bits of its begun character, and the whole
    // state for the next record's decoder. An invalid record hands on the state it was given.
    bool Continues() const { return continues_; }
    int CarriedBitCount() const { return carry_.bitCount; }
    std::uint32_t CarriedBitValue() const { return carry_.bitValue; }
    const PocsagCarry& Carry() const { return carry_; }

private:
    enum class Kind { kEnd = -1, kAddress = 0, kMessage = 1, kIdle = 2 };

    ByteView body() const { return {body_.data(), body_.size()}; }
    bool NextWord();
    bool Done();
    void Put(char c);
    bool NewLine();
    bool DecodeNumeric(std::uint32_t word);
    bool DecodeAlphanumeric(std::uint32_t word);

    std::array<std::uint8_t, kBodySize> body_{};
    std::array<int, 4> types_{};
    bool valid_ = false;
    double bitRate_ = 0.0;
    PocsagCarry carry_;
    bool continues_ = false;
    bool addressPending_ = false;
    bool finished_ = false;

    int frame_ = 0;
    int wordIndex_ = -1;
    Kind kind_ = Kind::kAddress;
    std::uint32_t word_ = 0;  // b0 as the most significant byte
    std::uint32_t capcode_ = 0;
    int functionCode_ = 0;

    // The message being decoded: its line count, the current line's length, and the first line,
    // the only one that reaches the text (a line never passes 81 characters).
    int lines_ = 1;
    std::size_t lineLength_ = 0;
    bool atStart_ = true;
    std::array<char, 96> firstLine_{};
    std::size_t firstLength_ = 0;
};

} // namespace mutaro

#include "decoders/Pocsag.h"

#include <algorithm>
#include <cstdio>

#include "decoders/Flex.h"

namespace mutaro {
namespace {

constexpr std::size_t kLineLimit = 80;

// Low-first field (s, n): position s is the least significant bit, as in the FLEX words.
std::uint32_t LowFirst(std::uint32_t word, int s, int n) { return FlexField(word, s, n); }

// High-first field (s, n): position s is the most significant bit.
std::uint32_t HighFirst(std::uint32_t word, int s, int n) {
    return (word >> (32 - (s + n - 1))) & ((1u << n) - 1u);
}

} // namespace

const char* TPOCSAG::TypeText(int type) {
    static constexpr const char* kTexts[4] = {"XX", "TN", "NU", "AN"};
    return kTexts[type & 3];
}

TPOCSAG::TPOCSAG(ByteView body, const PocsagCarry& carry) : carry_(carry) {
    for (std::size_t i = 0; i < kBodySize; ++i) body_[i] = body[i];
    valid_ = le16(this->body(), 0) > 10;
    bitRate_ = static_cast<double>(le16(this->body(), 5));
    for (int fc = 0; fc < 4; ++fc) types_[fc] = (TypeMap() >> (2 * fc)) & 3;

    // The reader only hands on what a decoder left; anything else is brought into range so no
    // shift or index can leave its bounds.
    carry_.textLength = std::min(carry_.textLength, PocsagCarry::kTextCapacity);
    carry_.text[carry_.textLength] = '\0';
    carry_.bitCount = std::clamp(carry_.bitCount, 0, 6);
    carry_.bitValue &= (1u << (7 - carry_.bitCount)) - 1u;
    if (carry_.bitCount == 0) carry_.bitValue = 0;
    carry_.functionCode &= 3;
    carry_.pendingFunctionCode &= 3;
    // A carried text and a carried address never come together; the text is the older state.
    if (carry_.textLength > 0) carry_.addressPending = false;
}

bool TPOCSAG::NextWord() {
    // An idle code word ends the walk for good: nothing after it in the batch is decoded.
    if (kind_ == Kind::kEnd || kind_ == Kind::kIdle) return false;
    if (++wordIndex_ > 1) {
        wordIndex_ = 0;
        ++frame_;
    }
    if (frame_ >= kFrames) {
        kind_ = Kind::kEnd;
        return false;
    }
    const std::size_t offset = kBatchOffset + static_cast<std::size_t>(frame_ * 2 + wordIndex_) * 4;
    if (le32(body(), offset) == kIdleWord) {
        kind_ = Kind::kIdle;
        return false;
    }
    word_ = be32(body(), offset);
    kind_ = (word_ >> 31) != 0 ? Kind::kMessage : Kind::kAddress;
    return true;
}

void TPOCSAG::Put(char c) {
    if (lines_ == 1 && firstLength_ < firstLine_.size()) firstLine_[firstLength_++] = c;
    ++lineLength_;
}

// False when the new line would be the eleventh: the message ends.
bool TPOCSAG::NewLine() {
    if (lines_ == kMaxLines) return false;
    ++lines_;
    lineLength_ = 0;
    return true;
}

// Each returns false when the message ends inside the word.
bool TPOCSAG::DecodeNumeric(std::uint32_t word) {
    static constexpr char kDigits[16] = {'0', '1', '2', '3', '4', '5', '6', '7',
                                         '8', '9', 0,   'U', ' ', '-', ']', '['};
    for (int s : {2, 6, 10, 14, 18}) {
        const char c = kDigits[LowFirst(word, s, 4)];
        if (c != 0) Put(c);
        if (lineLength_ > kLineLimit && !NewLine()) return false;
    }
    return true;
}

bool TPOCSAG::DecodeAlphanumeric(std::uint32_t word) {
    int position = 2;
    while (position < 16) {
        std::uint32_t c;
        if (carry_.bitCount > 0) {
            // The missing high bits of the character begun in the previous code word.
            const int missing = carry_.bitCount;
            c = carry_.bitValue | (LowFirst(word, position, missing) << (7 - missing));
            position += missing;
            carry_.bitCount = 0;
            carry_.bitValue = 0;
        } else {
            c = LowFirst(word, position, 7);
            position += 7;
        }
        // 0 and 3 end this word's characters; the rest of the word, a begun character included,
        // is skipped, so nothing is carried from it.
        if (c == 0 || c == 3) return true;
        if (c == 10) {
            if (!atStart_ && !NewLine()) return false;
        } else if (c == 32) {
            if (!atStart_) Put(' ');
        } else if (c >= 33 && c <= 126) {
            Put(static_cast<char>(c));
            atStart_ = false;
        }
        if (lineLength_ > kLineLimit && !NewLine()) return false;
    }
    if (position <= 21) {
        carry_.bitCount = position - 15;
        carry_.bitValue = LowFirst(word, position, 22 - position);
    }
    return true;
}

bool TPOCSAG::NextMessage(TextBuffer& out) {
    out.clear();
    if (!valid_ || finished_) return true;

    const bool continuing = carry_.textLength > 0;
    bool decoded = continuing;
    if (!continuing) {
        if (carry_.addressPending) {
            // The address stood in the previous batch's last code word; its message starts here.
            capcode_ = carry_.pendingCapcode;
            functionCode_ = carry_.pendingFunctionCode;
            carry_.addressPending = false;
        } else {
            if (!addressPending_) {
                do {
                    if (!NextWord()) {
                        continues_ = false;
                        return Done();
                    }
                } while (kind_ != Kind::kAddress);
            }
            capcode_ = HighFirst(word_, 2, 18) * 8u + static_cast<std::uint32_t>(frame_);
            functionCode_ = static_cast<int>(LowFirst(word_, 20, 2));
            addressPending_ = false;
        }
        // A new message never inherits the unfinished character of the one before it.
        carry_.bitCount = 0;
        carry_.bitValue = 0;
    } else {
        functionCode_ = carry_.functionCode;
    }

    lines_ = 1;
    lineLength_ = 0;
    firstLength_ = 0;
    atStart_ = !continuing;
    const int type = types_[functionCode_];
    int messageWords = 0;
    while (NextWord() && kind_ == Kind::kMessage && lines_ < kMaxLines) {
        ++messageWords;
        if (type == kTypeNU) {
            decoded = true;
            if (!DecodeNumeric(word_)) break;
        } else if (type == kTypeAN) {
            decoded = true;
            if (!DecodeAlphanumeric(word_)) break;
        }
    }

    continues_ = false;
    bool carryAddress = false;
    if (kind_ == Kind::kEnd) {
        // An address with no message word left in the batch is carried, not its empty message.
        if (!continuing && messageWords == 0) {
            carryAddress = true;
        } else {
            continues_ = true;
        }
    } else if (kind_ == Kind::kAddress) {
        addressPending_ = true;
    }

    // The text is composed in the carry's own buffer, so what is handed on never depends on the
    // capacity of the caller's `out`.
    if (decoded) {
        if (!continuing) {
            const int n = std::snprintf(carry_.text.data(), carry_.text.size(), "POCSAG %2.2s %010lu ",
                                        TypeText(type), static_cast<unsigned long>(capcode_));
            carry_.textLength = n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        const std::size_t take = std::min(firstLength_, kMaxText - carry_.textLength);
        std::copy_n(firstLine_.data(), take, carry_.text.begin() + static_cast<std::ptrdiff_t>(carry_.textLength));
        carry_.textLength += take;
        carry_.text[carry_.textLength] = '\0';
        out.append(carry_.Text());
    }

    if (carryAddress) {
        carry_.Clear();
        carry_.addressPending = true;
        carry_.pendingCapcode = capcode_;
        carry_.pendingFunctionCode = functionCode_;
        finished_ = true;
        return true;
    }
    if (continues_) {
        carry_.functionCode = functionCode_;
        finished_ = true;
        return true;
    }
    // The message is complete: its text is out, and nothing of it is handed on.
    carry_.textLength = 0;
    carry_.text[0] = '\0';
    return false;
}

// The end of the batch's messages with nothing running on: the next record starts afresh.
bool TPOCSAG::Done() {
    finished_ = true;
    carry_.Clear();
    return true;
}

} // namespace mutaro

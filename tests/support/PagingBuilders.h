#pragma once

// Encoders for captured paging traffic: FLEX frames and POCSAG batches built from page texts,
// laid out the way the Vek receiver stores them in its paging records. Standard library only, so
// the log generator can use them as well as the tests.
//
// Code words are held as 32-bit numbers with the first transmitted byte b0 as the most significant
// byte, so transmission position q (1 to 32) is bit 32 - q of the number.

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mutaro::paging {

// ---- bit positions ---------------------------------------------------------------------------

// Sets the field (s, n) with position s as its least significant bit.
inline std::uint32_t SetLowFirst(std::uint32_t word, int s, int n, std::uint32_t value) {
    for (int k = 0; k < n; ++k) {
        const std::uint32_t bit = 1u << (32 - (s + k));
        word = ((value >> k) & 1u) != 0 ? (word | bit) : (word & ~bit);
    }
    return word;
}

// Sets the field (s, n) with position s as its most significant bit.
inline std::uint32_t SetHighFirst(std::uint32_t word, int s, int n, std::uint32_t value) {
    for (int k = 0; k < n; ++k) {
        const std::uint32_t bit = 1u << (32 - (s + k));
        word = ((value >> (n - 1 - k)) & 1u) != 0 ? (word | bit) : (word & ~bit);
    }
    return word;
}

inline void PutWord(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t word) {
    bytes[offset] = static_cast<std::uint8_t>(word >> 24);
    bytes[offset + 1] = static_cast<std::uint8_t>(word >> 16);
    bytes[offset + 2] = static_cast<std::uint8_t>(word >> 8);
    bytes[offset + 3] = static_cast<std::uint8_t>(word);
}

inline void PutLe16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Digit values of the paging numeric character set: "0" to "9", "U" 11, space 12, "-" 13, "]" 14,
// "[" 15. Digit 10 stands for nothing; write it as '*' here.
inline std::vector<int> NumericDigits(std::string_view text) {
    std::vector<int> digits;
    for (char c : text) {
        if (c >= '0' && c <= '9') digits.push_back(c - '0');
        else if (c == '*') digits.push_back(10);
        else if (c == 'U') digits.push_back(11);
        else if (c == ' ') digits.push_back(12);
        else if (c == '-') digits.push_back(13);
        else if (c == ']') digits.push_back(14);
        else if (c == '[') digits.push_back(15);
        else throw std::invalid_argument("not a paging numeric character");
    }
    return digits;
}

// ---- FLEX -------------------------------------------------------------------------------------

constexpr int kFlexPhaseWords = 88;
using FlexPhaseWords = std::array<std::uint32_t, kFlexPhaseWords>;

enum FlexVectorType : int { kFlexNumericStandard = 3, kFlexAlphanumeric = 5, kFlexNumericSpecial = 7 };

// Block information word: e further block information words, vector start v.
inline std::uint32_t FlexBlockInfo(int e, int v) {
    return SetLowFirst(SetLowFirst(0, 9, 2, static_cast<std::uint32_t>(e)), 11, 6, static_cast<std::uint32_t>(v));
}

// The 21-bit address field of a short address: capcode + 32768. Capcodes whose field would fall
// in a long-address range cannot be sent as short addresses.
inline std::uint32_t FlexShortAddress(std::uint32_t capcode) {
    const std::uint32_t a1 = (capcode + 32768u) & 0x1FFFFFu;
    return SetLowFirst(0, 1, 21, a1);
}

// A long address: a1 in 1 to 32768 and the second word's inverted field a2, with
// a2 x 32768 + a1 + 2068480 = capcode modulo 2^32.
inline std::array<std::uint32_t, 2> FlexLongAddress(std::uint32_t capcode) {
    const std::uint32_t x = capcode - 2068480u;
    const std::uint32_t a1 = ((x - 1u) % 32768u) + 1u;
    const std::uint32_t a2 = (x - a1) / 32768u;
    return {SetLowFirst(0, 1, 21, a1), SetLowFirst(0, 1, 21, ~a2 & 0x1FFFFFu)};
}

// Vector words. A numeric vector counts W - 1 in field (15, 3), an alphanumeric one W in (15, 7).
inline std::uint32_t FlexVector(int type, int start, int countField, int countBits) {
    std::uint32_t w = SetLowFirst(0, 5, 3, static_cast<std::uint32_t>(type));
    w = SetLowFirst(w, 8, 7, static_cast<std::uint32_t>(start));
    return SetLowFirst(w, 15, countBits, static_cast<std::uint32_t>(countField));
}
inline std::uint32_t FlexNumericVector(int type, int start, int wordCount) {
    return FlexVector(type, start, wordCount - 1, 3);
}
inline std::uint32_t FlexAlphaVector(int start, int wordCount) {
    return FlexVector(kFlexAlphanumeric, start, wordCount, 7);
}

// Numeric message words: one stream of 4-bit digits, earliest bit least significant, from
// position firstBit (3 for standard, 11 for special numeric pages) of the first word and
// positions 1 to 21 of the later words. The last word is filled up with digit 10, which writes
// nothing; fewer than four bits left at its end stay 0.
inline std::vector<std::uint32_t> FlexNumericWords(const std::vector<int>& digits, int firstBit) {
    std::vector<std::uint32_t> words;
    int position = 22;  // forces a first word
    bool first = true;
    auto put = [&](int d) {
        for (int k = 0; k < 4; ++k) {
            if (position > 21) {
                words.push_back(0);
                position = first ? firstBit : 1;
                first = false;
            }
            words.back() = SetLowFirst(words.back(), position, 1, (static_cast<std::uint32_t>(d) >> k) & 1u);
            ++position;
        }
    };
    for (int d : digits) put(d);
    while (!words.empty() && position + 3 <= 21) put(10);
    return words;
}

// One alphanumeric word of three 7-bit characters at (1, 7), (8, 7), (15, 7).
inline std::uint32_t FlexAlphaWord(std::uint32_t c1, std::uint32_t c2, std::uint32_t c3) {
    return SetLowFirst(SetLowFirst(SetLowFirst(0, 1, 7, c1), 8, 7, c2), 15, 7, c3);
}

// Three characters a word; a last word that is not full is padded with character 3, which ends it.
inline std::vector<std::uint32_t> FlexAlphaWords(std::string_view text) {
    std::vector<std::uint32_t> words;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        auto at = [&](std::size_t k) -> std::uint32_t {
            return i + k < text.size() ? static_cast<std::uint8_t>(text[i + k]) & 0x7Fu : 3u;
        };
        words.push_back(FlexAlphaWord(at(0), at(1), at(2)));
    }
    return words;
}

struct FlexPage {
    std::uint32_t capcode = 0;
    bool longAddress = false;
    int vectorType = kFlexAlphanumeric;    // 3, 5, 7 carry messages; any other type none
    std::vector<std::uint32_t> message;    // in the order the decoder takes them
};

// Lays out one phase: block information word 0 (and e - 1 further, empty ones), the address
// words from word e on, the message words behind them, and the vectors at the end of the phase:
// the vector of the address whose first word has cursor m at word 2v + m. A long numeric page's
// first message word is the word after its vector. With the vectors at the end, the words the
// decoder goes on to take as addresses after the last page point past the phase and give no page.
// With e = 0 the first address word overwrites word 0, as the decoder takes it from there.
class FlexPhaseBuilder {
public:
    explicit FlexPhaseBuilder(int e = 1) : e_(e) {}

    FlexPhaseBuilder& Page(FlexPage page) {
        pages_.push_back(std::move(page));
        return *this;
    }
    FlexPhaseBuilder& Alpha(std::uint32_t capcode, std::string_view text, bool longAddress = false) {
        return Page({capcode, longAddress, kFlexAlphanumeric, FlexAlphaWords(text)});
    }
    FlexPhaseBuilder& Numeric(std::uint32_t capcode, std::string_view digits, bool longAddress = false,
                              int type = kFlexNumericStandard) {
        const int firstBit = type == kFlexNumericSpecial ? 11 : 3;
        return Page({capcode, longAddress, type, FlexNumericWords(NumericDigits(digits), firstBit)});
    }

    FlexPhaseWords Build() const {
        FlexPhaseWords words{};
        int addressWords = 0;
        for (const FlexPage& p : pages_) addressWords += p.longAddress ? 2 : 1;
        const int v = (kFlexPhaseWords - addressWords) / 2;
        words[0] = FlexBlockInfo(e_, v);

        int m = 0;
        int next = e_ + addressWords;  // first free message word
        for (const FlexPage& p : pages_) {
            const auto longWords = FlexLongAddress(p.capcode);
            Store(words, e_ + m, p.longAddress ? longWords[0] : FlexShortAddress(p.capcode));
            if (p.longAddress) Store(words, e_ + m + 1, longWords[1]);
            const int vectorIndex = 2 * v + m;
            const int count = static_cast<int>(p.message.size());
            if (p.vectorType == kFlexNumericStandard || p.vectorType == kFlexNumericSpecial) {
                // Short: words S + 1 to S + W - 1. Long: the word after the vector, then S + 3 to S + W - 2.
                const int wordCount = p.longAddress ? count + 3 : count + 1;
                if (wordCount > 8) throw std::length_error("numeric FLEX page too long");
                const int start = p.longAddress ? next - 3 : next - 1;
                if (start < 0) throw std::length_error("no room before the numeric message");
                for (int j = 0; j < count; ++j) {
                    const bool afterVector = p.longAddress && j == 0;
                    Store(words, afterVector ? vectorIndex + 1 : next++, p.message[static_cast<std::size_t>(j)]);
                }
                Store(words, vectorIndex, FlexNumericVector(p.vectorType, start, wordCount));
            } else if (p.vectorType == kFlexAlphanumeric) {
                // Short: words S + 1 to S + W - 1. Long: S + 2 to S + W - 2.
                const int start = p.longAddress ? next - 2 : next - 1;
                const int wordCount = p.longAddress ? count + 3 : count + 1;
                for (int j = 0; j < count; ++j) Store(words, next++, p.message[static_cast<std::size_t>(j)]);
                Store(words, vectorIndex, FlexAlphaVector(start, wordCount));
            } else {
                Store(words, vectorIndex, FlexVector(p.vectorType, 0, 0, 3));
            }
            m += p.longAddress ? 2 : 1;
        }
        if (next > 2 * v) throw std::length_error("FLEX messages run into the vectors");
        return words;
    }

private:
    static void Store(FlexPhaseWords& words, int index, std::uint32_t word) {
        if (index < 0 || index >= kFlexPhaseWords) throw std::length_error("FLEX phase overflows 88 words");
        words[static_cast<std::size_t>(index)] = word;
    }

    int e_;
    std::vector<FlexPage> pages_;
};

// A FLEX record body (the bytes behind the record's type byte): the 18-byte head, the phases'
// words interleaved (data word c is word c / P of phase c mod P), two unused bytes. All P x 88
// words are written even when `dataLength` says fewer bytes count.
struct FlexFrame {
    std::uint8_t mode = 1;
    std::uint8_t rssi = 0;
    std::uint16_t channel = 0;
    std::uint16_t bitError = 0;
    int dataLength = -1;  // -1: P x 88 x 4
    std::vector<FlexPhaseWords> phases;

    std::vector<std::uint8_t> Body() const {
        const std::size_t count = phases.size();
        const std::size_t data = count * kFlexPhaseWords * 4;
        std::vector<std::uint8_t> body(18 + data + 2, 0);
        PutLe16(body, 0, static_cast<std::uint16_t>(dataLength >= 0 ? dataLength : static_cast<int>(data)));
        body[2] = rssi;
        body[4] = mode;
        PutLe16(body, 14, channel);
        PutLe16(body, 16, bitError);
        for (std::size_t c = 0; c < count * kFlexPhaseWords; ++c) {
            PutWord(body, 18 + 4 * c, phases[c % count][c / count]);
        }
        return body;
    }
};

// ---- POCSAG -----------------------------------------------------------------------------------

constexpr int kPocsagSlots = 16;  // 8 frames of 2 code words
// The idle code word 0x7A89C197 read little-endian: bytes 97 C1 89 7A.
constexpr std::uint32_t kPocsagIdle = 0x97C1897Au;

// Address code word: position 1 clear, the address high-first in (2, 18), the function code
// low-first in (20, 2). Its capcode is address x 8 + the frame it is sent in.
inline std::uint32_t PocsagAddressWord(std::uint32_t address, int functionCode) {
    return SetLowFirst(SetHighFirst(0, 2, 18, address), 20, 2, static_cast<std::uint32_t>(functionCode));
}

// Numeric message code word: position 1 set, five digits low-first at 2, 6, 10, 14, 18.
inline std::uint32_t PocsagNumericWord(const std::array<int, 5>& digits) {
    std::uint32_t w = SetLowFirst(0, 1, 1, 1);
    for (int i = 0; i < 5; ++i) w = SetLowFirst(w, 2 + 4 * i, 4, static_cast<std::uint32_t>(digits[static_cast<std::size_t>(i)]));
    return w;
}

// Five digits a word; a last word that is not full is padded with digit 10, which writes nothing.
inline std::vector<std::uint32_t> PocsagNumericWords(std::string_view text) {
    const std::vector<int> digits = NumericDigits(text);
    std::vector<std::uint32_t> words;
    for (std::size_t i = 0; i < digits.size(); i += 5) {
        std::array<int, 5> five{10, 10, 10, 10, 10};
        for (std::size_t k = 0; k < 5 && i + k < digits.size(); ++k) five[k] = digits[i + k];
        words.push_back(PocsagNumericWord(five));
    }
    return words;
}

// Alphanumeric message code words: 7-bit characters, least significant bit first, as one stream
// over positions 2 to 21 of consecutive words, so a character may begin in one word and end in the
// next. Bits after the last character stay 0.
inline std::vector<std::uint32_t> PocsagAlphaWords(const std::vector<std::uint32_t>& characters) {
    std::vector<std::uint32_t> words;
    int position = 22;
    for (std::uint32_t c : characters) {
        for (int k = 0; k < 7; ++k) {
            if (position > 21) {
                words.push_back(SetLowFirst(0, 1, 1, 1));
                position = 2;
            }
            words.back() = SetLowFirst(words.back(), position, 1, (c >> k) & 1u);
            ++position;
        }
    }
    return words;
}
inline std::vector<std::uint32_t> PocsagAlphaWords(std::string_view text) {
    std::vector<std::uint32_t> characters;
    for (char c : text) characters.push_back(static_cast<std::uint8_t>(c) & 0x7Fu);
    return PocsagAlphaWords(characters);
}

// An address code word followed by its message code words.
inline std::vector<std::uint32_t> PocsagMessage(std::uint32_t address, int functionCode,
                                                const std::vector<std::uint32_t>& message) {
    std::vector<std::uint32_t> words{PocsagAddressWord(address, functionCode)};
    words.insert(words.end(), message.begin(), message.end());
    return words;
}

// A POCSAG record body (81 bytes): head, the 16 code words, the channel word, two unused bytes.
// Every slot starts as the idle word.
struct PocsagBatch {
    std::uint16_t contentLength = 79;
    std::uint8_t rssi = 0;
    std::uint8_t typeMap = 0xE4;  // function code 3 AN, 2 NU, 1 TN, 0 XX
    std::uint16_t bitRate = 1200;
    std::uint16_t bitError = 0;
    std::uint16_t channel = 0;
    std::array<std::uint32_t, kPocsagSlots> words = Idle();

    static std::array<std::uint32_t, kPocsagSlots> Idle() {
        std::array<std::uint32_t, kPocsagSlots> w{};
        w.fill(kPocsagIdle);
        return w;
    }
    // Places words from slot `slot` (frame slot / 2) on and returns the slot after them.
    int Place(int slot, const std::vector<std::uint32_t>& list) {
        for (std::uint32_t w : list) {
            if (slot < 0 || slot >= kPocsagSlots) throw std::length_error("POCSAG batch holds 16 code words");
            words[static_cast<std::size_t>(slot++)] = w;
        }
        return slot;
    }

    std::vector<std::uint8_t> Body() const {
        std::vector<std::uint8_t> body(81, 0);
        PutLe16(body, 0, contentLength);
        body[2] = rssi;
        body[3] = typeMap;
        PutLe16(body, 5, bitRate);
        PutLe16(body, 7, bitError);
        for (std::size_t i = 0; i < words.size(); ++i) PutWord(body, 13 + 4 * i, words[i]);
        PutLe16(body, 77, channel);
        return body;
    }
};

} // namespace mutaro::paging

#include "decoders/Flex.h"

#include <algorithm>

namespace mutaro {
namespace {

constexpr int kLastWord = TFLEX::kPhaseWords - 1;
constexpr std::size_t kLineLimit = 80;

bool IsLongAddress(std::uint32_t a1) {
    return (a1 >= 1 && a1 <= 32768) || (a1 >= 1966081 && a1 <= 2031616) ||
           (a1 >= 2064383 && a1 <= 2097150);
}

// Writes the lines of one page straight into `out`: the first after the prefix, every further
// one after a line feed and 21 spaces, which aligns it under the first line's text.
class PageWriter {
public:
    explicit PageWriter(TextBuffer& out) : out_(out) {}

    void Put(char c) {
        Emit(c);
        ++lineLength_;
    }
    // False when the new line would be the eleventh: the message ends.
    bool NewLine() {
        if (lines_ == TFLEX::kMaxLines) return false;
        ++lines_;
        lineLength_ = 0;
        Emit('\n');
        for (int i = 0; i < 21; ++i) Emit(' ');
        return true;
    }
    // Applied before each message word is taken: a long line is continued to the end of the word
    // that made it long, and the next word starts a new line.
    bool BeforeWord() { return lineLength_ <= kLineLimit || NewLine(); }

private:
    void Emit(char c) {
        if (out_.size() < TFLEX::kMaxText) out_.append(c);
    }

    TextBuffer& out_;
    int lines_ = 1;
    std::size_t lineLength_ = 0;
};

} // namespace

int FlexPhaseCount(std::uint8_t mode, int previousPhases) {
    switch (mode) {
    case 1: return 1;
    case 4:
    case 6: return 2;
    case 8: return 4;
    case 0:
        // The caller only ever passes a count a record gave (1, 2 or 4); anything outside the
        // word table is taken as one phase.
        return previousPhases >= 1 && previousPhases <= TFLEX::kMaxPhases ? previousPhases : 1;
    default: return 1;
    }
}

TFLEX::TFLEX(ByteView body, int previousPhases) {
    for (std::size_t i = 0; i < kHeadSize; ++i) head_[i] = body[i];
    phases_ = FlexPhaseCount(Mode(), previousPhases);

    // The decoder reads P x 88 words whatever L says; words past the L data bytes read as zero.
    const std::size_t length = std::min<std::size_t>(DataLength(), kMaxData);
    const ByteView data = body.sub(kHeadSize, length);
    for (int c = 0; c < phases_ * kPhaseWords; ++c) {
        words_[c % phases_][c / phases_] = be32(data, static_cast<std::size_t>(c) * 4);
    }
    for (int p = 0; p < phases_; ++p) {
        e_[p] = static_cast<int>(FlexField(words_[p][0], 9, 2));
        v_[p] = static_cast<int>(FlexField(words_[p][0], 11, 6));
    }
}

void TFLEX::ResetPhase(int phase) {
    if (valid(phase)) n_[phase] = 0;
}

std::uint32_t TFLEX::PhaseWord(int phase, int index) const {
    if (!valid(phase) || index < 0 || index > kLastWord) return 0;
    return words_[phase][index];
}

bool TFLEX::NextPage(int phase, TextBuffer& out) {
    out.clear();
    if (!valid(phase)) return true;
    const auto& word = words_[phase];
    const int e = e_[phase];
    int& n = n_[phase];

    if (e + n > kLastWord) return true;
    const int m = n;
    // Address words are taken from word e on (the last block information word, not the one after).
    const std::uint32_t a1 = FlexField(word[e + n], 1, 21);
    const bool isLong = IsLongAddress(a1);
    std::uint32_t capcode;
    if (isLong) {
        ++n;
        if (e + n > kLastWord) return true;
        const std::uint32_t a2 = FlexField(~word[e + n], 1, 21);
        capcode = a2 * 32768u + a1 + 2068480u;  // unsigned: wraps modulo 2^32 as intended
    } else {
        capcode = a1 - 32768u;  // a field below 32768 wraps to a large capcode
    }
    ++n;
    if (e + n > kLastWord) return true;  // the page of the last address is dropped

    // Twice the vector start plus the cursor, as the receiver lays the vectors out.
    const int vectorIndex = 2 * v_[phase] + m;
    // A vector start of 44 or more points past the phase: such an address gives no page.
    if (vectorIndex > kLastWord) return false;
    const std::uint32_t vector = word[vectorIndex];

    const char* typeText;
    int firstBit = 0;
    bool numeric = true;
    switch (FlexField(vector, 5, 3)) {
    case 3: typeText = "NS"; firstBit = 3; break;
    case 7: typeText = "NN"; firstBit = 11; break;
    case 5: typeText = "AN"; numeric = false; break;
    default: return false;
    }
    const int start = static_cast<int>(FlexField(vector, 8, 7));
    // A long numeric page takes the word after its vector as its first message word; when that
    // lies past the phase the page gives no text rather than a partial one.
    if (numeric && isLong && vectorIndex + 1 > kLastWord) return false;

    out.appendf("FLEX   %2.2s %010lu ", typeText, static_cast<unsigned long>(capcode));
    PageWriter page(out);

    if (numeric) {
        static constexpr char kDigits[16] = {'0', '1', '2', '3', '4', '5', '6', '7',
                                             '8', '9', 0,   'U', ' ', '-', ']', '['};
        const int count = static_cast<int>(FlexField(vector, 15, 3)) + 1;
        const int first = isLong ? 2 : 1;
        const int last = isLong ? count - 2 : count - 1;
        std::uint32_t digit = 0;
        int bits = 0;
        bool firstWord = true;
        for (int j = first; j <= last; ++j) {
            if (start + j > kLastWord) break;
            if (!page.BeforeWord()) break;
            const std::uint32_t w = (isLong && j == 2) ? word[vectorIndex + 1] : word[start + j];
            for (int q = firstWord ? firstBit : 1; q <= 21; ++q) {
                digit |= FlexField(w, q, 1) << bits;
                if (++bits == 4) {
                    if (kDigits[digit] != 0) page.Put(kDigits[digit]);
                    digit = 0;
                    bits = 0;
                }
            }
            firstWord = false;
        }
    } else {
        const int count = static_cast<int>(FlexField(vector, 15, 7));
        const int first = isLong ? 2 : 1;
        const int last = isLong ? count - 2 : count - 1;
        bool printable = false;
        bool ended = false;
        for (int j = first; j <= last && !ended; ++j) {
            if (start + j > kLastWord) break;
            if (!page.BeforeWord()) break;
            const std::uint32_t w = word[start + j];
            for (int s : {1, 8, 15}) {
                const std::uint32_t c = FlexField(w, s, 7);
                if (c == 3) break;  // ends this word only
                if (c == 10) {
                    if (printable && !page.NewLine()) {
                        ended = true;
                        break;
                    }
                } else if (c == 32) {
                    if (printable) page.Put(' ');
                } else if (c >= 33 && c <= 126) {
                    page.Put(static_cast<char>(c));
                    printable = true;
                }
            }
        }
    }
    return false;
}

} // namespace mutaro

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decoders/Flex.h"
#include "support/PagingBuilders.h"

namespace mutaro::testing {
namespace {

using namespace mutaro::paging;

// A continuation line: a line feed and 21 spaces, under the first line's text.
const std::string kNext = "\n                     ";

ByteView View(const std::vector<std::uint8_t>& bytes) { return {bytes.data(), bytes.size()}; }

// Every text of one phase in call order, empty ones included; the phase must end.
std::vector<std::string> Drain(TFLEX& flex, int phase) {
    TextBuffer out(3072);
    std::vector<std::string> texts;
    flex.ResetPhase(phase);
    for (int call = 0; call < 200; ++call) {
        if (flex.NextPage(phase, out)) {
            EXPECT_TRUE(out.empty());
            return texts;
        }
        texts.push_back(out.str());
    }
    ADD_FAILURE() << "phase " << phase << " never ends";
    return texts;
}

// What a reader keeps of a record: the non-empty texts of every phase in order.
std::vector<std::string> Pages(const std::vector<std::uint8_t>& body, int previousPhases = 1) {
    TFLEX flex(View(body), previousPhases);
    std::vector<std::string> pages;
    for (int p = 0; p < flex.Phases(); ++p) {
        for (std::string& text : Drain(flex, p)) {
            if (!text.empty()) pages.push_back(std::move(text));
        }
    }
    return pages;
}

std::vector<std::uint8_t> OnePhase(const FlexPhaseWords& words) {
    FlexFrame frame;
    frame.phases = {words};
    return frame.Body();
}

std::uint32_t AddressField(std::uint32_t a1) { return SetLowFirst(0, 1, 21, a1); }

// ---- builders, checked against words worked out bit by bit ------------------------------------

TEST(FlexBuilders, WordsMatchHandComputedBits) {
    struct Case {
        const char* what;
        std::uint32_t built;
        std::uint32_t expected;
    };
    const auto longAddress = FlexLongAddress(2068481);
    const auto spanning = FlexNumericWords({1, 2, 3, 4, 9, 6}, 3);
    ASSERT_EQ(spanning.size(), 2u);
    const Case cases[] = {
        // e = 1 at position 9, v = 2 sets position 12
        {"block information e=1 v=2", FlexBlockInfo(1, 2), 0x00900000},
        // field 32769 = positions 1 and 16
        {"short address capcode 1", FlexShortAddress(1), 0x80010000},
        {"short address capcode 4294934528", FlexShortAddress(4294934528u), 0x00000000},
        {"long address 2068481, first word a1 = 1", longAddress[0], 0x80000000},
        {"long address 2068481, second word all information bits", longAddress[1], 0xFFFFF800},
        // type 3 at positions 5-6, S = 5 at 8 and 10, W - 1 = 2 at 16
        {"numeric vector t=3 S=5 W=3", FlexNumericVector(3, 5, 3), 0x0D410000},
        // H = 72, E = 69, L = 76, each least significant bit first
        {"alphanumeric HEL", FlexAlphaWord('H', 'E', 'L'), 0x1344C800},
        // digits from position 3; digit 9 = 1001 puts its high bit in position 1 of the next word
        {"digits 1234 and low bits of 9", spanning[0], 0x2130A000},
        {"high bit of 9, digit 6, then four digits 10", spanning[1], 0xB2AAA800},
    };
    for (const Case& c : cases) EXPECT_EQ(c.built, c.expected) << c.what;
}

TEST(FlexBuilders, BodyHasTheHeadThenPhasesInterleaved) {
    FlexFrame frame;
    frame.mode = 6;
    frame.rssi = 0x55;
    frame.channel = 0x1234;
    frame.bitError = 0xBEEF;
    frame.phases.resize(2);
    frame.phases[0][0] = 0x11223344;
    frame.phases[1][0] = 0x55667788;
    frame.phases[0][1] = 0x99AABBCC;
    const std::vector<std::uint8_t> body = frame.Body();
    ASSERT_EQ(body.size(), 18u + 704 + 2);
    const std::vector<std::uint8_t> head(body.begin(), body.begin() + 30);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{0xC0, 0x02, 0x55, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x34, 0x12,
                                               0xEF, 0xBE, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                                               0x99, 0xAA, 0xBB, 0xCC}));
}

// ---- head and phases ----------------------------------------------------------------------------

TEST(FlexHead, ValuesComeFromTheHead) {
    FlexFrame frame;
    frame.mode = 4;
    frame.rssi = 87;
    frame.channel = 0x0321;
    frame.bitError = 517;
    frame.phases.resize(2);
    const std::vector<std::uint8_t> body = frame.Body();
    TFLEX flex(View(body), 1);
    EXPECT_EQ(flex.DataLength(), 704);
    EXPECT_EQ(flex.Rssi(), 87);
    EXPECT_EQ(flex.Channel(), 0x0321);
    EXPECT_EQ(flex.BitError(), 517);
    EXPECT_EQ(flex.Phases(), 2);
}

TEST(FlexHead, PhaseCountFromTheModeByte) {
    struct Case {
        std::uint8_t mode;
        int previous;
        int phases;
    };
    const Case cases[] = {{1, 4, 1}, {4, 1, 2}, {6, 1, 2}, {8, 1, 4}, {0, 4, 4}, {0, 2, 2},
                          {0, 1, 1}, {2, 4, 1}, {7, 4, 1}, {255, 4, 1}, {0, 9, 1}, {0, -3, 1}};
    for (const Case& c : cases) {
        std::vector<std::uint8_t> body(18 + 1408 + 2, 0);
        body[0] = 0x80;  // L = 1408
        body[1] = 0x05;
        body[4] = c.mode;
        EXPECT_EQ(TFLEX(View(body), c.previous).Phases(), c.phases)
            << "mode " << int(c.mode) << " after " << c.previous;
    }
}

TEST(FlexPhases, DataWordsAreDealtToThePhasesInTurn) {
    struct Case {
        std::uint8_t mode;
        int previous;
        int phases;
    };
    for (const Case& c : {Case{1, 1, 1}, Case{4, 1, 2}, Case{6, 1, 2}, Case{8, 1, 4}, Case{0, 4, 4}}) {
        // Data word c holds the number c + 1, so each word shows where it was taken from.
        std::vector<std::uint8_t> body(18 + 1408, 0);
        const int words = c.phases * 88;
        body[0] = static_cast<std::uint8_t>(words * 4);
        body[1] = static_cast<std::uint8_t>((words * 4) >> 8);
        body[4] = c.mode;
        for (int w = 0; w < words; ++w) PutWord(body, 18 + 4 * static_cast<std::size_t>(w), static_cast<std::uint32_t>(w + 1));
        TFLEX flex(View(body), c.previous);
        ASSERT_EQ(flex.Phases(), c.phases);
        for (int w = 0; w < words; ++w) {
            ASSERT_EQ(flex.PhaseWord(w % c.phases, w / c.phases), static_cast<std::uint32_t>(w + 1))
                << "mode " << int(c.mode) << " data word " << w;
        }
    }
}

TEST(FlexPhases, EachPhaseYieldsItsOwnPagesInPhaseOrder) {
    FlexFrame frame;
    frame.mode = 8;
    for (std::uint32_t p = 0; p < 4; ++p) {
        frame.phases.push_back(FlexPhaseBuilder().Alpha(100 + p, "PHASE " + std::to_string(p)).Build());
    }
    const std::vector<std::string> expected{"FLEX   AN 0000000100 PHASE 0", "FLEX   AN 0000000101 PHASE 1",
                                            "FLEX   AN 0000000102 PHASE 2", "FLEX   AN 0000000103 PHASE 3"};
    EXPECT_EQ(Pages(frame.Body()), expected);
    frame.mode = 0;  // the previous record's four phases
    EXPECT_EQ(Pages(frame.Body(), 4), expected);
}

TEST(FlexPhases, PhaseOutsideTheFrameIsDone) {
    const std::vector<std::uint8_t> body = OnePhase(FlexPhaseBuilder().Alpha(1, "A").Build());
    TFLEX flex(View(body), 1);
    TextBuffer out(64);
    for (int phase : {-1, 1, 3, 4, 1000}) {
        flex.ResetPhase(phase);
        EXPECT_TRUE(flex.NextPage(phase, out)) << phase;
        EXPECT_TRUE(out.empty());
    }
}

// ---- addresses -----------------------------------------------------------------------------------

TEST(FlexAddress, CapcodeOfShortAndLongAddresses) {
    struct Case {
        std::uint32_t a1;
        bool isLong;
        std::uint32_t a2;  // the second word's inverted field
        const char* capcode;
    };
    const Case cases[] = {
        {32769, false, 0, "0000000001"},
        {0, false, 0, "4294934528"},            // 0 - 32768 as an unsigned 32-bit number
        {1, true, 0, "0002068481"},              // second word with every information bit set
        {1, true, 131073, "0002101249"},         // 131073 x 32768 + 2068481 modulo 2^32
        {32768, true, 0, "0002101248"},          // top of the first long range
        {1966080, false, 0, "0001933312"},       // just below the second long range
        {1966081, true, 0, "0004034561"},
        {2031616, true, 0, "0004100096"},
        {2031617, false, 0, "0001998849"},       // just above it
        {2064382, false, 0, "0002031614"},
        {2064383, true, 0, "0004132863"},
        {2097150, true, 0, "0004165630"},
        {2097151, false, 0, "0002064383"},
    };
    for (const Case& c : cases) {
        FlexPhaseWords words = FlexPhaseBuilder().Alpha(0, "HI", c.isLong).Build();
        words[1] = AddressField(c.a1);
        if (c.isLong) words[2] = AddressField(~c.a2 & 0x1FFFFF);
        EXPECT_EQ(Pages(OnePhase(words)), std::vector<std::string>{std::string("FLEX   AN ") + c.capcode + " HI"})
            << "a1 " << c.a1;
    }
}

TEST(FlexAddress, BuiltCapcodesComeBack) {
    const FlexPhaseWords words = FlexPhaseBuilder()
                                     .Alpha(1, "ONE")
                                     .Alpha(2100000, "TWO", true)
                                     .Numeric(3, "333")
                                     .Alpha(4294967295u, "MAX", true)
                                     .Build();
    EXPECT_EQ(Pages(OnePhase(words)),
              (std::vector<std::string>{"FLEX   AN 0000000001 ONE", "FLEX   AN 0002100000 TWO",
                                        "FLEX   NS 0000000003 333", "FLEX   AN 4294967295 MAX"}));
}

TEST(FlexAddress, WithNoFurtherBlockInformationTheFirstAddressIsWordZero) {
    // Word 0 is read both as the block information word and as the first address: field 33792
    // gives e = 0, v = 33 and capcode 1024; its vector is word 66.
    FlexPhaseWords words{};
    words[0] = AddressField(33792);
    words[66] = FlexAlphaVector(66, 2);
    words[67] = FlexAlphaWord('E', '0', 3);
    const std::vector<std::uint8_t> body = OnePhase(words);
    TFLEX flex(View(body), 1);
    EXPECT_EQ(flex.BlockInfoCount(0), 0);
    EXPECT_EQ(flex.VectorStart(0), 33);
    const std::vector<std::string> texts = Drain(flex, 0);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "FLEX   AN 0000001024 E0");
}

TEST(FlexAddress, LongAddressInTheLastPositionEndsThePhase) {
    // e = 3 and v = 0: words 3 to 86 are empty short addresses, word 87 the first word of a long one.
    FlexPhaseWords words{};
    words[0] = FlexBlockInfo(3, 0);
    words[87] = AddressField(1);
    const std::vector<std::uint8_t> body = OnePhase(words);
    TFLEX flex(View(body), 1);
    EXPECT_EQ(Drain(flex, 0), std::vector<std::string>(84, ""));
    TextBuffer out(64);
    EXPECT_TRUE(flex.NextPage(0, out));  // stays done
}

TEST(FlexVector, TypesWithoutMessagesGiveAnEmptyTextAndTheNextAddressFollows) {
    for (int type : {0, 1, 2, 4, 6}) {
        const FlexPhaseWords words =
            FlexPhaseBuilder().Page({10, false, type, {FlexAlphaWord('N', 'O', 3)}}).Alpha(11, "OK").Build();
        const std::vector<std::uint8_t> body = OnePhase(words);
        TFLEX flex(View(body), 1);
        const std::vector<std::string> texts = Drain(flex, 0);
        ASSERT_GE(texts.size(), 2u) << type;
        EXPECT_EQ(texts[0], "") << type;
        EXPECT_EQ(texts[1], "FLEX   AN 0000000011 OK") << type;
        EXPECT_EQ(Pages(body), std::vector<std::string>{"FLEX   AN 0000000011 OK"}) << type;
    }
}

// ---- numeric pages -------------------------------------------------------------------------------

TEST(FlexNumeric, DigitsFromTheBitStream) {
    struct Case {
        const char* what;
        FlexPhaseBuilder phase;
        const char* page;
    };
    const Case cases[] = {
        {"digit 5 spans two words", FlexPhaseBuilder().Numeric(100, "123456"), "FLEX   NS 0000000100 123456"},
        {"high bit of the spanning digit", FlexPhaseBuilder().Numeric(100, "123496"), "FLEX   NS 0000000100 123496"},
        {"digit 10 adds nothing, 12 a space", FlexPhaseBuilder().Numeric(7, "1*2 3"), "FLEX   NS 0000000007 12 3"},
        {"the other characters", FlexPhaseBuilder().Numeric(7, "U-][0"), "FLEX   NS 0000000007 U-][0"},
        {"special numeric from position 11", FlexPhaseBuilder().Numeric(200, "9876", false, kFlexNumericSpecial),
         "FLEX   NN 0000000200 9876"},
        {"long address: first word after the vector", FlexPhaseBuilder().Numeric(2068486, "24680", true),
         "FLEX   NS 0002068486 24680"},
        {"long address, five words", FlexPhaseBuilder().Numeric(3000000, "1234567890123456789012", true),
         "FLEX   NS 0003000000 1234567890123456789012"},
        {"seven words", FlexPhaseBuilder().Numeric(9, "12345678901234567890123456789012345"),
         "FLEX   NS 0000000009 12345678901234567890123456789012345"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Pages(OnePhase(c.phase.Build())), std::vector<std::string>{c.page}) << c.what;
    }
}

TEST(FlexNumeric, HandLaidWordsOfTheSpanningDigit) {
    // Vector at word 2 (v = 1): type 3, S = 2, W = 3, so words 3 and 4 are taken.
    FlexPhaseWords words{};
    words[0] = FlexBlockInfo(1, 1);
    words[1] = AddressField(32768 + 55);
    words[2] = FlexNumericVector(3, 2, 3);
    words[3] = 0x2130A000;  // 1 2 3 4 and the three low bits of 9
    words[4] = 0xB0000000;  // the high bit of 9, then 6, then 16 zero bits
    const std::vector<std::string> pages = Pages(OnePhase(words));
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages[0], "FLEX   NS 0000000055 1234960000");
}

// ---- alphanumeric pages --------------------------------------------------------------------------

TEST(FlexAlpha, CharactersAndLines) {
    struct Case {
        const char* what;
        std::vector<std::uint32_t> message;
        std::string page;
    };
    const Case cases[] = {
        {"leading spaces dropped, line feed, character 3 skips the rest of its word",
         {FlexAlphaWord(' ', ' ', 'H'), FlexAlphaWord('E', 'L', 'L'), FlexAlphaWord('O', 10, 'W'),
          FlexAlphaWord('O', 3, 'Z'), FlexAlphaWord('R', 'L', 'D')},
         "HELLO" + kNext + "WORLD"},
        {"leading line feeds dropped", {FlexAlphaWord(10, ' ', 10), FlexAlphaWord('A', ' ', 'B')}, "A B"},
        {"empty lines are kept", FlexAlphaWords("A\n\nB"), "A" + kNext + kNext + "B"},
        {"other values are ignored", {FlexAlphaWord(1, 127, 'X'), FlexAlphaWord('Y', 0, 'Z')}, "XYZ"},
        {"ten lines at most", FlexAlphaWords("A\n\n\n\n\n\n\n\n\n\nB"),
         "A" + kNext + kNext + kNext + kNext + kNext + kNext + kNext + kNext + kNext},
    };
    for (const Case& c : cases) {
        const FlexPhaseWords words = FlexPhaseBuilder().Page({77, false, kFlexAlphanumeric, c.message}).Build();
        EXPECT_EQ(Pages(OnePhase(words)), std::vector<std::string>{"FLEX   AN 0000000077 " + c.page}) << c.what;
    }
}

TEST(FlexAlpha, LongAddressPage) {
    const FlexPhaseWords words = FlexPhaseBuilder().Alpha(3000000, "LONG ONE", true).Alpha(5, "SHORT").Build();
    EXPECT_EQ(Pages(OnePhase(words)),
              (std::vector<std::string>{"FLEX   AN 0003000000 LONG ONE", "FLEX   AN 0000000005 SHORT"}));
}

TEST(FlexAlpha, LineOverEightyCharactersEndsAtTheEndOfItsWord) {
    // A first word of k letters, 26 words of three: the line holds 78 + k letters before "XYZ".
    for (int k : {2, 3}) {
        std::vector<std::uint32_t> message{k == 2 ? FlexAlphaWord('A', 'A', 3) : FlexAlphaWord('A', 'A', 'A')};
        for (int i = 0; i < 26; ++i) message.push_back(FlexAlphaWord('B', 'C', 'D'));
        message.push_back(FlexAlphaWord('X', 'Y', 'Z'));
        message.push_back(FlexAlphaWord('E', 'F', 3));
        std::string line(static_cast<std::size_t>(k), 'A');
        for (int i = 0; i < 26; ++i) line += "BCD";
        // 80 letters: XYZ still joins the line (83), EF starts the next. 81: XYZ starts it.
        const std::string page = k == 2 ? line + "XYZ" + kNext + "EF" : line + kNext + "XYZEF";
        const FlexPhaseWords words = FlexPhaseBuilder().Page({12, false, kFlexAlphanumeric, message}).Build();
        EXPECT_EQ(Pages(OnePhase(words)), std::vector<std::string>{"FLEX   AN 0000000012 " + page}) << k;
    }
}

// ---- words the record does not hold ----------------------------------------------------------

// Two phases, so that the first word of phase 1 is what a decoder would find if it ran past
// word 87 of phase 0; it is made to look like a page there.
std::vector<std::uint8_t> TwoPhases(const FlexPhaseWords& phase0, std::uint32_t phase1Word0) {
    FlexFrame frame;
    frame.mode = 6;
    frame.phases.resize(2);
    frame.phases[0] = phase0;
    frame.phases[1][0] = phase1Word0;
    frame.phases[1][1] = FlexAlphaWord('B', 'A', 'D');
    return frame.Body();
}

std::vector<std::string> PhaseZero(const std::vector<std::uint8_t>& body) {
    TFLEX flex(View(body), 1);
    std::vector<std::string> pages;
    for (std::string& text : Drain(flex, 0)) {
        if (!text.empty()) pages.push_back(std::move(text));
    }
    return pages;
}

TEST(FlexBounds, VectorPastTheLastWordGivesNoPage) {
    FlexPhaseWords words{};
    words[0] = FlexBlockInfo(1, 44);  // vector of the first address at word 88
    words[1] = FlexShortAddress(5);
    EXPECT_EQ(PhaseZero(TwoPhases(words, FlexAlphaVector(0, 3))), std::vector<std::string>{});
}

TEST(FlexBounds, LongNumericWordPastTheLastWordGivesNoPage) {
    FlexPhaseWords words{};
    words[0] = FlexBlockInfo(1, 43);
    words[1] = FlexShortAddress(7);               // vector at 86
    const auto longWords = FlexLongAddress(2068490);
    words[2] = longWords[0];                      // vector at 87, its first message word at 88
    words[3] = longWords[1];
    words[86] = FlexVector(6, 0, 0, 3);
    words[87] = FlexNumericVector(3, 4, 5);
    words[7] = FlexNumericWords(NumericDigits("55555"), 1)[0];
    EXPECT_EQ(PhaseZero(TwoPhases(words, FlexNumericWords(NumericDigits("99999"), 3)[0])),
              std::vector<std::string>{});
}

TEST(FlexBounds, MessageWordsPastTheLastWordEndTheMessage) {
    struct Case {
        std::uint32_t vector;
        std::uint32_t word86, word87, phase1Word0;
        const char* page;
    };
    const Case cases[] = {
        // S = 85, W = 5: words 86 and 87, then 88 and 89 are not taken
        {FlexAlphaVector(85, 5), FlexAlphaWord('A', 'B', 'C'), FlexAlphaWord('D', 'E', 'F'),
         FlexAlphaWord('G', 'H', 'I'), "FLEX   AN 0000000008 ABCDEF"},
        // S = 86, W = 4: word 87 only; its last three bits would need a next word
        {FlexNumericVector(3, 86, 4), 0, FlexNumericWords(NumericDigits("1234"), 3)[0],
         FlexNumericWords(NumericDigits("99999"), 1)[0], "FLEX   NS 0000000008 1234"},
    };
    for (const Case& c : cases) {
        FlexPhaseWords words{};
        words[0] = FlexBlockInfo(1, 2);
        words[1] = FlexShortAddress(8);
        words[4] = c.vector;
        words[86] = c.word86;
        words[87] = c.word87;
        EXPECT_EQ(PhaseZero(TwoPhases(words, c.phase1Word0)), std::vector<std::string>{c.page});
    }
}

TEST(FlexBounds, WordsBeyondTheDataLengthReadAsZero) {
    // Vector at word 2, message words 3 ("HEL") and 4 ("LO"); the body holds all 88 words.
    FlexPhaseWords words{};
    words[0] = FlexBlockInfo(1, 1);
    words[1] = FlexShortAddress(1);
    words[2] = FlexAlphaVector(2, 3);
    words[3] = FlexAlphaWord('H', 'E', 'L');
    words[4] = FlexAlphaWord('L', 'O', 3);
    struct Case {
        int length;
        std::vector<std::string> pages;
    };
    const Case cases[] = {
        {352, {"FLEX   AN 0000000001 HELLO"}},
        {20, {"FLEX   AN 0000000001 HELLO"}},
        // byte b0 of word 4: "L" and the low bit of "O", which alone is an ignored value 1
        {17, {"FLEX   AN 0000000001 HELL"}},
        {16, {"FLEX   AN 0000000001 HEL"}},
        {12, {"FLEX   AN 0000000001 "}},
        {8, {}},
        {65535, {"FLEX   AN 0000000001 HELLO"}},  // more than the record can hold
    };
    for (const Case& c : cases) {
        FlexFrame frame;
        frame.phases = {words};
        frame.dataLength = c.length;
        EXPECT_EQ(Pages(frame.Body()), c.pages) << "L = " << c.length;
    }
}

TEST(FlexBounds, ShortBufferReadsAsZero) {
    // The view ends inside word 4: the rest of the frame is not there.
    const FlexPhaseWords words = FlexPhaseBuilder().Alpha(1, "HELLO").Build();
    std::vector<std::uint8_t> body = OnePhase(words);
    body.resize(18 + 4 * 3);
    EXPECT_EQ(Pages(body), std::vector<std::string>{});
}

} // namespace
} // namespace mutaro::testing

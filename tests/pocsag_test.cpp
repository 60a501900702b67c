#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decoders/Pocsag.h"
#include "support/PagingBuilders.h"

namespace mutaro::testing {
namespace {

using namespace mutaro::paging;

// A message code word without data bits: a search for the next address skips it.
const std::uint32_t kStray = SetLowFirst(0, 1, 1, 1);

ByteView View(const std::vector<std::uint8_t>& bytes) { return {bytes.data(), bytes.size()}; }

// One record in the reader's calling order.
struct Record {
    std::vector<std::string> calls;  // the texts of the calls that reported more, empty ones included
    std::string last;                // the text of the call that reported done
    bool continues = false;
    PocsagCarry carry;               // what goes to the next record

    std::vector<std::string> Texts() const {
        std::vector<std::string> kept;
        for (const std::string& t : calls) {
            if (!t.empty()) kept.push_back(t);
        }
        return kept;
    }
};

Record Decode(const PocsagBatch& batch, const PocsagCarry& carry = {}) {
    const std::vector<std::uint8_t> body = batch.Body();
    TPOCSAG decoder(View(body), carry);
    TextBuffer out(3072);
    Record r;
    for (int call = 0; call < 40; ++call) {
        if (decoder.NextMessage(out)) {
            r.last = out.str();
            r.continues = decoder.Continues();
            r.carry = decoder.Carry();
            // Done stays done and leaves the carry as it was.
            EXPECT_TRUE(decoder.NextMessage(out));
            EXPECT_TRUE(out.empty());
            EXPECT_EQ(decoder.Carry().Text(), r.carry.Text());
            return r;
        }
        r.calls.push_back(out.str());
    }
    ADD_FAILURE() << "the record never ends";
    return r;
}

PocsagCarry CarriedText(const std::string& text, int functionCode, int bitCount = 0, std::uint32_t bitValue = 0) {
    PocsagCarry carry;
    text.copy(carry.text.data(), text.size());
    carry.textLength = text.size();
    carry.functionCode = functionCode;
    carry.bitCount = bitCount;
    carry.bitValue = bitValue;
    return carry;
}

std::vector<std::uint32_t> Strays(int count) { return std::vector<std::uint32_t>(static_cast<std::size_t>(count), kStray); }

// ---- builders, checked against words worked out bit by bit ------------------------------------

TEST(PocsagBuilders, WordsMatchHandComputedBits) {
    const auto abc = PocsagAlphaWords("ABC");
    ASSERT_EQ(abc.size(), 2u);
    struct Case {
        const char* what;
        std::uint32_t built;
        std::uint32_t expected;
    };
    const Case cases[] = {
        // 1000 high-first in positions 2 to 19, function code 3 in positions 20 and 21
        {"address 1000, function 3", PocsagAddressWord(1000, 3), 0x007D1800},
        {"address 1, function 1", PocsagAddressWord(1, 1), 0x00003000},
        // flag, then 1 2 3 12 4 least significant bit first from positions 2, 6, 10, 14, 18
        {"digits 1 2 3 12 4", PocsagNumericWord({1, 2, 3, 12, 4}), 0xC2619000},
        {"A", PocsagAlphaWords("A")[0], 0xC1000000},
        // A, B and the six low bits of C (67); its high bit opens the next word
        {"ABC first word", abc[0], 0xC1438000},
        {"ABC second word", abc[1], 0xC0000000},
    };
    for (const Case& c : cases) EXPECT_EQ(c.built, c.expected) << c.what;
}

TEST(PocsagBuilders, BodyLayout) {
    PocsagBatch batch;
    batch.rssi = 0x66;
    batch.typeMap = 0x1B;
    batch.bitRate = 0x0960;
    batch.bitError = 0x0102;
    batch.channel = 0xA0B0;
    batch.words[1] = 0x11223344;
    const std::vector<std::uint8_t> body = batch.Body();
    ASSERT_EQ(body.size(), 81u);
    EXPECT_EQ(std::vector<std::uint8_t>(body.begin(), body.begin() + 21),
              (std::vector<std::uint8_t>{79, 0, 0x66, 0x1B, 0, 0x60, 0x09, 0x02, 0x01, 0, 0, 0, 0, 0x97, 0xC1, 0x89,
                                         0x7A, 0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(body[77], 0xB0);
    EXPECT_EQ(body[78], 0xA0);
}

// ---- head -----------------------------------------------------------------------------------------

TEST(PocsagHead, ValuesAndValidity) {
    PocsagBatch batch;
    batch.contentLength = 11;
    batch.rssi = 93;
    batch.bitRate = 2400;
    batch.bitError = 17;
    batch.channel = 0x0456;
    std::vector<std::uint8_t> body = batch.Body();
    TPOCSAG decoder(View(body), {});
    EXPECT_TRUE(decoder.Valid());
    EXPECT_EQ(decoder.Rssi(), 93);
    EXPECT_EQ(decoder.BitRate(), 2400.0);
    EXPECT_EQ(decoder.BitError(), 17);
    EXPECT_EQ(decoder.Channel(), 0x0456);

    batch.contentLength = 10;
    body = batch.Body();
    EXPECT_FALSE(TPOCSAG(View(body), {}).Valid());
}

TEST(PocsagHead, TypeMapHoldsTwoBitsPerFunctionCode) {
    struct Case {
        std::uint8_t map;
        std::array<const char*, 4> types;  // function code 0 to 3
    };
    const Case cases[] = {
        {0xE4, {"XX", "TN", "NU", "AN"}},  // 11 10 01 00
        {0x1B, {"AN", "NU", "TN", "XX"}},
        {0x00, {"XX", "XX", "XX", "XX"}},
        {0xB1, {"TN", "XX", "AN", "NU"}},
    };
    for (const Case& c : cases) {
        PocsagBatch batch;
        batch.typeMap = c.map;
        const std::vector<std::uint8_t> body = batch.Body();
        TPOCSAG decoder(View(body), {});
        for (int fc = 0; fc < 4; ++fc) {
            EXPECT_STREQ(TPOCSAG::TypeText(decoder.MessageType(fc)), c.types[static_cast<std::size_t>(fc)])
                << "map " << int(c.map) << " function " << fc;
        }
    }
}

TEST(PocsagHead, MessagesAreDecodedByTheTypeOfTheirFunctionCode) {
    struct Case {
        int functionCode;
        std::vector<std::uint32_t> message;
        const char* text;
    };
    const Case cases[] = {
        {0, PocsagNumericWords("12345"), ""},
        {1, PocsagNumericWords("12345"), ""},
        {2, PocsagNumericWords("12345"), "POCSAG NU 0000000040 12345"},
        {3, PocsagAlphaWords("HI"), "POCSAG AN 0000000040 HI"},
    };
    for (const Case& c : cases) {
        PocsagBatch batch;  // map 0xE4
        batch.Place(0, PocsagMessage(5, c.functionCode, c.message));
        const Record r = Decode(batch);
        ASSERT_EQ(r.calls.size(), 1u) << c.functionCode;
        EXPECT_EQ(r.calls[0], c.text) << c.functionCode;
    }
}

// ---- walk and addresses -----------------------------------------------------------------------

TEST(PocsagAddress, CapcodeIsTheAddressTimesEightPlusItsFrame) {
    struct Case {
        int slot;
        const char* capcode;
    };
    for (const Case& c : {Case{0, "0000008000"}, Case{1, "0000008000"}, Case{10, "0000008005"},
                          Case{11, "0000008005"}, Case{12, "0000008006"}}) {
        PocsagBatch batch;
        batch.Place(0, Strays(c.slot));
        batch.Place(c.slot, PocsagMessage(1000, 2, PocsagNumericWords("42")));
        EXPECT_EQ(Decode(batch).Texts(), std::vector<std::string>{std::string("POCSAG NU ") + c.capcode + " 42"})
            << "slot " << c.slot;
    }
}

TEST(PocsagWalk, IdleWordEndsTheRecord) {
    struct Case {
        const char* what;
        std::vector<std::uint32_t> words;
        std::vector<std::string> texts;
    };
    auto join = [](std::vector<std::vector<std::uint32_t>> parts) {
        std::vector<std::uint32_t> all;
        for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    const Case cases[] = {
        {"idle first", join({{kPocsagIdle}, PocsagMessage(1, 3, PocsagAlphaWords("NO"))}), {}},
        {"idle between two messages",
         join({PocsagMessage(1, 3, PocsagAlphaWords("YES")), {kPocsagIdle}, PocsagMessage(2, 3, PocsagAlphaWords("NO"))}),
         {"POCSAG AN 0000000008 YES"}},
        {"idle right after an address", join({PocsagMessage(1, 3, {}), {kPocsagIdle}, PocsagAlphaWords("NO")}), {}},
    };
    for (const Case& c : cases) {
        PocsagBatch batch;
        batch.Place(0, c.words);
        const Record r = Decode(batch);
        EXPECT_EQ(r.Texts(), c.texts) << c.what;
        EXPECT_FALSE(r.continues) << c.what;
        EXPECT_EQ(r.last, "") << c.what;
    }
    PocsagBatch idle;
    idle.Place(0, {kPocsagIdle});
    idle.Place(1, PocsagMessage(1, 3, PocsagAlphaWords("NO")));
    EXPECT_TRUE(Decode(idle).calls.empty());  // the first call is already done
}

TEST(PocsagMessages, TwoAddressesInARow) {
    PocsagBatch batch;
    batch.Place(0, {PocsagAddressWord(1, 3), PocsagAddressWord(2, 3), PocsagAlphaWords("OK")[0]});
    // The second address is in frame 0 as well: 2 x 8 + 0.
    EXPECT_EQ(Decode(batch).calls, (std::vector<std::string>{"", "POCSAG AN 0000000016 OK"}));
}

TEST(PocsagMessages, WordsOfATextlessTypeAreTakenByItsMessage) {
    PocsagBatch batch;
    int slot = batch.Place(0, PocsagMessage(1, 1, PocsagAlphaWords("TONE ONLY")));
    batch.Place(slot, PocsagMessage(3, 3, PocsagAlphaWords("AFTER")));
    EXPECT_EQ(Decode(batch).calls, (std::vector<std::string>{"", "POCSAG AN 0000000026 AFTER"}));
}

// ---- numeric and alphanumeric text -----------------------------------------------------------

TEST(PocsagText, NumericDigits) {
    struct Case {
        std::vector<std::uint32_t> message;
        const char* text;
    };
    const Case cases[] = {
        {{0xC2619000}, "123 4"},  // fields 1, 2, 3, 12, 4
        {PocsagNumericWords("1234567"), "1234567"},
        {PocsagNumericWords("U-][*9"), "U-][9"},  // digit 10 writes nothing
    };
    for (const Case& c : cases) {
        PocsagBatch batch;
        batch.Place(0, PocsagMessage(3, 2, c.message));
        EXPECT_EQ(Decode(batch).Texts(), std::vector<std::string>{std::string("POCSAG NU 0000000024 ") + c.text});
    }
}

TEST(PocsagText, OnlyTheFirstLineReachesTheText) {
    // Hand-laid: "A", character 3, then six bits of "Q" -- the rest of the word is skipped, the
    // begun character included, so the next word starts afresh with "CD".
    const std::uint32_t endsEarly = SetLowFirst(SetLowFirst(SetLowFirst(kStray, 2, 7, 'A'), 9, 7, 3), 16, 6, 'Q');
    const std::uint32_t zeroEnds = SetLowFirst(SetLowFirst(kStray, 2, 7, 'B'), 9, 7, 0);
    const std::uint32_t cd = SetLowFirst(SetLowFirst(kStray, 2, 7, 'C'), 9, 7, 'D');
    struct Case {
        const char* what;
        std::vector<std::uint32_t> message;
        const char* line;
    };
    const Case cases[] = {
        {"text after a line feed is dropped", PocsagAlphaWords("ABC\nDEF"), "ABC"},
        {"leading spaces and line feeds", PocsagAlphaWords("  \n \nHI THERE"), "HI THERE"},
        {"empty second line", PocsagAlphaWords("X\n\nY"), "X"},
        {"other values ignored", PocsagAlphaWords(std::string("A\x01\x7F" "B")), "AB"},
        {"character 3 ends its word", {endsEarly, cd}, "ACD"},
        {"character 0 ends its word", {zeroEnds, cd}, "BCD"},
    };
    for (const Case& c : cases) {
        PocsagBatch batch;
        batch.Place(0, PocsagMessage(9, 3, c.message));
        EXPECT_EQ(Decode(batch).Texts(), std::vector<std::string>{std::string("POCSAG AN 0000000072 ") + c.line})
            << c.what;
    }
}

TEST(PocsagText, UnfinishedCharacterIsNotGluedOntoTheNextMessage) {
    // The first message's only word ends with six bits of "X"; the second message starts afresh.
    PocsagBatch batch;
    int slot = batch.Place(0, PocsagMessage(1, 3, {PocsagAlphaWords("HIX")[0]}));
    batch.Place(slot, PocsagMessage(2, 3, PocsagAlphaWords("OK")));
    EXPECT_EQ(Decode(batch).Texts(),
              (std::vector<std::string>{"POCSAG AN 0000000008 HI", "POCSAG AN 0000000017 OK"}));
}

// ---- messages across records --------------------------------------------------------------------

TEST(PocsagCarry, AlphanumericMessageContinuesInTheNextRecord) {
    // The stream of "HIXYZ": word 0 holds H, I and the six low bits of X (88); word 1 the high
    // bit of X, then Y and Z.
    const auto words = PocsagAlphaWords("HIXYZ");
    PocsagBatch first;
    first.Place(0, PocsagMessage(4, 3, PocsagAlphaWords("FIRST")));
    first.Place(3, Strays(11));
    first.Place(14, PocsagMessage(25, 3, {words[0]}));
    const Record one = Decode(first);
    EXPECT_EQ(one.Texts(), std::vector<std::string>{"POCSAG AN 0000000032 FIRST"});
    EXPECT_EQ(one.last, "POCSAG AN 0000000207 HI");
    EXPECT_TRUE(one.continues);
    EXPECT_EQ(one.carry.Text(), one.last);
    EXPECT_EQ(one.carry.bitCount, 1);
    EXPECT_EQ(one.carry.bitValue, 88u & 0x3F);
    EXPECT_EQ(one.carry.functionCode, 3);

    struct Case {
        const char* what;
        std::vector<std::uint32_t> words;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"continued by its words", {words[1]}, {"POCSAG AN 0000000207 HIXYZ"}},
        // the message had ended with its batch: the text alone, then the new message
        {"next record starts with an address", PocsagMessage(6, 3, PocsagAlphaWords("NEW")),
         {"POCSAG AN 0000000207 HI", "POCSAG AN 0000000048 NEW"}},
    };
    for (const Case& c : cases) {
        PocsagBatch second;
        second.Place(0, c.words);
        const Record two = Decode(second, one.carry);
        EXPECT_EQ(two.Texts(), c.texts) << c.what;
        EXPECT_FALSE(two.continues) << c.what;
        EXPECT_EQ(two.carry.textLength, 0u) << c.what;
        EXPECT_EQ(two.carry.bitCount, 0) << c.what;
    }
}

TEST(PocsagCarry, ContinuationKeepsItsSpacesAndLineFeeds) {
    // The space after "HI" is begun in the first record; the continuation is no message start,
    // so neither it nor a line feed is dropped there.
    struct Case {
        const char* text;
        const char* expected;
    };
    for (const Case& c : {Case{"HI THERE", "HI THERE"}, Case{"HI\nTHERE", "HI"}}) {
        const auto words = PocsagAlphaWords(c.text);
        ASSERT_EQ(words.size(), 3u);
        PocsagBatch first, second;
        first.Place(0, Strays(14));
        first.Place(14, PocsagMessage(1, 3, {words[0]}));
        second.Place(0, {words[1], words[2]});
        const Record one = Decode(first);
        EXPECT_EQ(one.last, "POCSAG AN 0000000015 HI");
        EXPECT_EQ(Decode(second, one.carry).Texts(), std::vector<std::string>{std::string("POCSAG AN 0000000015 ") + c.expected});
    }
}

TEST(PocsagCarry, MessageOverThreeRecordsKeepsEveryFirstLine) {
    const std::string text = "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXY";  // 51 characters
    const auto words = PocsagAlphaWords(text);
    ASSERT_EQ(words.size(), 18u);
    PocsagBatch a, b, c;
    a.Place(0, Strays(14));
    a.Place(14, PocsagMessage(100, 3, {words[0]}));
    b.Place(0, std::vector<std::uint32_t>(words.begin() + 1, words.begin() + 17));
    c.Place(0, {words[17]});

    const Record one = Decode(a);
    EXPECT_EQ(one.last, "POCSAG AN 0000000807 AB");
    const Record two = Decode(b, one.carry);
    EXPECT_TRUE(two.calls.empty());
    // 340 bits: 48 characters and 4 bits of the 49th, which misses 3
    EXPECT_EQ(two.last, "POCSAG AN 0000000807 " + text.substr(0, 48));
    EXPECT_EQ(two.carry.bitCount, 3);
    const Record three = Decode(c, two.carry);
    EXPECT_EQ(three.Texts(), std::vector<std::string>{"POCSAG AN 0000000807 " + text});
}

TEST(PocsagCarry, ContinuationIsDecodedWithTheCarriedFunctionCode) {
    PocsagBatch first;  // map 0xE4: function code 2 is numeric
    first.Place(0, Strays(14));
    first.Place(14, PocsagMessage(7, 2, PocsagNumericWords("12345")));
    const Record one = Decode(first);
    EXPECT_EQ(one.last, "POCSAG NU 0000000063 12345");
    EXPECT_EQ(one.carry.functionCode, 2);

    PocsagBatch second;
    second.Place(0, PocsagNumericWords("678"));
    EXPECT_EQ(Decode(second, one.carry).Texts(), std::vector<std::string>{"POCSAG NU 0000000063 12345678"});
}

TEST(PocsagCarry, AddressInTheLastCodeWordStartsItsMessageInTheNextRecord) {
    struct Case {
        const char* what;
        std::vector<std::uint32_t> words;  // slots 0 to 14
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"reached by a search", Strays(15), {}},
        {"ending the message before it", [] {
             auto w = PocsagMessage(1, 3, PocsagAlphaWords("BEFORE"));
             w.resize(15, kStray);
             return w;
         }(),
         {"POCSAG AN 0000000008 BEFORE"}},
    };
    for (const Case& c : cases) {
        PocsagBatch first;
        first.Place(0, c.words);
        first.Place(15, {PocsagAddressWord(50, 3)});
        const Record one = Decode(first);
        EXPECT_EQ(one.Texts(), c.texts) << c.what;
        EXPECT_EQ(one.last, "") << c.what;
        EXPECT_FALSE(one.continues) << c.what;
        EXPECT_TRUE(one.carry.addressPending) << c.what;
        EXPECT_EQ(one.carry.pendingCapcode, 50u * 8 + 7) << c.what;
        EXPECT_EQ(one.carry.pendingFunctionCode, 3) << c.what;

        // Its words lead the next record; leading blanks are dropped as at any message start.
        PocsagBatch second;
        int slot = second.Place(0, PocsagAlphaWords(" \nLATE"));
        second.Place(slot, PocsagMessage(2, 3, PocsagAlphaWords("NEXT")));
        const Record two = Decode(second, one.carry);
        EXPECT_EQ(two.Texts(), (std::vector<std::string>{"POCSAG AN 0000000407 LATE", "POCSAG AN 0000000017 NEXT"}))
            << c.what;
        EXPECT_FALSE(two.carry.addressPending) << c.what;
    }
}

TEST(PocsagCarry, TenLinesEndTheMessageSoItIsNotCarried) {
    struct Case {
        std::string text;  // five words from slot 11, the batch's last five
        const char* line;
        bool carried;
    };
    const Case cases[] = {
        {"A\n\n\n\n\n\n\n\nBCDEF", "A", true},     // nine lines
        {"A\n\n\n\n\n\n\n\n\nBCD", "A", false},    // the tenth line is begun: the next word is left
        {"ABC\n\n\n\n\n\n\n\n\n\n", "ABC", false},  // an eleventh line ends it, in the batch's last word
    };
    for (const Case& c : cases) {
        const auto words = PocsagAlphaWords(c.text);
        ASSERT_EQ(words.size(), 5u);
        PocsagBatch batch;
        batch.Place(0, Strays(10));
        batch.Place(10, PocsagMessage(3, 3, words));
        const Record r = Decode(batch);
        const std::string text = std::string("POCSAG AN 0000000029 ") + c.line;
        EXPECT_EQ(r.continues, c.carried) << text;
        if (c.carried) {
            EXPECT_TRUE(r.calls.empty());
            EXPECT_EQ(r.last, text);
        } else {
            EXPECT_EQ(r.Texts(), std::vector<std::string>{text});
            EXPECT_EQ(r.carry.textLength, 0u);
        }
    }
}

TEST(PocsagCarry, CarriedTextAndItsContinuationAreCutAt1023Characters) {
    struct Case {
        std::size_t carried;
        std::string expected;
    };
    const Case cases[] = {
        {1017, std::string(1017, 'x') + "ABCDEF"},
        {1020, std::string(1020, 'x') + "ABC"},
        {1023, std::string(1023, 'x')},
    };
    for (const Case& c : cases) {
        PocsagBatch batch;
        batch.Place(0, PocsagAlphaWords("ABCDEF"));
        const Record r = Decode(batch, CarriedText(std::string(c.carried, 'x'), 3));
        EXPECT_EQ(r.Texts(), std::vector<std::string>{c.expected}) << c.carried;
    }
    // Running past its batch again, the cut text is what is carried.
    PocsagBatch full;
    full.Place(0, PocsagAlphaWords(std::string(45, 'Z')));
    const Record r = Decode(full, CarriedText(std::string(1000, 'x'), 3));
    EXPECT_TRUE(r.continues);
    EXPECT_EQ(r.last, std::string(1000, 'x') + std::string(23, 'Z'));
    EXPECT_EQ(r.carry.Text(), r.last);
}

TEST(PocsagCarry, InvalidRecordHandsOnTheCarryItWasGiven) {
    PocsagBatch batch;
    batch.contentLength = 10;
    batch.Place(0, PocsagMessage(1, 3, PocsagAlphaWords("IGNORED")));
    const PocsagCarry given = CarriedText("POCSAG AN 0000000001 HI", 3, 1, 24);
    const Record r = Decode(batch, given);
    EXPECT_TRUE(r.calls.empty());
    EXPECT_EQ(r.last, "");
    EXPECT_EQ(r.carry.Text(), given.Text());
    EXPECT_EQ(r.carry.bitCount, 1);
    EXPECT_EQ(r.carry.bitValue, 24u);
}

} // namespace
} // namespace mutaro::testing

#include <gtest/gtest.h>

#include "support/JobFixture.h"

namespace mutaro::testing {
namespace {

const SelectedField kLat{"Latitude (Degrees)", 6};
const SelectedField kLon{"Longitude (Degrees)", 12};
const SelectedField kData{"<< DATA >>", 0};
const SelectedField kBreak{"CR / LF", 4};

ScriptedRecord Data(std::map<std::int16_t, std::string> fields,
                    std::vector<std::optional<std::string>> columns = {}) {
    ScriptedRecord r;
    r.fields = std::move(fields);
    r.columns = std::move(columns);
    return r;
}

using DelimitedRowsTest = JobFixture;

TEST_F(DelimitedRowsTest, FieldsAndDataGroupsAreSeparatedOnceAndLinesEndInCrLf) {
    Select({kLat, kData, kLon});
    reader.titles = {"\"Rec#1 Frequency\",\"Rec#1 RSSI\"", std::nullopt, "\"Rec#3 RSSI\""};
    reader.script = {Data({{6, "42"}, {12, "7"}}, {"881.5200,-80", std::nullopt, "-91"}),
                     Data({{6, ""}, {12, "8"}}, {"", std::nullopt, ""})};
    ASSERT_EQ(Run(), JobOutcome::Completed);
    EXPECT_EQ(Output(),
              "\"Latitude (Degrees)\",\"Rec#1 Frequency\",\"Rec#1 RSSI\",\"Rec#3 RSSI\",\"Longitude (Degrees)\"\r\n"
              "42,881.5200,-80,-91,7\r\n"
              // empty field and group texts still get their separators
              ",,,8\r\n");
    EXPECT_EQ(reader.outputRowCount, 2u);
}

TEST_F(DelimitedRowsTest, SkippedFirstReceiverStartsBothRowsWithASeparator) {
    Select({kData, kLat});
    reader.titles = {"", "\"Rec#2 RSSI\""};
    reader.script = {Data({{6, "1"}}, {std::nullopt, "-70"})};
    Run();
    // The data row's group after the skipped receiver takes its separator; the title row does
    // the same because its empty first group is followed by a non-empty one.
    EXPECT_EQ(Output(), ",\"Rec#2 RSSI\",\"Latitude (Degrees)\"\r\n,-70,1\r\n");
}

TEST_F(DelimitedRowsTest, AllReceiversSkippedAddsNothingNotEvenASeparator) {
    Select({kLat, kData, kLon});
    reader.script = {Data({{6, "1"}, {12, "2"}}, {std::nullopt, std::nullopt})};
    settings.headerRow = false;
    Run();
    EXPECT_EQ(Output(), "1,2\r\n");
}

TEST_F(DelimitedRowsTest, RowWithoutTextRunsOnIntoTheNextRow) {
    Select({kLat, kLon});
    settings.headerRow = false;
    reader.script = {Data({}), Data({{6, "3"}, {12, "4"}})};
    Run();
    EXPECT_EQ(Output(), ",3,4\r\n");
    EXPECT_EQ(reader.outputRowCount, 2u);
}

TEST_F(DelimitedRowsTest, EmptySelectionGivesBareTitleLineAndCountsRows) {
    reader.script = {Data({{6, "1"}}), Data({{6, "2"}})};
    Run();
    EXPECT_EQ(Output(), "\r\n");
    EXPECT_EQ(reader.outputRowCount, 2u);
}

TEST_F(DelimitedRowsTest, LineBreakFieldAndDataTwice) {
    Select({kData, kBreak, kData});
    settings.headerRow = false;
    reader.script = {Data({{4, "\n"}}, {"a", "b"})};
    Run();
    // Each << DATA >> occurrence starts its groups again from the first.
    EXPECT_EQ(Output(), "a,b,\r\n,a,b\r\n");
}

TEST_F(DelimitedRowsTest, ProductSevenWritesOneRowPerReceiverWithNewData) {
    settings.productIndex = 7;
    settings.headerRow = false;
    Select({kLat, {"Record Number", 32}});
    ScriptedRecord r = Data({{6, "9"}});
    r.receiversWithData = {2, 4};
    reader.script = {r};
    Run();
    EXPECT_EQ(Output(), "9,1\r\n9,2\r\n");
}

TEST_F(DelimitedRowsTest, LaterReceiverRowOfARecordEndsItsLineOnceAnyRowHadText) {
    settings.productIndex = 8;
    settings.headerRow = false;
    Select({kLat});
    // Receiver 1's row has text, receiver 2's is empty: the flag is per record, so both end.
    ScriptedRecord first;
    first.receiversWithData = {1, 2};
    first.fieldsByReceiver = {{1, {{6, "5"}}}, {2, {}}};
    // In the next record only receiver 2 has text: receiver 1's empty row gets no line end.
    ScriptedRecord second;
    second.receiversWithData = {1, 2};
    second.fieldsByReceiver = {{1, {}}, {2, {{6, "6"}}}};
    reader.script = {first, second};
    Run();
    EXPECT_EQ(Output(), "5\r\n\r\n6\r\n");
}

TEST_F(DelimitedRowsTest, HeaderSwitchOffStillClearsHeaderPending) {
    Select({kLat});
    settings.headerRow = false;
    ScriptedRecord header;
    header.kind = kRecordHeader;  // no raise: the pending flag was cleared at the start
    reader.script = {Data({{6, "1"}}), header, Data({{6, "2"}})};
    Run();
    EXPECT_EQ(Output(), "1\r\n2\r\n");
    EXPECT_EQ(reader.headerPending, 0);
}

TEST_F(DelimitedRowsTest, TitleRowOncePerHeaderPendingRaise) {
    Select({kLat});
    ScriptedRecord raised;
    raised.kind = kRecordHeader;
    raised.raiseHeader = true;
    ScriptedRecord plain;
    plain.kind = kRecordHeader;
    ScriptedRecord both = Data({{6, "3"}});
    both.kind = kRecordHeaderAndData;  // the job raises the flag itself
    reader.script = {Data({{6, "1"}}), raised, plain, Data({{6, "2"}}), both};
    Run();
    const std::string title = "\"Latitude (Degrees)\"\r\n";
    EXPECT_EQ(Output(), title + "1\r\n" + title + "2\r\n" + title + "3\r\n");
}

TEST_F(DelimitedRowsTest, VekAndHurlanTitleWaitsForTheirFirstHeaderRecord) {
    for (int product : {3, 4, 8, 9}) {
        settings.productIndex = product;
        Select({kLat});
        ScriptedRecord data = Data({{6, "1"}});
        ScriptedRecord header;
        header.kind = kRecordHeader;
        reader.script = {data, header, data};
        Run();
        EXPECT_EQ(Output(), "1\r\n\"Latitude (Degrees)\"\r\n1\r\n") << "product " << product;
    }
}

struct DelimiterCase {
    int choice;
    std::string other;
    std::string expected;
    friend void PrintTo(const DelimiterCase& c, std::ostream* os) {
        *os << "choice " << c.choice << " other \"" << c.other << "\"";
    }
};

class DelimiterTest : public JobFixture, public ::testing::WithParamInterface<DelimiterCase> {};

TEST_P(DelimiterTest, SeparatorIsExactlyOneByte) {
    Select({kLat, kData, kLon});
    settings.delimiterChoice = GetParam().choice;
    settings.otherDelimiterText = GetParam().other;
    settings.headerRow = false;
    reader.script = {Data({{6, "1"}, {12, "3"}}, {"2"})};
    Run();
    EXPECT_EQ(Output(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Choices, DelimiterTest,
                         ::testing::Values(DelimiterCase{0, "", "1,2,3\r\n"}, DelimiterCase{1, "", "1;2;3\r\n"},
                                           DelimiterCase{2, "", "1\t2\t3\r\n"}, DelimiterCase{3, "", "1 2 3\r\n"},
                                           DelimiterCase{4, "|", "1|2|3\r\n"},
                                           DelimiterCase{4, "", std::string("1\0" "2\0" "3\r\n", 7)},
                                           DelimiterCase{-1, "", "1@2@3\r\n"}, DelimiterCase{5, "x", "1@2@3\r\n"}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(DelimitedRowsTest, NulDelimiterInsideADataGroupIsKept) {
    Select({kData, kLat});
    settings.delimiterChoice = 4;
    settings.headerRow = false;
    reader.script = {Data({{6, "z"}}, {std::string("881.5\0-80", 9)})};
    Run();
    EXPECT_EQ(Output(), std::string("881.5\0-80\0z\r\n", 13));
}

} // namespace
} // namespace mutaro::testing

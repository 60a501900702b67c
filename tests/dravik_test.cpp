#include <gtest/gtest.h>

#include "readers/Dravik.h"
#include "support/DravikLogBuilder.h"

namespace mutaro::testing {
namespace {

using namespace dravik;

const SelectedField kData{"<< DATA >>", 0};

class DravikTest : public ::testing::Test {
protected:
    DravikTest() : reader(settings) {
        settings.productIndex = 2;
        settings.delimiterChoice = 0;
        settings.selectedFields = {kData};
    }
    std::string Convert(const std::string& log) { return ConvertLog(reader, settings, log, ".dlf"); }
    static std::string Log(std::initializer_list<std::string> bodies) {
        std::string log = Framed(Information("DRAV 2", "1.00"));
        for (const auto& body : bodies) log += Framed(body);
        return log;
    }

    ConversionSettings settings;
    ZDravik reader;
};

const std::string kTitles = "\"Rec#1 Frequency\",\"Rec#1 Channel\",\"Rec#1 RSSI\","
                            "\"Rec#2 Frequency\",\"Rec#2 Channel\",\"Rec#2 RSSI\"";

// Framing: a bad length costs exactly its four bytes, and no earlier record is delivered again.
TEST_F(DravikTest, FramingCountsEveryByteAndABadLengthCostsFour) {
    const std::string fast = Fast({}, {}, {});
    struct Case {
        const char* what;
        std::string log;
        std::vector<std::int32_t> counts;
    } cases[] = {
        {"one record", Framed(fast), {1087, 0}},
        {"length 5000 then a record", Bytes().le32(5000).str() + Framed(fast), {4, 1087, 0}},
        {"length 0", Bytes().le32(0).str() + Framed("I"), {4, 5, 0}},
        {"negative length", Bytes().le32(0xFFFFFFFF).str() + Framed("I"), {4, 5, 0}},
        {"length 4096 is the largest", Framed(std::string(4096, 'x')), {4100, 0}},
        {"length 4097", Bytes().le32(4097).str() + Framed("I"), {4, 5, 0}},
        {"garbage", std::string(4097, 'x'), [] { std::vector<std::int32_t> v(1024, 4); v.push_back(0); return v; }()},
        {"truncated body", Framed(fast).substr(0, 500), {0}},
        {"truncated length", Framed("I") + "\x05\x00", {5, 0}},
        {"empty file", "", {0}},
    };
    for (const auto& c : cases) EXPECT_EQ(FrameLog(reader, c.log), c.counts) << c.what;
}

TEST_F(DravikTest, TheStepAfterABadLengthYieldsNoRowAndRepeatsNothing) {
    settings.headerRow = false;
    Block block;
    block.low = block.high = 60;
    std::string log = Log({Fast({}, block, block)}) + Bytes().le32(5000).str();
    block.low = block.high = 61;
    log += Framed(Fast({}, block, block));
    EXPECT_EQ(Convert(log), Lines({"871.0200,34,-60,871.0200,34,-60", "871.0200,34,-61,871.0200,34,-61"}));
}

// Flags bit 6 adds 0.01 MHz and maps raw channel 34 to 0; bit 7 adds 1000 MHz. The mean of 256
// samples of 70 and 256 of 71 is 70.5, truncated to 70.
TEST_F(DravikTest, FastRowsFollowTheDravikFrequencyRule) {
    Block plain;
    plain.low = 70;
    plain.high = 71;
    plain.lowCount = 256;
    Block offset = plain;
    offset.band.flags = 0x40;
    Block high = plain;
    high.band.flags = 0xC0;
    high.rawChannel = 35;
    high.low = high.high = 99;
    EXPECT_EQ(Convert(Log({Fast({}, offset, plain), Fast({}, high, plain)})),
              Lines({kTitles, "871.0300,0,-70,871.0200,34,-70", "1871.0600,1,-99,871.0200,34,-70"}));
}

TEST_F(DravikTest, ScanRowsWalkThe3ByteTablesUpToChannel0) {
    Band offset;
    offset.flags = 0x40;
    Band plain;
    Entries full;
    for (int e = 0; e < 80; ++e) full.push_back({static_cast<std::uint16_t>(e + 1), 50});
    settings.headerRow = false;
    settings.fieldData.frequency = false;
    std::string all80;
    for (int e = 0; e < 80; ++e) all80 += (e ? "," : "") + std::to_string(e + 1) + ",-50";
    EXPECT_EQ(Convert(Log({
                  Scan({}, offset, plain, {{34, 60}, {0, 55}, {35, 56}}, {}),
                  Scan({}, plain, plain, full, {{7, 40}}),
              })),
              Lines({"0,-60,", all80 + ",7,-40"}));
    settings.fieldData.frequency = true;
    settings.fieldData.rssi = false;
    EXPECT_EQ(Convert(Log({Scan({}, offset, plain, {{0, 1}}, {{33, 60}, {2, 55}})})),
              Lines({",870.9900,33,870.0600,2"}));
}

// Best server by magnitude: the smallest wins, a tie keeps the lower index, 121 and above never
// win, and channel 0 is not eligible. One title group per receiver.
TEST_F(DravikTest, BestServerWritesTheStrongestScanEntryAlone) {
    settings.bestServer = true;
    settings.scanType = 0;  // 80 title groups, but best server writes one
    settings.fieldData.frequency = false;
    Band band;
    EXPECT_EQ(Convert(Log({
                  Scan({}, band, band, {{10, 95}, {11, 80}, {12, 80}, {13, 130}}, {{20, 121}, {21, 200}}),
                  Scan({}, band, band, {{0, 10}, {30, 130}}, {{40, 90}, {0, 5}, {41, 30}}),
              })),
              Lines({"\"Rec#1 Channel\",\"Rec#1 RSSI\",\"Rec#2 Channel\",\"Rec#2 RSSI\"", "11,-80,20,-121",
                     ",41,-30"}));
}

TEST_F(DravikTest, ScanTableTypeGives80TitleGroupsPerReceiver) {
    settings.scanType = 0;
    settings.fieldData.frequency = settings.fieldData.rssi = false;
    std::string expected;
    for (int r = 1; r <= 2; ++r)
        for (int g = 0; g < 80; ++g) expected += std::string(expected.empty() ? "" : ",") + "\"Rec#" + std::to_string(r) + " Channel\"";
    EXPECT_EQ(Convert(Log({})), Lines({expected}));
}

// Receiver 2 switched off adds nothing, not even a separator; receivers 3 and 4 change nothing.
TEST_F(DravikTest, ReceiverSwitches) {
    const std::string log = Log({Fast({}, {}, {})});
    settings.receiverEnabled = {true, true, false, false};
    const std::string two = Convert(log);
    settings.receiverEnabled = {true, true, true, true};
    EXPECT_EQ(Convert(log), two);
    settings.receiverEnabled = {true, false, true, true};
    EXPECT_EQ(Convert(log), Lines({"\"Rec#1 Frequency\",\"Rec#1 Channel\",\"Rec#1 RSSI\"", "871.0200,34,-70"}));
    settings.receiverEnabled = {false, true, true, true};
    settings.selectedFields = {{"Marker Value", 29}, kData};
    EXPECT_EQ(Convert(log), Lines({"\"Marker Value\",\"Rec#2 Frequency\",\"Rec#2 Channel\",\"Rec#2 RSSI\"",
                                   "513,871.0200,34,-70"}));
}

TEST_F(DravikTest, EveryFieldOfTheHeader) {
    RawRecord raw{};
    const std::string log = Framed(Fast({}, {}, {}));
    TempDir dir;
    WriteFile(dir / "a.dlf", log);
    reader.converting = 1;
    ASSERT_EQ(reader.Open(dir / "a.dlf"), 0);
    ASSERT_EQ(reader.ReadRecord(raw), 1087);
    ASSERT_EQ(reader.ParseRecord(raw), kRecordData);
    reader.outputRowCount = 17;
    const std::vector<std::pair<int, std::string>> expected = {
        {4, "\n"},         {5, "40.8539"},   {6, "40"},        {7, "51"},        {8, "51.234"},
        {9, "14"},         {10, "N"},        {11, "-73.0084"}, {12, "73"},       {13, "0"},
        {14, "0.506"},     {15, "30"},       {16, "W"},        {17, "OK"},       {18, "13:07:59"},
        {19, "13"},        {20, "07"},       {21, "59"},       {22, ""},         {26, ""},
        {27, ""},          {28, ""},         {29, "513"},      {32, "17"},       {33, "09/08/10"},
        {34, "09"},        {35, "08"},       {36, "10"},       {37, "07:06:05"}, {38, "07"},
        {39, "06"},        {40, "05"},       {44, ""},         {101, "871.0200"}, {102, "34"},
        {103, "-70"},      {201, "871.0200"}, {301, ""},       {303, ""},        {403, ""},
    };
    TextBuffer text(1000);
    for (const auto& [tag, value] : expected) {
        text.assignf("stale");
        reader.FormatField(static_cast<std::int16_t>(tag), text);
        EXPECT_EQ(text.str(), value) << "tag " << tag;
    }
    reader.Close();
}

TEST_F(DravikTest, SouthernAndUnfixedPositions) {
    Header h;
    h.latHemisphere = 'S';
    h.lonHemisphere = 'E';
    h.gpsStatus = 0x7F;
    Header none;
    none.latitudeBcd = none.longitudeBcd = 0;
    none.latHemisphere = none.lonHemisphere = 0;
    settings.headerRow = false;
    settings.selectedFields = {{"", 5}, {"", 10}, {"", 11}, {"", 16}, {"", 17}};
    EXPECT_EQ(Convert(Log({Fast(h, {}, {}), Fast(none, {}, {})})),
              Lines({"-40.8539,S,73.0084,E,NO", "-0.0000,,-0.0000,,OK"}));
}

// The index lists runs of fast and scan records by GPS time; a deselected data set gives no rows
// and the next one gives rows again.
TEST_F(DravikTest, DataSetsAndTheirSelection) {
    Header a, b, c;
    b.gpsSecondBcd = 0x01;
    c.gpsMinuteBcd = 0x08;
    Block block;
    const std::string log = Log({Fast(a, block, block), Fast(b, block, block), Information("x", "y"),
                                 Scan(b, {}, {}, {{5, 50}}, {}), Fast(c, block, block)});
    EXPECT_EQ(IndexLog(reader, log),
              (std::vector<FoundDataSet>{{0, "13:07:59"}, {1, "13:07:01"}, {0, "13:08:59"}}));
    UntickedSets unticked({0});
    reader.SetDataSetSelection(&unticked);
    settings.headerRow = false;
    settings.selectedFields = {{"", 18}};
    EXPECT_EQ(Convert(log), Lines({"13:07:01", "13:08:59"}));
    UntickedSets middle({1});
    reader.SetDataSetSelection(&middle);
    EXPECT_EQ(Convert(log), Lines({"13:07:59", "13:07:01", "13:08:59"}));
    reader.SetDataSetSelection(nullptr);
}

TEST_F(DravikTest, InformationTextsAreCutToTheirBuffers) {
    RawRecord raw{};
    TempDir dir;
    const std::string longProduct(600, 'P');
    WriteFile(dir / "a.dlf", Framed(Information("DRAV 2", "1.27")) + Framed(Information(longProduct, std::string(80, 'V'))) +
                                 Framed(Bytes().text("I").le32(0xFFFFFFFF).text("abc")));
    ASSERT_EQ(reader.Open(dir / "a.dlf"), 0);
    reader.ReadRecord(raw);
    EXPECT_EQ(reader.ParseRecord(raw), kRecordNothing);
    EXPECT_EQ(reader.textLine.str(), "DRAV 2 1.27\n");
    reader.ReadRecord(raw);
    reader.ParseRecord(raw);
    EXPECT_EQ(reader.textLine.str(), std::string(511, 'P') + " " + std::string(63, 'V') + "\n");
    reader.ReadRecord(raw);
    reader.ParseRecord(raw);
    EXPECT_EQ(reader.textLine.str(), " \n");
    reader.Close();
}

// A record shorter than its layout reads its missing bytes as zero: a fast record cut after its
// header has receivers without band (frequency 0) and without samples.
TEST_F(DravikTest, ShortRecordsReadMissingBytesAsZero) {
    settings.headerRow = false;
    settings.selectedFields = {kData, {"", 29}};
    const std::string fast = Fast({}, {}, {});
    EXPECT_EQ(Convert(Log({fast.substr(0, 25), fast.substr(0, 22)})),
              Lines({"0.0000,34,-0,0.0000,0,-0,513", "0.0000,0,-0,0.0000,0,-0,1"}));
}

// A reader whose averaging answers 3 averages for receiver 1 and 5 for receiver 2.
class AveragingDravik : public ZDravik {
public:
    using ZDravik::ZDravik;
    std::int16_t LambdaWindow(std::int16_t receiver) override {
        windows.push_back(receiver);
        return 12;
    }
    std::int16_t AverageSamples(std::int16_t receiver) override {
        averaged.push_back(receiver);
        LambdaBlock& block = averageWork.blocks[receiver];
        block.produced = receiver == 0 ? 3 : 5;
        for (int k = 0; k < block.produced; ++k) block.averages[k] = 60 + 10 * receiver + k;
        return static_cast<std::int16_t>(block.produced);
    }
    std::vector<int> windows, averaged;
};

// The window is asked once, at the first fast record, for receivers with data; a receiver whose
// whole-MHz field is 0 is not averaged. Rows beyond a receiver's averages leave its RSSI empty.
TEST_F(DravikTest, FortyLambdaRowsTakeTheAveragesOfTheirRow) {
    AveragingDravik averaging(settings);
    settings.fortyLambda = true;
    settings.headerRow = false;
    Block none;
    none.band.wholeMHz = 0;
    Block some;
    EXPECT_EQ(ConvertLog(averaging, settings, Log({Fast({}, some, some)})),
              Lines({"871.0200,34,-60,871.0200,34,-70", "871.0200,34,-61,871.0200,34,-71",
                     "871.0200,34,-62,871.0200,34,-72", "871.0200,34,,871.0200,34,-73",
                     "871.0200,34,,871.0200,34,-74"}));
    averaging.windows.clear();
    averaging.averaged.clear();
    ConvertLog(averaging, settings, Log({Fast({}, none, some), Fast({}, some, some), Scan({}, {}, {}, {}, {})}));
    EXPECT_EQ(averaging.windows, (std::vector<int>{1}));
    EXPECT_EQ(averaging.averaged, (std::vector<int>{1, 0, 1}));
}

TEST(DravikFields, OfferedInTheirOrder) {
    ZDravik reader;
    EXPECT_EQ(reader.AvailableTags(), (std::vector<std::int16_t>{0,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                                                 18, 19, 20, 21, 17, 29, 33, 36, 34, 35, 37, 38, 39, 40}));
}

} // namespace
} // namespace mutaro::testing

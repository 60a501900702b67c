#include <gtest/gtest.h>

#include "readers/Talvor2.h"
#include "support/Talvor2LogBuilder.h"

namespace mutaro::testing {
namespace {

using namespace talvor2;

const SelectedField kData{"<< DATA >>", 0};
const SelectedField kReceiver{"Receiver", 49};
const std::array<Band, 4> kBands{};  // every receiver on the 6.25 kHz plan at 869.040 MHz

class Talvor2Test : public ::testing::Test {
protected:
    Talvor2Test() : reader(settings) {
        settings.productIndex = 7;
        settings.delimiterChoice = 0;
        settings.headerRow = false;
        settings.selectedFields = {kReceiver, kData};
    }
    std::string Convert(const std::string& log) { return ConvertLog(reader, settings, log, ".tlf"); }
    // A log that starts with a band table for all four receivers.
    static std::string Log(std::initializer_list<std::string> bodies) {
        std::string log = FileHeader() + Framed(BandTable({}, kBands));
        for (const auto& body : bodies) log += Framed(body);
        return log;
    }
    static std::array<Block, 4> Blocks() { return {}; }

    ConversionSettings settings;
    ZTalvor2 reader;
};

// Framing: the file header is skipped by Open, a zero length ends the log whatever follows, and a
// negative or over-long length costs its two bytes.
TEST_F(Talvor2Test, Framing) {
    const std::string c = C(0, 2, 77, 0);
    struct Case {
        const char* what;
        std::string log;
        std::vector<std::int32_t> counts;
    } cases[] = {
        {"one record", FileHeader() + Framed(c), {9, 0}},
        {"zero length ends the log", FileHeader() + Framed(c) + Bytes().le16(0).str() + Framed(c), {9, 0}},
        {"length 5000", FileHeader() + Bytes().le16(5000).str() + Framed(c), {2, 9, 0}},
        {"negative length", FileHeader() + Bytes().le16(0xFFFF).str() + Framed(c), {2, 9, 0}},
        {"length 4096", FileHeader() + Framed(std::string(4096, 'x')), {4098, 0}},
        {"truncated body", FileHeader() + Framed(c).substr(0, 6), {0}},
        {"one length byte", FileHeader() + Framed(c) + "\x07", {9, 0}},
        {"file header only", FileHeader(), {0}},
        {"shorter than the file header", "TDL", {0}},
    };
    for (const auto& k : cases) EXPECT_EQ(FrameLog(reader, k.log), k.counts) << k.what;
}

// Spacing 62 is 6.25 kHz: channel 2 of a band at 869.040 MHz is 869.0525 MHz. With flags bit 6
// raw channel 34 is written 1023 and 35 as 1.
TEST_F(Talvor2Test, ChannelRecordsAndTheBandPlan) {
    settings.fieldData = {true, true, true, true, true};
    settings.headerRow = true;
    settings.selectedFields = {kReceiver, kData, {"Min", 46}, {"Max", 47}, {"Step", 48}};
    std::array<Band, 4> bands = kBands;
    bands[1].flags = 0x40;
    bands[2].spacing = 25;
    bands[2].lowChannel = 10;
    bands[2].highChannel = 50;
    std::string log = FileHeader() + Framed(BandTable({}, bands));
    for (const auto& body : {C(0, 2, 77, 12), V(1, 35, 60, 3, 2), V(1, 34, 61, 4, 5), C(0, 34, 62, 1),
                             C(2, 12, 63, 9), C(4, 2, 1, 1)})
        log += Framed(body);
    EXPECT_EQ(Convert(log),
              Lines({"\"Receiver\",\"Frequency\",\"Channel\",\"RSSI\",\"SAT/DCC\",\"VMAC\",\"Min\",\"Max\",\"Step\"",
                     "1,869.05250,2,-77,0,12,0,869.0400,869.6400,6.2",
                     "2,869.25875,1,-60,3,0,2,869.0400,869.6400,6.2",
                     "2,869.25250,1023,-61,4,0,5,869.0400,869.6400,6.2",
                     "1,869.25250,34,-62,0,1,0,869.0400,869.6400,6.2",
                     "3,869.04500,12,-63,0,9,0,869.0400,869.1400,2.5"}));
}

TEST_F(Talvor2Test, HeaderFields) {
    TempDir dir;
    Header north;
    north.latitude = 0;
    north.longitude = -3600000;
    north.gpsStatus = 0x7F;
    north.heading = 3600;
    WriteFile(dir / "a.tlf", FileHeader() + Framed(BandTable({}, kBands)) + Framed(BandTable(north, kBands)));
    reader.converting = 1;
    ASSERT_EQ(reader.Open(dir / "a.tlf"), 0);
    RawRecord raw{};
    ASSERT_EQ(reader.ReadRecord(raw), 86);
    EXPECT_EQ(reader.ParseRecord(raw), kRecordNothing);
    reader.ReceiverHasData(3);
    reader.outputRowCount = 9;
    const std::vector<std::pair<int, std::string>> expected = {
        {4, "\n"},        {5, "-0.5000"},  {6, "0"},         {7, "30"},       {8, ""},
        {9, "0"},         {10, "S"},       {11, "10.2514"},  {12, "10"},      {13, "15"},
        {14, ""},         {15, "5"},       {16, "E"},        {17, "VALID"},   {18, "12:34:56"},
        {19, "12"},       {20, "34"},      {21, "56"},       {22, ""},        {26, "123"},
        {27, "29"},       {28, "NNE"},     {29, "-7"},       {32, "9"},       {33, "05/04/06"},
        {34, "05"},       {35, "04"},      {36, "06"},       {37, "03:02:01"}, {38, "03"},
        {39, "02"},       {40, "01"},      {46, "869.0400"}, {47, "869.6400"}, {48, "6.2"},
        {49, "3"},        {101, ""},
    };
    TextBuffer text(100);
    for (const auto& [tag, value] : expected) {
        text.assignf("stale");
        reader.FormatField(static_cast<std::int16_t>(tag), text);
        EXPECT_EQ(text.str(), value) << "tag " << tag;
    }
    ASSERT_GT(reader.ReadRecord(raw), 0);
    reader.ParseRecord(raw);
    const std::vector<std::pair<int, std::string>> second = {
        {5, "0.0000"}, {10, "S"}, {11, "-1.0000"}, {12, "1"}, {16, "W"}, {17, "INVALID"}, {28, "N"}};
    for (const auto& [tag, value] : second) {
        reader.FormatField(static_cast<std::int16_t>(tag), text);
        EXPECT_EQ(text.str(), value) << "tag " << tag;
    }
    reader.Close();
}

TEST_F(Talvor2Test, HeadingTexts) {
    const std::pair<std::int16_t, const char*> cases[] = {
        {3600, "N"}, {225, "NNE"}, {224, "N"}, {-1, "N"}, {-3600, "N"}, {450, "NE"}, {1800, "S"},
        {3375, "NNW"}, {3374, "NW"}, {32767, "N"},
    };
    settings.selectedFields = {{"GPS Heading", 28}};
    std::string log = FileHeader();
    std::string expected;
    for (auto [h, text] : cases) {
        Header header;
        header.heading = h;
        Block block;
        log += Framed(Fast(header, {1, 0, 0, 0}, {block, block, block, block}));
        expected += std::string(text) + "\r\n";
    }
    EXPECT_EQ(Convert(log), expected);
}

// Presence flags, switches and spacing 0 decide which receivers of a fast record get a row. The
// mean of 256 samples of 80 and 256 of 81 is 80.
TEST_F(Talvor2Test, FastRecordsGiveOneRowPerReceiverWithNewData) {
    auto blocks = Blocks();
    blocks[1].rawChannel = 7;
    blocks[1].low = 80;
    blocks[1].high = 81;
    blocks[1].lowCount = 256;
    blocks[3].band.spacing = 0;
    EXPECT_EQ(Convert(Log({Fast({}, {0, 1, 0, 0}, blocks)})), Lines({"2,869.08375,7,-80"}));
    EXPECT_EQ(Convert(Log({Fast({}, {0, 1, 1, 1}, blocks)})), Lines({"2,869.08375,7,-80", "3,869.07125,5,-70"}));
    settings.receiverEnabled[2] = false;
    EXPECT_EQ(Convert(Log({Fast({}, {1, 1, 1, 1}, blocks)})), Lines({"1,869.07125,5,-70", "2,869.08375,7,-80"}));
}

// The codes of a fast block count only under band flags bit 6, by the code flags.
TEST_F(Talvor2Test, FastBlockCodes) {
    settings.fieldData = {false, false, true, true, true};
    auto blocks = Blocks();
    const std::uint8_t codeFlags[] = {0x40, 0x80, 0xC0, 0x00};
    for (int i = 0; i < 4; ++i) {
        blocks[i].band.flags = 0x40;
        blocks[i].band.codeFlags = codeFlags[i];
    }
    auto plain = Blocks();
    plain[0].band.codeFlags = 0xC0;
    EXPECT_EQ(Convert(Log({Fast({}, {1, 1, 1, 1}, blocks), Fast({}, {1, 0, 0, 0}, plain)})),
              Lines({"1,-70,7,0,3", "2,-70,0,7,0", "3,-70,7,7,3", "4,-70,0,0,0", "1,-70,0,0,0"}));
}

// A channel outside its band stops the record: no row, and the receivers handled before it keep
// no mark that would bring their reading out under a later record.
TEST_F(Talvor2Test, AChannelOutsideItsBandStopsTheRecord) {
    auto blocks = Blocks();
    blocks[1].rawChannel = 97;
    auto negative = Blocks();
    negative[1].rawChannel = 40000;  // -25536 as a signed channel
    negative[1].band.highChannel = 50000;
    settings.fieldData = {false, true, true, false, false};
    EXPECT_EQ(Convert(Log({Fast({}, {1, 1, 1, 0}, blocks), S(2, 1, 9, 9, 0), Fast({}, {1, 1, 0, 0}, negative),
                           S(3, 1, 9, 9, 0), C(2, 8, 50, 0)})),
              Lines({"3,", "4,", "3,8,-50"}));
}

// An "r" opening record is written when the next one opens: phase 1, phase 2, phase 1 shows the
// first and the second reading under the third record. Other phases add readings, which the
// next opening record clears.
TEST_F(Talvor2Test, PairedChannelRecords) {
    settings.fieldData = {false, true, true, true, false};
    EXPECT_EQ(Convert(Log({R(0, 1, 10, 50), R(0, 2, 11, 60), R(0, 1, 12, 70), R(0, 0, 13, 40), R(0, 1, 14, 45),
                           S(1, 1, 20, 45, 9), S(1, 2, 21, 46, 8), S(1, 1, 22, 47, 7), S(1, 5, 23, 48, 6),
                           S(1, 1, 24, 49, 5)})),
              Lines({"1,", "1,10,-50,0,0,11,-60,0,0", "1,12,-70,0,0", "2,",
                     "2,20,-45,9,0,21,-46,8,0", "2,20,-45,9,0,21,-46,8,0,23,-48,6,0"}));
}

TEST_F(Talvor2Test, OpenClosesThePairsOfThePreviousLog) {
    settings.fieldData = {false, true, true, false, false};
    Convert(Log({R(0, 1, 10, 50), S(0, 1, 30, 31, 0)}));
    // Closing the previous log's pairs here would put its readings 10 and 30 in the list.
    EXPECT_EQ(Convert(Log({R(0, 2, 11, 60), S(0, 2, 32, 33, 0), S(0, 1, 0, 0, 0)})), Lines({"1,11,-60,32,-33"}));
}

// Channel records ahead of a log's first band table have no configured band, in every pass: Open
// forgets the bands and position of the previous log or pass.
TEST_F(Talvor2Test, OpenForgetsTheBandsOfThePreviousPass) {
    settings.selectedFields = {kReceiver, kData, {"Latitude", 5}};
    const std::string log = FileHeader() + Framed(C(0, 2, 77, 0)) + Framed(BandTable({}, kBands)) + Framed(C(0, 3, 78, 0));
    const auto rows = Lines({"1,869.05875,3,-78,-0.5000"});
    EXPECT_EQ(Convert(log), rows);
    IndexLog(reader, log);
    EXPECT_EQ(Convert(log), rows);
}

// Best server writes the strongest level, of equal levels the one added last.
TEST_F(Talvor2Test, BestServerTakesTheLastOfEqualLevels) {
    settings.bestServer = true;
    settings.fieldData = {false, true, true, false, false};
    EXPECT_EQ(Convert(Log({C(0, 5, 80, 0), R(0, 0, 6, 75), R(0, 0, 7, 75), S(0, 1, 9, 10, 0), S(1, 1, 9, 10, 0)})),
              Lines({"1,5,-80", "1,7,-75", "2,"}));
}

// Fast records and band tables form data sets labelled by GPS time; channel records start none
// and yield nothing while their data set is ticked out.
TEST_F(Talvor2Test, DataSets) {
    Header a, b, c;
    b.gpsSecond = 1;
    c.gpsMinute = 35;
    auto blocks = Blocks();
    const std::string log = FileHeader() + Framed(Fast(a, {1, 0, 0, 0}, blocks)) + Framed(C(0, 2, 77, 0)) +
                            Framed(BandTable(b, kBands)) + Framed(C(0, 3, 78, 0)) + Framed(Fast(c, {1, 0, 0, 0}, blocks)) +
                            Framed(C(0, 4, 79, 0));
    EXPECT_EQ(IndexLog(reader, log), (std::vector<FoundDataSet>{{0, "12:34:56"}, {1, "12:34:01"}, {0, "12:35:56"}}));
    settings.fieldData = {false, true, false, false, false};
    settings.selectedFields = {kData, {"GPS Time", 18}};
    UntickedSets unticked({1});
    reader.SetDataSetSelection(&unticked);
    EXPECT_EQ(Convert(log), Lines({"5,12:34:56", "2,12:34:56", "5,12:35:56", "4,12:35:56"}));
    UntickedSets first({0});
    reader.SetDataSetSelection(&first);
    EXPECT_EQ(Convert(log), Lines({"3,12:34:01", "5,12:35:56", "4,12:35:56"}));
    reader.SetDataSetSelection(nullptr);
}

// A reader whose averaging finishes three averages per fast record.
class AveragingTalvor2 : public ZTalvor2 {
public:
    using ZTalvor2::ZTalvor2;
    std::int16_t LambdaWindow(std::int16_t receiver) override {
        windows.push_back(receiver);
        return 170;
    }
    std::int16_t AverageSamples(std::int16_t receiver) override {
        LambdaBlock& block = averageWork.blocks[receiver];
        block.produced = produce;
        for (int k = 0; k < produce; ++k) block.averages[k] = 256 + 60 + k;  // the low 8 bits count
        return static_cast<std::int16_t>(produce);
    }
    std::vector<int> windows;
    int produce = 3;
};

// Under 40 lambda every average becomes a block of its own, written one group per call; the
// window is asked anew at every fast record; a receiver without averages gets no row.
TEST_F(Talvor2Test, FortyLambdaWritesEachAverageAsAGroup) {
    AveragingTalvor2 averaging(settings);
    settings.fortyLambda = true;
    settings.fieldData = {true, true, true, false, false};
    const std::string log = Log({Fast({}, {1, 0, 0, 0}, Blocks()), Fast({}, {1, 0, 0, 0}, Blocks())});
    EXPECT_EQ(ConvertLog(averaging, settings, log),
              Lines({"1,869.07125,5,-60,869.07125,5,-61,869.07125,5,-62",
                     "1,869.07125,5,-60,869.07125,5,-61,869.07125,5,-62"}));
    EXPECT_EQ(averaging.windows, (std::vector<int>{0, 0}));
    averaging.produce = 0;
    EXPECT_EQ(ConvertLog(averaging, settings, log), "");
}

TEST(Talvor2Fields, OfferedInTheirOrder) {
    ZTalvor2 reader;
    EXPECT_EQ(reader.AvailableTags(), (std::vector<std::int16_t>{0,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                                                 15, 16, 18, 19, 20, 21, 26, 27, 28, 17, 29, 33,
                                                                 36, 34, 35, 37, 38, 39, 40, 46, 47, 48, 49}));
}

} // namespace
} // namespace mutaro::testing

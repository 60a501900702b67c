#include <gtest/gtest.h>

#include "readers/Sarnel.h"
#include "support/SarnelLogBuilder.h"

namespace mutaro::testing {
namespace {

using namespace sarnel;

const SelectedField kData{"<< DATA >>", 0};
const SelectedField kScanMode{"Scan Mode", 44};
const SelectedField kMarker{"Marker Value", 29};

constexpr std::uint8_t kOne = 0x10, kThree = 0x20, kTable = 0x40;

class SarnelTest : public ::testing::Test {
protected:
    SarnelTest() : reader(settings) {
        settings.productIndex = 5;
        settings.delimiterChoice = 0;
        settings.selectedFields = {kData};
    }
    std::string Convert(const std::string& log) { return ConvertLog(reader, settings, log, ".slf"); }
    static std::string Log(std::initializer_list<std::string> bodies) {
        std::string log = Framed(Information("SARN", "2.1"));
        for (const auto& body : bodies) log += Framed(body);
        return log;
    }
    // Base 850.3 MHz, spacing 0.03 MHz, channel 1 at the base.
    static std::string Plan() { return SetupRecord(850, 3000, 300, 1); }

    ConversionSettings settings;
    ZSarnel reader;
};

TEST_F(SarnelTest, SetupRecordFixesTheFrequencyPlan) {
    settings.selectedFields = {kData, kScanMode, kMarker};
    EXPECT_EQ(Convert(Log({Plan(), Data(7, 8, 9, 513, kOne, {11, 72}),
                           Data(7, 8, 10, -2, kThree, {11, 72}, {12, 73}, {-1, 74})})),
              Lines({"\"Frequency\",\"Channel\",\"RSSI\",\"Scan Mode\",\"Marker Value\"",
                     "850.6000,11,-72,1CH,513",
                     "850.6000,11,-72,850.6300,12,-73,850.2400,65535,-74,3CH,-2"}));
}

// The data-set kind takes the last of the three bits that is set; "Scan Mode" needs exactly one.
TEST_F(SarnelTest, ModePrecedenceAndScanModeTexts) {
    settings.headerRow = false;
    settings.selectedFields = {kData, kScanMode};
    settings.fieldData.frequency = settings.fieldData.rssi = false;
    struct Case {
        std::uint8_t flags;
        const char* row;
    } cases[] = {
        {0x10, "11,1CH"}, {0x20, "11,12,13,3CH"}, {0x40, "11,12,13,SCAN"}, {0x30, "11,"},
        {0x60, "11,12,13,"}, {0x50, "11,"}, {0x70, "11,"}, {0x8F, ""},
    };
    for (const auto& c : cases) {
        // Each case follows a one-channel record, so a record without a mode has a data set before it.
        std::string log = Log({Plan(), Data(1, 2, 3, 0, kOne, {11, 1}), Data(1, 2, 3, 0, c.flags, {11, 1}, {12, 2}, {13, 3})});
        std::string expected = Lines({"11,1CH", c.row});
        // A row whose every field is empty gets no line end; its separator stands.
        if (c.flags == 0x8F) expected = Lines({"11,1CH"}) + ",";
        EXPECT_EQ(Convert(log), expected) << int(c.flags);
    }
}

TEST_F(SarnelTest, ModeChangesFormDataSets) {
    const std::string log = Log({Data(9, 0, 0, 0, 0, {5, 5}), Plan(), Data(10, 0, 1, 0, kThree, {11, 1}),
                                 Data(10, 0, 2, 0, kThree, {11, 1}), Data(10, 5, 0, 0, kOne, {11, 1}),
                                 Data(10, 5, 1, 0, kOne, {11, 1}), Data(11, 0, 0, 0, 0x80, {11, 1})});
    EXPECT_EQ(IndexLog(reader, log),
              (std::vector<FoundDataSet>{{3, "10:00:01"}, {2, "10:05:00"}, {-1, "11:00:00"}}));
    // A record without a mode before the first data set yields nothing; after one, its other
    // fields are written but no data columns.
    settings.headerRow = false;
    settings.selectedFields = {kData, {"RTC Time (HH:MM:SS)", 37}};
    settings.fieldData.frequency = settings.fieldData.rssi = false;
    UntickedSets unticked({0});
    reader.SetDataSetSelection(&unticked);
    EXPECT_EQ(Convert(log), Lines({"11,10:05:00", "11,10:05:01", ",11:00:00"}));
    reader.SetDataSetSelection(nullptr);
}

// Data records before a log's first setup record use a zero plan, never the plan of the previous
// log or of the index pass over the same log.
TEST_F(SarnelTest, RecordsBeforeTheSetupGiveZeroFrequencies) {
    const std::string first = Log({Plan(), Data(1, 0, 0, 0, kOne, {11, 72})});
    const std::string second = Log({Data(1, 0, 0, 0, kOne, {11, 72}), SetupRecord(100, 5000, 250, 0),
                                    Data(1, 0, 1, 0, kOne, {4, 10})});
    settings.headerRow = false;
    EXPECT_EQ(Convert(first), Lines({"850.6000,11,-72"}));
    const auto expected = Lines({"0.0000,11,-72", "100.6000,4,-10"});
    EXPECT_EQ(Convert(second), expected);
    IndexLog(reader, second);
    EXPECT_EQ(Convert(second), expected);
}

TEST_F(SarnelTest, ShortSetupRecordsReadMissingBytesAsZero) {
    settings.headerRow = false;
    const std::string shortSetup = SetupRecord(100, 5000, 250, 9).substr(0, 8);  // no base channel
    EXPECT_EQ(Convert(Log({shortSetup, Data(1, 0, 0, 0, kOne, {4, 10}), "U", Data(1, 0, 0, 0, kOne, {4, 10})})),
              Lines({"100.6000,4,-10", "0.0000,4,-10"}));
}

// Channel 0 is not eligible, the smallest magnitude wins, and a tie keeps the lower entry.
TEST_F(SarnelTest, BestServerWritesThePickedEntryUnderOneTitleGroup) {
    settings.bestServer = true;
    EXPECT_EQ(Convert(Log({Plan(), Data(1, 0, 0, 0, kThree, {11, 90}, {12, 70}, {0, 50}),
                           Data(1, 0, 0, 0, kThree, {11, 60}, {12, 60}, {13, 60}),
                           Data(1, 0, 0, 0, kThree, {11, 121}, {12, 130}, {13, 200}),
                           Data(1, 0, 0, 0, 0x80, {11, 1})})),
              Lines({"\"Frequency\",\"Channel\",\"RSSI\"", "850.6300,12,-70", "850.6000,11,-60", "850.6000,11,-121"}));
}

// The title groups follow the kind of the latest data record; the job's own header row comes
// right after Open, with one group.
TEST_F(SarnelTest, TitleGroupsFollowTheDataSetKind) {
    TempDir dir;
    WriteFile(dir / "a.slf", Log({Data(1, 0, 0, 0, kThree, {}), Data(1, 0, 0, 0, kOne, {}), Data(1, 0, 0, 0, 0, {})}));
    settings.fieldData.channel = false;
    reader.converting = 1;
    ASSERT_EQ(reader.Open(dir / "a.slf"), 0);
    RawRecord raw{};
    TextBuffer text(kTitleTextCapacity);
    const std::string one = "\"Frequency\";\"RSSI\"";
    const char* expected[] = {nullptr, "3", "1", "1"};
    for (const char* groups : expected) {
        reader.ReadRecord(raw);
        if (groups == nullptr) continue;  // the information record
        reader.ParseRecord(raw);
        reader.headerPending = 1;
        EXPECT_EQ(reader.DataTitles(0, text, ';'), 0);
        std::string all = one;
        for (int g = 1; g < std::atoi(groups); ++g) all += ";" + one;
        EXPECT_EQ(text.str(), all);
        EXPECT_EQ(reader.DataTitles(1, text, ';'), -1);
        EXPECT_EQ(text.str(), "");
        EXPECT_EQ(reader.headerPending, 0);
    }
    reader.Close();
}

TEST_F(SarnelTest, FieldsOfADataRecord) {
    TempDir dir;
    WriteFile(dir / "a.slf", Framed(Data(7, 8, 9, -300, kTable, {11, 1})));
    reader.converting = 1;
    ASSERT_EQ(reader.Open(dir / "a.slf"), 0);
    RawRecord raw{};
    ASSERT_EQ(reader.ReadRecord(raw), 20);
    ASSERT_EQ(reader.ParseRecord(raw), kRecordData);
    reader.outputRowCount = 4;
    const std::vector<std::pair<int, std::string>> expected = {
        {4, "\n"}, {29, "-300"}, {32, "4"}, {37, "07:08:09"}, {38, "07"}, {39, "08"}, {40, "09"},
        {44, "SCAN"}, {5, ""}, {17, ""}, {18, ""}, {33, ""}, {101, ""},
    };
    TextBuffer text(100);
    for (const auto& [tag, value] : expected) {
        text.assignf("stale");
        reader.FormatField(static_cast<std::int16_t>(tag), text);
        EXPECT_EQ(text.str(), value) << "tag " << tag;
    }
    reader.Close();
}

TEST_F(SarnelTest, FramingAsTheDravik) {
    const std::string data = Data(1, 0, 0, 0, kOne, {});
    EXPECT_EQ(FrameLog(reader, Bytes().le32(5000).str() + Framed(data) + Bytes().le32(0).str() + Framed(data).substr(0, 10)),
              (std::vector<std::int32_t>{4, 20, 4, 0}));
}

TEST(SarnelFields, OfferedInTheirOrder) {
    ZSarnel reader;
    EXPECT_EQ(reader.AvailableTags(), (std::vector<std::int16_t>{0, 4, 29, 37, 38, 39, 40, 44, 32}));
}

} // namespace
} // namespace mutaro::testing

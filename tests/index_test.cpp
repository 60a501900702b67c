#include <gtest/gtest.h>

#include "readers/Talvor.h"
#include "reduction/MakeIndex.h"
#include "support/FormFixture.h"
#include "ui/Products.h"

namespace mutaro::testing {
namespace {

using Names = std::vector<std::string>;

// Every call of the pass as a line; the percentages apart.
class RecordingView : public IndexView {
public:
    void ShowWait() override { calls.push_back("show"); }
    void SetWaitProgress(int percent) override { progress.push_back(percent); }
    void HideWait() override { calls.push_back("hide"); }
    void ClearIndex() override { calls.push_back("clear"); }
    void AddGroup(const IndexGroup& group) override { calls.push_back("group " + std::string(group.text)); }
    void AddDataSet(std::int16_t kind, int dataSet, std::string_view label) override {
        calls.push_back("set " + std::to_string(kind) + " " + std::to_string(dataSet) + " " + std::string(label));
    }
    void ExpandIndex() override { calls.push_back("expand"); }
    void IndexEnded(IndexOutcome outcome) override {
        calls.push_back(outcome == IndexOutcome::Completed ? "ended" : outcome == IndexOutcome::Stopped ? "stopped"
                                                                                                       : "missing");
    }
    Names calls;
    std::vector<int> progress;
};

// One data set per scripted record: its kind and label, one byte each.
class KindReader : public ZProduct {
public:
    explicit KindReader(ConversionSettings& settings) : ZProduct(settings) {}
    struct Record {
        std::int16_t kind;
        std::string label;
    };
    std::vector<Record> script;

    std::int32_t Open(const std::string& name) override {
        next_ = 0;
        return ZProduct::Open(name);
    }
    std::int32_t ReadRecord(RawRecord&) override { return next_ < script.size() ? (++next_, 1) : 0; }
    std::int16_t ParseRecord(RawRecord&) override {
        const Record& record = script[next_ - 1];
        readyOutputs = 1;
        return DataSetStep(record.kind, [&](TextBuffer& text) { text.append(record.label); }) ? kRecordData
                                                                                                : kRecordNothing;
    }

private:
    std::size_t next_ = 0;
};

class IndexTest : public ::testing::Test {
protected:
    std::string File(const std::string& name, const std::string& bytes) {
        std::string path = dir / name;
        WriteFile(path, bytes);
        return path;
    }
    IndexOutcome Run(ZProduct& reader, int product, const std::string& path) {
        TMakeIndex pass(reader, product, FindProduct(product)->indexGroups, path, view, table, dispatcher);
        pass.RunHere();
        return pass.outcome();
    }
    // The data-set numbers whose records a conversion pass yields.
    std::vector<int> Converted(KindReader& reader, const std::string& path) {
        std::vector<int> kept;
        reader.converting = 1;
        EXPECT_EQ(reader.Open(path), 0);
        RawRecord raw{};
        while (reader.ReadRecord(raw) > 0)
            if (reader.ParseRecord(raw) == kRecordData) kept.push_back(reader.dataSetIndex - 1);
        reader.Close();
        return kept;
    }

    TempDir dir;
    RecordingPresenter messages;
    ConversionSettings settings;
    ImmediateDispatcher dispatcher;
    RecordingView view;
    DataSetTable table;
};

TEST_F(IndexTest, ATalvorLogOfFastScanFastRunsListsThreeDataSets) {
    ZTalvor reader(settings);
    const std::string path = File("run.tlf", Bytes(ThreeRunLog()));
    EXPECT_EQ(Run(reader, 1, path), IndexOutcome::Completed);
    EXPECT_EQ(view.calls, (Names{"show", "clear", "group Scan Data", "group Fast Data", "expand", "set 0 0 10:00:01",
                                 "set 1 1 10:00:03", "set 0 2 10:00:04", "hide", "expand", "ended"}));
    // 0 first, then every whole percentage that grows, up to 100, and 0 once the pass is over.
    ASSERT_GE(view.progress.size(), 3u);
    EXPECT_EQ(view.progress.front(), 0);
    EXPECT_EQ(view.progress.back(), 0);
    EXPECT_EQ(view.progress[view.progress.size() - 2], 100);
    for (std::size_t i = 2; i + 1 < view.progress.size(); ++i) EXPECT_GT(view.progress[i], view.progress[i - 1]);
    for (int n = 0; n < 3; ++n) EXPECT_EQ(table.Image(n), kTickedIn);
    EXPECT_EQ(table.Image(3), kNoEntry);
    EXPECT_EQ(reader.dataSetNodes, &table);
    EXPECT_EQ(reader.converting, 0);
    EXPECT_FALSE(reader.logStream.IsOpen());
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(IndexTest, AMissingLogKeepsTheGroupsAndSaysSo) {
    ZTalvor reader(settings);
    EXPECT_EQ(Run(reader, 1, dir / "absent.tlf"), IndexOutcome::InputMissing);
    EXPECT_EQ(view.calls, (Names{"show", "clear", "group Scan Data", "group Fast Data", "expand", "hide", "missing"}));
    EXPECT_EQ(messages.messages(), (Names{"Error: Input File Does Not Exist!"}));
}

TEST_F(IndexTest, ALogWithoutDataRecordsGivesGroupsWithoutChildren) {
    ZTalvor reader(settings);
    EXPECT_EQ(Run(reader, 1, File("info.tlf", Bytes(InformationOnlyLog()))), IndexOutcome::Completed);
    EXPECT_EQ(view.calls, (Names{"show", "clear", "group Scan Data", "group Fast Data", "expand", "hide", "expand",
                                 "ended"}));
}

TEST_F(IndexTest, AStoppedPassStillClosesTheReaderAndHidesTheWaitDialog) {
    ZTalvor reader(settings);
    TMakeIndex pass(reader, 1, FindProduct(1)->indexGroups, File("run.tlf", Bytes(ThreeRunLog())), view, table,
                    dispatcher);
    pass.Terminate();
    pass.RunHere();
    EXPECT_EQ(pass.outcome(), IndexOutcome::Stopped);
    EXPECT_EQ(view.calls.back(), "stopped");
    EXPECT_EQ(view.calls[view.calls.size() - 3], "hide");
    EXPECT_FALSE(reader.logStream.IsOpen());
}

TEST_F(IndexTest, EveryVekGroupAppearsAndOnlyTheMeasuredOneHasChildren) {
    KindReader reader(settings);
    reader.script = {{6, "08:00:00"}, {6, "08:00:00"}};
    Run(reader, 3, File("one.bin", "x"));
    EXPECT_EQ(view.calls,
              (Names{"show", "clear", "group C/I Ratio", "group Adjacent Channel", "group 1 Channel", "group 20 Channel",
                     "group 80 Channel", "group Variable Sweep", "group 1 MHz Sweep", "group POCSAG",
                     "group Fast Fade", "group Strongest AB", "group Co-Channel Control", "group Group",
                     "group Follow", "group BER", "group System", "group FLEX Paging", "expand", "set 6 0 08:00:00",
                     "hide", "expand", "ended"}));
}

TEST_F(IndexTest, DataSetsWithoutGroupOrLabelKeepTheirNumbersAndCountAsTicked) {
    KindReader reader(settings);
    // Kind 5 has no group in a Talvor index; the third data set has no label.
    reader.script = {{0, "a"}, {5, "b"}, {0, ""}, {1, "d"}, {0, "e"}};
    const std::string path = File("kinds.tlf", "x");
    Run(reader, 1, path);
    EXPECT_EQ(view.calls, (Names{"show", "clear", "group Scan Data", "group Fast Data", "expand", "set 0 0 a",
                                 "set 1 3 d", "set 0 4 e", "hide", "expand", "ended"}));
    table.SetImage(3, kTickedOut);
    EXPECT_EQ(Converted(reader, path), (std::vector<int>{0, 1, 2, 4}));
}

TEST_F(IndexTest, BeyondTheFirst1024DataSetsNoEntriesAndEverythingIsConverted) {
    KindReader reader(settings);
    for (int n = 0; n < 1030; ++n) reader.script.push_back({static_cast<std::int16_t>(n % 2), std::to_string(n)});
    const std::string path = File("many.tlf", "x");
    Run(reader, 1, path);
    EXPECT_EQ(view.calls[view.calls.size() - 4], "set 1 1023 1023");
    EXPECT_EQ(table.Image(1023), kTickedIn);
    EXPECT_EQ(table.Image(1024), kNoEntry);
    table.SetImage(1024, kTickedOut);  // no entry to tick out: ignored
    table.SetImage(1023, kTickedOut);
    table.SetImage(7, kTickedOut);
    std::vector<int> expected;
    for (int n = 0; n < 1030; ++n)
        if (n != 7 && n != 1023) expected.push_back(n);
    EXPECT_EQ(Converted(reader, path), expected);
    EXPECT_TRUE(table.IsDataSetChecked(-1));
    EXPECT_TRUE(table.IsDataSetChecked(5000));
}

TEST_F(IndexTest, ANewPassForgetsTheTicksOfTheLastOne) {
    ZTalvor reader(settings);
    const std::string path = File("run.tlf", Bytes(ThreeRunLog()));
    Run(reader, 1, path);
    table.SetImage(1, kTickedOut);
    table.SetImage(2, kTickedOut);
    Run(reader, 1, File("info.tlf", Bytes(InformationOnlyLog())));
    EXPECT_EQ(table.Image(1), kNoEntry);
    EXPECT_TRUE(table.IsDataSetChecked(2));
}

} // namespace
} // namespace mutaro::testing

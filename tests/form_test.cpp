#include <gtest/gtest.h>

#include "core/FieldCatalogue.h"
#include "support/FormFixture.h"

namespace mutaro::testing {
namespace {

using Names = std::vector<std::string>;

// The classic Talvor reader's Available Fields, in list order.
const Names kTalvorFields = {
    "<< DATA >>", "CR / LF", "Latitude (Decimal Degrees)", "Latitude (Degrees)", "Latitude (Minutes)",
    "Latitude (Decimal Minutes)", "Latitude (Seconds)", "Latitude Hemisphere", "Longitude (Decimal Degrees)",
    "Longitude (Degrees)", "Longitude (Minutes)", "Longitude (Decimal Minutes)", "Longitude (Seconds)",
    "Longitude Hemisphere", "GPS Time (HH:MM:SS)", "GPS Hour (HH)", "GPS Minute (MM)", "GPS Second (SS)",
    "GPS Altitude (Meters)", "GPS Velocity (MPH)", "GPS Status", "Marker Value", "RTC Date (MM-DD-YY)",
    "RTC Year (YY)", "RTC Month (MM)", "RTC Day (DD)", "RTC Time (HH:MM:SS)", "RTC Hour (HH)", "RTC Minute (MM)",
    "RTC Second (SS)"};

const std::string kExcelTitle =
    "\"Longitude (Decimal Degrees)\"\t\"Latitude (Decimal Degrees)\"\t\"GPS Time (HH:MM:SS)\"\r\n";

std::vector<bool> Checked(const std::array<TCheckBox*, 4>& boxes) {
    std::vector<bool> states;
    for (const TCheckBox* box : boxes) states.push_back(box->checked);
    return states;
}
std::vector<bool> Enabled(const std::array<TCheckBox*, 4>& boxes) {
    std::vector<bool> states;
    for (const TCheckBox* box : boxes) states.push_back(box->enabled);
    return states;
}

using FormTest = FormFixture;

TEST_F(FormTest, StartsWithTalvorFieldsNoProductAndTheCustomPresetShown) {
    EXPECT_EQ(form.caption, "ZYT Mutaro CW");
    EXPECT_EQ(form.width, 800);
    EXPECT_EQ(form.height, 504);
    EXPECT_EQ(form.InputFormatGroup.itemIndex, 0);
    EXPECT_FALSE(form.InputFormatGroup.visible);
    EXPECT_EQ(form.InputFormatGroup.items.size(), 10u);
    EXPECT_EQ(form.InputFormatGroup.items[7], "ZYT Talvor (new)");
    EXPECT_EQ(form.InputFormatLabel.caption, "(None)");
    EXPECT_EQ(&form.CurrentReader(), readers.ForProduct(1));
    EXPECT_EQ(form.AvailableBox.items, kTalvorFields);
    EXPECT_TRUE(form.SelectedBox.items.empty());
    EXPECT_EQ(form.OutputFormatGroup.itemIndex, 11);
    EXPECT_EQ(form.OutputFormatGroup.text, "Custom ASCII Configuration");
    EXPECT_EQ(form.LastPreset(), 11);
    EXPECT_EQ(form.LastProduct(), 1);
    EXPECT_FALSE(form.FixedFormat());

    EXPECT_EQ(Checked(form.ReceiverSwitches()), (std::vector<bool>{true, false, false, false}));
    EXPECT_TRUE(form.FrequencyField.checked);
    EXPECT_FALSE(form.ChannelField.checked);
    EXPECT_TRUE(form.RSSIField.checked);
    EXPECT_FALSE(form.SATField.checked || form.SATField.enabled);
    EXPECT_FALSE(form.VMACField.checked || form.VMACField.enabled);
    EXPECT_TRUE(form.NoAvg.checked);
    EXPECT_FALSE(form.BSAvg.checked);
    for (const TControl* unused : std::initializer_list<const TControl*>{
             &form.RadioButton1, &form.RadioButton2, &form.btnChannelList, &form.btnThreshold}) {
        EXPECT_TRUE(unused->visible) << unused->name;
        EXPECT_FALSE(unused->enabled) << unused->name;
    }
    EXPECT_TRUE(form.cbAT_None.checked);
    EXPECT_FALSE(form.LambdaAvg.checked);
    EXPECT_TRUE(form.FieldTitles.checked);
    EXPECT_EQ(form.DelimiterGroup.itemIndex, 0);
    EXPECT_EQ(form.DelimiterGroup.items, (Names{"Comma", "Semi-Colon", "Tab", "Space", "Other"}));
    EXPECT_EQ(form.DelimiterGroup.columns, 2);
    EXPECT_EQ(form.OtherDelimiter.text, ":");
    form.OtherDelimiter.SetText(";;");
    EXPECT_EQ(form.OtherDelimiter.text, ";");
    EXPECT_EQ(form.ScanTypeGroup.itemIndex, 1);
    EXPECT_EQ(form.SarnelMode.itemIndex, 0);
    EXPECT_FALSE(form.cbSplit.checked);
    EXPECT_EQ(form.cbSplit.hint, "Split output file into 60000 record files");
    EXPECT_EQ(form.sbHelp.hint, "What's This?");
    EXPECT_EQ(form.btnConvert.caption, "Convert Data");

    Names menu;
    for (const TMenuItem* top : form.MainMenu) {
        menu.push_back(top->caption);
        for (const TMenuItem* item : top->items) menu.push_back("  " + item->caption);
    }
    EXPECT_EQ(menu, (Names{"&Application", "  Open Configuration", "  Save Configuration", "  -", "  E&xit", "&Help",
                           "  Contents && Index", "  -", "  About"}));

    ASSERT_EQ(form.sbStatus.panels.size(), 2u);
    EXPECT_EQ(form.sbStatus.panels[0].width, 575);
    EXPECT_EQ(form.sbStatus.panels[1].width, 100);
    form.sbStatus.onDrawPanel(0, TRect{1, 2, 575, 18});
    form.sbStatus.onDrawPanel(1, TRect{577, 2, 100, 18});
    EXPECT_EQ(form.ProgressBar.bounds, (TRect{1, 2, 575, 18}));
    EXPECT_EQ(form.olClock.bounds, (TRect{577, 2, 100, 18}));

    EXPECT_EQ(form.olClock.caption, "HH:MM:SS");
    EXPECT_TRUE(form.Timer.enabled);
    EXPECT_EQ(form.Timer.interval, 1000);
    form.clockText = [] { return std::string("14:05:09"); };
    form.Timer.Tick();
    EXPECT_EQ(form.olClock.caption, "14:05:09");
    EXPECT_TRUE(messages.messages().empty());
}

struct ProductCase {
    int product;
    const char* label;
    bool scanTypes;
    std::vector<bool> receiversEnabled;
    bool satDcc;
    bool fortyLambda;
    bool scanModes;
};

// Each product configures the window; every switch a product lacks starts on, to see it go off.
TEST_F(FormTest, ProductSelectionConfiguresTheWindow) {
    const ProductCase cases[] = {
        {1, "ZYT Talvor", true, {true, true, true, true}, false, true, false},
        {2, "ZYT Dravik", true, {true, true, false, false}, false, true, false},
        {3, "ZYT Vek (PC CARD)", false, {true, false, false, false}, true, false, false},
        {4, "ZYT Vek (PC DUMP)", false, {true, false, false, false}, true, false, false},
        {5, "ZYT Sarnel", false, {true, false, false, false}, false, false, true},
        {7, "ZYT Talvor (>=fv1.27)", true, {true, true, true, true}, false, true, false},
        {8, "ZYT Hurlan", true, {true, true, false, false}, false, false, false},
        {9, "ZYT Hurlan", true, {true, true, false, false}, false, false, false},
    };
    form.InputFilename.SetText(Log("empty.tlf", {}));
    for (const ProductCase& c : cases) {
        SCOPED_TRACE(c.product);
        // SAT/DCC and VMAC can be ticked only where they are enabled: start from a Vek. Everything a
        // product may turn off starts on (as a configuration restore can leave it).
        form.InputFormatGroup.SetItemIndex(3);
        form.WaitUntilIdle();
        ASSERT_TRUE(form.SATField.enabled && form.VMACField.enabled);
        form.SATField.checked = form.VMACField.checked = true;
        for (TCheckBox* receiver : form.ReceiverSwitches()) receiver->checked = true;
        form.LambdaAvg.Choose();
        form.ScanTypeGroup.SetItemIndex(c.scanTypes ? 0 : 1);
        form.InputFormatGroup.SetItemIndex(0);

        form.InputFormatGroup.SetItemIndex(c.product);
        form.WaitUntilIdle();
        EXPECT_EQ(form.InputFormatLabel.caption, c.label);
        EXPECT_EQ(&form.CurrentReader(), readers.ForProduct(c.product));
        EXPECT_EQ(form.LastProduct(), c.product);
        EXPECT_EQ(form.ScanTypeGroup.enabled, c.scanTypes);
        EXPECT_EQ(form.ScanTypeGroup.itemIndex, c.scanTypes ? 1 : 0);
        EXPECT_EQ(form.SarnelMode.enabled, c.scanModes);
        EXPECT_EQ(Enabled(form.ReceiverSwitches()), c.receiversEnabled);
        // A receiver the product offers keeps its state (all were on); the others go off.
        EXPECT_EQ(Checked(form.ReceiverSwitches()), c.receiversEnabled);
        EXPECT_EQ(form.SATField.enabled, c.satDcc);
        EXPECT_EQ(form.VMACField.enabled, c.satDcc);
        EXPECT_EQ(form.SATField.checked, c.satDcc);
        EXPECT_EQ(form.VMACField.checked, c.satDcc);
        EXPECT_EQ(form.LambdaAvg.visible, c.fortyLambda);
        EXPECT_EQ(form.LambdaAvg.enabled, c.fortyLambda);
        // A product without 40 Lambda chooses "None" instead.
        EXPECT_EQ(form.LambdaAvg.checked, c.fortyLambda);
        EXPECT_EQ(form.cbAT_None.checked, !c.fortyLambda);
        Names expectedFields;
        for (std::int16_t tag : readers.ForProduct(c.product)->AvailableTags())
            expectedFields.emplace_back(FieldCatalogue()[tag]);
        EXPECT_EQ(form.AvailableBox.items, expectedFields);
    }
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FormTest, PellixReturnsToTheLastProductAndNoneIsOnlyRemembered) {
    form.InputFilename.SetText(Log("empty.tlf", {}));
    // At start-up the last product handled is the Talvor.
    form.InputFormatGroup.SetItemIndex(6);
    form.WaitUntilIdle();
    EXPECT_EQ(form.InputFormatGroup.itemIndex, 1);
    EXPECT_EQ(form.InputFormatLabel.caption, "ZYT Talvor");

    form.InputFormatGroup.SetItemIndex(2);
    form.WaitUntilIdle();
    form.InputFormatGroup.SetItemIndex(6);
    form.WaitUntilIdle();
    EXPECT_EQ(form.InputFormatGroup.itemIndex, 2);
    EXPECT_EQ(&form.CurrentReader(), readers.ForProduct(2));

    form.InputFormatGroup.SetItemIndex(0);
    EXPECT_EQ(form.LastProduct(), 0);
    EXPECT_EQ(form.InputFormatLabel.caption, "ZYT Dravik");
    EXPECT_EQ(&form.CurrentReader(), readers.ForProduct(2));
}

TEST_F(FormTest, SatDccGoesOffAndDisabledWhenATalvorLogFollowsAVekLog) {
    form.InputFilename.SetText(Log("empty.tlf", {}));
    form.InputFormatGroup.SetItemIndex(3);
    form.WaitUntilIdle();
    form.SATField.Click();
    ASSERT_TRUE(form.SATField.checked);

    Browse(Log("run.tlf", ThreeRunLog()));
    EXPECT_EQ(form.InputFormatGroup.itemIndex, 1);
    EXPECT_FALSE(form.SATField.checked);
    EXPECT_FALSE(form.SATField.enabled);
    form.SATField.Click();  // a disabled box cannot be ticked
    EXPECT_FALSE(form.SATField.checked);
}

TEST_F(FormTest, BrowsingARecognisedLogSetsTheNamesAndIndexesIt) {
    const std::string path = Log("run.tlf", ThreeRunLog());
    Browse(path);
    ASSERT_EQ(backEnd.shown.size(), 1u);
    EXPECT_EQ(backEnd.shown[0].kind, TFileDialog::Kind::Open);
    EXPECT_EQ(backEnd.shown[0].defaultExt, "*.512");
    EXPECT_EQ(backEnd.shown[0].filter,
              "Talvor Log File |*.tlf|Dravik Log File|*.dlf|Vek Log File (PC Card)|*.bin|Vek Log File (PC "
              "Dump)|*.vek|Sarnel Log File|*.slf|Yul Converted File|*.yul|Hurlan Log File|*.hlf");
    EXPECT_EQ(form.InputFilename.text, path);
    EXPECT_EQ(form.OutputFilename.text, dir / "run.out");
    EXPECT_EQ(form.InputFormatLabel.caption, "ZYT Talvor");
    EXPECT_EQ(form.LastIndexOutcome(), IndexOutcome::Completed);
    EXPECT_EQ(Tree(), (Names{"Scan Data: 10:00:03", "Fast Data: 10:00:01 10:00:04"}));
    EXPECT_TRUE(form.btnConvert.enabled);
    EXPECT_FALSE(form.WaitDlg.visible);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FormTest, AnUnrecognisedFileWarnsAndKeepsTheNames) {
    const std::string path = Log("run.tlf", ThreeRunLog());
    Browse(path);
    Browse(Log("notes.txt", {'h', 'e', 'l', 'l', 'o'}));
    EXPECT_EQ(messages.messages(), (Names{"Warning: File is not from a ZYT CW product."}));
    EXPECT_EQ(form.InputFilename.text, path);
    EXPECT_EQ(form.OutputFilename.text, dir / "run.out");
    EXPECT_EQ(form.InputFormatGroup.itemIndex, 0);
    EXPECT_EQ(form.LastProduct(), 0);
}

TEST_F(FormTest, CancelledDialogsChangeNothing) {
    form.OutputFilename.SetText("keep.out");
    form.InBrowse.Click();
    form.OutBrowse.Click();
    EXPECT_EQ(backEnd.shown.size(), 2u);
    EXPECT_EQ(form.InputFilename.text, "");
    EXPECT_EQ(form.OutputFilename.text, "keep.out");
    EXPECT_EQ(form.InputFormatGroup.itemIndex, 0);

    backEnd.Answer(dir / "chosen.txt");
    form.OutBrowse.Click();
    EXPECT_EQ(backEnd.shown.back().kind, TFileDialog::Kind::Save);
    EXPECT_EQ(backEnd.shown.back().filter, "");
    EXPECT_EQ(form.OutputFilename.text, dir / "chosen.txt");
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FormTest, ASecondLogOfTheSameProductRebuildsTheIndex) {
    Browse(Log("run.tlf", ThreeRunLog()));
    form.tvIndex.MouseUp(form.DataSetEntry(0));
    ASSERT_EQ(form.tvIndex.nodes[form.DataSetEntry(0)].stateIndex, kTickedOut);
    form.AvailableBox.items.clear();

    Browse(Log("second.tlf", OneScanLog(7)));
    EXPECT_EQ(Tree(), (Names{"Scan Data: 10:00:07", "Fast Data:"}));
    EXPECT_EQ(form.tvIndex.nodes[form.DataSetEntry(0)].stateIndex, kTickedIn);
    EXPECT_TRUE(form.DataSets().IsDataSetChecked(0));
    EXPECT_EQ(form.AvailableBox.items, kTalvorFields);
}

TEST_F(FormTest, SelectionButtonsKeepTheTagsBesideTheEntries) {
    // ">" twice on the same entry lists it twice.
    form.AvailableBox.Highlight(2);
    form.SelectField.Click();
    form.SelectField.Click();
    EXPECT_EQ(form.SelectedBox.items, (Names{"Latitude (Decimal Degrees)", "Latitude (Decimal Degrees)"}));
    EXPECT_EQ(form.SelectedFields()[1].tag, 5);

    // "<" on the first of three: the other two keep their tags, now at positions 0 and 1.
    form.DeselectAll.Click();
    for (int position : {14, 8, 21}) {
        form.AvailableBox.Highlight(position);
        form.SelectField.Click();
    }
    form.SelectedBox.Highlight(0);
    form.DeselectField.Click();
    ASSERT_EQ(form.SelectedBox.items, (Names{"Longitude (Decimal Degrees)", "Marker Value"}));
    EXPECT_EQ(form.CurrentReader().selectedTags[0], 11);
    EXPECT_EQ(form.CurrentReader().selectedTags[1], 29);
    EXPECT_EQ(form.SelectedBox.itemIndex, -1);
    form.DeselectField.Click();  // nothing highlighted: nothing removed
    EXPECT_EQ(form.SelectedBox.Count(), 2);

    // Nothing highlighted in the Available list: ">" adds nothing.
    form.AvailableBox.Highlight(-1);
    form.SelectField.Click();
    EXPECT_EQ(form.SelectedBox.Count(), 2);

    // "<<" empties the list and sets every tag to -10.
    form.DeselectAll.Click();
    EXPECT_TRUE(form.SelectedBox.items.empty());
    for (std::int16_t tag : form.CurrentReader().selectedTags) ASSERT_EQ(tag, -10);
}

TEST_F(FormTest, TheSelectedListHoldsAtMostOneHundredEntries) {
    for (int i = 0; i < 4; ++i) form.SelectAll.Click();  // 4 x 30 offered
    ASSERT_EQ(form.SelectedBox.Count(), 100);
    EXPECT_EQ(form.SelectedBox.items[99], kTalvorFields[9]);
    EXPECT_EQ(form.CurrentReader().selectedTags[99], 12);
    form.AvailableBox.Highlight(0);
    form.SelectField.Click();
    EXPECT_EQ(form.SelectedBox.Count(), 100);
}

TEST_F(FormTest, TheSelectedTagsFollowTheListToTheNewProduct) {
    form.InputFilename.SetText(Log("empty.tlf", {}));
    for (int position : {8, 2, 14}) {
        form.AvailableBox.Highlight(position);
        form.SelectField.Click();
    }
    form.InputFormatGroup.SetItemIndex(3);
    form.WaitUntilIdle();
    EXPECT_EQ(form.SelectedBox.items,
              (Names{"Longitude (Decimal Degrees)", "Latitude (Decimal Degrees)", "GPS Time (HH:MM:SS)"}));
    const std::vector<SelectedField> fields = form.SelectedFields();
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0].tag, 11);
    EXPECT_EQ(fields[1].tag, 5);
    EXPECT_EQ(fields[2].tag, 18);
    EXPECT_EQ(readers.ForProduct(3)->selectedTags[2], 18);
}

TEST_F(FormTest, ConvertFillsEveryChoiceIntoTheSettings) {
    form.InputFilename.SetText("in.tlf");
    form.OutputFilename.SetText("out.txt");
    form.InputFormatGroup.itemIndex = 7;  // as a restore leaves it, without running the handler
    form.OutputFormatGroup.SetItemIndex(4);
    form.DelimiterGroup.SetItemIndex(4);
    form.OtherDelimiter.SetText("|");
    form.FieldTitles.checked = false;
    form.AvailableBox.Highlight(21);
    form.SelectField.Click();
    form.Receiver1.checked = false;
    form.Receiver3.checked = true;
    form.FrequencyField.checked = false;
    form.ChannelField.checked = true;
    form.RSSIField.checked = false;
    form.SATField.checked = true;
    form.VMACField.checked = true;
    form.ScanTypeGroup.SetItemIndex(0);
    form.BSAvg.Choose();
    form.LambdaAvg.Choose();
    form.cbSplit.checked = true;

    ConversionSettings filled;
    filled.lambdaSpeed = "99";
    filled.lambdaUnit = SpeedUnit::Kmh;
    form.FillSettings(filled);
    EXPECT_EQ(filled.inputFileName, "in.tlf");
    EXPECT_EQ(filled.outputFileName, "out.txt");
    EXPECT_EQ(filled.productIndex, 7);
    EXPECT_EQ(filled.outputFormatIndex, 4);
    EXPECT_FALSE(filled.fixedFormat);
    EXPECT_EQ(filled.delimiterChoice, 4);
    EXPECT_EQ(filled.otherDelimiterText, "|");
    EXPECT_FALSE(filled.headerRow);
    ASSERT_EQ(filled.selectedFields.size(), 1u);
    EXPECT_EQ(filled.selectedFields[0].name, "Marker Value");
    EXPECT_EQ(filled.selectedFields[0].tag, 29);
    EXPECT_EQ(filled.receiverEnabled, (std::array<bool, 4>{false, false, true, false}));
    EXPECT_FALSE(filled.fieldData.frequency);
    EXPECT_TRUE(filled.fieldData.channel);
    EXPECT_FALSE(filled.fieldData.rssi);
    EXPECT_TRUE(filled.fieldData.satDcc);
    EXPECT_TRUE(filled.fieldData.vmac);
    EXPECT_EQ(filled.scanType, 0);
    // Both on, each in its own group.
    EXPECT_TRUE(filled.bestServer);
    EXPECT_TRUE(filled.fortyLambda);
    EXPECT_EQ(filled.lambdaSpeed, "30");
    EXPECT_EQ(filled.lambdaUnit, SpeedUnit::Mph);
    EXPECT_TRUE(filled.splitOutput);
}

TEST_F(FormTest, ExcelPresetOnTheThreeRunLogWritesTheTypicalOutput) {
    Browse(Log("run.tlf", ThreeRunLog()));
    form.OutputFormatGroup.Choose(5);
    Convert();
    EXPECT_EQ(form.LastJobOutcome(), JobOutcome::Completed);
    EXPECT_EQ(ReadFile(dir / "run.out"), kExcelTitle +
                                             "-74.2500\t40.5000\t10:00:01\r\n"
                                             "-74.2500\t40.5100\t10:00:02\r\n"
                                             "-74.2500\t40.5200\t10:00:03\r\n"
                                             "-74.2500\t40.5300\t10:00:04\r\n"
                                             "-74.2500\t40.5400\t10:00:05\r\n");
    EXPECT_EQ(messages.messages(), (Names{"Information: Conversion Has Been Completed!"}));
    EXPECT_EQ(form.ProgressBar.progress, 100);
    EXPECT_TRUE(form.InBrowse.enabled);
}

TEST_F(FormTest, TickingOutTheSecondFastRunLeavesOutExactlyItsRecords) {
    Browse(Log("run.tlf", ThreeRunLog()));
    form.OutputFormatGroup.Choose(5);
    const int secondFast = form.DataSetEntry(2);
    ASSERT_GE(secondFast, 0);
    EXPECT_EQ(form.tvIndex.nodes[secondFast].text, "10:00:04");
    form.tvIndex.MouseUp(secondFast);
    EXPECT_EQ(form.tvIndex.nodes[secondFast].stateIndex, kTickedOut);
    EXPECT_FALSE(form.DataSets().IsDataSetChecked(2));
    Convert();
    EXPECT_EQ(ReadFile(dir / "run.out"), kExcelTitle +
                                             "-74.2500\t40.5000\t10:00:01\r\n"
                                             "-74.2500\t40.5100\t10:00:02\r\n"
                                             "-74.2500\t40.5200\t10:00:03\r\n");

    // A conversion may run again on the same index; ticked in again, the run comes back.
    form.tvIndex.MouseUp(secondFast);
    EXPECT_EQ(form.tvIndex.nodes[secondFast].stateIndex, kTickedIn);
    form.tvIndex.MouseUp(form.DataSetEntry(1));
    Convert();
    EXPECT_EQ(ReadFile(dir / "run.out"), kExcelTitle +
                                             "-74.2500\t40.5000\t10:00:01\r\n"
                                             "-74.2500\t40.5100\t10:00:02\r\n"
                                             "-74.2500\t40.5300\t10:00:04\r\n"
                                             "-74.2500\t40.5400\t10:00:05\r\n");
}

TEST_F(FormTest, ReleasingTheMouseOverAGroupOrNowhereChangesNothing) {
    Browse(Log("run.tlf", ThreeRunLog()));
    const std::vector<TTreeNode> before = form.tvIndex.nodes;
    for (int node : {form.GroupEntry(0), form.GroupEntry(1), -1, static_cast<int>(before.size())})
        form.tvIndex.MouseUp(node);
    ASSERT_EQ(form.tvIndex.nodes.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(form.tvIndex.nodes[i].stateIndex, before[i].stateIndex);
    EXPECT_EQ(form.tvIndex.nodes[form.GroupEntry(0)].stateIndex, 0);
    for (int n = 0; n < 3; ++n) EXPECT_TRUE(form.DataSets().IsDataSetChecked(n));
}

TEST_F(FormTest, ClearingTheSelectionThenConvertingWritesABareTitleRow) {
    Browse(Log("run.tlf", ThreeRunLog()));
    form.OutputFormatGroup.Choose(5);
    form.DeselectAll.Click();
    Convert();
    EXPECT_EQ(ReadFile(dir / "run.out"), "\r\n");
}

TEST_F(FormTest, WhatsThisExplainsTheSplitAndExitClosesTheWindow) {
    form.sbHelp.Click();
    EXPECT_EQ(messages.messages(),
              (Names{"Information: The Excel Split option will split the output file into multiple files of no more "
                     "than 60000 records if needed. A subfolder with the name of the original output folder will be "
                     "created."}));
    form.btnCancel.Click();  // no job: nothing happens
    form.Exit1.Click();
    EXPECT_TRUE(backEnd.closed);
}

// With a window thread of its own, the workers wait for it: the concurrency rules become visible.
class QueuedFormTest : public FormFixtureOn<QueuedDispatcher> {
protected:
    void Idle() { form.WaitUntilIdle(); }
    // run.tlf chosen and indexed, "Microsoft Excel" chosen.
    std::string ReadyForExcel() {
        const std::string path = Log("run.tlf", ThreeRunLog());
        backEnd.Answer(path);
        form.InBrowse.Click();
        Idle();
        form.OutputFormatGroup.Choose(5);
        return path;
    }
};

TEST_F(QueuedFormTest, ConvertIsRefusedWhileTheIndexPassRuns) {
    backEnd.Answer(Log("run.tlf", ThreeRunLog()));
    form.InBrowse.Click();
    // The pass is blocked on its first call into the window thread.
    EXPECT_TRUE(form.Indexing());
    EXPECT_FALSE(form.btnConvert.enabled);
    form.btnConvertClick();
    EXPECT_EQ(form.LastJobOutcome(), JobOutcome::NotRun);
    Idle();
    EXPECT_FALSE(form.Indexing());
    EXPECT_TRUE(form.btnConvert.enabled);
    EXPECT_FALSE(std::ifstream(dir / "run.out").good());
}

TEST_F(QueuedFormTest, ANewIndexPassStopsAndAwaitsTheRunningOne) {
    backEnd.Answer(Log("run.tlf", ThreeRunLog()));
    backEnd.Answer(Log("second.tlf", OneScanLog(9)));
    form.InBrowse.Click();
    ASSERT_TRUE(form.Indexing());
    form.InBrowse.Click();
    Idle();
    EXPECT_EQ(form.LastIndexOutcome(), IndexOutcome::Completed);
    EXPECT_EQ(form.tvIndex.nodes.size(), 3u);
    EXPECT_EQ(form.tvIndex.nodes[2].text, "10:00:09");
    EXPECT_FALSE(form.WaitDlg.visible);
}

TEST_F(QueuedFormTest, ChoosingAnotherInputOrProductIsRefusedWhileAConversionRuns) {
    const std::string path = ReadyForExcel();
    form.btnConvert.Click();
    ASSERT_TRUE(form.Converting());
    EXPECT_FALSE(form.InBrowse.enabled);
    backEnd.Answer(Log("other.tlf", ThreeRunLog()));
    form.InBrowseClick();
    form.ChooseInputFile(dir / "other.tlf");
    form.InputFormatGroup.SetItemIndex(3);
    EXPECT_EQ(backEnd.shown.size(), 1u);
    EXPECT_EQ(form.InputFormatGroup.itemIndex, 1);
    EXPECT_EQ(&form.CurrentReader(), readers.ForProduct(1));
    EXPECT_EQ(form.InputFilename.text, path);
    Idle();
    EXPECT_FALSE(form.Converting());
    EXPECT_TRUE(form.InBrowse.enabled);
    EXPECT_EQ(form.LastJobOutcome(), JobOutcome::Completed);
}

TEST_F(QueuedFormTest, CancelEndsTheJobBeforeTheNextRecordAndKeepsWhatWasWritten) {
    ReadyForExcel();
    form.btnConvert.Click();
    // The job waits to show 0 % before its first record: Cancel is read at the top of the loop.
    form.btnCancel.Click();
    Idle();
    EXPECT_EQ(form.LastJobOutcome(), JobOutcome::Completed);
    EXPECT_EQ(ReadFile(dir / "run.out"), kExcelTitle);
    EXPECT_EQ(messages.messages(), (Names{"Information: Conversion Has Been Completed!"}));
}

TEST_F(QueuedFormTest, ConvertingAgainAwaitsTheEarlierJob) {
    ReadyForExcel();
    form.btnConvert.Click();
    form.btnConvert.Click();
    Idle();
    EXPECT_EQ(messages.messages(),
              (Names{"Information: Conversion Has Been Completed!", "Information: Conversion Has Been Completed!"}));
    EXPECT_EQ(ReadFile(dir / "run.out").size(), kExcelTitle.size() + 5 * 27);
}

} // namespace
} // namespace mutaro::testing

#include <gtest/gtest.h>

#include "core/Convert.h"
#include "support/FormFixture.h"
#include "ui/ConfigFile.h"

namespace mutaro::testing {
namespace {

using ConfigTest = FormFixture;

TEST_F(ConfigTest, RestoringOnlyAFormatRightAfterStartUpIsNoReset) {
    const std::string path = dir / "format.cfg";
    WriteFile(path, "[OutFormat]\r\nFormat=3\r\n");
    ASSERT_TRUE(RestoreConfiguration(form, path));
    form.WaitUntilIdle();
    EXPECT_EQ(form.OutputFormatGroup.text, "Grayson IQ Analyzer");
    EXPECT_FALSE(form.FixedFormat());  // the preset is not applied
    EXPECT_EQ(form.LastPreset(), kStartPreset);
    EXPECT_EQ(form.AvailableBox.Count(), 0);
    EXPECT_EQ(form.SelectedBox.Count(), 0);
    EXPECT_EQ(form.InputFormatGroup.itemIndex, 0);
    EXPECT_EQ(form.InputFilename.text, "Sample.in");
    EXPECT_EQ(form.OutputFilename.text, "Sample.out");
    EXPECT_FALSE(form.FieldTitles.checked);
    EXPECT_TRUE(form.Receiver1.checked);
    EXPECT_FALSE(form.Receiver2.checked);
    EXPECT_TRUE(form.FrequencyField.checked);
    EXPECT_FALSE(form.ChannelField.checked);
    EXPECT_TRUE(form.RSSIField.checked);
    EXPECT_TRUE(form.NoAvg.checked);
    EXPECT_EQ(form.DelimiterGroup.itemIndex, 0);
}

TEST_F(ConfigTest, SaveThenRestoreBringsBackTwelveFieldsWithTheirTags) {
    Browse(Log("run.tlf", ThreeRunLog()));
    for (int position : {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 14, 21}) {
        form.AvailableBox.Highlight(position);
        form.SelectField.Click();
    }
    const auto saved = form.SelectedFields();
    ASSERT_EQ(saved.size(), 12u);
    const std::string path = dir / "twelve.cfg";
    ASSERT_TRUE(SaveConfiguration(form, path));

    form.DeselectAll.Click();
    ASSERT_TRUE(RestoreConfiguration(form, path));
    form.WaitUntilIdle();
    const auto restored = form.SelectedFields();
    ASSERT_EQ(restored.size(), saved.size());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(restored[i].name, saved[i].name) << i;
        EXPECT_EQ(restored[i].tag, saved[i].tag) << i;
    }
    // Per position the Field key and then the Tag key; keys without leading zeros.
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find("Field10=GPS Time (HH:MM:SS)\r\nField11=Marker Value\r\n"), std::string::npos);
    EXPECT_NE(text.find("[SelectedTags]\r\nTag0=0\r\nTag1=5\r\n"), std::string::npos);
}

TEST_F(ConfigTest, MissingFieldKeyGivesAnEmptyNameAndTheTagOfItsTagKey) {
    const std::string path = dir / "two.cfg";
    WriteFile(path,
              "[SelectedFields]\nCount=2\nField0=GPS Status\n"
              "[SelectedTags]\nTag0=17\nTag1=29\n");
    RestoreConfiguration(form, path);
    ASSERT_EQ(form.SelectedBox.Count(), 2);
    EXPECT_EQ(form.SelectedBox.items[1], "");
    EXPECT_EQ(form.CurrentReader().selectedTags[1], 29);
    WriteFile(path, "[SelectedFields]\nCount=2\nField0=GPS Status\n[SelectedTags]\nTag0=17\n");
    RestoreConfiguration(form, path);
    EXPECT_EQ(form.CurrentReader().selectedTags[1], 0);  // << DATA >>
}

TEST_F(ConfigTest, BothAveragingChoicesOnRestoreBothAndFortyLambdaWins) {
    const std::string path = dir / "both.cfg";
    WriteFile(path, "[OutputFilter]\nNoAvg=0\nLambdaAvg=1\nBSAvg=1\n");
    RestoreConfiguration(form, path);
    EXPECT_TRUE(form.LambdaAvg.checked);
    EXPECT_TRUE(form.BSAvg.checked);
    EXPECT_FALSE(form.NoAvg.checked);
    EXPECT_FALSE(form.cbAT_None.checked);
    ConversionSettings filled;
    form.FillSettings(filled);
    EXPECT_EQ(AverageModeOf(filled), kAverageFortyLambda);
}

TEST_F(ConfigTest, DelimiterAboveFourIsOtherNegativeIsNoItemAndOver100PositionsAreCut) {
    const std::string path = dir / "odd.cfg";
    WriteFile(path, "[OutputFieldSelection]\nDelimiter=9\n[SelectedFields]\nCount=5000\n[AvailableFields]\nCount=x\n");
    RestoreConfiguration(form, path);
    EXPECT_EQ(form.DelimiterGroup.itemIndex, 4);
    EXPECT_EQ(form.SelectedBox.Count(), kMaxFieldTags);
    EXPECT_EQ(form.AvailableBox.Count(), 0);  // not a number: missing
    WriteFile(path, "[OutputFieldSelection]\nDelimiter=-2\n");
    RestoreConfiguration(form, path);
    EXPECT_EQ(form.DelimiterGroup.itemIndex, -1);
    ConversionSettings filled;
    form.FillSettings(filled);
    EXPECT_EQ(DelimiterCharacter(filled.delimiterChoice, filled.otherDelimiterText), '@');
}

TEST_F(ConfigTest, AChangedProductIndexesTheRestoredInputFile) {
    Browse(Log("first.tlf", OneScanLog(7)));
    ASSERT_EQ(Tree(), (std::vector<std::string>{"Scan Data: 10:00:07", "Fast Data:"}));
    const std::string second = Log("second.tlf", ThreeRunLog());
    const std::string path = dir / "product.cfg";
    // Through product 0 first, so the restore of product 1 is a change.
    WriteFile(path, "[InputFormat]\nProduct=0\n");
    RestoreConfiguration(form, path);
    WriteFile(path, "[InputFormat]\nProduct=1\n[InputFile]\nFilename=" + second + "\n");
    RestoreConfiguration(form, path);
    form.WaitUntilIdle();
    EXPECT_EQ(Tree(), (std::vector<std::string>{"Scan Data: 10:00:03", "Fast Data: 10:00:01 10:00:04"}));
    EXPECT_EQ(form.InputFilename.text, second);
}

TEST_F(ConfigTest, TheSameProductWithAnotherLogRebuildsTheTree) {
    Browse(Log("first.tlf", OneScanLog(7)));
    const std::string second = Log("second.tlf", ThreeRunLog());
    const std::string path = dir / "same.cfg";
    WriteFile(path, "[InputFormat]\nProduct=1\n[InputFile]\nFilename=" + second + "\n");
    RestoreConfiguration(form, path);
    form.WaitUntilIdle();
    EXPECT_EQ(Tree(), (std::vector<std::string>{"Scan Data: 10:00:03", "Fast Data: 10:00:01 10:00:04"}));
}

TEST_F(ConfigTest, SavingIntoAnExistingFileKeepsForeignKeys) {
    const std::string path = dir / "keep.cfg";
    WriteFile(path, "[Notes]\r\nWho=field team\r\n[OutFormat]\r\nFormat=1\r\nColour=blue\r\n");
    ASSERT_TRUE(SaveConfiguration(form, path));
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.rfind("[Notes]\r\nWho=field team\r\n[OutFormat]\r\nFormat=11\r\nColour=blue\r\n", 0), 0u);
    EXPECT_NE(text.find("[OutputFile]\r\nFilename=\r\n"), std::string::npos);
}

TEST_F(ConfigTest, MenuEntriesUseTheirDialogsAndCancelDoesNothing) {
    form.SaveConfiguration1.Click();  // cancelled: nothing written, nothing shown
    form.OpenConfiguration1.Click();
    ASSERT_EQ(backEnd.shown.size(), 2u);
    EXPECT_EQ(backEnd.shown[0].title, "Save Configuration");
    EXPECT_EQ(backEnd.shown[1].title, "Open Configuration");
    for (const TFileDialog& dialog : backEnd.shown) {
        EXPECT_EQ(dialog.filter, "Configuration Files (*.cfg)|*.cfg");
        EXPECT_EQ(dialog.defaultExt, ".cfg");
    }
    EXPECT_TRUE(backEnd.shown[1].mustExist);
    EXPECT_TRUE(messages.messages().empty());

    const std::string path = dir / "menu.cfg";
    backEnd.Answer(path);
    form.SaveConfiguration1.Click();
    form.FieldTitles.checked = false;
    backEnd.Answer(path);
    form.OpenConfiguration1.Click();
    EXPECT_TRUE(form.FieldTitles.checked);

    form.ContentsIndex1.Click();
    form.About1.Click();
    EXPECT_EQ(backEnd.helpShown, 1);
    EXPECT_EQ(backEnd.aboutShown, 1);
}

} // namespace
} // namespace mutaro::testing

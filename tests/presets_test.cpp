#include <gtest/gtest.h>

#include "support/FormFixture.h"
#include "ui/Presets.h"

namespace mutaro::testing {
namespace {

using Names = std::vector<std::string>;

constexpr int kSpace = 3;

struct PresetCase {
    int index;
    const char* text;
    bool fixed;
    bool header;    // from "Header" on before the choice
    int delimiter;  // from "Space" before the choice
    Names fields;
    std::vector<std::int16_t> tags;
    bool rssiOfReceiverOne;  // field data and receivers reset; else as they were
    const char* output;      // from "keep.out" before the choice
};

const Names kLonLatData = {"Longitude (Decimal Degrees)", "Latitude (Decimal Degrees)", "<< DATA >>"};
const std::vector<std::int16_t> kLonLatDataTags = {11, 5, 0};

const PresetCase kCases[] = {
    {0, "Comarco Workbench", false, true, kSpace, {}, {}, false, "keep.out"},
    {1, "EDX SignalPro", false, false, 0, kLonLatData, kLonLatDataTags, true, "keep.out"},
    {2, "Expert Wireless MaXPlan", false, false, 2,
     {"Latitude (Decimal Degrees)", "Longitude (Decimal Degrees)", "<< DATA >>"}, {5, 11, 0}, true, "test.sdr"},
    {3, "Grayson IQ Analyzer", true, true, kSpace, {}, {}, false, "keep.out"},
    {4, "MapInfo (w/ dB Planner)", false, false, 2, kLonLatData, kLonLatDataTags, false, "keep.out"},
    {5, "Microsoft Excel", false, true, 2,
     {"Longitude (Decimal Degrees)", "Latitude (Decimal Degrees)", "GPS Time (HH:MM:SS)"}, {11, 5, 18}, false,
     "keep.out"},
    {6, "MLJ PathPro", true, true, kSpace, {}, {}, false, "MLJ.M01"},
    {7, "MSI Planet", true, true, kSpace, {}, {}, false, "keep.out"},
    {8, "SAFCO OPAS32", false, true, kSpace, {}, {}, false, "keep.out"},
    {9, "TEC Cellular Wizard", false, false, 0,
     {"Record Number", "Latitude (Degrees)", "Latitude (Minutes)", "Latitude (Seconds)", "Latitude Hemisphere",
      "Longitude (Degrees)", "Longitude (Minutes)", "Longitude (Seconds)", "Longitude Hemisphere", "<< DATA >>",
      "RTC Year (YY)", "RTC Month (MM)", "RTC Day (DD)", "GPS Hour (HH)", "GPS Minute (MM)", "GPS Second (SS)"},
     {32, 6, 7, 9, 10, 12, 13, 15, 16, 0, 36, 34, 35, 19, 20, 21}, false, "keep.out"},
    {10, "Teleworx PlotworX", false, false, 2, kLonLatData, kLonLatDataTags, false, "keep.out"},
    {11, "Custom ASCII Configuration", false, false, 0, {}, {}, false, "keep.out"},
    {12, "Wireless Valley InFielder", true, true, kSpace, {}, {}, false, "keep.out"},
};

class PresetTest : public FormFixture {
protected:
    void SelectProduct(int product) {
        form.InputFilename.SetText(Log("empty.tlf", {}));
        form.InputFormatGroup.SetItemIndex(product);
        form.WaitUntilIdle();
    }
    std::vector<std::int16_t> Tags() const {
        std::vector<std::int16_t> tags;
        for (const SelectedField& field : form.SelectedFields()) tags.push_back(field.tag);
        return tags;
    }
    // The four selection buttons usable, and the delimiter group, "Header" and Other text shown.
    bool DelimitedControls() const {
        return form.SelectField.enabled && form.DeselectField.enabled && form.SelectAll.enabled &&
               form.DeselectAll.enabled && form.DelimiterGroup.visible && form.FieldTitles.visible &&
               form.OtherDelimiter.visible;
    }
    bool FixedControls() const {
        return !form.SelectField.enabled && !form.DeselectField.enabled && !form.SelectAll.enabled &&
               !form.DeselectAll.enabled && !form.DelimiterGroup.visible && !form.FieldTitles.visible &&
               !form.OtherDelimiter.visible;
    }
};

TEST_F(PresetTest, EveryRowSetsItsListSwitchesAndMode) {
    ASSERT_EQ(Presets().size(), std::size(kCases));
    for (const PresetCase& c : kCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(form.OutputFormatGroup.items[c.index], c.text);
        // A known state to change from; a typed text that matches no entry forgets the last preset.
        form.FieldTitles.checked = true;
        form.DelimiterGroup.SetItemIndex(kSpace);
        for (TCheckBox* receiver : form.ReceiverSwitches()) receiver->checked = true;
        form.FrequencyField.checked = form.ChannelField.checked = true;
        form.RSSIField.checked = false;
        form.OutputFilename.SetText("keep.out");
        form.AvailableBox.Highlight(3);
        form.SelectField.Click();
        form.OutputFormatGroup.Type("no such tool");
        ASSERT_EQ(form.LastPreset(), -1);

        form.OutputFormatGroup.Choose(c.index);
        EXPECT_EQ(form.LastPreset(), c.index);
        EXPECT_EQ(form.OutputFormatGroup.text, c.text);
        EXPECT_EQ(form.FixedFormat(), c.fixed);
        EXPECT_TRUE(c.fixed ? FixedControls() : DelimitedControls());
        EXPECT_EQ(form.FieldTitles.checked, c.header);
        EXPECT_EQ(form.DelimiterGroup.itemIndex, c.delimiter);
        EXPECT_EQ(form.SelectedBox.items, c.fields);
        EXPECT_EQ(Tags(), c.tags);
        EXPECT_EQ(form.FrequencyField.checked, !c.rssiOfReceiverOne);
        EXPECT_EQ(form.ChannelField.checked, !c.rssiOfReceiverOne);
        EXPECT_EQ(form.RSSIField.checked, c.rssiOfReceiverOne);
        EXPECT_FALSE(form.SATField.checked || form.VMACField.checked);
        for (int r = 1; r < 4; ++r) EXPECT_EQ(form.ReceiverSwitches()[r]->checked, !c.rssiOfReceiverOne);
        EXPECT_TRUE(form.Receiver1.checked);
        EXPECT_EQ(form.OutputFilename.text, c.output);

        ConversionSettings filled;
        form.FillSettings(filled);
        EXPECT_EQ(filled.outputFormatIndex, c.index);
        EXPECT_EQ(filled.fixedFormat, c.fixed);
    }
}

TEST_F(PresetTest, AFixedFormatLocksTheListsUntilADelimitedPresetFreesThem) {
    form.FieldTitles.checked = true;
    form.DelimiterGroup.SetItemIndex(2);
    form.OutputFormatGroup.Choose(6);
    EXPECT_EQ(form.OutputFilename.text, "MLJ.M01");
    EXPECT_TRUE(FixedControls());
    form.AvailableBox.Highlight(0);
    form.SelectField.Click();
    form.SelectAll.Click();
    EXPECT_TRUE(form.SelectedBox.items.empty());

    form.OutputFormatGroup.Choose(11);
    EXPECT_TRUE(DelimitedControls());
    EXPECT_FALSE(form.FixedFormat());
    EXPECT_TRUE(form.SelectedBox.items.empty());
    EXPECT_FALSE(form.FieldTitles.checked);
    EXPECT_EQ(form.DelimiterGroup.itemIndex, 0);
    EXPECT_EQ(form.OutputFilename.text, "MLJ.M01");
}

TEST_F(PresetTest, TheSameChoiceAgainKeepsAnEditedList) {
    form.OutputFormatGroup.Choose(1);
    form.SelectedBox.Highlight(2);
    form.DeselectField.Click();
    form.DelimiterGroup.SetItemIndex(3);
    form.OutputFormatGroup.Choose(1);
    EXPECT_EQ(form.SelectedBox.items, (Names{"Longitude (Decimal Degrees)", "Latitude (Decimal Degrees)"}));
    EXPECT_EQ(form.DelimiterGroup.itemIndex, 3);

    // Another entry and back rebuilds it.
    form.OutputFormatGroup.Choose(8);
    form.OutputFormatGroup.Choose(1);
    EXPECT_EQ(form.SelectedBox.items, kLonLatData);
    EXPECT_EQ(form.DelimiterGroup.itemIndex, 0);
}

TEST_F(PresetTest, AtStartUpTheCustomEntryIsAlreadyApplied) {
    form.DelimiterGroup.SetItemIndex(kSpace);
    form.AvailableBox.Highlight(0);
    form.SelectField.Click();
    form.OutputFormatGroup.Choose(11);
    EXPECT_TRUE(form.FieldTitles.checked);
    EXPECT_EQ(form.DelimiterGroup.itemIndex, kSpace);
    EXPECT_EQ(form.SelectedBox.items, (Names{"<< DATA >>"}));
}

TEST_F(PresetTest, TheSarnelHasListsOfItsOwn) {
    SelectProduct(5);
    form.OutputFormatGroup.Choose(9);
    EXPECT_EQ(form.SelectedBox.items, (Names{"Record Number"}));
    EXPECT_EQ(Tags(), (std::vector<std::int16_t>{32}));
    EXPECT_FALSE(form.FieldTitles.checked);
    form.OutputFormatGroup.Choose(5);
    EXPECT_TRUE(form.SelectedBox.items.empty());
    EXPECT_TRUE(form.FieldTitles.checked);
    form.OutputFormatGroup.Choose(10);
    EXPECT_EQ(form.SelectedBox.items, (Names{"<< DATA >>"}));
}

TEST_F(PresetTest, ChangingTheProductDoesNotRerunThePreset) {
    SelectProduct(1);
    form.OutputFormatGroup.Choose(9);
    ASSERT_EQ(form.SelectedBox.Count(), 16);
    SelectProduct(5);
    EXPECT_EQ(form.SelectedBox.Count(), 16);
    EXPECT_EQ(form.SelectedFields()[9].tag, 0);
}

TEST_F(PresetTest, ATypedTextClearsTheListAndFixedModeOnly) {
    form.OutputFormatGroup.Choose(3);
    form.FieldTitles.checked = true;
    form.OutputFormatGroup.Type("Grayson");
    EXPECT_EQ(form.OutputFormatGroup.itemIndex, -1);
    EXPECT_EQ(form.LastPreset(), -1);
    EXPECT_FALSE(form.FixedFormat());
    EXPECT_TRUE(DelimitedControls());
    EXPECT_TRUE(form.FieldTitles.checked);

    form.OutputFormatGroup.Choose(5);
    form.OutputFormatGroup.Type("Excel");
    EXPECT_TRUE(form.SelectedBox.items.empty());
    EXPECT_EQ(form.DelimiterGroup.itemIndex, 2);
    ConversionSettings filled;
    form.FillSettings(filled);
    EXPECT_EQ(filled.outputFormatIndex, -1);
}

TEST(PresetTable, ListTextsMatchInAnyCase) {
    EXPECT_EQ(PresetIndexOfText("microsoft excel"), 5);
    EXPECT_EQ(PresetIndexOfText("MLJ PATHPRO"), 6);
    EXPECT_EQ(PresetIndexOfText("MapInfo (w/ dB Planner)"), 4);
    EXPECT_EQ(PresetIndexOfText("Excel"), -1);
    EXPECT_EQ(PresetIndexOfText(""), -1);
    EXPECT_EQ(FindPreset(13), nullptr);
    EXPECT_EQ(FindPreset(-1), nullptr);
}

} // namespace
} // namespace mutaro::testing

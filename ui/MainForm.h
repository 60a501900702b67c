#pragma once

// The wizard window's logic: the four steps, product selection, presets, the field lists, the
// content index and the conversion job, written against the component objects only. The headless
// back end (tests, command line) calls the handlers and reads the objects; the Qt back end renders
// the objects and turns widget signals into the same calls.

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Convert.h"
#include "platform/Dispatcher.h"
#include "reduction/MakeIndex.h"
#include "ui/Presets.h"
#include "ui/Products.h"
#include "ui/WaitDlg.h"
#include "ui/components/Components.h"

namespace mutaro {

constexpr int kDataSetKinds = 22;
// Tag value "<<" leaves in every position of the Selected Fields tags.
constexpr std::int16_t kClearedTag = -10;

// The time of day in the long time format of the current locale.
std::string LongTimeText();

class TMainForm : public IndexView {
public:
    TMainForm(ReaderSet& readers, Dispatcher& dispatcher, FormBackEnd& backEnd);
    ~TMainForm() override;
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // The window.
    std::string caption = "ZYT Mutaro CW";
    int width = 800, height = 504;
    bool centred = true;

    // Step 1.
    TGroupBox Step1{"Step1", "Select Input / Output"};
    TLabel InputLabel{"InputLabel", "Input:"};
    TEdit InputFilename{"InputFilename"};
    TButton InBrowse{"InBrowse", "Browse"};
    TLabel InputFormatLabel{"InputFormatLabel", "(None)"};
    TLabel OutputLabel{"OutputLabel", "Output:"};
    TEdit OutputFilename{"OutputFilename"};
    TButton OutBrowse{"OutBrowse", "Browse"};
    TCheckBox cbSplit{"cbSplit", "Excel Split"};
    TButton sbHelp{"sbHelp"};
    // Hidden state holders, never shown to the user.
    TRadioGroup InputFormatGroup{"InputFormatGroup"};
    TRadioGroup SarnelMode{"SarnelMode", "Scan Mode"};
    TRadioGroup ScanTypeGroup{"ScanTypeGroup", "Scan Type"};

    // Step 2.
    TGroupBox Step2{"Step2", "Choose Formatting Options"};
    TGroupBox ReceiverGroup{"ReceiverGroup", "Convert Data for Receiver(s)"};
    TCheckBox Receiver1{"Receiver1", "1"}, Receiver2{"Receiver2", "2"}, Receiver3{"Receiver3", "3"},
        Receiver4{"Receiver4", "4"};
    TGroupBox AverageGroup{"AverageGroup", "Data Reduction"};
    TRadioButton NoAvg{"NoAvg", "Convert All Data"}, BSAvg{"BSAvg", "Best Server"},
        RadioButton1{"RadioButton1", "Channel List"}, RadioButton2{"RadioButton2", "Threshold"};
    TButton btnChannelList{"btnChannelList", "OPTIONS"}, btnThreshold{"btnThreshold", "OPTIONS"};
    TGroupBox GroupBox2{"GroupBox2", "Average Type"};
    TRadioButton cbAT_None{"cbAT_None", "None"}, LambdaAvg{"LambdaAvg", "40 Lambda"};
    TComboBox OutputFormatGroup{"OutputFormatGroup", "Format Type"};
    TTreeView tvIndex{"tvIndex"};

    // Step 3.
    TGroupBox Step3{"Step3", "Select Data And Fields Which Are To Be In The Output File"};
    TListBox AvailableBox{"AvailableBox", "Available Fields"};
    TListBox SelectedBox{"SelectedBox", "Selected Fields"};
    TCheckBox FieldTitles{"FieldTitles", "Header"};
    TButton SelectField{"SelectField", ">"}, DeselectField{"DeselectField", "<"}, SelectAll{"SelectAll", ">>"},
        DeselectAll{"DeselectAll", "<<"};
    TRadioGroup DelimiterGroup{"DelimiterGroup", "Field Delimiter"};
    TEdit OtherDelimiter{"OtherDelimiter"};
    TGroupBox GroupBox1{"GroupBox1", "Field Data"};
    TCheckBox FrequencyField{"FrequencyField", "Freq (MHz)"}, ChannelField{"ChannelField", "Channel"},
        RSSIField{"RSSIField", "RSSI"}, SATField{"SATField", "SAT/DCC"}, VMACField{"VMACField", "VMAC"};

    // Step 4.
    TGroupBox Step4{"Step4", "Convert The Input File"};
    TButton btnConvert{"btnConvert", "Convert Data"};
    TButton btnCancel{"btnCancel", "Cancel"};

    // Menu.
    TMenuItem Application1{"Application1", "&Application"};
    TMenuItem OpenConfiguration1{"OpenConfiguration1", "Open Configuration"};
    TMenuItem SaveConfiguration1{"SaveConfiguration1", "Save Configuration"};
    TMenuItem N1{"N1", "-"};
    TMenuItem Exit1{"Exit1", "E&xit"};
    TMenuItem Help1{"Help1", "&Help"};
    TMenuItem ContentsIndex1{"ContentsIndex1", "Contents && Index"};
    TMenuItem N2{"N2", "-"};
    TMenuItem About1{"About1", "About"};
    std::vector<TMenuItem*> MainMenu{&Application1, &Help1};

    // Status bar: the gauge in the first panel, the clock in the second.
    TStatusBar sbStatus{"sbStatus"};
    TGauge ProgressBar{"ProgressBar"};
    TLabel olClock{"olClock", "HH:MM:SS"};
    TTimer Timer;

    TFileDialog InputDialog;
    TFileDialog OutputDialog;
    TFileDialog OpenConfigDialog;
    TFileDialog SaveConfigDialog;
    TWaitDlg WaitDlg;

    // The clock's text; replaceable so tests can pin it.
    std::function<std::string()> clockText = LongTimeText;

    // Event handlers.
    void FormCreate();
    void InBrowseClick();
    void OutBrowseClick();
    void InputFormatGroupClick();
    void SelectClick();
    void DeselectClick();
    void SelectAllClick();
    void DeselectAllClick();
    void OutputFormatGroupChange();
    void btnConvertClick();
    void btnCancelClick();
    void tvIndexMouseUp(int node);
    void sbStatusDrawPanel(int panel, const TRect& rect);
    void TimerTimer();
    void sbHelpClick();
    void Exit1Click();
    void OpenConfiguration1Click();
    void SaveConfiguration1Click();
    void ContentsIndex1Click();
    void About1Click();

    // The steps after a file has been chosen in the open dialog (also the window's FILE argument).
    void ChooseInputFile(const std::string& name);
    // Appends an entry to the Selected Fields list with its tag, as the presets and a restore do;
    // nothing beyond the 100th entry.
    void AppendSelectedField(std::string_view name, std::int16_t tag);
    // Waits for the index pass and the job, running what they hand to the window thread meanwhile.
    void WaitUntilIdle();

    ZProduct& CurrentReader() const { return *reader_; }
    const ProductInfo* CurrentProduct() const { return FindProduct(InputFormatGroup.itemIndex); }
    int LastProduct() const { return lastProduct_; }
    int LastPreset() const { return lastPreset_; }
    bool FixedFormat() const { return fixedFormat_; }
    bool Indexing() const { return indexing_.load(); }
    bool Converting() const { return converting_.load(); }
    IndexOutcome LastIndexOutcome() const { return indexOutcome_.load(); }
    JobOutcome LastJobOutcome() const;
    const DataSetTable& DataSets() const { return table_; }
    // The group entry of a data-set kind, -1 when the current product has none.
    int GroupEntry(int kind) const { return kind >= 0 && kind < kDataSetKinds ? groupEntries_[kind] : -1; }
    bool IsGroupEntry(int node) const;
    // The tree entry of data set n (from 0), -1 when it has none.
    int DataSetEntry(int dataSet) const;
    // The four receiver switches, receiver 1 first.
    std::array<TCheckBox*, 4> ReceiverSwitches() const { return receivers_; }
    // The Selected Fields list as the job reads it: each entry's name and its tag.
    std::vector<SelectedField> SelectedFields() const;
    // Every choice of the window into the record the job and the readers read.
    void FillSettings(ConversionSettings& settings) const;

    // IndexView: what the index pass reports, on the window thread.
    void ShowWait() override;
    void SetWaitProgress(int percent) override;
    void HideWait() override;
    void ClearIndex() override;
    void AddGroup(const IndexGroup& group) override;
    void AddDataSet(std::int16_t kind, int dataSet, std::string_view label) override;
    void ExpandIndex() override;
    void IndexEnded(IndexOutcome outcome) override;

private:
    class FormJob;

    void ConfigureForProduct(const ProductInfo& product);
    void FillAvailableList();
    void StartIndex(const ProductInfo& product);
    void JobEnded();

    ReaderSet& readers_;
    Dispatcher& dispatcher_;
    FormBackEnd& backEnd_;
    ZProduct* reader_;
    std::array<TCheckBox*, 4> receivers_{};
    bool fixedFormat_ = false;
    int lastProduct_ = 1;
    int lastPreset_ = kStartPreset;
    std::array<int, kDataSetKinds> groupEntries_{};
    DataSetTable table_;
    std::atomic<bool> indexing_{false};
    std::atomic<bool> converting_{false};
    std::atomic<IndexOutcome> indexOutcome_{IndexOutcome::NotRun};
    // Destroyed first: a worker still running is stopped and awaited while the controls it
    // reports to still exist.
    std::unique_ptr<TMakeIndex> indexJob_;
    std::unique_ptr<TConvert> job_;
};

} // namespace mutaro

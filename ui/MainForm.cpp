#include "ui/MainForm.h"

#include <ctime>

#include "core/Identify.h"
#include "platform/Messages.h"
#include "ui/ConfigFile.h"
#include "ui/Presets.h"

namespace mutaro {

std::string LongTimeText() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::size_t length = std::strftime(text, sizeof text, "%X", &local);
    return std::string(text, length);
}

// The conversion job, telling the form on the window thread when it has ended.
class TMainForm::FormJob : public TConvert {
public:
    FormJob(TMainForm& form, const ConversionSettings& settings)
        : TConvert(form.CurrentReader(), settings, form.dispatcher_, &form.ProgressBar), form_(form) {}
    ~FormJob() override { TerminateAndWait(); }

protected:
    void Execute() override {
        TConvert::Execute();
        Synchronize([this] { form_.JobEnded(); });
    }

private:
    TMainForm& form_;
};

TMainForm::TMainForm(ReaderSet& readers, Dispatcher& dispatcher, FormBackEnd& backEnd)
    : readers_(readers), dispatcher_(dispatcher), backEnd_(backEnd), reader_(readers.ForProduct(1)) {
    groupEntries_.fill(-1);

    cbSplit.hint = "Split output file into 60000 record files";
    sbHelp.hint = "What's This?";
    for (const ProductInfo& product : Products()) InputFormatGroup.items.emplace_back(product.itemText);
    InputFormatGroup.itemIndex = 0;
    InputFormatGroup.visible = false;
    SarnelMode.items = {"1 Channel", "3 Channel", "Scan Table"};
    SarnelMode.itemIndex = 0;
    SarnelMode.visible = false;
    ScanTypeGroup.items = {"Scan Table", "Fast Data"};
    ScanTypeGroup.itemIndex = 1;
    ScanTypeGroup.visible = false;

    Receiver1.checked = true;
    for (TRadioButton* choice : {&NoAvg, &BSAvg, &RadioButton1, &RadioButton2}) AverageGroup.Hold(*choice);
    NoAvg.checked = true;
    // Shown but never usable: no handler is attached to them.
    for (TControl* control : std::initializer_list<TControl*>{&RadioButton1, &RadioButton2, &btnChannelList, &btnThreshold})
        control->enabled = false;
    GroupBox2.Hold(cbAT_None);
    GroupBox2.Hold(LambdaAvg);
    cbAT_None.checked = true;
    for (const PresetRow& preset : Presets()) OutputFormatGroup.items.emplace_back(preset.text);
    tvIndex.readOnly = true;

    FieldTitles.checked = true;
    DelimiterGroup.items = {"Comma", "Semi-Colon", "Tab", "Space", "Other"};
    DelimiterGroup.columns = 2;
    DelimiterGroup.itemIndex = 0;
    OtherDelimiter.maxLength = 1;
    OtherDelimiter.text = ":";
    FrequencyField.checked = true;
    RSSIField.checked = true;
    SATField.enabled = false;
    VMACField.enabled = false;

    Application1.items = {&OpenConfiguration1, &SaveConfiguration1, &N1, &Exit1};
    Help1.items = {&ContentsIndex1, &N2, &About1};

    sbStatus.panels = {{575, true}, {100, true}};
    Timer.interval = 1000;
    Timer.enabled = true;

    InputDialog.kind = TFileDialog::Kind::Open;
    InputDialog.defaultExt = "*.512";
    InputDialog.filter =
        "Talvor Log File |*.tlf|Dravik Log File|*.dlf|Vek Log File (PC Card)|*.bin|Vek Log File (PC Dump)|*.vek|"
        "Sarnel Log File|*.slf|Yul Converted File|*.yul|Hurlan Log File|*.hlf";
    InputDialog.mustExist = true;
    OutputDialog.kind = TFileDialog::Kind::Save;
    for (TFileDialog* dialog : {&OpenConfigDialog, &SaveConfigDialog}) {
        dialog->filter = "Configuration Files (*.cfg)|*.cfg";
        dialog->defaultExt = ".cfg";
    }
    OpenConfigDialog.kind = TFileDialog::Kind::Open;
    OpenConfigDialog.title = "Open Configuration";
    OpenConfigDialog.mustExist = true;
    SaveConfigDialog.kind = TFileDialog::Kind::Save;
    SaveConfigDialog.title = "Save Configuration";

    InBrowse.onClick = [this] { InBrowseClick(); };
    OutBrowse.onClick = [this] { OutBrowseClick(); };
    sbHelp.onClick = [this] { sbHelpClick(); };
    InputFormatGroup.onClick = [this] { InputFormatGroupClick(); };
    SelectField.onClick = [this] { SelectClick(); };
    DeselectField.onClick = [this] { DeselectClick(); };
    SelectAll.onClick = [this] { SelectAllClick(); };
    DeselectAll.onClick = [this] { DeselectAllClick(); };
    OutputFormatGroup.onChange = [this] { OutputFormatGroupChange(); };
    btnConvert.onClick = [this] { btnConvertClick(); };
    btnCancel.onClick = [this] { btnCancelClick(); };
    tvIndex.onMouseUp = [this](int node) { tvIndexMouseUp(node); };
    sbStatus.onDrawPanel = [this](int panel, const TRect& rect) { sbStatusDrawPanel(panel, rect); };
    Timer.onTimer = [this] { TimerTimer(); };
    Exit1.onClick = [this] { Exit1Click(); };
    OpenConfiguration1.onClick = [this] { OpenConfiguration1Click(); };
    SaveConfiguration1.onClick = [this] { SaveConfiguration1Click(); };
    ContentsIndex1.onClick = [this] { ContentsIndex1Click(); };
    About1.onClick = [this] { About1Click(); };
    ProgressBar.onProgress = [this](int) { backEnd_.StateChanged(); };
    WaitDlg.Gauge.onProgress = [this](int) { backEnd_.StateChanged(); };

    FormCreate();
}

TMainForm::~TMainForm() {
    // Stop and await the workers while everything they report to still exists.
    indexJob_.reset();
    job_.reset();
    for (ZProduct* reader : readers_.All())
        if (reader->dataSetNodes == &table_) reader->SetDataSetSelection(nullptr);
}

void TMainForm::FormCreate() {
    reader_ = readers_.ForProduct(1);
    fixedFormat_ = false;
    FillAvailableList();
    for (ZProduct* reader : readers_.All()) reader->BindReceivers();
    receivers_ = {&Receiver1, &Receiver2, &Receiver3, &Receiver4};
    // Shown without applying its preset.
    OutputFormatGroup.SetItemIndex(kStartPreset);
}

void TMainForm::FillAvailableList() {
    AvailableBox.Clear();
    for (std::int16_t tag : reader_->AvailableTags()) AvailableBox.Add(FieldNameOf(tag));
}

void TMainForm::InBrowseClick() {
    // Refused while a conversion runs on the current reader (the button is disabled meanwhile).
    if (converting_) return;
    std::optional<std::string> chosen = backEnd_.RunFileDialog(InputDialog);
    if (chosen) ChooseInputFile(*chosen);
}

void TMainForm::ChooseInputFile(const std::string& name) {
    if (converting_) return;
    const int product = IdentifyLog(name);
    // The names are set before the product, whose handling starts the index pass on the Input
    // name: it must index the chosen file, not the one chosen before.
    if (product != kProductNone) {
        InputFilename.SetText(name);
        OutputFilename.SetText(DefaultOutputName(name));
    }
    // Through 0, so the product handling runs even for the product already selected.
    InputFormatGroup.SetItemIndex(kProductNone);
    InputFormatGroup.SetItemIndex(product);
    if (product == kProductNone) ReportMessage(kWarning, "File is not from a ZYT CW product.");
}

void TMainForm::OutBrowseClick() {
    std::optional<std::string> chosen = backEnd_.RunFileDialog(OutputDialog);
    if (chosen) OutputFilename.SetText(*chosen);
}

void TMainForm::InputFormatGroupClick() {
    const int index = InputFormatGroup.itemIndex;
    if (converting_) {
        // The job drives the current reader: the product stays as it is.
        InputFormatGroup.SetItemIndex(lastProduct_);
        return;
    }
    if (index == kProductNone) {
        lastProduct_ = kProductNone;
        return;
    }
    const ProductInfo* product = FindProduct(index);
    if (product == nullptr || !product->Selectable()) {
        InputFormatGroup.SetItemIndex(lastProduct_);
        return;
    }
    ZProduct* next = readers_.ForProduct(index);
    // The tags live in each reader; carried over, the Selected list keeps meaning what it shows.
    if (next != reader_) next->selectedTags = reader_->selectedTags;
    reader_ = next;
    ConfigureForProduct(*product);
    FillAvailableList();
    StartIndex(*product);
    lastProduct_ = index;
}

void TMainForm::ConfigureForProduct(const ProductInfo& product) {
    InputFormatLabel.caption = std::string(product.label);
    ScanTypeGroup.enabled = product.scanTypes;
    ScanTypeGroup.SetItemIndex(product.scanTypes ? 1 : 0);
    SarnelMode.enabled = product.scanModes;
    for (int r = 0; r < 4; ++r) {
        TCheckBox& receiver = *receivers_[r];
        receiver.enabled = r < product.receivers;
        if (!receiver.enabled) receiver.checked = false;
    }
    for (TCheckBox* code : {&SATField, &VMACField}) {
        code->enabled = product.satDcc;
        if (!code->enabled) code->checked = false;
    }
    LambdaAvg.visible = product.fortyLambda;
    LambdaAvg.enabled = product.fortyLambda;
    if (LambdaAvg.checked && !product.fortyLambda) cbAT_None.Choose();
}

void TMainForm::AppendSelectedField(std::string_view name, std::int16_t tag) {
    const int position = SelectedBox.Count();
    if (position >= kMaxFieldTags) return;
    SelectedBox.Add(name);
    reader_->selectedTags[position] = tag;
}

void TMainForm::SelectClick() {
    const int position = AvailableBox.itemIndex;
    // A restored Available list may be longer than the reader's tags; its extra entries have none.
    if (position < 0 || position >= AvailableBox.Count() || position >= kMaxFieldTags) return;
    AppendSelectedField(AvailableBox.items[position], reader_->availableTags[position]);
}

void TMainForm::DeselectClick() {
    const int position = SelectedBox.itemIndex;
    if (position < 0 || position >= SelectedBox.Count()) return;
    auto& tags = reader_->selectedTags;
    for (int i = position; i + 1 < kMaxFieldTags; ++i) tags[i] = tags[i + 1];
    SelectedBox.Delete(position);
}

void TMainForm::SelectAllClick() {
    const int count = AvailableBox.Count() < kMaxFieldTags ? AvailableBox.Count() : kMaxFieldTags;
    for (int i = 0; i < count; ++i) AppendSelectedField(AvailableBox.items[i], reader_->availableTags[i]);
}

void TMainForm::DeselectAllClick() {
    SelectedBox.Clear();
    reader_->selectedTags.fill(kClearedTag);
}

void TMainForm::OutputFormatGroupChange() {
    const int index = OutputFormatGroup.itemIndex;
    if (index == lastPreset_) return;
    lastPreset_ = index;
    SelectedBox.Clear();
    for (TButton* button : {&SelectField, &DeselectField, &SelectAll, &DeselectAll}) button->enabled = true;
    DelimiterGroup.visible = true;
    FieldTitles.visible = true;
    OtherDelimiter.visible = true;
    fixedFormat_ = false;

    // Text that matches no entry (index -1) stops here: an empty list in delimited mode.
    const PresetRow* preset = FindPreset(index);
    if (preset == nullptr) return;
    if (preset->fixed) {
        for (TButton* button : {&SelectField, &DeselectField, &SelectAll, &DeselectAll}) button->enabled = false;
        DelimiterGroup.visible = false;
        FieldTitles.visible = false;
        OtherDelimiter.visible = false;
        fixedFormat_ = true;
    } else {
        if (preset->header != HeaderSetting::Unchanged) FieldTitles.checked = preset->header == HeaderSetting::On;
        if (preset->delimiter != kDelimiterUnchanged) DelimiterGroup.SetItemIndex(preset->delimiter);
        const bool sarnel = InputFormatGroup.itemIndex == kProductSarnel;
        for (std::int16_t tag : sarnel ? preset->sarnelFields : preset->fields) AppendSelectedField(FieldNameOf(tag), tag);
        if (preset->rssiOfReceiverOne) {
            FrequencyField.checked = false;
            ChannelField.checked = false;
            RSSIField.checked = true;
            SATField.checked = false;
            VMACField.checked = false;
            for (int r = 0; r < 4; ++r) receivers_[r]->checked = r == 0;
        }
    }
    if (!preset->outputName.empty()) OutputFilename.SetText(preset->outputName);
}

std::vector<SelectedField> TMainForm::SelectedFields() const {
    std::vector<SelectedField> fields;
    for (int j = 0; j < SelectedBox.Count() && j < kMaxFieldTags; ++j)
        fields.push_back({SelectedBox.items[j], reader_->selectedTags[j]});
    return fields;
}

void TMainForm::FillSettings(ConversionSettings& settings) const {
    settings.inputFileName = InputFilename.text;
    settings.outputFileName = OutputFilename.text;
    settings.productIndex = InputFormatGroup.itemIndex;
    settings.outputFormatIndex = OutputFormatGroup.itemIndex;
    settings.fixedFormat = fixedFormat_;
    settings.delimiterChoice = DelimiterGroup.itemIndex;
    settings.otherDelimiterText = OtherDelimiter.text;
    settings.headerRow = FieldTitles.checked;
    settings.selectedFields = SelectedFields();
    for (int r = 0; r < 4; ++r) settings.receiverEnabled[r] = receivers_[r]->checked;
    settings.fieldData.frequency = FrequencyField.checked;
    settings.fieldData.channel = ChannelField.checked;
    settings.fieldData.rssi = RSSIField.checked;
    settings.fieldData.satDcc = SATField.checked;
    settings.fieldData.vmac = VMACField.checked;
    settings.scanType = ScanTypeGroup.itemIndex;
    settings.bestServer = BSAvg.checked;
    settings.fortyLambda = LambdaAvg.checked;
    // No control changes them: every conversion averages over 30 MPH.
    settings.lambdaSpeed = "30";
    settings.lambdaUnit = SpeedUnit::Mph;
    settings.splitOutput = cbSplit.checked;
}

void TMainForm::btnConvertClick() {
    // Refused while the index pass drives the current reader (the button is disabled meanwhile).
    if (indexing_) return;
    // The earlier job goes first, awaited if it still runs: it reads the settings record that is
    // refilled below.
    job_.reset();
    ConversionSettings& settings = readers_.settings();
    FillSettings(settings);
    converting_ = true;
    InBrowse.enabled = false;
    job_ = std::make_unique<FormJob>(*this, settings);
    job_->Start();
}

void TMainForm::JobEnded() {
    converting_ = false;
    InBrowse.enabled = true;
    backEnd_.StateChanged();
}

JobOutcome TMainForm::LastJobOutcome() const { return job_ ? job_->outcome() : JobOutcome::NotRun; }

void TMainForm::btnCancelClick() {
    if (job_) job_->Cancel();
}

void TMainForm::StartIndex(const ProductInfo& product) {
    // A pass still running is stopped and awaited first: both would drive readers of this form.
    indexJob_.reset();
    indexing_ = true;
    btnConvert.enabled = false;
    indexJob_ = std::make_unique<TMakeIndex>(*reader_, product.index, product.indexGroups, InputFilename.text, *this,
                                             table_, dispatcher_);
    indexJob_->Start();
}

void TMainForm::WaitUntilIdle() {
    if (indexJob_) indexJob_->WaitFor();
    if (job_) job_->WaitFor();
}

bool TMainForm::IsGroupEntry(int node) const {
    if (!tvIndex.Valid(node)) return false;
    for (int entry : groupEntries_)
        if (entry == node) return true;
    return false;
}

int TMainForm::DataSetEntry(int dataSet) const {
    for (int i = 0; i < static_cast<int>(tvIndex.nodes.size()); ++i)
        if (IsGroupEntry(tvIndex.nodes[i].parent) && tvIndex.nodes[i].data == dataSet) return i;
    return -1;
}

void TMainForm::tvIndexMouseUp(int node) {
    if (!tvIndex.Valid(node) || IsGroupEntry(node)) return;
    TTreeNode& entry = tvIndex.nodes[node];
    if (!IsGroupEntry(entry.parent)) return;
    entry.stateIndex = entry.stateIndex == kTickedIn ? kTickedOut : kTickedIn;
    table_.SetImage(entry.data, entry.stateIndex);
}

void TMainForm::sbStatusDrawPanel(int panel, const TRect& rect) {
    if (panel == 0) ProgressBar.bounds = rect;
    if (panel == 1) olClock.bounds = rect;
}

void TMainForm::TimerTimer() { olClock.caption = clockText(); }

void TMainForm::sbHelpClick() {
    ReportMessage(kInformation,
                  "The Excel Split option will split the output file into multiple files of no more than 60000 "
                  "records if needed. A subfolder with the name of the original output folder will be created.");
}

void TMainForm::Exit1Click() { backEnd_.CloseWindow(); }

void TMainForm::OpenConfiguration1Click() {
    std::optional<std::string> chosen = backEnd_.RunFileDialog(OpenConfigDialog);
    if (chosen && !RestoreConfiguration(*this, *chosen))
        ReportMessage(kError, "Configuration File Cannot Be Read!");
}

void TMainForm::SaveConfiguration1Click() {
    std::optional<std::string> chosen = backEnd_.RunFileDialog(SaveConfigDialog);
    if (chosen && !SaveConfiguration(*this, *chosen))
        ReportMessage(kError, "Configuration File Cannot Be Written!");
}

void TMainForm::ContentsIndex1Click() { backEnd_.ShowHelp(); }

void TMainForm::About1Click() { backEnd_.ShowAbout(); }

void TMainForm::ShowWait() {
    WaitDlg.visible = true;
    backEnd_.StateChanged();
}

void TMainForm::SetWaitProgress(int percent) { WaitDlg.Gauge.SetProgress(percent); }

void TMainForm::HideWait() {
    WaitDlg.visible = false;
    backEnd_.StateChanged();
}

void TMainForm::ClearIndex() {
    tvIndex.Clear();
    groupEntries_.fill(-1);
    backEnd_.StateChanged();
}

void TMainForm::AddGroup(const IndexGroup& group) {
    if (group.kind < 0 || group.kind >= kDataSetKinds) return;
    groupEntries_[group.kind] = tvIndex.Add(-1, group.text);
    backEnd_.StateChanged();
}

void TMainForm::AddDataSet(std::int16_t kind, int dataSet, std::string_view label) {
    const int group = GroupEntry(kind);
    if (group < 0) return;
    tvIndex.Add(group, label, kTickedIn, dataSet);
    backEnd_.StateChanged();
}

void TMainForm::ExpandIndex() {
    tvIndex.FullExpand();
    backEnd_.StateChanged();
}

void TMainForm::IndexEnded(IndexOutcome outcome) {
    indexOutcome_ = outcome;
    indexing_ = false;
    btnConvert.enabled = true;
    backEnd_.StateChanged();
}

} // namespace mutaro

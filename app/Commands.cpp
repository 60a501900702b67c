#include "Commands.h"

#include <unistd.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <mutex>

#include "core/Identify.h"
#include "platform/BinaryStream.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"
#include "ui/ConfigFile.h"
#include "ui/MainForm.h"
#include "ui/Presets.h"
#include "ui/Products.h"
#include "ui/components/RecordingBackEnd.h"

namespace mutaro::cli {

namespace {

[[noreturn]] void Usage(const Arguments& args, const std::string& text) {
    throw UsageError{"mutaro " + std::string(args.command->name) + ": " + text};
}

std::string Quoted(std::string_view word) { return "'" + std::string(word) + "'"; }

// A whole decimal number, nothing before or after it.
std::optional<int> Number(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, status] = std::from_chars(text.data(), end, value);
    if (text.empty() || status != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> items;
    if (list.empty()) return items;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = list.find(',', start);
        items.push_back(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return items;
        start = comma + 1;
    }
}

std::string_view ProductName(int index) {
    const ProductInfo* product = FindProduct(index);
    return product != nullptr ? product->label : std::string_view("(None)");
}

int ProductOption(const Arguments& args, const std::string& value) {
    std::optional<int> index = Number(value);
    const ProductInfo* product = index ? FindProduct(*index) : nullptr;
    if (product == nullptr || *index == kProductNone)
        Usage(args, "--product: " + Quoted(value) + " is not a product index (1 to 9)");
    if (!product->Selectable())
        Usage(args, "--product: product " + value + " (" + std::string(product->itemText) + ") is not supported");
    return *index;
}

// What the open dialog would refuse: a name that is no readable file.
bool InputReadable(const std::string& name, const std::string& prefix) {
    if (!IsRegularFile(name)) {
        ReportMessage(kError, "%sInput File Does Not Exist!", prefix.c_str());
        return false;
    }
    BinaryStream probe;
    if (!probe.Open(name)) {
        ReportMessage(kError, "%sInput File Cannot Be Read!", prefix.c_str());
        return false;
    }
    return true;
}

// The one-line percentage display on stderr, only while stderr is a terminal.
class ProgressLine {
public:
    explicit ProgressLine(bool enabled) : enabled_(enabled && ::isatty(STDERR_FILENO) == 1) {}
    void Show(const char* phase, int percent) {
        std::lock_guard lock(mutex_);
        if (!enabled_ || (shown_ && phase == phase_ && percent == percent_)) return;
        std::fprintf(stderr, "\r%s %3d%%", phase, percent);
        shown_ = true;
        phase_ = phase;
        percent_ = percent;
    }
    void Erase() {
        std::lock_guard lock(mutex_);
        if (!shown_) return;
        std::fprintf(stderr, "\r%20s\r", "");
        shown_ = false;
    }

private:
    std::mutex mutex_;
    bool enabled_;
    bool shown_ = false;
    const char* phase_ = nullptr;
    int percent_ = -1;
};

// Messages as "CAPTION: TEXT" on stderr, after the percentage display has made room.
class LinePresenter : public MessagePresenter {
public:
    LinePresenter(ProgressLine& line, bool quiet) : line_(line) { stderr_.quiet = quiet; }
    void Present(int kind, const std::string& caption, const std::string& text) override {
        line_.Erase();
        stderr_.Present(kind, caption, text);
    }

private:
    ProgressLine& line_;
    StderrPresenter stderr_;
};

// Where ReportMessage goes while it lives.
class MessageRoute {
public:
    MessageRoute(Dispatcher& dispatcher, MessagePresenter& presenter) { InstallMessageRoute(&dispatcher, &presenter); }
    ~MessageRoute() { InstallMessageRoute(nullptr, nullptr); }
    MessageRoute(const MessageRoute&) = delete;
    MessageRoute& operator=(const MessageRoute&) = delete;
};

// The headless window: the form drives everything; its gauges feed the percentage display. The form
// goes first: a worker it still runs is stopped and awaited while the route and the display remain.
class Session : public RecordingBackEnd {
public:
    explicit Session(bool quiet) : line_(!quiet), presenter_(line_, quiet) {}

    TMainForm& form() { return form_; }

    // Called by workers through the dispatcher; reads only what they report to.
    void StateChanged() override {
        if (form_.WaitDlg.visible) line_.Show("Indexing", form_.WaitDlg.Gauge.progress);
        else if (form_.Converting()) line_.Show("Converting", form_.ProgressBar.progress);
        else line_.Erase();
    }

    // As a person does it: Browse, and FILE chosen in the open dialog.
    void Browse(const std::string& file) {
        Answer(file);
        form_.InBrowse.Click();
    }

private:
    ProgressLine line_;
    LinePresenter presenter_;
    ImmediateDispatcher dispatcher_;
    MessageRoute route_{dispatcher_, presenter_};
    // Built last: it reports to everything above from its first handler on.
    TMainForm form_{StaticReaders(), dispatcher_, *this};
};

const std::string& OneFile(const Arguments& args) {
    if (args.operands.empty()) Usage(args, "missing FILE");
    if (args.operands.size() > 1) Usage(args, "unexpected operand " + Quoted(args.operands[1]));
    return args.operands[0];
}

// The choices of `mutaro convert`, checked for their form before any file is touched.
struct ConvertRequest {
    std::string file;
    std::optional<std::string> output;
    std::optional<std::string> config;
    std::optional<std::string> saveConfig;
    std::optional<int> product;
    std::optional<int> format;
    bool fieldsGiven = false;
    std::vector<std::string> fields;
    std::optional<int> delimiter;
    std::string otherDelimiter;
    std::optional<bool> header;
    std::optional<std::array<bool, 4>> receivers;
    std::optional<std::array<bool, 5>> data;  // freq, channel, rssi, sat, vmac
    std::optional<int> scanType;
    std::optional<bool> bestServer;
    std::optional<bool> fortyLambda;
    std::vector<int> skip;
    bool split = false;
    bool quiet = false;
};

constexpr std::string_view kDataWords[] = {"freq", "channel", "rssi", "sat", "vmac"};
constexpr std::string_view kDelimiterWords[] = {"comma", "semicolon", "tab", "space"};

ConvertRequest ReadConvertRequest(const Arguments& args) {
    ConvertRequest request;
    request.file = OneFile(args);
    request.output = args.Value(Option::Output);
    if (request.output && request.output->empty()) Usage(args, "--output: empty PATH");
    request.config = args.Value(Option::Config);
    if (request.config && request.config->empty()) Usage(args, "--config: empty PATH");
    request.saveConfig = args.Value(Option::SaveConfig);
    if (request.saveConfig && request.saveConfig->empty()) Usage(args, "--save-config: empty PATH");
    if (auto product = args.Value(Option::Product)) request.product = ProductOption(args, *product);
    if (auto format = args.Value(Option::Format)) {
        std::optional<int> index = Number(*format);
        if (!index) index = PresetIndexOfText(*format);
        if (!FindPreset(*index)) Usage(args, "--format: unknown format " + Quoted(*format));
        request.format = *index;
    }
    request.fields = args.Values(Option::Field);
    request.fieldsGiven = !request.fields.empty();
    if (request.fields.size() > static_cast<std::size_t>(kMaxFieldTags))
        Usage(args, "--field: at most " + std::to_string(kMaxFieldTags) + " fields");
    if (auto delimiter = args.Value(Option::Delimiter)) {
        for (std::size_t i = 0; i < std::size(kDelimiterWords); ++i)
            if (SameListText(*delimiter, kDelimiterWords[i])) request.delimiter = static_cast<int>(i);
        if (!request.delimiter && delimiter->size() >= 6 && SameListText(delimiter->substr(0, 6), "other:")) {
            request.otherDelimiter = delimiter->substr(6);
            if (request.otherDelimiter.size() > 1)
                Usage(args, "--delimiter: " + Quoted(*delimiter) + ": other takes at most one character");
            request.delimiter = 4;
        }
        if (!request.delimiter) Usage(args, "--delimiter: unknown delimiter " + Quoted(*delimiter));
    }
    if (args.Has(Option::Header) && args.Has(Option::NoHeader)) Usage(args, "--header and --no-header together");
    if (args.Has(Option::Header)) request.header = true;
    if (args.Has(Option::NoHeader)) request.header = false;
    if (auto list = args.Value(Option::Receivers)) {
        std::array<bool, 4> on{};
        for (const std::string& item : SplitList(*list)) {
            std::optional<int> receiver = Number(item);
            if (!receiver || *receiver < 1 || *receiver > 4)
                Usage(args, "--receivers: " + Quoted(item) + " is not a receiver (1 to 4)");
            on[*receiver - 1] = true;
        }
        request.receivers = on;
    }
    if (auto list = args.Value(Option::Data)) {
        std::array<bool, 5> on{};
        for (const std::string& item : SplitList(*list)) {
            bool known = false;
            for (std::size_t i = 0; i < std::size(kDataWords); ++i)
                if (item == kDataWords[i]) known = on[i] = true;
            if (!known) Usage(args, "--data: unknown field data " + Quoted(item));
        }
        request.data = on;
    }
    if (auto word = args.Value(Option::ScanType)) request.scanType = *word == "table" ? 0 : 1;
    if (auto word = args.Value(Option::Reduction)) request.bestServer = *word == "best-server";
    if (auto word = args.Value(Option::Average)) request.fortyLambda = *word == "40-lambda";
    if (auto list = args.Value(Option::Skip)) {
        for (const std::string& item : SplitList(*list)) {
            std::optional<int> number = Number(item);
            if (!number || *number < 1) Usage(args, "--skip: " + Quoted(item) + " is not a data-set number");
            request.skip.push_back(*number);
        }
    }
    request.split = args.Has(Option::Split);
    request.quiet = args.Has(Option::Quiet);
    return request;
}

// The choices after identification, each through the control a person would use; a control the
// window does not offer for this product or format refuses the choice.
void ApplyChoices(const Arguments& args, const ConvertRequest& request, TMainForm& form) {
    const std::string product(form.InputFormatLabel.caption);
    const std::string proposedOutput = form.OutputFilename.text;
    if (request.format) form.OutputFormatGroup.Choose(*request.format);
    const std::string format = form.OutputFormatGroup.text;
    // The output name stays the one identification proposed, also under a preset that names one.
    form.OutputFilename.SetText(request.output.value_or(proposedOutput));

    if (request.fieldsGiven) {
        if (!form.SelectField.Usable())
            Usage(args, "--field: the field lists are locked for the fixed format " + Quoted(format));
        form.DeselectAll.Click();
        for (const std::string& field : request.fields) {
            if (std::optional<int> tag = Number(field)) {
                if (FieldNameOf(*tag).empty()) Usage(args, "--field: " + Quoted(field) + " is not a field tag");
                form.AppendSelectedField(FieldNameOf(*tag), static_cast<std::int16_t>(*tag));
                continue;
            }
            int position = -1;
            for (int i = 0; i < form.AvailableBox.Count() && position < 0; ++i)
                if (SameListText(form.AvailableBox.items[i], field)) position = i;
            if (position < 0) Usage(args, "--field: " + Quoted(field) + " is not an Available Field of " + product);
            form.AvailableBox.Highlight(position);
            form.SelectField.Click();
        }
    }
    if (request.delimiter) {
        if (!form.DelimiterGroup.Usable())
            Usage(args, "--delimiter: there is no delimiter in the fixed format " + Quoted(format));
        form.DelimiterGroup.SetItemIndex(*request.delimiter);
        if (*request.delimiter == 4) form.OtherDelimiter.SetText(request.otherDelimiter);
    }
    if (request.header) {
        if (!form.FieldTitles.Usable())
            Usage(args, std::string(*request.header ? "--header" : "--no-header") +
                            ": there is no header switch in the fixed format " + Quoted(format));
        form.FieldTitles.checked = *request.header;
    }
    if (request.receivers) {
        const auto switches = form.ReceiverSwitches();
        for (int r = 0; r < 4; ++r) {
            if ((*request.receivers)[r] && !switches[r]->Usable())
                Usage(args, "--receivers: receiver " + std::to_string(r + 1) + " is not available for " + product);
            switches[r]->checked = (*request.receivers)[r];
        }
    }
    if (request.data) {
        TCheckBox* boxes[] = {&form.FrequencyField, &form.ChannelField, &form.RSSIField, &form.SATField,
                              &form.VMACField};
        for (std::size_t i = 0; i < std::size(boxes); ++i) {
            if ((*request.data)[i] && !boxes[i]->Usable())
                Usage(args, "--data: " + std::string(kDataWords[i]) + " is not available for " + product);
            boxes[i]->checked = (*request.data)[i];
        }
    }
    if (request.scanType) {
        if (!form.ScanTypeGroup.enabled) Usage(args, "--scan-type: " + product + " has no scan types");
        form.ScanTypeGroup.SetItemIndex(*request.scanType);
    }
    if (request.bestServer) (*request.bestServer ? form.BSAvg : form.NoAvg).Click();
    if (request.fortyLambda) {
        if (*request.fortyLambda && !form.LambdaAvg.Usable())
            Usage(args, "--average: 40-lambda is not available for " + product);
        (*request.fortyLambda ? form.LambdaAvg : form.cbAT_None).Click();
    }
    if (request.split && !form.cbSplit.checked) form.cbSplit.Click();
}

} // namespace

int RunIdentify(const Arguments& args) {
    if (args.operands.empty()) Usage(args, "missing FILE");
    bool allRecognised = true;
    for (const std::string& file : args.operands) {
        int product = kProductNone;
        if (InputReadable(file, file + ": ")) {
            product = IdentifyLog(file);
            if (product == kProductNone) ReportMessage(kWarning, "%s: File is not from a ZYT CW product.", file.c_str());
        }
        const std::string_view label = ProductName(product);
        std::printf("%s\t%d\t%.*s\n", file.c_str(), product, static_cast<int>(label.size()), label.data());
        allRecognised = allRecognised && product != kProductNone;
    }
    return allRecognised ? kExitDone : kExitFailed;
}

int RunFields(const Arguments& args) {
    const std::optional<std::string> productValue = args.Value(Option::Product);
    if (productValue && !args.operands.empty()) Usage(args, "give FILE or --product N, not both");
    if (!productValue && args.operands.empty()) Usage(args, "missing FILE or --product N");
    int product = kProductNone;
    if (productValue) {
        product = ProductOption(args, *productValue);
    } else {
        const std::string& file = OneFile(args);
        if (!InputReadable(file, "")) return kExitFailed;
        product = IdentifyLog(file);
        if (product == kProductNone) {
            ReportMessage(kWarning, "File is not from a ZYT CW product.");
            return kExitFailed;
        }
    }
    const ZProduct& reader = *StaticReaders().ForProduct(product);
    for (std::int16_t tag : reader.AvailableTags()) {
        const std::string_view name = FieldNameOf(tag);
        std::printf("%d\t%.*s\n", tag, static_cast<int>(name.size()), name.data());
    }
    return kExitDone;
}

int RunIndex(const Arguments& args) {
    const std::string& file = OneFile(args);
    Session session(false);
    if (!InputReadable(file, "")) return kExitFailed;
    TMainForm& form = session.form();
    session.Browse(file);
    if (form.InputFormatGroup.itemIndex == kProductNone) return kExitFailed;
    form.WaitUntilIdle();
    if (form.LastIndexOutcome() != IndexOutcome::Completed) return kExitFailed;
    for (int group : form.tvIndex.Children(-1)) {
        std::printf("%s\n", form.tvIndex.nodes[group].text.c_str());
        for (int entry : form.tvIndex.Children(group))
            std::printf("  %d\t%s\n", form.tvIndex.nodes[entry].data + 1, form.tvIndex.nodes[entry].text.c_str());
    }
    return kExitDone;
}

int RunConvert(const Arguments& args) {
    const ConvertRequest request = ReadConvertRequest(args);
    Session session(request.quiet);
    if (!InputReadable(request.file, "")) return kExitFailed;
    TMainForm& form = session.form();
    if (request.config) {
        // As "Open Configuration" would; its dialog only offers files that exist.
        if (!IsRegularFile(*request.config) || !RestoreConfiguration(form, *request.config)) {
            ReportMessage(kError, "Configuration File Cannot Be Read!");
            return kExitFailed;
        }
        // A product change started an index pass over the restored input name: let it end, so
        // what it reports comes before the identification of FILE, every time.
        form.WaitUntilIdle();
    }
    if (request.product) {
        form.InputFilename.SetText(request.file);
        form.OutputFilename.SetText(DefaultOutputName(request.file));
        form.InputFormatGroup.SetItemIndex(kProductNone);
        form.InputFormatGroup.SetItemIndex(*request.product);
    } else {
        session.Browse(request.file);
        if (form.InputFormatGroup.itemIndex == kProductNone) return kExitFailed;
    }
    // The index pass runs meanwhile, as in the window; it reports to the tree and the Wait dialog
    // only, which the choices do not touch.
    ApplyChoices(args, request, form);
    form.WaitUntilIdle();
    if (form.LastIndexOutcome() != IndexOutcome::Completed) return kExitFailed;
    for (int number : request.skip) {
        // Numbered from 1, as `index` prints them.
        const int entry = form.DataSetEntry(number - 1);
        if (entry < 0) Usage(args, "--skip: data set " + std::to_string(number) + " has no entry in the index");
        if (form.tvIndex.nodes[entry].stateIndex == kTickedIn) form.tvIndex.MouseUp(entry);
    }
    if (request.saveConfig && !SaveConfiguration(form, *request.saveConfig)) {
        ReportMessage(kError, "Configuration File Cannot Be Written!");
        return kExitFailed;
    }
    form.btnConvert.Click();
    form.WaitUntilIdle();
    return form.LastJobOutcome() == JobOutcome::Completed ? kExitDone : kExitFailed;
}

} // namespace mutaro::cli

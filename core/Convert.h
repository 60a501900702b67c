#pragma once

// The conversion core: the reader framework, the conversion job and the delimited rows.

#include <cstdint>
#include <functional>
#include <string>

#include "core/ConversionSettings.h"
#include "core/DelimitedRows.h"
#include "core/FieldCatalogue.h"
#include "core/Product.h"
#include "core/TextBuffer.h"
#include "platform/Thread.h"

namespace mutaro {

constexpr int kOutputFormatEdxSignalPro = 1;
constexpr int kOutputFormatPathPro = 6;  // binary record file
constexpr std::uint32_t kSplitLines = 60000;
constexpr std::size_t kSplitPieceLength = 4095;

// Where the job shows its progress (the front end's gauge); called on the window thread.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetProgress(int percent) = 0;
};

// Field separator of a delimiter choice: comma, semicolon, tab, space, the first character of
// the Other text (0 when it is empty), and the at sign when no item is chosen.
char DelimiterCharacter(int choice, const std::string& otherText);
// Mode number for SetAverageMode: "40 Lambda" first, then "Best Server", else none.
std::int16_t AverageModeOf(const ConversionSettings& settings);
// Whole percentage of done in total, exact for any size, clamped to 0..100; 0 when total is 0.
int WholePercent(std::uint64_t done, std::uint64_t total);
// The split folder of an output name: the name without the extension of its file-name part, or
// the name followed by "_split" when it has no extension.
std::string SplitFolderOf(const std::string& outputName);
// Name of part k of a split: folder, separator, the folder's last component, "-k.out".
std::string SplitPartName(const std::string& folder, int part);

// How a job ended, for the command line's exit status.
enum class JobOutcome {
    NotRun,
    Completed,            // "Conversion Has Been Completed!" (also after a cancel)
    InputMissing,         // "Input File Does Not Exist!"
    OutputIsInput,        // "Output File Cannot Be The Input File!"
    OutputInaccessible,   // "Output File Cannot Be Accessed!"
    SplitFolderFailed,    // "Cannot create directory."
    SplitReopenFailed,    // "Output File Cannot Be Accessed!" while splitting
    SplitPartFailed,      // "Split File Cannot Be Accessed!"
};

// The conversion job: one receiver log into one output file, on a worker thread.
class TConvert : public TThread {
public:
    TConvert(ZProduct& reader, const ConversionSettings& settings, Dispatcher& dispatcher,
             ProgressSink* progress = nullptr);
    ~TConvert() override;

    // Cancel raises the terminate flag, which the job reads once per record.
    void Cancel() { Terminate(); }
    // Runs the whole job on the calling thread (tests, and a command line that waits anyway).
    void RunHere() { Execute(); }
    JobOutcome outcome() const { return outcome_; }

    // The input size the progress is measured against; replaceable so tests can pose as huge logs.
    std::function<std::uint64_t(const std::string&)> inputSizeOf;

protected:
    void Execute() override;

private:
    void ShowProgress(int percent);
    void Advance(std::uint64_t bytes, std::uint64_t total);
    void WriteFixedHeaderIfDue(OutputFile& out, TextBuffer& fixedText);
    void WriteOutputRecords(OutputFile& out, DelimitedRows& rows, TextBuffer& fixedText,
                            TextBuffer& recordText);
    bool Split();

    ZProduct& reader_;
    ConversionSettings settings_;  // a copy: the window may change while the job runs
    ProgressSink* progress_;
    JobOutcome outcome_ = JobOutcome::NotRun;
    std::uint64_t bytesConsumed_ = 0;
    int lastPercent_ = 0;
    bool fixedHeaderDue_ = true;
};

} // namespace mutaro

#include "core/Convert.h"

#include <cstdio>

#include "platform/FileSystem.h"
#include "platform/Messages.h"
#include "platform/OutputFile.h"

namespace mutaro {

char DelimiterCharacter(int choice, const std::string& otherText) {
    switch (choice) {
    case 0: return ',';
    case 1: return ';';
    case 2: return '\t';
    case 3: return ' ';
    case 4: return otherText.empty() ? '\0' : otherText[0];
    default: return '@';
    }
}

std::int16_t AverageModeOf(const ConversionSettings& settings) {
    if (settings.fortyLambda) return kAverageFortyLambda;
    if (settings.bestServer) return kAverageBestServer;
    return kAverageNone;
}

int WholePercent(std::uint64_t done, std::uint64_t total) {
    if (total == 0) return 0;
    if (done >= total) return 100;
    // done < total, so done * 100 fits in 128 bits and the quotient is below 100.
    __extension__ using Wide = unsigned __int128;
    return static_cast<int>(static_cast<Wide>(done) * 100 / total);
}

std::string SplitFolderOf(const std::string& outputName) {
    std::size_t dot = ExtensionStart(outputName);
    if (dot == std::string::npos) return outputName + "_split";
    return outputName.substr(0, dot);
}

std::string SplitPartName(const std::string& folder, int part) {
    std::string trimmed = folder;
    while (trimmed.size() > 1 && IsSeparator(trimmed.back())) trimmed.pop_back();
    std::string base = trimmed.substr(FileNameStart(trimmed));
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "-%d.out", part);
    return JoinPath(trimmed, base + suffix);
}

TConvert::TConvert(ZProduct& reader, const ConversionSettings& settings, Dispatcher& dispatcher,
                   ProgressSink* progress)
    : TThread(dispatcher), inputSizeOf(FileSize), reader_(reader), settings_(settings),
      progress_(progress) {}

TConvert::~TConvert() { TerminateAndWait(); }

void TConvert::ShowProgress(int percent) {
    if (progress_ == nullptr) return;
    Synchronize([&] { progress_->SetProgress(percent); });
}

void TConvert::Advance(std::uint64_t bytes, std::uint64_t total) {
    bytesConsumed_ += bytes;
    int percent = WholePercent(bytesConsumed_, total);
    if (percent != lastPercent_) {
        ShowProgress(percent);
        lastPercent_ = percent;
    }
}

void TConvert::WriteFixedHeaderIfDue(OutputFile& out, TextBuffer& fixedText) {
    if (!fixedHeaderDue_ || !reader_.headerPending) return;
    reader_.WriteHeader(fixedText);
    out.Write(fixedText.view());
    fixedHeaderDue_ = false;
}

void TConvert::WriteOutputRecords(OutputFile& out, DelimitedRows& rows, TextBuffer& fixedText,
                                  TextBuffer& recordText) {
    reader_.pendingOutputs = reader_.readyOutputs;
    // A negative count from a confused reader yields nothing rather than 65 535 rows.
    while (reader_.pendingOutputs > 0) {
        if (settings_.fixedFormat) {
            WriteFixedHeaderIfDue(out, fixedText);
            reader_.WriteRecord(recordText);
            out.Write(recordText.view());
        } else {
            rows.WriteDelimitedRows();
        }
        --reader_.pendingOutputs;
    }
}

void TConvert::Execute() {
    outcome_ = JobOutcome::NotRun;
    if (reader_.Open(settings_.inputFileName) != 0) {
        outcome_ = JobOutcome::InputMissing;
        ReportMessage(kError, "Input File Does Not Exist!");
        return;
    }
    // Opening the output would truncate the log before it is read.
    if (SameFile(settings_.inputFileName, settings_.outputFileName)) {
        reader_.Close();
        outcome_ = JobOutcome::OutputIsInput;
        ReportMessage(kError, "Output File Cannot Be The Input File!");
        return;
    }
    OutputFile out;
    const bool binary = settings_.outputFormatIndex == kOutputFormatPathPro;
    if (!out.Open(settings_.outputFileName, binary ? OutputFile::Mode::Binary : OutputFile::Mode::Text)) {
        reader_.Close();
        outcome_ = JobOutcome::OutputInaccessible;
        ReportMessage(kError, "Output File Cannot Be Accessed!");
        return;
    }
    reader_.converting = 1;

    const std::uint64_t inputSize = inputSizeOf(settings_.inputFileName);
    ShowProgress(0);
    bytesConsumed_ = 0;
    lastPercent_ = 0;
    fixedHeaderDue_ = true;

    const char delimiter = DelimiterCharacter(settings_.delimiterChoice, settings_.otherDelimiterText);
    if (settings_.outputFormatIndex == kOutputFormatEdxSignalPro) out.Write("5\n");
    reader_.SetAverageMode(AverageModeOf(settings_));

    DelimitedRows rows(reader_, settings_, out, delimiter);
    TextBuffer fixedText(kFixedTextCapacity);
    TextBuffer recordText(kRecordTextCapacity);
    const int product = settings_.productIndex;
    const bool titleWaitsForHeader = product == 3 || product == 4 || product == 8 || product == 9;
    if (!settings_.fixedFormat && !titleWaitsForHeader) rows.WriteTitleRow();

    RawRecord raw{};
    std::int32_t n = reader_.ReadRecord(raw);
    reader_.outputRowCount = 0;
    // A negative byte count from a confused reader ends the pass like the end of the log.
    while (!Terminated() && n > 0) {
        Advance(static_cast<std::uint64_t>(n), inputSize);
        switch (reader_.ParseRecord(raw)) {
        case kRecordData:
            WriteOutputRecords(out, rows, fixedText, recordText);
            break;
        case kRecordTextLine:
            out.Write(reader_.textLine.view());
            break;
        case kRecordHeader:
            if (!settings_.fixedFormat) rows.WriteTitleRow();
            else WriteFixedHeaderIfDue(out, fixedText);
            break;
        case kRecordHeaderAndData:
            // Raised in both modes: a reader that never raises it itself would otherwise never
            // get its fixed-format header.
            reader_.headerPending = 1;
            if (!settings_.fixedFormat) rows.WriteTitleRow();
            else WriteFixedHeaderIfDue(out, fixedText);
            WriteOutputRecords(out, rows, fixedText, recordText);
            break;
        default:
            break;
        }
        n = reader_.ReadRecord(raw);
    }

    if (settings_.fixedFormat) {
        reader_.WriteTrailer(fixedText);
        out.Write(fixedText.view());
    }
    reader_.Close();
    bool written = out.Close();
    ShowProgress(100);
    if (!written) {
        outcome_ = JobOutcome::OutputInaccessible;
        ReportMessage(kError, "Output File Cannot Be Accessed!");
        return;
    }

    if (settings_.splitOutput && reader_.outputRowCount > kSplitLines && !Split()) return;

    ShowProgress(100);
    outcome_ = JobOutcome::Completed;
    ReportMessage(kInformation, "Conversion Has Been Completed!");
}

bool TConvert::Split() {
    const std::string folder = SplitFolderOf(settings_.outputFileName);
    if (!FolderExists(folder) && !CreateFolder(folder)) {
        outcome_ = JobOutcome::SplitFolderFailed;
        ReportMessage(kError, "Cannot create directory.");
        return false;
    }
    const std::uint64_t outputSize = FileSize(settings_.outputFileName);
    ShowProgress(0);
    bytesConsumed_ = 0;
    lastPercent_ = 0;

    TextLineReader whole;
    if (!whole.Open(settings_.outputFileName)) {
        outcome_ = JobOutcome::SplitReopenFailed;
        ReportMessage(kError, "Output File Cannot Be Accessed!");
        return false;
    }
    ShowProgress(100);
    std::string line;
    bool atEnd = false;
    for (int part = 1; !atEnd; ++part) {
        OutputFile piece;
        if (!piece.Open(SplitPartName(folder, part), OutputFile::Mode::Text)) {
            outcome_ = JobOutcome::SplitPartFailed;
            ReportMessage(kError, "Split File Cannot Be Accessed!");
            return false;
        }
        // The end of the output is noticed only when a read fails, so an exact multiple of the
        // part size leaves one last, empty part.
        for (std::uint32_t lines = 0; lines < kSplitLines; ++lines) {
            if (!whole.ReadLine(line, kSplitPieceLength)) {
                atEnd = true;
                break;
            }
            piece.Write(line);
            Advance(line.size(), outputSize);
        }
        if (!piece.Close()) {
            outcome_ = JobOutcome::SplitPartFailed;
            ReportMessage(kError, "Split File Cannot Be Accessed!");
            return false;
        }
    }
    return true;
}

} // namespace mutaro

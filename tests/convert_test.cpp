#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/FileSystem.h"
#include "support/JobFixture.h"

namespace mutaro::testing {
namespace {

const SelectedField kLat{"Latitude (Degrees)", 6};

class RecordingProgress : public ProgressSink {
public:
    void SetProgress(int percent) override { shown.push_back(percent); }
    std::vector<int> shown;
};

class ConvertTest : public JobFixture {
protected:
    // n data records whose single field is the row number.
    void ScriptRows(int n) {
        Select({{"Record Number", 32}});
        settings.headerRow = false;
        reader.script.assign(static_cast<std::size_t>(n), ScriptedRecord{});
    }
    std::string Message() const {
        auto all = messages.messages();
        return all.empty() ? "" : all.back();
    }
};

TEST_F(ConvertTest, EdxSignalProBeginsWithTheLineFive) {
    settings.outputFormatIndex = kOutputFormatEdxSignalPro;
    Select({kLat});
    ScriptedRecord r;
    r.fields = {{6, "1"}};
    reader.script = {r};
    ASSERT_EQ(Run(), JobOutcome::Completed);
    EXPECT_EQ(Output(), "5\r\n\"Latitude (Degrees)\"\r\n1\r\n");
    EXPECT_EQ(Message(), "Information: Conversion Has Been Completed!");
}

TEST_F(ConvertTest, TextLinesAreWrittenAsTheyStand) {
    ScriptedRecord line;
    line.kind = kRecordTextLine;
    line.textLine = std::string("TALV\0 1.26\n", 11);
    reader.script = {line};
    settings.headerRow = false;
    Run();
    EXPECT_EQ(Output(), std::string("TALV\0 1.26\r\n", 12));
}

TEST_F(ConvertTest, UnknownKindsNegativeCountsAndLengthsNeverLoop) {
    ScriptRows(0);
    ScriptedRecord odd;
    odd.kind = 9;
    ScriptedRecord negativeRows;
    negativeRows.ready = -1;
    ScriptedRecord negativeLength;
    negativeLength.bytes = -5;
    ScriptedRecord never;
    reader.script = {odd, negativeRows, negativeLength, never};
    EXPECT_EQ(Run(), JobOutcome::Completed);
    EXPECT_EQ(Output(), "");
    EXPECT_EQ(reader.outputRowCount, 0u);
}

TEST_F(ConvertTest, FixedFormatHeaderOnceOnlyWhilePendingAndTrailerAlways) {
    settings.fixedFormat = true;
    settings.outputFormatIndex = 7;
    reader.fixedHeader = "HEAD\n";
    reader.fixedTrailer = "TAIL\n";
    ScriptedRecord a;
    a.fixedRecord = "A\n";
    ScriptedRecord header;
    header.kind = kRecordHeader;
    header.raiseHeader = true;
    reader.script = {a, header, a};
    Run();
    EXPECT_EQ(Output(), "HEAD\r\nA\r\nA\r\nTAIL\r\n");
    EXPECT_EQ(reader.headerWrites, 1);

    // A reader whose headerPending is clear gets no header until it raises one.
    reader.headerWrites = 0;
    ScriptedRecord clear = a;
    clear.onParse = [this] { reader.headerPending = 0; };
    reader.script = {clear, header, a};
    Run();
    EXPECT_EQ(Output(), "A\r\nHEAD\r\nA\r\nTAIL\r\n");
    EXPECT_EQ(reader.headerWrites, 1);
}

TEST_F(ConvertTest, HeaderAndDataRecordRaisesTheFixedHeaderToo) {
    settings.fixedFormat = true;
    reader.fixedHeader = "HEAD\n";
    ScriptedRecord both;
    both.kind = kRecordHeaderAndData;
    both.fixedRecord = "B\n";
    both.onParse = [this] { reader.headerPending = 0; };  // a reader that never raises it itself
    reader.script = {both, both};
    Run();
    EXPECT_EQ(Output(), "HEAD\r\nB\r\nB\r\n");
}

TEST_F(ConvertTest, FixedFormatWithoutRecordsHoldsOnlyTheTrailer) {
    settings.fixedFormat = true;
    reader.fixedHeader = "HEAD\n";
    reader.fixedTrailer = "END\n";
    ScriptedRecord nothing;
    nothing.kind = kRecordNothing;
    reader.script = {nothing};
    Run();
    EXPECT_EQ(Output(), "END\r\n");
}

TEST_F(ConvertTest, CancelKeepsTheOutputSoFarAndStillWritesTheTrailer) {
    settings.fixedFormat = true;
    reader.fixedTrailer = "END\n";
    TConvert job(reader, settings, dispatcher);
    ScriptedRecord a;
    a.fixedRecord = "A\n";
    ScriptedRecord cancelling = a;
    cancelling.onParse = [&job] { job.Cancel(); };
    reader.script = {a, cancelling, a, a};
    job.RunHere();
    // The record being processed when Cancel came is finished; nothing after it.
    EXPECT_EQ(Output(), "A\r\nA\r\nEND\r\n");
    EXPECT_EQ(job.outcome(), JobOutcome::Completed);
    EXPECT_EQ(Message(), "Information: Conversion Has Been Completed!");
}

TEST_F(ConvertTest, BinaryModeKeepsLineFeedsTextModeWritesCrLf) {
    settings.fixedFormat = true;
    ScriptedRecord r;
    r.fixedRecord = std::string("\x0a\x0a\x0a\x00\x0d", 5);  // a time of 10:10:10
    reader.script = {r};
    settings.outputFormatIndex = kOutputFormatPathPro;
    Run();
    EXPECT_EQ(Output(), std::string("\x0a\x0a\x0a\x00\x0d", 5));
    settings.outputFormatIndex = 7;
    Run();
    EXPECT_EQ(Output(), std::string("\r\n\r\n\r\n\x00\x0d", 8));
}

TEST_F(ConvertTest, ProgressRunsZeroToHundredForALogAboveFourGiB) {
    RecordingProgress progress;
    const std::uint64_t size = 5ull << 30;
    ScriptedRecord gib;
    gib.bytes = 1 << 30;
    gib.kind = kRecordNothing;
    reader.script.assign(5, gib);
    TConvert job(reader, settings, dispatcher, &progress);
    job.inputSizeOf = [size](const std::string&) { return size; };
    job.RunHere();
    // 0 at the start, each whole percentage once as it changes, then 100 after closing and at the end.
    EXPECT_EQ(progress.shown, (std::vector<int>{0, 20, 40, 60, 80, 100, 100, 100}));
}

TEST(WholePercentTest, ExactClampedAndSafe) {
    EXPECT_EQ(WholePercent(0, 0), 0);
    EXPECT_EQ(WholePercent(10, 0), 0);
    EXPECT_EQ(WholePercent(1, 3), 33);
    EXPECT_EQ(WholePercent(~0ull - 1, ~0ull), 99);  // no overflow in done x 100
    EXPECT_EQ(WholePercent(7, 5), 100);
}

TEST_F(ConvertTest, MissingInputWritesNothing) {
    settings.inputFileName = dir / "absent.tlf";
    EXPECT_EQ(Run(), JobOutcome::InputMissing);
    EXPECT_EQ(Message(), "Error: Input File Does Not Exist!");
    EXPECT_FALSE(std::filesystem::exists(settings.outputFileName));
}

TEST_F(ConvertTest, InputThatIsNoRegularFileIsRefused) {
    settings.inputFileName = dir.path();
    EXPECT_EQ(Run(), JobOutcome::InputMissing);
    std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    settings.inputFileName = fifo;
    EXPECT_EQ(Run(), JobOutcome::InputMissing);  // never blocks on the FIFO
    EXPECT_EQ(Message(), "Error: Input File Does Not Exist!");
}

TEST_F(ConvertTest, OutputThatCannotBeCreatedClosesTheReader) {
    settings.outputFileName = dir / "no-such-folder/run.out";
    EXPECT_EQ(Run(), JobOutcome::OutputInaccessible);
    EXPECT_EQ(Message(), "Error: Output File Cannot Be Accessed!");
    EXPECT_EQ(reader.closes, 1);
}

TEST_F(ConvertTest, OutputNamingTheInputIsRefusedAndTheLogIsUntouched) {
    const std::string input = settings.inputFileName;
    const std::string symlink = dir / "link.tlf";
    const std::string hardlink = dir / "hard.tlf";
    ASSERT_EQ(::symlink(input.c_str(), symlink.c_str()), 0);
    ASSERT_EQ(::link(input.c_str(), hardlink.c_str()), 0);
    for (const std::string& output : {input, dir / "./run.tlf", symlink, hardlink}) {
        settings.outputFileName = output;
        EXPECT_EQ(Run(), JobOutcome::OutputIsInput) << output;
        EXPECT_EQ(Message(), "Error: Output File Cannot Be The Input File!");
        EXPECT_EQ(ReadFile(input), "log bytes");
    }
}

TEST(SplitNamesTest, FolderAndPartNames) {
    EXPECT_EQ(SplitFolderOf("/data/run.out"), "/data/run");
    EXPECT_EQ(SplitFolderOf("run.out"), "run");
    EXPECT_EQ(SplitFolderOf("run"), "run_split");
    EXPECT_EQ(SplitFolderOf("/data.d/run"), "/data.d/run_split");  // a dot in a folder is no extension
    EXPECT_EQ(SplitFolderOf("a"), "a_split");
    EXPECT_EQ(SplitFolderOf("C:\\logs\\x.out"), "C:\\logs\\x");
    EXPECT_EQ(SplitPartName("/data/run", 2), "/data/run/run-2.out");
    EXPECT_EQ(SplitPartName("run", 1), "run/run-1.out");
    EXPECT_EQ(SplitPartName("run_split", 3), "run_split/run_split-3.out");
}

class SplitTest : public ConvertTest {
protected:
    std::string Part(int k) const { return ReadFile(SplitPartName(dir / "run", k)); }
    bool PartExists(int k) const { return std::filesystem::exists(SplitPartName(dir / "run", k)); }
    static std::string Lines(int from, int to) {
        std::string s;
        for (int i = from; i <= to; ++i) s += std::to_string(i) + "\r\n";
        return s;
    }
};

TEST_F(SplitTest, SixtyThousandRowsDoNotSplit) {
    ScriptRows(60000);
    settings.splitOutput = true;
    Run();
    EXPECT_FALSE(std::filesystem::exists(dir / "run"));
}

TEST_F(SplitTest, OneRowMoreSplitsIntoTwoParts) {
    ScriptRows(60001);
    settings.splitOutput = true;
    ASSERT_EQ(Run(), JobOutcome::Completed);
    EXPECT_EQ(Part(1), Lines(1, 60000));
    EXPECT_EQ(Part(2), Lines(60001, 60001));
    EXPECT_FALSE(PartExists(3));
    EXPECT_EQ(Output(), Lines(1, 60001));  // the whole output stays in place
}

TEST_F(SplitTest, ExactMultipleLeavesAnEmptyLastPart) {
    ScriptRows(120000);
    settings.splitOutput = true;
    Run();
    EXPECT_EQ(Part(2), Lines(60001, 120000));
    EXPECT_TRUE(PartExists(3));
    EXPECT_EQ(Part(3), "");
    EXPECT_FALSE(PartExists(4));
}

TEST_F(SplitTest, LongLinesAreCountedInPiecesOf4095Characters) {
    // The first row of 10000 characters is read back as three pieces (4095, 4095 and 1811 with
    // its line feed), each counting as a line: part 1 holds that row and rows 2 to 59998.
    Select({{"Record Number", 32}, kLat});
    settings.headerRow = false;
    settings.splitOutput = true;
    settings.delimiterChoice = 3;
    ScriptedRecord longRow;
    longRow.fields = {{6, std::string(9998, 'x')}};
    reader.script.assign(60001, ScriptedRecord{});
    reader.script[0] = longRow;
    Run();
    std::string expected = "1 " + std::string(9998, 'x') + "\r\n";
    for (int i = 2; i <= 59998; ++i) expected += std::to_string(i) + " \r\n";
    EXPECT_EQ(Part(1), expected);
    EXPECT_EQ(Part(2), "59999 \r\n60000 \r\n60001 \r\n");
}

TEST_F(SplitTest, FailuresKeepTheFullOutput) {
    ScriptRows(60001);
    settings.splitOutput = true;
    WriteFile(dir / "run", "a file where the folder should go");
    EXPECT_EQ(Run(), JobOutcome::SplitFolderFailed);
    EXPECT_EQ(Message(), "Error: Cannot create directory.");
    EXPECT_EQ(Output(), Lines(1, 60001));

    std::filesystem::remove(dir / "run");
    std::filesystem::create_directories(SplitPartName(dir / "run", 2));  // part 2 is a folder
    EXPECT_EQ(Run(), JobOutcome::SplitPartFailed);
    EXPECT_EQ(Message(), "Error: Split File Cannot Be Accessed!");
    EXPECT_EQ(Output(), Lines(1, 60001));
    EXPECT_EQ(Part(1), Lines(1, 60000));
}

TEST_F(SplitTest, OutputWithoutExtensionSplitsBesideIt) {
    ScriptRows(60001);
    settings.splitOutput = true;
    settings.outputFileName = dir / "run";
    Run();
    EXPECT_EQ(ReadFile(dir / "run_split/run_split-2.out"), Lines(60001, 60001));
}

} // namespace
} // namespace mutaro::testing

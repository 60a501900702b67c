#pragma once

// A headless wizard form over readers of its own, with the small Talvor logs the form, index and
// command-line tests share.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/RecordingPresenter.h"
#include "support/TempDir.h"
#include "tools/TalvorLog.h"
#include "ui/MainForm.h"
#include "ui/components/RecordingBackEnd.h"

namespace mutaro::testing {

using mklog::TalvorRecord;

// One data record of a classic Talvor log, firmware 1.26 (long headers): GPS time 10:00:<second>,
// longitude 74 deg 15.000 min W, latitude 40 deg <latMinutes>.<latThousandths> min N.
inline TalvorRecord DriveRecord(bool scan, int second, int latMinutes, int latThousandths) {
    TalvorRecord record = scan ? TalvorRecord::Scan(true) : TalvorRecord::Fast(true);
    const std::int32_t latitude = 40 * 3600000 + latMinutes * 60000 + latThousandths * 60;
    const std::int32_t longitude = -(74 * 3600000 + 15 * 60000);
    record.Rtc(9, 59, second, 11, 12, 24).GpsStatus(0x80).LongPosition(latitude, longitude).LongGpsTime(10, 0, second);
    return record;
}

// Fast, scan, fast: data set 1 (two fast records from 10:00:01), data set 2 (one scan record at
// 10:00:03), data set 3 (two fast records from 10:00:04). Latitudes 40.5100 to 40.5400 by 0.0100,
// starting at 40.5000; longitude -74.2500 throughout.
inline std::vector<std::uint8_t> ThreeRunLog() {
    std::vector<std::uint8_t> log;
    TalvorRecord::Information("TALVOR CW", "1.26").AppendFramed(log);
    DriveRecord(false, 1, 30, 0).AppendFramed(log);
    DriveRecord(false, 2, 30, 600).AppendFramed(log);
    DriveRecord(true, 3, 31, 200).AppendFramed(log);
    DriveRecord(false, 4, 31, 800).AppendFramed(log);
    DriveRecord(false, 5, 32, 400).AppendFramed(log);
    return log;
}

// One scan record at 10:00:<second>.
inline std::vector<std::uint8_t> OneScanLog(int second) {
    std::vector<std::uint8_t> log;
    TalvorRecord::Information("TALVOR CW", "1.26").AppendFramed(log);
    DriveRecord(true, second, 30, 0).AppendFramed(log);
    return log;
}

// An information record and nothing else.
inline std::vector<std::uint8_t> InformationOnlyLog() {
    std::vector<std::uint8_t> log;
    TalvorRecord::Information("TALVOR CW", "1.26").AppendFramed(log);
    return log;
}

inline std::string Bytes(const std::vector<std::uint8_t>& log) { return {log.begin(), log.end()}; }

// The form on a dispatcher of the test's choosing: ImmediateDispatcher runs the workers' calls at
// once, QueuedDispatcher makes them wait for the test's thread as for a real window thread.
template <class WindowThread>
class FormFixtureOn : public ::testing::Test {
protected:
    std::string Log(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::string path = dir / name;
        WriteFile(path, Bytes(bytes));
        return path;
    }
    // The Browse flow with the open dialog answering `path`, then the index pass to its end.
    void Browse(const std::string& path) {
        backEnd.Answer(path);
        form.InBrowse.Click();
        form.WaitUntilIdle();
    }
    void Convert() {
        form.btnConvert.Click();
        form.WaitUntilIdle();
    }
    // Each group with its children, as "Group: label label".
    std::vector<std::string> Tree() const {
        std::vector<std::string> lines;
        for (int group : form.tvIndex.Children(-1)) {
            std::string line = form.tvIndex.nodes[group].text + ":";
            for (int child : form.tvIndex.Children(group)) line += " " + form.tvIndex.nodes[child].text;
            lines.push_back(line);
        }
        return lines;
    }

    TempDir dir;
    RecordingPresenter messages;
    ConversionSettings settings;
    ReaderSet readers{settings};
    WindowThread dispatcher;
    RecordingBackEnd backEnd;
    TMainForm form{readers, dispatcher, backEnd};
};

using FormFixture = FormFixtureOn<ImmediateDispatcher>;

} // namespace mutaro::testing

#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/Convert.h"
#include "support/RecordingPresenter.h"
#include "support/ScriptedReader.h"
#include "support/TempDir.h"

namespace mutaro::testing {

// A scripted reader over a small input file, settings for it, and a way to run the job.
class JobFixture : public ::testing::Test {
protected:
    JobFixture() : reader(settings) {
        settings.inputFileName = dir / "run.tlf";
        settings.outputFileName = dir / "run.out";
        settings.productIndex = 1;
        settings.delimiterChoice = 0;
        settings.headerRow = true;
        WriteFile(settings.inputFileName, "log bytes");
    }

    void Select(std::initializer_list<SelectedField> fields) { settings.selectedFields = fields; }

    JobOutcome Run() {
        TConvert job(reader, settings, dispatcher);
        job.RunHere();
        return job.outcome();
    }
    std::string Output() const { return ReadFile(settings.outputFileName); }

    TempDir dir;
    ConversionSettings settings;
    ScriptedReader reader;
    ImmediateDispatcher dispatcher;
    RecordingPresenter messages;
};

} // namespace mutaro::testing

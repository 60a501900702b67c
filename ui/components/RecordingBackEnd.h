#pragma once

#include <atomic>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/components/Components.h"

namespace mutaro {

// The headless back end: file dialogs answer from a queue of scripted choices (an empty queue is a
// Cancel), and everything the form asks of the back end is recorded for tests to read.
class RecordingBackEnd : public FormBackEnd {
public:
    // The next dialog returns this name; std::nullopt scripts a Cancel.
    void Answer(std::optional<std::string> choice) { answers_.push_back(std::move(choice)); }

    std::optional<std::string> RunFileDialog(const TFileDialog& dialog) override {
        shown.push_back(dialog);
        if (answers_.empty()) return std::nullopt;
        std::optional<std::string> choice = std::move(answers_.front());
        answers_.pop_front();
        return choice;
    }
    void StateChanged() override { ++stateChanges; }
    void CloseWindow() override { closed = true; }
    void ShowHelp() override { ++helpShown; }
    void ShowAbout() override { ++aboutShown; }

    std::vector<TFileDialog> shown;
    std::atomic<int> stateChanges{0};
    std::atomic<bool> closed{false};
    int helpShown = 0;
    int aboutShown = 0;

private:
    std::deque<std::optional<std::string>> answers_;
};

} // namespace mutaro

#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/Dispatcher.h"
#include "platform/Messages.h"

namespace mutaro::testing {

// Keeps every message as "CAPTION: TEXT" and installs itself as the message route while it lives.
class RecordingPresenter : public MessagePresenter {
public:
    RecordingPresenter() { InstallMessageRoute(&dispatcher_, this); }
    ~RecordingPresenter() override { InstallMessageRoute(nullptr, nullptr); }

    void Present(int, const std::string& caption, const std::string& text) override {
        std::lock_guard lock(mutex_);
        messages_.push_back(caption + ": " + text);
    }
    std::vector<std::string> messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    ImmediateDispatcher dispatcher_;
    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
};

} // namespace mutaro::testing

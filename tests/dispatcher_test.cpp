#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/Dispatcher.h"
#include "platform/Messages.h"
#include "platform/Thread.h"

namespace mutaro {
namespace {

class Recording : public MessagePresenter {
public:
    void Present(int, const std::string& caption, const std::string& text) override { last = caption + ": " + text; }
    std::string last;
};

TEST(DispatcherTest, AWorkersMessageBlocksItUntilTheWindowThreadHasShownIt) {
    QueuedDispatcher window;
    Recording presenter;
    InstallMessageRoute(&window, &presenter);
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        ReportMessage(kWarning, "%s %d", "level", 42);
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned.load());  // waiting for the window thread
    while (!returned.load()) {
        window.ProcessQueued();
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_EQ(presenter.last, "Warning: level 42");
    InstallMessageRoute(nullptr, nullptr);
}

TEST(DispatcherTest, MessagesAreCutAt511Characters) {
    ImmediateDispatcher window;
    Recording presenter;
    InstallMessageRoute(&window, &presenter);
    ReportMessage(kError, "%s", std::string(2000, 'x').c_str());
    EXPECT_EQ(presenter.last, "Error: " + std::string(511, 'x'));
    InstallMessageRoute(nullptr, nullptr);
}

// A worker that hands the window thread a call and is then destroyed from the window thread:
// destroy-and-wait keeps serving the worker's calls, so it never deadlocks.
class Chatty : public TThread {
public:
    using TThread::TThread;
    ~Chatty() override { TerminateAndWait(); }
    std::atomic<int> calls{0};

protected:
    void Execute() override {
        while (!Terminated()) Synchronize([this] { ++calls; });
    }
};

TEST(ThreadTest, DestroyingARunningWorkerServesItsQueuedCalls) {
    QueuedDispatcher window;
    {
        Chatty worker(window);
        worker.Start();
        while (worker.calls.load() < 3) window.ProcessQueued();
    }  // the destructor terminates the worker and waits, running its last queued call
    SUCCEED();
}

} // namespace
} // namespace mutaro

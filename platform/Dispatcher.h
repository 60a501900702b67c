#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace mutaro {

// The window thread, as the workers see it: Synchronize runs a call there and returns once it has
// run, so a worker that shows a message is blocked until the message is dismissed.
class Dispatcher {
public:
    virtual ~Dispatcher() = default;
    virtual void Synchronize(const std::function<void()>& call) = 0;
    // Runs the calls that workers have queued; the window thread calls it while it waits for a
    // worker, so a worker blocked in a call can never deadlock the window.
    virtual void ProcessQueued() {}
};

// Headless back end (tests, command line): the caller's thread is the window thread.
class ImmediateDispatcher : public Dispatcher {
public:
    void Synchronize(const std::function<void()>& call) override { call(); }
};

// A real window thread: calls from other threads are queued and run when the window thread calls
// ProcessQueued; calls made on the window thread itself run at once. `wake` tells the window's
// event loop that work is waiting (the Qt back end posts an event there).
class QueuedDispatcher : public Dispatcher {
public:
    explicit QueuedDispatcher(std::function<void()> wake = {});
    void Synchronize(const std::function<void()>& call) override;
    void ProcessQueued() override;
    // Makes the calling thread the window thread (the constructing thread is by default).
    void AdoptCurrentThread();

private:
    struct Pending {
        const std::function<void()>* call;
        bool done = false;
    };
    std::function<void()> wake_;
    std::mutex mutex_;
    std::condition_variable doneSignal_;
    std::deque<Pending*> queue_;
    std::thread::id windowThread_;
};

} // namespace mutaro

#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "platform/Dispatcher.h"

namespace mutaro {

// The worker-thread class the conversion job and the index pass run on: start, a terminate flag
// that only goes from clear to set, destroy-and-wait, and synchronous calls into the window thread.
class TThread {
public:
    explicit TThread(Dispatcher& dispatcher);
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }
    bool Finished() const { return finished_.load(); }
    bool Started() const { return worker_.joinable(); }
    // Waits for the end of Execute while running what the worker queues for the window thread.
    void WaitFor();

protected:
    virtual void Execute() = 0;
    void Synchronize(const std::function<void()>& call) { dispatcher_.Synchronize(call); }
    Dispatcher& dispatcher() { return dispatcher_; }
    // A subclass destructor calls this first, so Execute never runs on a half-destroyed object.
    void TerminateAndWait();

private:
    Dispatcher& dispatcher_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::thread worker_;
};

} // namespace mutaro

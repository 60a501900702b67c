#include "platform/Dispatcher.h"

#include <thread>

namespace mutaro {

QueuedDispatcher::QueuedDispatcher(std::function<void()> wake)
    : wake_(std::move(wake)), windowThread_(std::this_thread::get_id()) {}

void QueuedDispatcher::AdoptCurrentThread() {
    std::lock_guard lock(mutex_);
    windowThread_ = std::this_thread::get_id();
}

void QueuedDispatcher::Synchronize(const std::function<void()>& call) {
    {
        std::unique_lock lock(mutex_);
        if (std::this_thread::get_id() == windowThread_) {
            lock.unlock();
            call();
            return;
        }
    }
    Pending pending{&call};
    std::unique_lock lock(mutex_);
    queue_.push_back(&pending);
    if (wake_) {
        lock.unlock();
        wake_();
        lock.lock();
    }
    doneSignal_.wait(lock, [&] { return pending.done; });
}

void QueuedDispatcher::ProcessQueued() {
    std::unique_lock lock(mutex_);
    while (!queue_.empty()) {
        Pending* pending = queue_.front();
        queue_.pop_front();
        lock.unlock();
        (*pending->call)();
        lock.lock();
        pending->done = true;
        doneSignal_.notify_all();
    }
}

} // namespace mutaro

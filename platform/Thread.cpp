#include "platform/Thread.h"

#include <chrono>

namespace mutaro {

TThread::TThread(Dispatcher& dispatcher) : dispatcher_(dispatcher) {}

TThread::~TThread() { TerminateAndWait(); }

void TThread::Start() {
    if (worker_.joinable()) return;
    worker_ = std::thread([this] {
        Execute();
        finished_.store(true);
    });
}

void TThread::WaitFor() {
    if (!worker_.joinable()) return;
    if (worker_.get_id() == std::this_thread::get_id()) return;
    while (!finished_.load()) {
        dispatcher_.ProcessQueued();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    dispatcher_.ProcessQueued();
    worker_.join();
}

void TThread::TerminateAndWait() {
    Terminate();
    WaitFor();
}

} // namespace mutaro

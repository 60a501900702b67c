#include "platform/Messages.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "platform/Dispatcher.h"

namespace mutaro {

namespace {
std::atomic<Dispatcher*> routeDispatcher{nullptr};
std::atomic<MessagePresenter*> routePresenter{nullptr};
} // namespace

const char* MessageCaption(int kind) {
    switch (kind) {
    case kInformation: return "Information";
    case kWarning: return "Warning";
    default: return "Error";
    }
}

void StderrPresenter::Present(int kind, const std::string& caption, const std::string& text) {
    if (quiet && kind == kInformation) return;
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

void InstallMessageRoute(Dispatcher* dispatcher, MessagePresenter* presenter) {
    routeDispatcher.store(dispatcher);
    routePresenter.store(presenter);
}

void ReportMessage(int kind, const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);

    std::string caption = MessageCaption(kind);
    std::string body = text;
    MessagePresenter* presenter = routePresenter.load();
    Dispatcher* dispatcher = routeDispatcher.load();
    if (presenter == nullptr) {
        StderrPresenter fallback;
        fallback.Present(kind, caption, body);
        return;
    }
    if (dispatcher == nullptr) {
        presenter->Present(kind, caption, body);
        return;
    }
    dispatcher->Synchronize([&] { presenter->Present(kind, caption, body); });
}

} // namespace mutaro

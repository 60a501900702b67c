#pragma once

#include <string>

namespace mutaro {

class Dispatcher;

enum MessageKind : int { kInformation = 0, kWarning = 1, kError = 2 };

// "Information", "Warning" or "Error"; any other kind is shown as an error.
const char* MessageCaption(int kind);

// Shows one message and returns once the user has dismissed it (a modal box in the window,
// a line on stderr on the command line, a list in tests). Runs on the window thread.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void Present(int kind, const std::string& caption, const std::string& text) = 0;
};

// Prints "CAPTION: TEXT" on stderr; quiet mode drops Information messages.
class StderrPresenter : public MessagePresenter {
public:
    bool quiet = false;
    void Present(int kind, const std::string& caption, const std::string& text) override;
};

// Where ReportMessage goes: installed once by the program (or a test) before any worker starts.
// Without an installation messages go to stderr at once.
void InstallMessageRoute(Dispatcher* dispatcher, MessagePresenter* presenter);

// The one message routine: printf-style text of at most 511 characters, delivered through the
// dispatcher to the presenter; the caller is blocked until the message has been dismissed.
void ReportMessage(int kind, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace mutaro

#pragma once

#include <memory>
#include <optional>
#include <string>

#include <QMainWindow>

#include "gui/qt/Binder.h"
#include "platform/Dispatcher.h"
#include "platform/Messages.h"
#include "ui/MainForm.h"

class QDialog;
class QLabel;
class QProgressBar;
class QTimer;

namespace mutaro::qt {

// Message boxes: modal, with the caption and icon of the message kind.
class BoxPresenter : public MessagePresenter {
public:
    explicit BoxPresenter(QWidget*& owner) : owner_(owner) {}
    void Present(int kind, const std::string& caption, const std::string& text) override;

private:
    QWidget*& owner_;
};

// "A|*.x|B|*.y" as Qt writes a filter: "A (*.x);;B (*.y)".
QString QtFilter(const std::string& filter);

// The wizard window: renders the form's component objects and runs its handlers. It holds no
// wizard logic of its own.
class MainWindow : public QMainWindow, public FormBackEnd {
public:
    MainWindow(ReaderSet& readers, QueuedDispatcher& dispatcher);
    ~MainWindow() override;

    TMainForm& form() { return *form_; }
    Binder& binder() { return binder_; }

    std::optional<std::string> RunFileDialog(const TFileDialog& dialog) override;
    void StateChanged() override;
    void CloseWindow() override;
    void ShowHelp() override;
    void ShowAbout() override;

    // Runs what the workers queued for the window thread, then repaints.
    void RunQueued();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildSteps(QWidget* central);
    void BuildMenu();
    void BuildStatusBar();
    void BuildWaitDialog();
    void BuildHelpWindow();

    QueuedDispatcher& dispatcher_;
    Binder binder_;
    std::unique_ptr<TMainForm> form_;
    QTimer* timer_ = nullptr;
    QDialog* wait_ = nullptr;
    QDialog* help_ = nullptr;
};

} // namespace mutaro::qt

// mutaro-gui [FILE] [--screenshot PNG]: the wizard window. With FILE it behaves as if FILE had been
// chosen with Browse; --screenshot saves a picture of the window once it is drawn, then quits.

#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "gui/qt/MainWindow.h"
#include "platform/Messages.h"

namespace {

// An error that escapes an event handler is shown in an error box and the program goes on.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            QMessageBox::critical(nullptr, "Error", QString::fromUtf8(error.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, "Error", "An unexpected error occurred.");
        }
        return false;
    }
};

int Usage() {
    std::fprintf(stderr, "usage: mutaro-gui [FILE] [--screenshot PNG]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string file, screenshot;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) screenshot = argv[++i];
        else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return Usage() - 2;
        else if (argv[i][0] == '-' && argv[i][1] != '\0') return Usage();
        else if (file.empty()) file = argv[i];
        else return Usage();
    }

    Application app(argc, argv);
    // Qt takes the process locale from the environment; no number the program writes may depend on it.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("ZYT Mutaro CW");

    mutaro::qt::MainWindow* window = nullptr;
    mutaro::QueuedDispatcher dispatcher([&window] {
        QMetaObject::invokeMethod(qApp, [&window] { if (window) window->RunQueued(); }, Qt::QueuedConnection);
    });
    QWidget* owner = nullptr;
    mutaro::qt::BoxPresenter presenter(owner);
    mutaro::InstallMessageRoute(&dispatcher, &presenter);

    int status;
    {
        mutaro::qt::MainWindow main(mutaro::StaticReaders(), dispatcher);
        window = &main;
        owner = &main;
        // Centred on the screen.
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect area = screen->availableGeometry();
            main.move(area.center() - QPoint(main.width() / 2, main.height() / 2));
        }
        main.show();
        if (!file.empty())
            QTimer::singleShot(0, &main, [&main, file] { main.binder().Handle([&] { main.form().ChooseInputFile(file); }); });
        if (!screenshot.empty())
            QTimer::singleShot(1500, &main, [&main, screenshot] {
                main.form().WaitUntilIdle();
                main.RunQueued();
                bool saved = main.grab().save(QString::fromStdString(screenshot), "PNG");
                if (!saved) std::fprintf(stderr, "Error: cannot write %s\n", screenshot.c_str());
                QApplication::exit(saved ? 0 : 1);
            });
        status = app.exec();
        main.form().WaitUntilIdle();
        window = nullptr;
        owner = nullptr;
    }
    mutaro::InstallMessageRoute(nullptr, nullptr);
    return status;
}

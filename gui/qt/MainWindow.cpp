#include "gui/qt/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/HelpText.h"

namespace mutaro::qt {

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

void Place(QWidget* widget, int left, int top, int width, int height) { widget->setGeometry(left, top, width, height); }

} // namespace

void BoxPresenter::Present(int kind, const std::string& caption, const std::string& text) {
    QMessageBox box(kind == kInformation ? QMessageBox::Information
                    : kind == kWarning   ? QMessageBox::Warning
                                         : QMessageBox::Critical,
                    Q(caption), Q(text), QMessageBox::Ok, owner_);
    box.exec();
}

QString QtFilter(const std::string& filter) {
    if (filter.empty()) return {};
    QStringList parts = Q(filter).split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        // A description that already names its pattern, "Configuration Files (*.cfg)", keeps it once.
        entries << (description.endsWith("(" + pattern + ")") ? description : description + " (" + pattern + ")");
    }
    return entries.join(";;");
}

MainWindow::MainWindow(ReaderSet& readers, QueuedDispatcher& dispatcher)
    : dispatcher_(dispatcher), binder_(this) {
    form_ = std::make_unique<TMainForm>(readers, dispatcher, *this);
    setWindowTitle(Q(form_->caption));
    setFixedSize(form_->width, form_->height);

    auto* central = new QWidget(this);
    setCentralWidget(central);
    BuildSteps(central);
    BuildMenu();
    BuildStatusBar();
    BuildWaitDialog();
    BuildHelpWindow();

    timer_ = new QTimer(this);
    timer_->setInterval(form_->Timer.interval);
    connect(timer_, &QTimer::timeout, this, [this] { binder_.Handle([this] { form_->Timer.Tick(); }); });
    timer_->start();
    form_->Timer.Tick();
    binder_.Sync();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildSteps(QWidget* central) {
    TMainForm& f = *form_;
    Binder& b = binder_;

    QGroupBox* step1 = b.Group(f.Step1, central);
    Place(step1, 4, 0, 792, 78);
    Place(b.Label(f.InputLabel, step1), 10, 20, 48, 24);
    Place(b.Edit(f.InputFilename, step1), 60, 20, 380, 24);
    Place(b.Button(f.InBrowse, step1), 446, 20, 70, 24);
    Place(b.Label(f.InputFormatLabel, step1), 524, 20, 260, 24);
    Place(b.Label(f.OutputLabel, step1), 10, 48, 48, 24);
    Place(b.Edit(f.OutputFilename, step1), 60, 48, 380, 24);
    Place(b.Button(f.OutBrowse, step1), 446, 48, 70, 24);
    Place(b.CheckBox(f.cbSplit, step1), 524, 48, 100, 24);
    QPushButton* whatsThis = b.Button(f.sbHelp, step1);
    // A small button of its own with no caption: the question-mark icon says what it does.
    whatsThis->setIcon(style()->standardIcon(QStyle::SP_TitleBarContextHelpButton));
    Place(whatsThis, 628, 48, 24, 24);

    QGroupBox* step2 = b.Group(f.Step2, central);
    Place(step2, 4, 78, 792, 148);
    QGroupBox* receivers = b.Group(f.ReceiverGroup, step2);
    Place(receivers, 8, 18, 190, 46);
    int x = 10;
    for (TCheckBox* box : f.ReceiverSwitches()) {
        Place(b.CheckBox(*box, receivers), x, 18, 40, 22);
        x += 44;
    }
    auto* formatLabel = new QLabel(Q(f.OutputFormatGroup.caption), step2);
    Place(formatLabel, 8, 70, 222, 18);
    Place(b.Combo(f.OutputFormatGroup, step2), 8, 90, 222, 26);
    QGroupBox* reduction = b.Group(f.AverageGroup, step2);
    Place(reduction, 238, 18, 206, 124);
    Place(b.Radio(f.NoAvg, reduction), 10, 18, 150, 22);
    Place(b.Radio(f.BSAvg, reduction), 10, 44, 150, 22);
    Place(b.Radio(f.RadioButton1, reduction), 10, 70, 110, 22);
    Place(b.Button(f.btnChannelList, reduction), 122, 70, 76, 22);
    Place(b.Radio(f.RadioButton2, reduction), 10, 96, 110, 22);
    Place(b.Button(f.btnThreshold, reduction), 122, 96, 76, 22);
    QGroupBox* average = b.Group(f.GroupBox2, step2);
    Place(average, 450, 18, 122, 72);
    Place(b.Radio(f.cbAT_None, average), 10, 18, 100, 22);
    Place(b.Radio(f.LambdaAvg, average), 10, 44, 100, 22);
    Place(b.Tree(f.tvIndex, step2), 578, 18, 206, 124);

    QGroupBox* step3 = b.Group(f.Step3, central);
    Place(step3, 4, 226, 792, 172);
    auto* availableLabel = new QLabel(Q(f.AvailableBox.caption), step3);
    Place(availableLabel, 8, 16, 200, 16);
    Place(b.List(f.AvailableBox, step3), 8, 34, 200, 130);
    Place(b.Button(f.SelectField, step3), 214, 40, 40, 24);
    Place(b.Button(f.DeselectField, step3), 214, 70, 40, 24);
    Place(b.Button(f.SelectAll, step3), 214, 100, 40, 24);
    Place(b.Button(f.DeselectAll, step3), 214, 130, 40, 24);
    auto* selectedLabel = new QLabel(Q(f.SelectedBox.caption), step3);
    Place(selectedLabel, 260, 16, 200, 16);
    Place(b.List(f.SelectedBox, step3), 260, 34, 200, 130);
    Place(b.RadioGroup(f.DelimiterGroup, step3), 468, 16, 176, 96);
    Place(b.Edit(f.OtherDelimiter, step3), 612, 84, 24, 22);
    Place(b.CheckBox(f.FieldTitles, step3), 468, 120, 100, 24);
    QGroupBox* fieldData = b.Group(f.GroupBox1, step3);
    Place(fieldData, 652, 16, 132, 148);
    int y = 18;
    for (TCheckBox* box : {&f.FrequencyField, &f.ChannelField, &f.RSSIField, &f.SATField, &f.VMACField}) {
        Place(b.CheckBox(*box, fieldData), 10, y, 116, 22);
        y += 26;
    }

    QGroupBox* step4 = b.Group(f.Step4, central);
    Place(step4, 4, 398, 792, 50);

    // The step numbers, in the top right corner of each step's box.
    int number = 1;
    for (QGroupBox* step : {step1, step2, step3, step4}) {
        auto* badge = new QLabel(QString("<b>%1</b>").arg(number++), step);
        badge->setAlignment(Qt::AlignCenter);
        badge->setStyleSheet("QLabel { background: palette(highlight); color: palette(highlighted-text); border-radius: 7px; }");
        Place(badge, 772, 1, 15, 15);
    }
    Place(b.Button(f.btnConvert, step4), 10, 16, 120, 26);
    Place(b.Button(f.btnCancel, step4), 138, 16, 100, 26);
}

void MainWindow::BuildMenu() {
    for (TMenuItem* top : form_->MainMenu) {
        QMenu* menu = menuBar()->addMenu(Q(top->caption));
        for (TMenuItem* item : top->items) {
            if (item->IsSeparator()) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(Q(item->caption));
            connect(action, &QAction::triggered, this, [this, item] { binder_.Handle([item] { item->Click(); }); });
        }
    }
}

void MainWindow::BuildStatusBar() {
    TMainForm& f = *form_;
    QProgressBar* gauge = binder_.Gauge(f.ProgressBar, this);
    gauge->setFixedWidth(f.sbStatus.panels.empty() ? 575 : f.sbStatus.panels[0].width);
    gauge->setTextVisible(true);
    QLabel* clock = binder_.Label(f.olClock, this);
    clock->setFixedWidth(f.sbStatus.panels.size() < 2 ? 100 : f.sbStatus.panels[1].width);
    clock->setAlignment(Qt::AlignCenter);
    statusBar()->addWidget(gauge);
    statusBar()->addWidget(clock);
    statusBar()->setSizeGripEnabled(false);
}

void MainWindow::BuildWaitDialog() {
    TWaitDlg& w = form_->WaitDlg;
    wait_ = new QDialog(this, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    wait_->setWindowTitle(Q(w.caption));
    wait_->setModal(false);
    auto* layout = new QVBoxLayout(wait_);
    layout->addWidget(binder_.Label(w.Label1, wait_));
    layout->addWidget(binder_.Gauge(w.Gauge, wait_));
    wait_->setFixedSize(320, 90);
    // Shown without blocking while the index runs; the form says when.
    QDialog* dialog = wait_;
    TWaitDlg* state = &w;
    binder_.Custom([dialog, state] {
        if (state->visible && !dialog->isVisible()) dialog->show();
        if (!state->visible && dialog->isVisible()) dialog->hide();
    });
}

void MainWindow::BuildHelpWindow() {
    help_ = new QDialog(this);
    help_->setWindowTitle("Mutaro Help");
    help_->resize(696, 480);
    auto* layout = new QVBoxLayout(help_);
    auto* text = new QTextBrowser(help_);
    text->setHtml(Q(HelpManualHtml()));
    layout->addWidget(text);
    auto* ok = new QPushButton("OK", help_);
    connect(ok, &QPushButton::clicked, help_, &QDialog::close);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

std::optional<std::string> MainWindow::RunFileDialog(const TFileDialog& dialog) {
    QFileDialog chooser(this, Q(dialog.title));
    chooser.setNameFilter(QtFilter(dialog.filter));
    chooser.setAcceptMode(dialog.kind == TFileDialog::Kind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    chooser.setFileMode(dialog.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QString suffix = Q(dialog.defaultExt);
    while (suffix.startsWith('*') || suffix.startsWith('.')) suffix.remove(0, 1);
    if (!suffix.isEmpty()) chooser.setDefaultSuffix(suffix);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return std::nullopt;
    return chooser.selectedFiles().front().toStdString();
}

void MainWindow::StateChanged() { binder_.Sync(); }

void MainWindow::RunQueued() {
    dispatcher_.ProcessQueued();
    binder_.Sync();
}

void MainWindow::CloseWindow() { close(); }

void MainWindow::ShowHelp() {
    help_->show();
    help_->raise();
}

void MainWindow::ShowAbout() { QMessageBox::about(this, "About", Q(AboutText())); }

void MainWindow::closeEvent(QCloseEvent* event) {
    timer_->stop();
    event->accept();
}

} // namespace mutaro::qt

// The window back end, on Qt's offscreen platform: it renders the form's objects and runs the
// form's handlers, nothing more.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>

#include "gui/qt/MainWindow.h"
#include "support/FormFixture.h"
#include "ui/HelpText.h"

namespace mutaro::testing {
namespace {

class WindowTest : public ::testing::Test {
protected:
    WindowTest() { InstallMessageRoute(&dispatcher, &presenter); }
    ~WindowTest() override {
        window.form().WaitUntilIdle();
        InstallMessageRoute(nullptr, nullptr);
    }
    template <class Widget>
    Widget* Find(const char* name) {
        Widget* widget = window.findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    class Recording : public MessagePresenter {
    public:
        void Present(int, const std::string& caption, const std::string& text) override {
            shown.push_back(caption + ": " + text);
        }
        std::vector<std::string> shown;
    } presenter;
    TempDir dir;
    ConversionSettings settings;
    ReaderSet readers{settings};
    QueuedDispatcher dispatcher;
    qt::MainWindow window{readers, dispatcher};
};

TEST_F(WindowTest, TitleSizeStepsAndCaptions) {
    EXPECT_EQ(window.windowTitle(), "ZYT Mutaro CW");
    EXPECT_EQ(window.size(), QSize(800, 504));
    EXPECT_EQ(Find<QGroupBox>("Step1")->title(), "Select Input / Output");
    EXPECT_EQ(Find<QGroupBox>("Step2")->title(), "Choose Formatting Options");
    EXPECT_EQ(Find<QGroupBox>("Step3")->title(), "Select Data And Fields Which Are To Be In The Output File");
    EXPECT_EQ(Find<QGroupBox>("Step4")->title(), "Convert The Input File");
    EXPECT_LT(Find<QGroupBox>("Step1")->y(), Find<QGroupBox>("Step2")->y());
    EXPECT_LT(Find<QGroupBox>("Step3")->y(), Find<QGroupBox>("Step4")->y());
    EXPECT_EQ(Find<QPushButton>("btnConvert")->text(), "Convert Data");
    EXPECT_EQ(Find<QComboBox>("OutputFormatGroup")->currentText(), "Custom ASCII Configuration");
    EXPECT_EQ(Find<QGroupBox>("DelimiterGroup")->title(), "Field Delimiter");
    EXPECT_EQ(Find<QListWidget>("AvailableBox")->item(0)->text(), "<< DATA >>");
    // The hidden state holders are never shown.
    EXPECT_EQ(window.findChild<QWidget*>("InputFormatGroup"), nullptr);
    EXPECT_EQ(window.findChild<QWidget*>("ScanTypeGroup"), nullptr);
    EXPECT_EQ(Find<QProgressBar>("ProgressBar")->width(), 575);
    EXPECT_EQ(Find<QLabel>("olClock")->width(), 100);
    EXPECT_FALSE(Find<QPushButton>("btnChannelList")->isEnabled());
}

TEST_F(WindowTest, MenuHoldsTheEntriesInOrder) {
    QStringList seen;
    for (QAction* top : window.menuBar()->actions()) {
        seen << top->text();
        for (QAction* item : top->menu()->actions()) seen << (item->isSeparator() ? "-" : item->text());
    }
    EXPECT_EQ(seen, (QStringList{"&Application", "Open Configuration", "Save Configuration", "-", "E&xit", "&Help",
                                 "Contents && Index", "-", "About"}));
}

TEST_F(WindowTest, WidgetsRunTheFormsHandlersAndShowTheResult) {
    auto* available = Find<QListWidget>("AvailableBox");
    available->setCurrentRow(0);
    Find<QPushButton>("SelectField")->click();
    Find<QPushButton>("SelectField")->click();
    ASSERT_EQ(window.form().SelectedBox.Count(), 2);
    EXPECT_EQ(Find<QListWidget>("SelectedBox")->count(), 2);

    // A preset from the list: the form applies it, the window shows what it changed.
    auto* formats = Find<QComboBox>("OutputFormatGroup");
    formats->activated(6);  // "MLJ PathPro": fixed format
    EXPECT_TRUE(window.form().FixedFormat());
    EXPECT_EQ(Find<QListWidget>("SelectedBox")->count(), 0);
    EXPECT_FALSE(Find<QPushButton>("SelectField")->isEnabled());
    EXPECT_TRUE(Find<QGroupBox>("DelimiterGroup")->isHidden());
    EXPECT_EQ(window.form().OutputFilename.text, "MLJ.M01");
}

TEST_F(WindowTest, TreeShowsTheIndexAndAClickTogglesADataSet) {
    const std::string log = dir / "run.tlf";
    WriteFile(log, Bytes(ThreeRunLog()));
    window.binder().Handle([&] { window.form().ChooseInputFile(log); });
    window.form().WaitUntilIdle();
    window.RunQueued();

    auto* tree = Find<QTreeWidget>("tvIndex");
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    QTreeWidgetItem* fast = tree->topLevelItem(1);
    EXPECT_EQ(fast->text(0), "Fast Data");
    ASSERT_EQ(fast->childCount(), 2);
    QTreeWidgetItem* second = fast->child(1);
    EXPECT_EQ(second->text(0), "10:00:04");
    EXPECT_EQ(second->checkState(0), Qt::Checked);
    tree->itemClicked(second, 0);
    EXPECT_EQ(tree->topLevelItem(1)->child(1)->checkState(0), Qt::Unchecked);
    tree->itemClicked(tree->topLevelItem(1), 0);  // a group entry: nothing changes
    EXPECT_EQ(tree->topLevelItem(1)->child(1)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(Find<QLabel>("InputFormatLabel")->text(), "ZYT Talvor");
}

TEST_F(WindowTest, HelpWindowHoldsTheManualUnderItsHeadings) {
    window.form().ContentsIndex1.Click();
    QDialog* help = nullptr;
    for (QDialog* dialog : window.findChildren<QDialog*>())
        if (dialog->windowTitle() == "Mutaro Help") help = dialog;
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->size(), QSize(696, 480));
    const QString text = help->findChild<QTextBrowser*>()->toPlainText();
    int at = 0;
    for (std::string_view heading : HelpHeadings()) {
        int found = text.indexOf(QString::fromUtf8(heading.data(), static_cast<int>(heading.size())), at);
        EXPECT_GE(found, at) << heading;
        at = found < 0 ? at : found;
    }
    EXPECT_TRUE(text.contains("Do not edit configuration files by hand"));
    help->findChild<QPushButton*>()->click();
    EXPECT_FALSE(help->isVisible());
}

TEST(QtFilterTest, DialogFiltersInQtsForm) {
    EXPECT_EQ(qt::QtFilter("Configuration Files (*.cfg)|*.cfg"), "Configuration Files (*.cfg)");
    EXPECT_EQ(qt::QtFilter("Talvor Log File |*.tlf|Dravik Log File|*.dlf"),
              "Talvor Log File (*.tlf);;Dravik Log File (*.dlf)");
    EXPECT_EQ(qt::QtFilter(""), "");
}

} // namespace
} // namespace mutaro::testing

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#pragma once

// Renders the form's component objects as Qt widgets: one widget per object, the object's state
// copied to its widget after every handler, and widget signals turned into the objects' events.

#include <functional>
#include <vector>

#include <QObject>

#include "ui/components/Components.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QWidget;

namespace mutaro::qt {

class Binder : public QObject {
public:
    explicit Binder(QObject* parent = nullptr) : QObject(parent) {}

    QLabel* Label(TLabel& label, QWidget* parent);
    QPushButton* Button(TButton& button, QWidget* parent);
    QLineEdit* Edit(TEdit& edit, QWidget* parent);
    QCheckBox* CheckBox(TCheckBox& box, QWidget* parent);
    QRadioButton* Radio(TRadioButton& button, QWidget* parent);
    QGroupBox* Group(TGroupBox& group, QWidget* parent);
    // A choice group: a box of choice buttons, one per item, laid out in `columns` columns.
    QGroupBox* RadioGroup(TRadioGroup& group, QWidget* parent);
    QComboBox* Combo(TComboBox& combo, QWidget* parent);
    QListWidget* List(TListBox& list, QWidget* parent);
    QTreeWidget* Tree(TTreeView& tree, QWidget* parent);
    QProgressBar* Gauge(TGauge& gauge, QWidget* parent);

    // A state copy of the window's own (a dialog's visibility), run with the others.
    void Custom(std::function<void()> sync) { syncs_.push_back(std::move(sync)); }
    // Copies every object's state to its widget.
    void Sync();
    // Runs a handler of the form, then brings the widgets up to date; an error that escapes the
    // handler is shown in an error box and the program goes on.
    void Handle(const std::function<void()>& handler);

private:
    void Common(TControl& control, QWidget* widget);
    std::vector<std::function<void()>> syncs_;
    bool syncing_ = false;
};

} // namespace mutaro::qt

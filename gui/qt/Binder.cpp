#include "gui/qt/Binder.h"

#include <exception>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace mutaro::qt {

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

// The check-state images of the tree: 2 ticked in, 1 ticked out, 0 none.
Qt::CheckState StateOfImage(int image) { return image == 2 ? Qt::Checked : Qt::Unchecked; }
} // namespace

void Binder::Common(TControl& control, QWidget* widget) {
    widget->setObjectName(Q(control.name));
    syncs_.push_back([&control, widget] {
        widget->setEnabled(control.enabled);
        widget->setVisible(control.visible);
        widget->setToolTip(Q(control.hint));
        if (control.bounds.width > 0)
            widget->setGeometry(control.bounds.left, control.bounds.top, control.bounds.width, control.bounds.height);
    });
}

void Binder::Handle(const std::function<void()>& handler) {
    if (syncing_) return;  // a widget echoing our own update is no user action
    try {
        handler();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, "Error", QString::fromUtf8(error.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, "Error", "An unexpected error occurred.");
    }
    Sync();
}

void Binder::Sync() {
    syncing_ = true;
    for (auto& sync : syncs_) sync();
    syncing_ = false;
}

QLabel* Binder::Label(TLabel& label, QWidget* parent) {
    auto* widget = new QLabel(parent);
    Common(label, widget);
    syncs_.push_back([&label, widget] { widget->setText(Q(label.caption)); });
    return widget;
}

QPushButton* Binder::Button(TButton& button, QWidget* parent) {
    auto* widget = new QPushButton(parent);
    Common(button, widget);
    syncs_.push_back([&button, widget] { widget->setText(Q(button.caption)); });
    connect(widget, &QPushButton::clicked, this, [this, &button] { Handle([&] { button.Click(); }); });
    return widget;
}

QLineEdit* Binder::Edit(TEdit& edit, QWidget* parent) {
    auto* widget = new QLineEdit(parent);
    Common(edit, widget);
    syncs_.push_back([&edit, widget] {
        if (edit.maxLength != 0) widget->setMaxLength(static_cast<int>(edit.maxLength));
        if (widget->text() != Q(edit.text)) widget->setText(Q(edit.text));
    });
    // Typing changes the object at once; no handler runs, and no Sync, so the caret stays put.
    connect(widget, &QLineEdit::textEdited, this,
            [this, &edit](const QString& text) { if (!syncing_) edit.SetText(text.toStdString()); });
    return widget;
}

QCheckBox* Binder::CheckBox(TCheckBox& box, QWidget* parent) {
    auto* widget = new QCheckBox(parent);
    Common(box, widget);
    syncs_.push_back([&box, widget] {
        widget->setText(Q(box.caption));
        widget->setChecked(box.checked);
    });
    connect(widget, &QCheckBox::clicked, this, [this, &box] { Handle([&] { box.Click(); }); });
    return widget;
}

QRadioButton* Binder::Radio(TRadioButton& button, QWidget* parent) {
    auto* widget = new QRadioButton(parent);
    widget->setAutoExclusive(false);  // the objects decide which choice is on
    Common(button, widget);
    syncs_.push_back([&button, widget] {
        widget->setText(Q(button.caption));
        widget->setChecked(button.checked);
    });
    connect(widget, &QRadioButton::clicked, this, [this, &button] { Handle([&] { button.Click(); }); });
    return widget;
}

QGroupBox* Binder::Group(TGroupBox& group, QWidget* parent) {
    auto* widget = new QGroupBox(parent);
    Common(group, widget);
    syncs_.push_back([&group, widget] { widget->setTitle(Q(group.caption)); });
    return widget;
}

QGroupBox* Binder::RadioGroup(TRadioGroup& group, QWidget* parent) {
    auto* widget = new QGroupBox(parent);
    Common(group, widget);
    auto* grid = new QGridLayout(widget);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(0);
    const int columns = group.columns < 1 ? 1 : group.columns;
    const int rows = (static_cast<int>(group.items.size()) + columns - 1) / columns;
    std::vector<QRadioButton*> buttons;
    for (std::size_t i = 0; i < group.items.size(); ++i) {
        auto* button = new QRadioButton(widget);
        button->setAutoExclusive(false);
        grid->addWidget(button, static_cast<int>(i) % rows, static_cast<int>(i) / rows);
        const int item = static_cast<int>(i);
        connect(button, &QRadioButton::clicked, this, [this, &group, item] {
            Handle([&] { if (group.Usable()) group.SetItemIndex(item); });
        });
        buttons.push_back(button);
    }
    syncs_.push_back([&group, widget, buttons] {
        widget->setTitle(Q(group.caption));
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            buttons[i]->setText(i < group.items.size() ? Q(group.items[i]) : QString());
            buttons[i]->setChecked(static_cast<int>(i) == group.itemIndex);
        }
    });
    return widget;
}

QComboBox* Binder::Combo(TComboBox& combo, QWidget* parent) {
    auto* widget = new QComboBox(parent);
    Common(combo, widget);
    syncs_.push_back([&combo, widget] {
        if (widget->count() != static_cast<int>(combo.items.size())) {
            widget->clear();
            for (const auto& item : combo.items) widget->addItem(Q(item));
        }
        widget->setCurrentIndex(combo.itemIndex);
    });
    connect(widget, QOverload<int>::of(&QComboBox::activated), this,
            [this, &combo](int index) { Handle([&] { combo.Choose(index); }); });
    return widget;
}

QListWidget* Binder::List(TListBox& list, QWidget* parent) {
    auto* widget = new QListWidget(parent);
    Common(list, widget);
    syncs_.push_back([&list, widget] {
        bool same = widget->count() == list.Count();
        for (int i = 0; same && i < list.Count(); ++i) same = widget->item(i)->text() == Q(list.items[i]);
        if (!same) {
            widget->clear();
            for (const auto& item : list.items) widget->addItem(Q(item));
        }
        widget->setCurrentRow(list.itemIndex);
    });
    connect(widget, &QListWidget::currentRowChanged, this, [this, &list](int row) {
        if (!syncing_) list.Highlight(row);
    });
    return widget;
}

QTreeWidget* Binder::Tree(TTreeView& tree, QWidget* parent) {
    auto* widget = new QTreeWidget(parent);
    Common(tree, widget);
    widget->setHeaderHidden(true);
    widget->setColumnCount(1);
    syncs_.push_back([&tree, widget] {
        // Rebuild only when the entries changed; otherwise just bring the ticks up to date.
        std::vector<QTreeWidgetItem*> items;
        bool same = widget->property("nodeCount").toInt() == static_cast<int>(tree.nodes.size());
        if (same) {
            QTreeWidgetItemIterator it(widget);
            for (; *it; ++it) items.push_back(*it);
            same = items.size() == tree.nodes.size();
        }
        if (!same) {
            widget->clear();
            items.assign(tree.nodes.size(), nullptr);
            for (std::size_t i = 0; i < tree.nodes.size(); ++i) {
                const TTreeNode& node = tree.nodes[i];
                QTreeWidgetItem* parentItem =
                    node.parent >= 0 && static_cast<std::size_t>(node.parent) < i ? items[node.parent] : nullptr;
                auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(widget);
                item->setText(0, Q(node.text));
                item->setData(0, Qt::UserRole, static_cast<int>(i));
                // Ticks change through the form's handler only, never by Qt on its own.
                item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
                items[i] = item;
            }
            widget->setProperty("nodeCount", static_cast<int>(tree.nodes.size()));
        }
        for (QTreeWidgetItem* item : items) {
            const int i = item->data(0, Qt::UserRole).toInt();
            if (i < 0 || static_cast<std::size_t>(i) >= tree.nodes.size()) continue;
            const TTreeNode& node = tree.nodes[i];
            if (node.stateIndex != 0) item->setCheckState(0, StateOfImage(node.stateIndex));
            item->setExpanded(node.expanded);
        }
    });
    // The tree is read-only: a release over an entry is passed to the form, which decides.
    connect(widget, &QTreeWidget::itemClicked, this, [this, &tree](QTreeWidgetItem* item, int) {
        const int node = item ? item->data(0, Qt::UserRole).toInt() : -1;
        Handle([&] { tree.MouseUp(node); });
    });
    return widget;
}

QProgressBar* Binder::Gauge(TGauge& gauge, QWidget* parent) {
    auto* widget = new QProgressBar(parent);
    Common(gauge, widget);
    syncs_.push_back([&gauge, widget] {
        widget->setRange(gauge.minValue, gauge.maxValue);
        widget->setValue(gauge.progress);
    });
    return widget;
}

} // namespace mutaro::qt

#pragma once

// Plain objects for the controls the wizard form is written against. They hold exactly the state
// the form logic reads and writes; a back end (headless, or the Qt window) renders them and turns
// user actions into the calls below. Nothing here asks a toolkit anything.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Convert.h"

namespace mutaro {

using Event = std::function<void()>;

struct TRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TRect&) const = default;
};

struct TControl {
    explicit TControl(std::string name_, std::string caption_ = {}) : name(std::move(name_)), caption(std::move(caption_)) {}
    std::string name;
    std::string caption;
    std::string hint;
    bool enabled = true;
    bool visible = true;
    TRect bounds;
    // What a person can reach with the mouse or the keyboard.
    bool Usable() const { return enabled && visible; }
};

struct TLabel : TControl {
    using TControl::TControl;
};

struct TGroupBox;

struct TButton : TControl {
    using TControl::TControl;
    Event onClick;
    // A person's click: nothing happens on a control that cannot be reached.
    void Click() {
        if (Usable() && onClick) onClick();
    }
};

// A text box; maxLength 0 means no limit.
struct TEdit : TControl {
    using TControl::TControl;
    std::string text;
    std::size_t maxLength = 0;
    // Typing or pasting: the box keeps at most maxLength characters.
    void SetText(std::string_view value) {
        text = maxLength != 0 && value.size() > maxLength ? std::string(value.substr(0, maxLength)) : std::string(value);
    }
};

struct TCheckBox : TControl {
    using TControl::TControl;
    bool checked = false;
    Event onClick;
    void Click() {
        if (!Usable()) return;
        checked = !checked;
        if (onClick) onClick();
    }
};

// A choice button; choosing one turns off the other choice buttons of its group box.
struct TRadioButton : TControl {
    using TControl::TControl;
    bool checked = false;
    TGroupBox* group = nullptr;
    Event onClick;
    void Choose();  // from the program: no usability check
    void Click() {
        if (Usable()) Choose();
    }
};

struct TGroupBox : TControl {
    using TControl::TControl;
    std::vector<TRadioButton*> choices;
    void Hold(TRadioButton& button) {
        button.group = this;
        choices.push_back(&button);
    }
};

inline void TRadioButton::Choose() {
    if (group != nullptr)
        for (TRadioButton* other : group->choices)
            if (other != this) other->checked = false;
    checked = true;
    if (onClick) onClick();
}

// A group of choice buttons addressed by item index; -1 when no item is chosen. Changing the index,
// from the program too, runs onClick, as the product selection relies on.
struct TRadioGroup : TControl {
    using TControl::TControl;
    std::vector<std::string> items;
    int itemIndex = -1;
    int columns = 1;
    Event onClick;
    void SetItemIndex(int index) {
        if (index < -1 || index >= static_cast<int>(items.size())) index = -1;
        if (index == itemIndex) return;
        itemIndex = index;
        if (onClick) onClick();
    }
};

// A drop-down list. Setting the index from the program runs no handler; a person's choice does.
struct TComboBox : TControl {
    using TControl::TControl;
    std::vector<std::string> items;
    int itemIndex = -1;
    std::string text;
    Event onChange;
    void SetItemIndex(int index) {
        itemIndex = index >= 0 && index < static_cast<int>(items.size()) ? index : -1;
        text = itemIndex >= 0 ? items[itemIndex] : std::string();
    }
    void Choose(int index) {
        if (!Usable()) return;
        SetItemIndex(index);
        if (onChange) onChange();
    }
    // Text typed into the box: the matching entry, or index -1 when none matches.
    void Type(std::string_view typed) {
        if (!Usable()) return;
        itemIndex = -1;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == typed) itemIndex = static_cast<int>(i);
        text = std::string(typed);
        if (onChange) onChange();
    }
};

// A list; itemIndex is the highlighted entry, -1 for none.
struct TListBox : TControl {
    using TControl::TControl;
    std::vector<std::string> items;
    int itemIndex = -1;
    int Count() const { return static_cast<int>(items.size()); }
    void Clear() {
        items.clear();
        itemIndex = -1;
    }
    void Add(std::string_view item) { items.emplace_back(item); }
    void Delete(int index) {
        if (index < 0 || index >= Count()) return;
        items.erase(items.begin() + index);
        itemIndex = -1;
    }
    void Highlight(int index) { itemIndex = index >= 0 && index < Count() ? index : -1; }
};

// A tree of entries with state images (the image list's numbers: 2 ticked in, 1 ticked out,
// 0 none). Entries are addressed by number, stable until the next Clear.
struct TTreeNode {
    std::string text;
    int parent = -1;        // -1: a top-level entry
    int stateIndex = 0;
    int data = -1;          // what the form attaches (the data-set number of a data-set entry)
    bool expanded = false;
};

struct TTreeView : TControl {
    using TControl::TControl;
    std::vector<TTreeNode> nodes;  // in tree order within each parent: children follow their adding order
    bool readOnly = true;
    // Mouse button released: the back end passes the entry under the pointer, -1 when there is none.
    std::function<void(int node)> onMouseUp;

    void Clear() { nodes.clear(); }
    int Add(int parent, std::string_view text, int stateIndex = 0, int data = -1) {
        nodes.push_back(TTreeNode{std::string(text), parent, stateIndex, data, false});
        return static_cast<int>(nodes.size()) - 1;
    }
    bool Valid(int node) const { return node >= 0 && node < static_cast<int>(nodes.size()); }
    void FullExpand() {
        for (TTreeNode& node : nodes) node.expanded = true;
    }
    std::vector<int> Children(int parent) const {
        std::vector<int> found;
        for (int i = 0; i < static_cast<int>(nodes.size()); ++i)
            if (nodes[i].parent == parent) found.push_back(i);
        return found;
    }
    void MouseUp(int node) {
        if (Usable() && onMouseUp) onMouseUp(node);
    }
};

// The progress gauge, 0 to 100 %. It is where a job shows its progress; observers (the command
// line's percentage display) hear every change.
struct TGauge : TControl, ProgressSink {
    using TControl::TControl;
    int minValue = 0, maxValue = 100;
    int progress = 0;
    std::function<void(int)> onProgress;
    void SetProgress(int percent) override {
        progress = percent < minValue ? minValue : (percent > maxValue ? maxValue : percent);
        if (onProgress) onProgress(progress);
    }
};

struct TTimer {
    int interval = 1000;  // milliseconds
    bool enabled = true;
    Event onTimer;
    void Tick() {
        if (enabled && onTimer) onTimer();
    }
};

// A menu entry; the caption "-" is a separator.
struct TMenuItem : TControl {
    using TControl::TControl;
    std::vector<TMenuItem*> items;
    Event onClick;
    bool IsSeparator() const { return caption == "-"; }
    void Click() {
        if (Usable() && onClick) onClick();
    }
};

struct TStatusPanel {
    int width = 0;
    bool ownerDraw = false;
};

struct TStatusBar : TControl {
    using TControl::TControl;
    std::vector<TStatusPanel> panels;
    std::function<void(int panel, const TRect& rect)> onDrawPanel;
};

// An open or save dialog: what it shows. The back end runs it and returns the chosen name, or
// nothing when the user cancels.
struct TFileDialog {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    std::string title;
    std::string filter;
    std::string defaultExt;
    bool mustExist = false;
};

// What the form needs from the back end beyond its component objects.
class FormBackEnd {
public:
    virtual ~FormBackEnd() = default;
    virtual std::optional<std::string> RunFileDialog(const TFileDialog& dialog) = 0;
    // A worker changed component state through the window thread: the window repaints.
    virtual void StateChanged() {}
    // The main window closes, which ends the program.
    virtual void CloseWindow() {}
    // The help window, shown without blocking, and the About box, shown modal.
    virtual void ShowHelp() {}
    virtual void ShowAbout() {}
};

} // namespace mutaro

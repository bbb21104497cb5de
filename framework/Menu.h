#pragma once
// Menus as data (MenuItem trees with names, captions and shortcuts) and
// their rendering into a Qt menu bar. The Edit commands act on the focused
// text field without any handler of the program's own.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;

namespace fw {

class MenuItem;
using MenuItemRef = std::shared_ptr<MenuItem>;

class MenuItem {
public:
    virtual ~MenuItem();
    // The framework's default item: no name, no caption, enabled by the framework.
    void Constructor() {}

    const QString& Name() const { return name_; }
    void Name(const QString& name) { name_ = name; }
    // "&" marks the access key; "-" is a separator line.
    const QString& Text() const { return text_; }
    void Text(const QString& text) { text_ = text; }
    // "Cmd+Q": the command key is Ctrl on this desktop. Empty: none.
    const QString& KeyboardShortcut() const { return shortcut_; }
    void KeyboardShortcut(const QString& shortcut)
    {
        shortcut_ = shortcut;
        shortcutSet_ = true;
    }
    bool ShortcutAssigned() const { return shortcutSet_; }
    bool AutoEnable() const { return autoEnable_; }
    void AutoEnable(bool on) { autoEnable_ = on; }
    bool IsSeparator() const { return text_ == QLatin1String("-"); }

    void Append(MenuItemRef item);
    int Count() const { return static_cast<int>(children_.size()); }
    MenuItemRef Item(int index) const;
    // The direct child of that name, or nil.
    MenuItemRef Child(const QString& name) const;
    // The item of that name anywhere below this one, or nil.
    MenuItemRef Lookup(const QString& name) const;

    // Choosing the item. True when the item handled it.
    virtual bool Event_Action() { return false; }

private:
    QString name_, text_, shortcut_;
    bool shortcutSet_ = false;
    bool autoEnable_ = false;
    std::vector<MenuItemRef> children_;
};

// Choosing it quits the application.
class QuitMenuItem : public MenuItem {
public:
    bool Event_Action() override;
};

// The root of a menu tree: its children are the menus.
class MenuBar : public MenuItem {};

// The standard editing commands, found by the item's name.
enum class EditCommand { None, Undo, Cut, Copy, Paste, Clear, SelectAll };
EditCommand EditCommandFor(const QString& itemName);
// Whether the command can act on the widget (a line or plain-text editor).
bool CanEdit(EditCommand command, const QWidget* editor);
void RunEdit(EditCommand command, QWidget* editor);

// A menu tree rendered for one window: a visible bar, or (for a window
// without a bar of its own) only the shortcuts.
class MenuView {
public:
    MenuView(QMainWindow& frame, std::shared_ptr<MenuBar> bar, bool visibleBar);
    ~MenuView();
    MenuView(const MenuView&) = delete;
    MenuView& operator=(const MenuView&) = delete;

    // Enables each item by whether it can act now.
    void UpdateEnabled();
    QAction* ActionFor(const QString& itemName) const;

private:
    struct Entry {
        QAction* action;
        MenuItemRef item;
    };
    void Build(QWidget* menuParent, QMenu* into, const MenuItemRef& item);
    void Choose(const MenuItemRef& item);
    // The widget the Edit commands act on: the focused one, or the one the
    // menu bar took the focus from.
    QWidget* EditTarget() const;

    QMainWindow& frame_;
    std::shared_ptr<MenuBar> bar_;
    std::vector<Entry> entries_;
    std::vector<QMenu*> menus_;
    std::vector<QAction*> hidden_;
    QPointer<QWidget> editTarget_;
};

}  // namespace fw

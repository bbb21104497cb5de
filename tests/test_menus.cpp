// The menu bar: its tree, its one shared instance, and the Edit commands acting on the focused field.
#include "ControlWnd.h"
#include "MenuBar1.h"
#include "Runtime.h"
#include "TestSupport.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// The calculator's menu action with this caption, its state updated as opening the menu does.
QAction* Action(const QString& text)
{
    for (QAction* top : ControlWnd().Frame()->menuBar()->actions()) {
        emit top->menu()->aboutToShow();
        for (QAction* a : top->menu()->actions())
            if (a->text() == text)
                return a;
    }
    return nullptr;
}

QLineEdit* Focus(fw::EditField& field)
{
    field.Owner().Frame()->activateWindow();
    field.SetFocus();
    Settle();
    return field.LineEdit();
}

QString Clip() { return QGuiApplication::clipboard()->text(); }

void Clip(const QString& text) { QGuiApplication::clipboard()->setText(text); }

}  // namespace

// The second call shares the bar and builds nothing more; a nullptr shortcut: a separator, never assigned.
TEST(MenuBar1, TreeInOrderAndOneSharedInstance)
{
    const fw::MenuItemRef bar = MenuBar1();
    ASSERT_EQ(MenuBar1(), bar);
    const struct { const char *name, *text, *shortcut; } rows[] = {
        {"FileMenu", "&File", ""},       {"FileQuit", "Quit", "Cmd+Q"},     {"EditMenu", "&Edit", ""},
        {"EditUndo", "&Undo", "Cmd+Z"},  {"UntitledMenu1", "-", nullptr},  {"EditCut", "Cu&t", "Cmd+X"},
        {"EditCopy", "&Copy", "Cmd+C"},  {"EditPaste", "&Paste", "Cmd+V"}, {"EditClear", "Clear", ""},
        {"UntitledMenu0", "-", nullptr}, {"EditSelectAll", "Select &All", "Cmd+A"}};
    std::vector<fw::MenuItemRef> tree;
    for (int m = 0; m < bar->Count(); ++m) {
        tree.push_back(bar->Item(m));
        for (int i = 0; i < bar->Item(m)->Count(); ++i)
            tree.push_back(bar->Item(m)->Item(i));
    }
    ASSERT_EQ(tree.size(), std::size(rows));
    for (std::size_t i = 0; i < tree.size(); ++i) {
        const auto& r = rows[i];
        SCOPED_TRACE(r.name);
        EXPECT_EQ(tree[i]->Name(), r.name);
        EXPECT_EQ(tree[i]->Text(), r.text);
        EXPECT_EQ(tree[i]->ShortcutAssigned(), r.shortcut != nullptr);
        EXPECT_TRUE(!r.shortcut || tree[i]->KeyboardShortcut() == r.shortcut);
        EXPECT_EQ(dynamic_cast<fw::QuitMenuItem*>(tree[i].get()) != nullptr, tree[i]->Name() == "FileQuit");
        EXPECT_EQ(bar->Lookup(r.name), tree[i]);
    }
}

// Paste passes by the key filter, which refuses the minus, not by the limit; the read-only result only copies.
TEST(Menus, EditCommandsActOnTheFocusedFieldWhereTheyCan)
{
    auto& calc = ControlWnd();
    auto& rxx = calc.ControlNamed<fw::EditField>("RxxFld");
    Type(rxx, ".85");
    Clip("");
    QLineEdit* line = Focus(rxx);
    for (const char* item : {"Cu&t", "&Copy", "Clear", "&Paste"})
        EXPECT_FALSE(Action(item)->isEnabled()) << item;
    line->setSelection(1, 2);
    Action("Cu&t")->trigger();
    EXPECT_EQ(rxx.Text(), ".");
    EXPECT_EQ(Clip(), "85");
    Action("Select &All")->trigger();
    Clip("-123456789");
    Action("&Paste")->trigger();
    EXPECT_EQ(rxx.Text(), "-12345");
    EXPECT_EQ(fw::BeepCount(), 0);
    auto& rd = calc.ControlNamed<fw::EditField>("RdFld");
    rd.Text(".7000");
    Focus(rd)->selectAll();
    for (const char* item : {"Cu&t", "&Paste", "Clear"})
        EXPECT_FALSE(Action(item)->isEnabled()) << item;
    Action("&Copy")->trigger();
    EXPECT_EQ(Clip(), ".7000");
}

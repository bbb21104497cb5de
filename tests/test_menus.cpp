// The menu bar: its tree, its one shared instance, and the menus as the
// windows show them, whose Edit commands act on the focused field.
#include "App.h"
#include "ControlWnd.h"
#include "HelpWnd.h"
#include "MenuBar1.h"
#include "Runtime.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>

// Readable failure messages.
void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

struct Row {
    const char* name;
    const char* text;
    std::optional<const char*> shortcut;  // nullopt: never assigned
};

const Row kFile[] = {{"FileQuit", "Quit", "Cmd+Q"}};
const Row kEdit[] = {
    {"EditUndo", "&Undo", "Cmd+Z"},  {"UntitledMenu1", "-", std::nullopt}, {"EditCut", "Cu&t", "Cmd+X"},
    {"EditCopy", "&Copy", "Cmd+C"},  {"EditPaste", "&Paste", "Cmd+V"},     {"EditClear", "Clear", ""},
    {"UntitledMenu0", "-", std::nullopt}, {"EditSelectAll", "Select &All", "Cmd+A"},
};

void ExpectItem(const fw::MenuItemRef& item, const Row& row)
{
    SCOPED_TRACE(row.name);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Name(), row.name);
    EXPECT_EQ(item->Text(), row.text);
    EXPECT_TRUE(item->AutoEnable());
    EXPECT_EQ(item->Count(), 0);
    EXPECT_EQ(item->ShortcutAssigned(), row.shortcut.has_value());
    if (row.shortcut) {
        EXPECT_EQ(item->KeyboardShortcut(), *row.shortcut);
    }
    const bool quits = dynamic_cast<fw::QuitMenuItem*>(item.get()) != nullptr;
    EXPECT_EQ(quits, QString(row.name) == "FileQuit");
}

// The action of the window's menu bar whose caption is text, with the
// enabled states brought up to date the way opening the menu does.
QAction* MenuAction(fw::Window& window, const QString& text)
{
    for (QAction* top : window.Frame()->menuBar()->actions()) {
        QMenu* menu = top->menu();
        emit menu->aboutToShow();
        for (QAction* a : menu->actions())
            if (a->text() == text)
                return a;
    }
    return nullptr;
}

// A window without a bar of its own answers the same commands through hidden actions.
QAction* HiddenAction(fw::Window& window, const QString& text)
{
    for (QAction* a : window.Frame()->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

QLineEdit* Focus(fw::EditField& field)
{
    field.Owner().Frame()->activateWindow();
    field.SetFocus();
    Settle();
    return field.LineEdit();
}

void Clip(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

}  // namespace

TEST(MenuBar1, TreeHasFileAndEditMenusInOrder)
{
    const fw::MenuItemRef bar = MenuBar1();  // as a menu tree, searched by name
    ASSERT_EQ(bar->Count(), 2);
    EXPECT_TRUE(bar->Name().isEmpty());
    EXPECT_TRUE(bar->Text().isEmpty());
    EXPECT_FALSE(bar->ShortcutAssigned());

    const struct {
        const char* name;
        const char* text;
        const Row* rows;
        int count;
    } menus[] = {{"FileMenu", "&File", kFile, 1}, {"EditMenu", "&Edit", kEdit, 8}};
    for (int m = 0; m < 2; ++m) {
        const auto menu = bar->Item(m);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->Name(), menus[m].name);
        EXPECT_EQ(menu->Text(), menus[m].text);
        EXPECT_TRUE(menu->AutoEnable());
        EXPECT_TRUE(menu->ShortcutAssigned());
        EXPECT_EQ(menu->KeyboardShortcut(), "");
        EXPECT_EQ(dynamic_cast<fw::QuitMenuItem*>(menu.get()), nullptr);
        ASSERT_EQ(menu->Count(), menus[m].count);
        for (int i = 0; i < menus[m].count; ++i) {
            ExpectItem(menu->Item(i), menus[m].rows[i]);
            // A search of the whole tree finds the same object.
            EXPECT_EQ(bar->Lookup(menus[m].rows[i].name), menu->Item(i));
        }
        EXPECT_EQ(bar->Lookup(menus[m].name), menu);
    }
    EXPECT_EQ(bar->Lookup("NoSuchItem"), nullptr);
}

TEST(MenuBar1, AccessorSharesOneBarUntilItIsReleased)
{
    const auto first = MenuBar1();
    const auto quit = first->Item(0)->Item(0);
    for (int i = 0; i < 3; ++i) {
        const auto again = MenuBar1();
        EXPECT_EQ(again, first);
        EXPECT_EQ(again->Count(), 2);
        EXPECT_EQ(again->Item(0)->Count(), 1);
        EXPECT_EQ(again->Item(1)->Count(), 8);
        EXPECT_EQ(again->Item(0)->Item(0), quit);
    }
    // The calculator window is given the same bar.
    EXPECT_EQ(ControlWnd().MenuBar(), first);

    MenuBar1::implicitInstanceExit();
    EXPECT_EQ(MenuBar1::implicitInstance, nullptr);
    const auto fresh = MenuBar1();
    EXPECT_NE(fresh, first);
    EXPECT_EQ(fresh->Count(), 2);
    EXPECT_EQ(fresh->Item(1)->Count(), 8);
}

TEST(Menus, CalculatorWindowShowsTheBarWithItsShortcuts)
{
    QMenuBar* bar = ControlWnd().Frame()->menuBar();
    const auto tops = bar->actions();
    ASSERT_EQ(tops.size(), 2);
    EXPECT_EQ(tops[0]->text(), "&File");
    EXPECT_EQ(tops[1]->text(), "&Edit");

    const auto file = tops[0]->menu()->actions();
    ASSERT_EQ(file.size(), 1);
    EXPECT_EQ(file[0]->text(), "Quit");
    EXPECT_EQ(file[0]->shortcut(), QKeySequence("Ctrl+Q"));

    const auto edit = tops[1]->menu()->actions();
    ASSERT_EQ(edit.size(), 8);
    const char* keys[] = {"Ctrl+Z", nullptr, "Ctrl+X", "Ctrl+C", "Ctrl+V", "", nullptr, "Ctrl+A"};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(kEdit[i].name);
        EXPECT_EQ(edit[i]->isSeparator(), keys[i] == nullptr);
        if (keys[i]) {
            EXPECT_EQ(edit[i]->text(), kEdit[i].text);
            EXPECT_EQ(edit[i]->shortcut(), QKeySequence(keys[i]));
        }
    }
}

TEST(Menus, CutCopyPasteOnTheFocusedField)
{
    auto& calc = ControlWnd();
    auto& rxx = calc.ControlNamed<fw::EditField>("RxxFld");
    auto& ryy = calc.ControlNamed<fw::EditField>("RyyFld");
    Type(rxx, ".85");
    QLineEdit* line = Focus(rxx);
    line->setSelection(1, 2);

    MenuAction(calc, "&Copy")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "85");
    MenuAction(calc, "Cu&t")->trigger();
    EXPECT_EQ(rxx.Text(), ".");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "85");

    Focus(ryy);
    MenuAction(calc, "&Paste")->trigger();
    EXPECT_EQ(ryy.Text(), "85");
    EXPECT_EQ(rxx.Text(), ".");
}

TEST(Menus, PasteBypassesTheKeyFilterButKeepsTheLimit)
{
    auto& calc = ControlWnd();
    auto& rxx = calc.ControlNamed<fw::EditField>("RxxFld");
    Focus(rxx);
    Clip("-.5");
    MenuAction(calc, "&Paste")->trigger();
    EXPECT_EQ(rxx.Text(), "-.5");
    EXPECT_EQ(fw::BeepCount(), 0);

    MenuAction(calc, "Select &All")->trigger();
    Clip("123456789");
    MenuAction(calc, "&Paste")->trigger();
    EXPECT_EQ(rxx.Text(), "123456");
    EXPECT_EQ(fw::BeepCount(), 0);
}

TEST(Menus, ClearAndSelectAll)
{
    auto& calc = ControlWnd();
    auto& rxy = calc.ControlNamed<fw::EditField>("RxyFld");
    Type(rxy, "-.4567");
    QLineEdit* line = Focus(rxy);
    line->setSelection(2, 3);
    MenuAction(calc, "Clear")->trigger();
    EXPECT_EQ(rxy.Text(), "-.7");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "");  // Clear does not copy

    MenuAction(calc, "Select &All")->trigger();
    EXPECT_EQ(line->selectedText(), "-.7");
}

TEST(Menus, UndoTakesBackTheLastEdit)
{
    auto& calc = ControlWnd();
    auto& rxx = calc.ControlNamed<fw::EditField>("RxxFld");
    Type(rxx, ".85");
    QLineEdit* line = Focus(rxx);
    line->setSelection(1, 2);
    MenuAction(calc, "Clear")->trigger();
    ASSERT_EQ(rxx.Text(), ".");
    EXPECT_TRUE(MenuAction(calc, "&Undo")->isEnabled());
    MenuAction(calc, "&Undo")->trigger();
    EXPECT_EQ(rxx.Text(), ".85");

    Clip("9");
    line->selectAll();
    MenuAction(calc, "&Paste")->trigger();
    ASSERT_EQ(rxx.Text(), "9");
    MenuAction(calc, "&Undo")->trigger();
    EXPECT_EQ(rxx.Text(), ".85");
}

TEST(Menus, ItemsAreDisabledWhereTheyCannotAct)
{
    auto& calc = ControlWnd();
    auto& rxx = calc.ControlNamed<fw::EditField>("RxxFld");
    Clip("");
    Focus(rxx);
    for (const char* item : {"Cu&t", "&Copy", "Clear", "&Paste", "&Undo", "Select &All"})
        EXPECT_FALSE(MenuAction(calc, item)->isEnabled()) << item;
    EXPECT_TRUE(MenuAction(calc, "Quit")->isEnabled());

    // Disabled items do nothing, even when triggered.
    Type(rxx, ".9");
    Clip("1");
    rxx.LineEdit()->deselect();
    EXPECT_FALSE(MenuAction(calc, "Cu&t")->isEnabled());
    MenuAction(calc, "Cu&t")->trigger();
    EXPECT_EQ(rxx.Text(), ".9");
    EXPECT_TRUE(MenuAction(calc, "&Paste")->isEnabled());
    EXPECT_TRUE(MenuAction(calc, "Select &All")->isEnabled());

    // The result field is read-only: it can be copied, not changed.
    Type(calc.ControlNamed<fw::EditField>("RyyFld"), ".8");
    Type(calc.ControlNamed<fw::EditField>("RxyFld"), ".5");
    Press(calc.ControlNamed<fw::Canvas>("ComputeCanvas"));
    auto& rd = calc.ControlNamed<fw::EditField>("RdFld");
    ASSERT_TRUE(rd.Visible());
    Focus(rd)->selectAll();
    EXPECT_TRUE(MenuAction(calc, "&Copy")->isEnabled());
    for (const char* item : {"Cu&t", "&Paste", "Clear"})
        EXPECT_FALSE(MenuAction(calc, item)->isEnabled()) << item;
    MenuAction(calc, "&Paste")->trigger();
    EXPECT_EQ(rd.Text(), ".7000");
    MenuAction(calc, "&Copy")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), ".7000");
}

TEST(Menus, HelpFieldAnswersTheSameCommands)
{
    NewAppInstance();  // the application's bar reaches windows without one
    auto& help = helpWnd();
    ASSERT_EQ(help.Frame()->menuBar()->actions().size(), 0);
    auto& field = help.ControlNamed<fw::EditField>("EditField1");
    QPlainTextEdit* edit = field.TextEdit();
    ASSERT_NE(edit, nullptr);
    help.Frame()->activateWindow();
    Settle();
    // The hidden actions take their states when the focus comes to the field.
    auto command = [&](const char* text) {
        field.Widget()->clearFocus();
        field.SetFocus();
        Settle();
        QAction* a = HiddenAction(help, text);
        EXPECT_TRUE(a && a->isEnabled()) << text;
        if (a)
            a->trigger();
    };
    auto select = [&](int from, int to) {
        QTextCursor c = edit->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        edit->setTextCursor(c);
    };

    select(0, 7);
    command("&Copy");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Tolvane");
    command("Cu&t");
    EXPECT_TRUE(field.Text().startsWith("\r\rA difference"));
    command("&Undo");
    EXPECT_TRUE(field.Text().startsWith("Tolvane\r\r"));

    select(0, 0);
    Clip("Hello ");
    command("&Paste");
    EXPECT_TRUE(field.Text().startsWith("Hello Tolvane\r"));

    command("Select &All");
    EXPECT_EQ(edit->textCursor().selectedText().size(), edit->document()->characterCount() - 1);
    command("Clear");
    EXPECT_EQ(field.Text(), "");
}

TEST(Menus, QuitItemQuits)
{
    auto& calc = ControlWnd();
    EXPECT_FALSE(fw::Quitting());
    MenuAction(calc, "Quit")->trigger();
    EXPECT_TRUE(fw::Quitting());
}


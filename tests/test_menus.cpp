// The menu bar: its tree, its one shared instance, and the Edit commands acting on the focused field.
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

#include <ostream>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// The action of the window's bar with this caption, its state updated as opening the menu does.
QAction* MenuAction(fw::Window& window, const QString& text)
{
    for (QAction* top : window.Frame()->menuBar()->actions()) {
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

void Clip(const QString& text) { QGuiApplication::clipboard()->setText(text); }

}  // namespace

TEST(MenuBar1, TreeOnScreenAndOneSharedInstance)
{
    const fw::MenuItemRef bar = MenuBar1();
    ASSERT_EQ(bar->Count(), 2);
    EXPECT_TRUE(bar->Name().isEmpty());
    // Menus and their items in order; nullptr: a separator, its shortcut never assigned.
    const struct { const char *name, *text, *shortcut; } rows[] = {
        {"FileMenu", "&File", ""},       {"FileQuit", "Quit", "Cmd+Q"},     {"EditMenu", "&Edit", ""},
        {"EditUndo", "&Undo", "Cmd+Z"},  {"UntitledMenu1", "-", nullptr},  {"EditCut", "Cu&t", "Cmd+X"},
        {"EditCopy", "&Copy", "Cmd+C"},  {"EditPaste", "&Paste", "Cmd+V"}, {"EditClear", "Clear", ""},
        {"UntitledMenu0", "-", nullptr}, {"EditSelectAll", "Select &All", "Cmd+A"}};
    const auto tops = ControlWnd().Frame()->menuBar()->actions();
    ASSERT_EQ(tops.size(), 2);
    int row = 0;
    for (int m = 0; m < 2; ++m) {
        const auto menu = bar->Item(m);
        const auto shown = tops[m]->menu()->actions();
        ASSERT_EQ(menu->Count(), m == 0 ? 1 : 8);
        ASSERT_EQ(shown.size(), menu->Count());
        EXPECT_EQ(tops[m]->text(), rows[row].text);
        for (int i = -1; i < menu->Count(); ++i, ++row) {
            const auto& r = rows[row];
            SCOPED_TRACE(r.name);
            const auto item = i < 0 ? menu : menu->Item(i);
            EXPECT_EQ(item->Name(), r.name);
            EXPECT_EQ(item->Text(), r.text);
            EXPECT_TRUE(item->AutoEnable());
            EXPECT_EQ(item->ShortcutAssigned(), r.shortcut != nullptr);
            EXPECT_TRUE(!r.shortcut || item->KeyboardShortcut() == r.shortcut);
            EXPECT_EQ(dynamic_cast<fw::QuitMenuItem*>(item.get()) != nullptr, i == 0 && m == 0);
            EXPECT_EQ(bar->Lookup(r.name), item);  // a search of the whole tree
            if (i < 0)
                continue;
            EXPECT_EQ(item->Count(), 0);
            EXPECT_EQ(shown[i]->isSeparator(), r.shortcut == nullptr);
            if (r.shortcut) {
                EXPECT_EQ(shown[i]->text(), r.text);
                EXPECT_EQ(shown[i]->shortcut(), QKeySequence(QString(r.shortcut).replace("Cmd", "Ctrl")));
            }
        }
    }
    EXPECT_EQ(bar->Lookup("NoSuchItem"), nullptr);

    // Later calls, the calculator's included, share the bar and build nothing.
    EXPECT_EQ(MenuBar1(), bar);
    EXPECT_EQ(bar->Item(1)->Count(), 8);
    EXPECT_EQ(ControlWnd().MenuBar(), bar);

    MenuBar1::implicitInstanceExit();
    EXPECT_EQ(MenuBar1::implicitInstance, nullptr);
    const auto fresh = MenuBar1();
    EXPECT_NE(fresh, bar);
    EXPECT_EQ(fresh->Item(1)->Count(), 8);
}

TEST(Menus, EditCommandsActOnTheFocusedField)
{
    auto& calc = ControlWnd();
    auto act = [&](const char* text) { MenuAction(calc, text)->trigger(); };
    auto& rxx = calc.ControlNamed<fw::EditField>("RxxFld");
    auto& ryy = calc.ControlNamed<fw::EditField>("RyyFld");
    auto& rxy = calc.ControlNamed<fw::EditField>("RxyFld");
    Type(rxx, ".85");
    Focus(rxx)->setSelection(1, 2);
    act("&Copy");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "85");
    act("Cu&t");
    EXPECT_EQ(rxx.Text(), ".");
    Focus(ryy);
    act("&Paste");
    EXPECT_EQ(ryy.Text(), "85");

    // Paste passes by the key filter, yet stops at the length limit.
    Focus(rxx);
    for (const char* clip : {"-.5", "123456789"}) {
        act("Select &All");
        Clip(clip);
        act("&Paste");
    }
    EXPECT_EQ(rxx.Text(), "123456");
    EXPECT_EQ(fw::BeepCount(), 0);

    Type(rxy, "-.4567");
    QLineEdit* line = Focus(rxy);
    line->setSelection(2, 3);
    act("Clear");
    EXPECT_EQ(rxy.Text(), "-.7");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "123456789");  // Clear does not copy
    act("Select &All");
    EXPECT_EQ(line->selectedText(), "-.7");
    act("&Undo");
    EXPECT_EQ(rxy.Text(), "-.4567");
}

TEST(Menus, ItemsAreDisabledWhereTheyCannotAct)
{
    auto& calc = ControlWnd();
    auto& rxx = calc.ControlNamed<fw::EditField>("RxxFld");
    Clip("");
    Focus(rxx);
    for (const char* item : {"Cu&t", "&Copy", "Clear", "&Paste", "&Undo", "Select &All"})
        EXPECT_FALSE(MenuAction(calc, item)->isEnabled()) << item;
    Clip("1");
    EXPECT_TRUE(MenuAction(calc, "&Paste")->isEnabled());

    // The result field is read-only: it can be copied, not changed.
    Type(rxx, ".9");
    Type(calc.ControlNamed<fw::EditField>("RyyFld"), ".8");
    Type(calc.ControlNamed<fw::EditField>("RxyFld"), ".5");
    Press(calc.ControlNamed<fw::Canvas>("ComputeCanvas"));
    auto& rd = calc.ControlNamed<fw::EditField>("RdFld");
    Focus(rd)->selectAll();
    for (const char* item : {"Cu&t", "&Paste", "Clear"})
        EXPECT_FALSE(MenuAction(calc, item)->isEnabled()) << item;
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
    help.Frame()->activateWindow();
    // Hidden actions, which take their states when the focus comes to the field.
    auto command = [&](const QString& text) {
        field.Widget()->clearFocus();
        field.SetFocus();
        Settle();
        for (QAction* a : help.Frame()->actions())
            if (a->text() == text) {
                EXPECT_TRUE(a->isEnabled()) << text.toStdString();
                a->trigger();
            }
    };

    edit->moveCursor(QTextCursor::Start);
    edit->moveCursor(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
    command("&Copy");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Tolvane");
    command("Cu&t");
    EXPECT_TRUE(field.Text().startsWith("\r\rA difference"));
    command("&Undo");
    EXPECT_TRUE(field.Text().startsWith("Tolvane\r\r"));
    edit->moveCursor(QTextCursor::Start);
    Clip("Hello ");
    command("&Paste");
    EXPECT_TRUE(field.Text().startsWith("Hello Tolvane\r"));
    command("Select &All");
    EXPECT_EQ(edit->textCursor().selectedText().size(), edit->document()->characterCount() - 1);
    command("Clear");
    EXPECT_EQ(field.Text(), "");
}

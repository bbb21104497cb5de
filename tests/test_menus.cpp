// The menu bar: its menus as shown, its one shared instance, and the Edit commands acting on the focused field.
#include "ControlWnd.h"
#include "MenuBar1.h"
#include "Runtime.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include <string>

namespace {

// The calculator's menu action with this caption, its state updated as opening the menu does unless told.
QAction* Action(const QString& text, bool update = true)
{
    for (QAction* top : ControlWnd().Frame()->menuBar()->actions()) {
        if (update)
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

// The menus as the calculator shows them, in order, with their shortcuts, from the one bar every caller shares.
TEST(MenuBar1, MenusAsShownFromOneSharedBar)
{
    ASSERT_EQ(MenuBar1(), MenuBar1());
    QStringList shown;
    for (QAction* top : ControlWnd().Frame()->menuBar()->actions())
        for (QAction* a : QList<QAction*>{top} + top->menu()->actions())
            shown << (a->isSeparator() ? QStringLiteral("-") : (a->text() + " " + a->shortcut().toString()).trimmed());
    EXPECT_EQ(shown, QStringList({"&File", "Quit Ctrl+Q", "&Edit", "&Undo Ctrl+Z", "-", "Cu&t Ctrl+X", "&Copy Ctrl+C",
                                  "&Paste Ctrl+V", "Clear", "-", "Select &All Ctrl+A"}));
}

// Each Edit command on ".123", its first two characters selected or the caret at its end, chosen through the
// menu by the mouse or from the keyboard (Alt+E, then its access key; Clear has none): the text, the clipboard
// and the selection after it. A command with nothing to act on is greyed and does nothing.
TEST(Menus, EditCommandsActOnTheFieldHoweverTheMenuIsOpened)
{
    auto& rxx = ControlWnd().ControlNamed<fw::EditField>("RxxFld");
    QMenuBar* bar = ControlWnd().Frame()->menuBar();
    QAction* edit = bar->actions()[1];
    const struct { const char* item; Qt::Key key; bool selected, enabled; const char *text, *clip, *selection; } rows[] = {
        {"&Undo", Qt::Key_U, true, true, "", "9", ""},
        {"Cu&t", Qt::Key_T, true, true, "23", ".1", ""},
        {"Cu&t", Qt::Key_T, false, false, ".123", "9", ""},
        {"&Copy", Qt::Key_C, true, true, ".123", ".1", ".1"},
        {"&Copy", Qt::Key_C, false, false, ".123", "9", ""},
        {"&Paste", Qt::Key_P, true, true, "923", "9", ""},
        {"&Paste", Qt::Key_P, false, true, ".1239", "9", ""},
        {"Clear", Qt::Key_unknown, true, true, "23", "9", ""},
        {"Clear", Qt::Key_unknown, false, false, ".123", "9", ""},
        {"Select &All", Qt::Key_A, false, true, ".123", "9", ".123"},
    };
    for (const bool byMouse : {false, true}) {
        for (const auto& r : rows) {
            SCOPED_TRACE(std::string(r.item) + (r.selected ? " on a selection" : " at the caret") +
                         (byMouse ? " by the mouse" : " from the keyboard"));
            QLineEdit* line = Focus(rxx);
            line->clear();
            Type(rxx, ".123");
            if (r.selected) {
                KeyInto(rxx, Qt::Key_Home);
                KeyInto(rxx, Qt::Key_Right, Qt::ShiftModifier);
                KeyInto(rxx, Qt::Key_Right, Qt::ShiftModifier);
            }
            Clip("9");
            if (byMouse)
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(edit).center());
            else
                KeyInto(rxx, Qt::Key_E, Qt::AltModifier);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_EQ(menu, edit->menu());
            QAction* action = Action(r.item, false);
            EXPECT_EQ(action->isEnabled(), r.enabled);
            if (byMouse) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            } else if (r.key != Qt::Key_unknown) {
                QTest::keyClick(menu, r.key);
            } else {
                // Down from the first entry to this one, past the greyed ones.
                for (int down = 0; down < 8 && menu->activeAction() != action; ++down)
                    QTest::keyClick(menu, Qt::Key_Down);
                if (menu->activeAction() == action)
                    QTest::keyClick(menu, Qt::Key_Return);
            }
            if (QApplication::activePopupWidget()) {  // a greyed entry leaves the menu open
                QTest::keyClick(menu, Qt::Key_Escape);
                if (bar->hasFocus())
                    QTest::keyClick(bar, Qt::Key_Escape);
            }
            Settle();
            EXPECT_EQ(rxx.Text(), r.text);
            EXPECT_EQ(Clip(), r.clip);
            EXPECT_EQ(line->selectedText(), r.selection);
            EXPECT_EQ(ControlWnd().Frame()->focusWidget(), line);
        }
    }
}

// An empty field only pastes, by the key filter, which refuses the minus, not by the limit; the read-only
// result only copies.
TEST(Menus, PasteStopsAtTheLimitAndTheResultOnlyCopies)
{
    auto& calc = ControlWnd();
    auto& rxx = calc.ControlNamed<fw::EditField>("RxxFld");
    Focus(rxx);
    Clip("-123456789");
    for (const char* item : {"&Undo", "Cu&t", "&Copy", "Clear", "Select &All"})
        EXPECT_FALSE(Action(item)->isEnabled()) << item;  // nothing typed yet
    Action("&Paste")->trigger();
    EXPECT_EQ(rxx.Text(), "-12345");
    EXPECT_EQ(fw::BeepCount(), 0);
    auto& rd = calc.ControlNamed<fw::EditField>("RdFld");
    rd.Text(".7000");
    Focus(rd)->selectAll();
    for (const char* item : {"Cu&t", "&Paste", "Clear", "&Undo"})
        EXPECT_FALSE(Action(item)->isEnabled()) << item;
    Action("&Copy")->trigger();
    EXPECT_EQ(Clip(), ".7000");
}

// A seeded storm of user actions against the whole program, from start-up
// (the splash included) to Quit. After every action the calculator must
// still be sound. Replay with TOLVANE_STORM_SEED=<seed> (and _ACTIONS=<n>).

#include "AboutWnd.h"
#include "App.h"
#include "ComputeRd.h"
#include "ControlWnd.h"
#include "HelpWnd.h"
#include "Runtime.h"
#include "TextNumbers.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <iterator>
#include <map>
#include <random>

namespace {

long EnvNumber(const char* name, long fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

const QStringList kTexts = {"0", "1", ".9", ".5", "-.5", ".", "-", "1.0001", "2", "..5", "1e5", "x", "é", "÷",
                            " ", "\t", "999999", "-1", ".85", "\u20ac"};

class Storm {
public:
    Storm(long seed, long actions) : seed_(seed), left_(actions), rng_(static_cast<unsigned>(seed)) {}

    // One tick every other reading: the splash makes a few hundred passes.
    std::int32_t Tick() { return static_cast<std::int32_t>(++reads_ / 2); }

    void Start()
    {
        QObject::connect(&dismisser_, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->buttons().first()->click();
        });
        dismisser_.start(1);
        QTimer::singleShot(0, [this] { Next(); });
    }

    long done = 0, results = 0;
    bool failed = false;

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    template <class C>
    decltype(auto) Any(const C& items) { return items[static_cast<std::size_t>(Pick(static_cast<int>(std::size(items))))]; }

    void Fail(const std::string& what)
    {
        failed = true;
        ADD_FAILURE() << "storm seed " << seed_ << ", action " << done << ": " << what;
    }

    static class ControlWnd* Calculator()
    {
        fw::Window* w = fw::GetImplicitWindow("ControlWnd.ControlWnd");
        return w && w->Visible() ? static_cast<class ControlWnd*>(w) : nullptr;
    }
    static void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center()); }

    void Next()
    {
        if (failed || left_ <= 0) {
            dismisser_.stop();
            fw::Quit();
            return;
        }
        if (!QApplication::activeModalWidget()) {  // else a message box is being answered
            --left_;
            ++done;
            Act();
            Check();
        }
        QTimer::singleShot(0, [this] { Next(); });
    }

    void Act()
    {
        std::vector<fw::Window*> shown;
        for (fw::Window* w : fw::LiveWindows())
            if (w->Visible())
                shown.push_back(w);
        QWidget* focus = QApplication::focusWidget();
        if (!focus && !shown.empty())
            focus = Any(shown)->Frame();
        const int kind = Pick(100);
        if (kind < 25 && focus) {
            TypeKey(focus);
        } else if (kind < 40 && Calculator()) {
            // What a user mostly does: a coefficient typed over a field's text.
            static const char* fields[] = {"RxxFld", "RyyFld", "RxyFld"};
            static const char* numbers[] = {".9", ".8", ".5", "-.5", "0", "1", "-1", "1.0001", "2", ".", "-", ".999999"};
            QWidget* editor = Calculator()->ControlNamed<fw::EditField>(Any(fields)).FocusWidget();
            Click(editor);
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, Any(numbers));
        } else if (kind < 55 && !shown.empty()) {
            fw::Window* w = Any(shown);
            auto* control = w->Controls().empty() ? nullptr : dynamic_cast<fw::RectControl*>(Any(w->Controls()).get());
            if (control && control->Widget()->isVisible() && Pick(7) != 0)
                Click(control->FocusWidget() ? control->FocusWidget() : control->Widget());
            else
                Click(w->Content());
        } else if (kind < 78) {
            PressComputeOrClear();
        } else if (kind < 87 && !shown.empty()) {
            static const char* names[] = {"&Undo", "Cu&t", "&Copy", "&Paste", "Clear", "Select &All"};
            QGuiApplication::clipboard()->setText(Any(kTexts) + Any(kTexts));
            for (QAction* a : Any(shown)->Frame()->findChildren<QAction*>())
                if (a->text() == Any(names))
                    a->trigger();
        } else {
            WindowAction(shown);
        }
    }

    // Characters as a keyboard sends them, editing keys, and keys with modifiers held.
    void TypeKey(QWidget* target)
    {
        static const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Tab,  Qt::Key_Return, Qt::Key_Escape,
                                       Qt::Key_Left,      Qt::Key_Home, Qt::Key_Delete, Qt::Key_F1,
                                       Qt::Key_Shift,     Qt::Key_A,    Qt::Key_C,      Qt::Key_V,
                                       Qt::Key_X,         Qt::Key_Z};
        static const Qt::KeyboardModifiers mods[] = {Qt::NoModifier, Qt::NoModifier, Qt::ControlModifier,
                                                     Qt::AltModifier, Qt::MetaModifier};
        if (Pick(2) == 0) {
            const QString text = Any(kTexts).left(1);
            QKeyEvent press(QEvent::KeyPress, 0, Any(mods), text), release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        } else {
            QTest::keyClick(target, Any(keys), Any(mods) & ~Qt::MetaModifier);  // Qt Test cannot press Meta
        }
    }

    void PressComputeOrClear()
    {
        class ControlWnd* w = Calculator();
        if (!w) {
            ControlWnd().Show();  // the user brings the calculator back
            return;
        }
        auto text = [w](const char* name) { return w->ControlNamed<fw::EditField>(name).Text(); };
        if (Pick(5) == 0) {
            Click(w->ControlNamed<fw::Canvas>("ClearCanvas").Widget());
            if (w->ControlNamed<fw::EditField>("RdFld").Visible())
                Fail("Clear left the result shown");
            return;
        }
        const QString rxx = text("RxxFld"), ryy = text("RyyFld"), rxy = text("RxyFld"), before = text("RdFld");
        const int boxes = fw::MsgBoxCount();
        Click(w->ControlNamed<fw::Canvas>("ComputeCanvas").Widget());
        const int shownBoxes = fw::MsgBoxCount() - boxes;
        if (shownBoxes > 1 || (shownBoxes == 1 && text("RdFld") != before))
            Fail("a refused Compute showed several boxes or changed the result");
        if (shownBoxes == 1 || fw::GetImplicitWindow("ControlWnd.ControlWnd") != w)
            return;
        ++results;
        const QString expected = fw::Format(ComputeRd(fw::Val(rxx), fw::Val(ryy), fw::Abs(fw::Val(rxy))), ".0000");
        if (text("RdFld") != expected || !w->ControlNamed<fw::EditField>("RdFld").Visible())
            Fail(QStringLiteral("Compute of '%1', '%2', '%3' showed '%4', expected '%5'")
                     .arg(rxx, ryy, rxy, text("RdFld"), expected)
                     .toStdString());
    }

    void WindowAction(const std::vector<fw::Window*>& shown)
    {
        const int kind = Pick(7);
        if (kind == 0)
            ControlWnd().Show();
        else if (kind == 1)
            AboutWnd().Show();
        else if (kind == 2)
            helpWnd().Show();
        else if (!shown.empty() && kind <= 4 && (shown.size() > 1 || !fw::LoopRunning()))
            Any(shown)->Frame()->close();  // never the last one: that would end the program
        else if (!shown.empty())
            Any(shown)->Hide();
    }

    void Check()
    {
        std::map<std::string, int> perClass;
        for (fw::Window* w : fw::LiveWindows())
            if (++perClass[w->Record().fullName] > 1)
                Fail("two live windows of " + w->Record().fullName);
        fw::Window* w = fw::GetImplicitWindow("ControlWnd.ControlWnd");
        if (!w)
            return;
        auto& rd = w->ControlNamed<fw::EditField>("RdFld");
        if (rd.Visible() != w->ControlNamed<fw::StaticText>("RdText").Visible())
            Fail("RdFld and RdText shown apart");
        const QString text = rd.Text();
        if (!text.isEmpty() && text != "INF" && text != "-INF" && text != "NAN" &&
            fw::Format(fw::Val(text), ".0000") != text)
            Fail("RdFld shows '" + text.toStdString() + "'");
    }

    long seed_, left_, reads_ = 0;
    std::mt19937 rng_;
    QTimer dismisser_;
};

}  // namespace

TEST(Storm, UserActionsFromStartUpToQuit)
{
    const long seed = EnvNumber("TOLVANE_STORM_SEED", 20261206);
    const long actions = EnvNumber("TOLVANE_STORM_ACTIONS", 20000);
    std::cout << "storm seed " << seed << ", " << actions << " actions\n";
    Storm storm(seed, actions);
    fw::SetTickSource([&storm] { return storm.Tick(); });
    initialize();
    storm.Start();
    Main();
    std::cout << storm.results << " results shown\n";
    EXPECT_FALSE(fw::ExceptionPending());
    EXPECT_FALSE(storm.failed);
    EXPECT_EQ(storm.done, actions) << "storm seed " << seed;
}

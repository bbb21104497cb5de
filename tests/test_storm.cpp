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

class Storm {
public:
    Storm(long seed, long actions) : seed_(seed), left_(actions), rng_(static_cast<unsigned>(seed)) {}

    // One tick every other reading: the splash makes a few hundred passes.
    std::int32_t Tick() { return static_cast<std::int32_t>(++reads_ / 2); }

    void Start()
    {
        dismisser_.setInterval(1);
        QObject::connect(&dismisser_, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->buttons().first()->click();
        });
        dismisser_.start();
        QTimer::singleShot(0, [this] { Next(); });
    }

    long done = 0, results = 0;
    bool failed = false;

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    template <class C>
    decltype(auto) Any(C& items) { return items[static_cast<std::size_t>(Pick(static_cast<int>(std::size(items))))]; }

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
    static std::vector<fw::Window*> Shown()
    {
        std::vector<fw::Window*> out;
        for (fw::Window* w : fw::LiveWindows())
            if (w->Visible())
                out.push_back(w);
        return out;
    }
    static QAction* ActionNamed(const fw::Window& w, const QString& text)
    {
        for (QAction* a : w.Frame()->findChildren<QAction*>())
            if (a->text() == text)
                return a;
        return nullptr;
    }
    static void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center()); }

    void Next()
    {
        if (failed || left_ <= 0) {
            dismisser_.stop();
            QAction* quit = Calculator() ? ActionNamed(*Calculator(), "Quit") : nullptr;
            quit ? quit->trigger() : fw::Quit();
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
        const auto shown = Shown();
        QWidget* focus = QApplication::focusWidget();
        if (!focus && !shown.empty())
            focus = Any(shown)->Frame();
        const int kind = Pick(100);
        if (kind < 20 && focus) {
            TypeKey(focus);
        } else if (kind < 38) {
            TypeCoefficient();
        } else if (kind < 46 && focus) {
            QGuiApplication::clipboard()->setText(RandomText());
            QTest::keyClick(focus, Qt::Key_V, Qt::ControlModifier);
        } else if (kind < 60 && !shown.empty()) {
            fw::Window* w = Any(shown);
            auto* control = w->Controls().empty() ? nullptr : dynamic_cast<fw::RectControl*>(Any(w->Controls()).get());
            if (!control || Pick(7) == 0)
                QTest::mouseClick(w->Content(), Qt::LeftButton, Qt::NoModifier,
                                  QPoint(Pick(w->Content()->width() + 1), Pick(w->Content()->height() + 1)));
            else if (control->Widget()->isVisible())
                Click(control->FocusWidget() ? control->FocusWidget() : control->Widget());
        } else if (kind < 80) {
            PressComputeOrClear();
        } else if (kind < 87 && !shown.empty()) {
            static const char* names[] = {"&Undo", "Cu&t", "&Copy", "&Paste", "Clear", "Select &All"};
            QGuiApplication::clipboard()->setText(RandomText());
            if (QAction* a = ActionNamed(*Any(shown), Any(names)))
                a->trigger();
        } else {
            WindowAction(shown);
        }
    }

    QString RandomText()
    {
        static const QStringList pieces = {"0", "1", "9", ".", "-", "+", "e", "5", " ", "x", "1e5", "..",
                                           "é", "÷", "\t", "0.5", "-.5", "1.0001", "999999", "\u20ac"};
        QString out;
        for (int n = Pick(3) == 0 ? Pick(40) : Pick(8); n > 0; --n)
            out += Any(pieces);
        return out;
    }

    void TypeKey(QWidget* target)
    {
        static const QString chars = "0123456789..--abcXYZ e+,;/\\é€ß\u00a0";
        static const Qt::Key special[] = {Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Return,
                                          Qt::Key_Escape, Qt::Key_Left, Qt::Key_Home, Qt::Key_End,
                                          Qt::Key_Delete, Qt::Key_Up, Qt::Key_F1, Qt::Key_Shift};
        static const Qt::Key shortcuts[] = {Qt::Key_A, Qt::Key_C, Qt::Key_V, Qt::Key_X, Qt::Key_Z, Qt::Key_Y};
        const int kind = Pick(10);
        if (kind < 5) {
            // A key as the keyboard sends it: its character, no key code Qt Test knows.
            const QString text(Any(chars));
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        } else if (kind < 8) {
            QTest::keyClick(target, Any(special));
        } else {
            QTest::keyClick(target, Any(shortcuts), Qt::ControlModifier);
        }
    }

    // What a user mostly types: a plausible coefficient, into one of the fields.
    void TypeCoefficient()
    {
        static const char* fields[] = {"RxxFld", "RyyFld", "RxyFld"};
        static const char* numbers[] = {".9", ".8", ".5", "-.5", "0", "1", "1.0", ".85", ".75",
                                        "-1", "1.0001", "2", ".", "-", "..5", ".999999"};
        if (class ControlWnd* w = Calculator()) {
            QWidget* editor = w->ControlNamed<fw::EditField>(Any(fields)).FocusWidget();
            Click(editor);
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, Any(numbers));
        }
    }

    void PressComputeOrClear()
    {
        class ControlWnd* w = Calculator();
        if (!w) {
            if (Pick(2) == 0)
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
        if (shownBoxes > 1)
            Fail("one Compute press showed several message boxes");
        if (shownBoxes == 1 || fw::GetImplicitWindow("ControlWnd.ControlWnd") != w) {
            if (shownBoxes == 1 && text("RdFld") != before)
                Fail("a refused Compute changed the result");
            return;
        }
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

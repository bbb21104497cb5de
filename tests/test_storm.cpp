// A seeded storm of user actions against the whole program, from start-up
// (the splash included) to Quit: keys of every kind, pastes, presses on every
// control and window, windows closed, hidden and reopened, Edit commands,
// Compute and Clear. After every action the calculator must still be sound.
//
// Replay a run with TOLVANE_STORM_SEED=<seed> (and TOLVANE_STORM_ACTIONS=<n>).

#include "AboutWnd.h"
#include "App.h"
#include "ComputeRd.h"
#include "ControlWnd.h"
#include "HelpWnd.h"
#include "Runtime.h"
#include "TextNumbers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QAbstractButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <string>

namespace {

unsigned long EnvNumber(const char* name, unsigned long fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::strtoul(v, nullptr, 10) : fallback;
}

class Storm {
public:
    Storm(unsigned long seed, long actions) : seed_(seed), left_(actions), rng_(static_cast<std::mt19937::result_type>(seed)) {}

    // Time moves on by one tick every other reading: the splash makes a few
    // hundred passes, and the storm runs through them.
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

    bool Failed() const { return failed_; }
    long Results() const { return results_; }
    long Done() const { return done_; }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(int percent) { return Pick(100) < percent; }
    template <class C>
    decltype(auto) Any(C& items) { return items[static_cast<std::size_t>(Pick(static_cast<int>(std::size(items))))]; }

    // The calculator window when the user can see it.
    static class ControlWnd* Calculator()
    {
        fw::Window* w = fw::GetImplicitWindow("ControlWnd.ControlWnd");
        return w && w->Visible() ? static_cast<class ControlWnd*>(w) : nullptr;
    }
    static void Click(QWidget* w, QPoint at) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at); }
    static void Click(QWidget* w) { Click(w, w->rect().center()); }

    void Fail(const std::string& what)
    {
        failed_ = true;
        ADD_FAILURE() << "storm seed " << seed_ << ", action " << done_ << ": " << what;
    }

    void Next()
    {
        if (failed_ || left_ <= 0) {
            Finish();
            return;
        }
        if (QApplication::activeModalWidget()) {  // a message box is being answered
            QTimer::singleShot(1, [this] { Next(); });
            return;
        }
        --left_;
        ++done_;
        Act();
        Check();
        QTimer::singleShot(0, [this] { Next(); });
    }

    void Finish()
    {
        dismisser_.stop();
        // Quit the way the user does, through File > Quit where a calculator is up.
        if (fw::GetImplicitWindow("ControlWnd.ControlWnd")) {
            if (QAction* quit = ActionNamed(ControlWnd(), "Quit")) {
                quit->trigger();
                return;
            }
        }
        fw::Quit();
    }

    std::vector<fw::Window*> Visible() const
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

    QString RandomText()
    {
        static const QStringList pieces = {"0", "1", "9", ".", "-", "+", "e", "E", "5", " ", "x", "1e5", "..",
                                           "é", "÷", "\t", "0.5", "-.5", "1.0001", "999999", "ä", "\u20ac"};
        QString out;
        for (int n = Pick(3) == 0 ? Pick(40) : Pick(8); n > 0; --n)
            out += Any(pieces);
        return out;
    }

    void Act()
    {
        const int kind = Pick(100);
        if (kind < 20)
            TypeKey();
        else if (kind < 38)
            TypeCoefficient();
        else if (kind < 46)
            Paste();
        else if (kind < 60)
            PressSomething();
        else if (kind < 80)
            PressComputeOrClear();
        else if (kind < 87)
            EditCommand();
        else
            WindowAction();
    }

    QWidget* KeyTarget()
    {
        if (QWidget* f = QApplication::focusWidget())
            return f;
        auto shown = Visible();
        return shown.empty() ? nullptr : Any(shown)->Frame();
    }

    void TypeKey()
    {
        QWidget* target = KeyTarget();
        if (!target)
            return;
        static const Qt::Key special[] = {Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Return,
                                          Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Left, Qt::Key_Right,
                                          Qt::Key_Home, Qt::Key_End, Qt::Key_Delete, Qt::Key_Up,
                                          Qt::Key_PageDown, Qt::Key_F1, Qt::Key_Shift};
        const int kind = Pick(10);
        if (kind < 5) {
            static const QString chars = "0123456789..--abcXYZ e+,;/\\é€ß\u00a0";
            const QString text(Any(chars));
            // A key as the keyboard sends it: its character, no key code Qt Test knows.
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        } else if (kind < 8) {
            QTest::keyClick(target, Any(special));
        } else {
            static const Qt::Key shortcuts[] = {Qt::Key_A, Qt::Key_C, Qt::Key_V, Qt::Key_X, Qt::Key_Z, Qt::Key_Y};
            QTest::keyClick(target, Any(shortcuts), Qt::ControlModifier);
        }
    }

    // What a user mostly types: a plausible coefficient, into one of the fields.
    void TypeCoefficient()
    {
        class ControlWnd* w = Calculator();
        if (!w)
            return;
        static const char* fields[] = {"RxxFld", "RyyFld", "RxyFld"};
        QWidget* editor = w->ControlNamed<fw::EditField>(Any(fields)).FocusWidget();
        Click(editor);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        static const char* numbers[] = {".9", ".8", ".5", "-.5", "0", "1", "1.0", ".85", ".75", ".7",
                                        "-1", "1.0001", "2", ".", "-", "..5", ".999999", "-.9"};
        QTest::keyClicks(editor, Any(numbers));
    }

    void Paste()
    {
        QGuiApplication::clipboard()->setText(RandomText());
        if (QWidget* target = KeyTarget())
            QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    }

    void PressSomething()
    {
        auto shown = Visible();
        if (shown.empty())
            return;
        fw::Window* w = Any(shown);
        if (w->Controls().empty() || Chance(15)) {
            QWidget* content = w->Content();
            Click(content, QPoint(Pick(content->width() + 1), Pick(content->height() + 1)));
            return;
        }
        auto* control = dynamic_cast<fw::RectControl*>(Any(w->Controls()).get());
        if (control && control->Widget()->isVisible())
            Click(control->FocusWidget() ? control->FocusWidget() : control->Widget());
    }

    void PressComputeOrClear()
    {
        class ControlWnd* found = Calculator();
        if (!found) {
            // The user brings the calculator back (from the About window, say).
            if (Chance(50))
                ControlWnd().Show();
            return;
        }
        auto& w = *found;
        if (Chance(20)) {
            Click(w.ControlNamed<fw::Canvas>("ClearCanvas").Widget());
            if (w.ControlNamed<fw::EditField>("RdFld").Visible())
                Fail("Clear left the result shown");
            return;
        }
        const QString rxx = w.ControlNamed<fw::EditField>("RxxFld").Text();
        const QString ryy = w.ControlNamed<fw::EditField>("RyyFld").Text();
        const QString rxy = w.ControlNamed<fw::EditField>("RxyFld").Text();
        const QString before = w.ControlNamed<fw::EditField>("RdFld").Text();
        const int boxes = fw::MsgBoxCount();
        Click(w.ControlNamed<fw::Canvas>("ComputeCanvas").Widget());
        const int shownBoxes = fw::MsgBoxCount() - boxes;
        if (shownBoxes > 1)
            Fail("one Compute press showed " + std::to_string(shownBoxes) + " message boxes");
        if (fw::GetImplicitWindow("ControlWnd.ControlWnd") != &w)
            return;
        const QString after = w.ControlNamed<fw::EditField>("RdFld").Text();
        if (shownBoxes == 1) {
            if (after != before)
                Fail("a refused Compute changed the result");
            return;
        }
        ++results_;
        const double rd = ComputeRd(fw::Val(rxx), fw::Val(ryy), fw::Abs(fw::Val(rxy)));
        const QString expected = fw::Format(rd, ".0000");
        if (after != expected || !w.ControlNamed<fw::EditField>("RdFld").Visible())
            Fail("Compute of '" + rxx.toStdString() + "', '" + ryy.toStdString() + "', '" + rxy.toStdString() +
                 "' showed '" + after.toStdString() + "', expected '" + expected.toStdString() + "'");
    }

    void EditCommand()
    {
        auto shown = Visible();
        if (shown.empty())
            return;
        static const char* names[] = {"&Undo", "Cu&t", "&Copy", "&Paste", "Clear", "Select &All"};
        if (QAction* a = ActionNamed(*Any(shown), Any(names))) {
            if (Chance(50))
                QGuiApplication::clipboard()->setText(RandomText());
            a->trigger();
        }
    }

    void WindowAction()
    {
        const int kind = Pick(7);
        if (kind == 0) {
            ControlWnd().Show();
        } else if (kind == 1) {
            AboutWnd().Show();
        } else if (kind == 2) {
            helpWnd().Show();
        } else {
            auto shown = Visible();
            if (shown.empty())
                return;
            fw::Window* w = Any(shown);
            // Closing the last window ends the program; the storm goes on instead.
            if (kind <= 4 && (shown.size() > 1 || !fw::LoopRunning()))
                w->Frame()->close();
            else
                w->Hide();
        }
    }

    void Check()
    {
        std::map<std::string, int> perClass;
        for (fw::Window* w : fw::LiveWindows())
            if (++perClass[w->Record().fullName] > 1)
                Fail("two live windows of " + w->Record().fullName);
        fw::Window* found = fw::GetImplicitWindow("ControlWnd.ControlWnd");
        if (!found)
            return;
        auto& w = static_cast<class ControlWnd&>(*found);
        auto& rd = w.ControlNamed<fw::EditField>("RdFld");
        if (rd.Visible() != w.ControlNamed<fw::StaticText>("RdText").Visible())
            Fail("RdFld and RdText shown apart");
        const QString text = rd.Text();
        const bool formatted = text.isEmpty() || text == "INF" || text == "-INF" || text == "NAN" ||
                               fw::Format(fw::Val(text), ".0000") == text;
        if (!formatted)
            Fail("RdFld shows '" + text.toStdString() + "'");
    }

    unsigned long seed_;
    long left_;
    long done_ = 0;
    std::mt19937 rng_;
    long reads_ = 0;
    bool failed_ = false;
    long results_ = 0;
    QTimer dismisser_;
};

}  // namespace

TEST(Storm, UserActionsFromStartUpToQuit)
{
    const unsigned long seed = EnvNumber("TOLVANE_STORM_SEED", 20261206);
    const long actions = static_cast<long>(EnvNumber("TOLVANE_STORM_ACTIONS", 20000));
    std::cout << "storm seed " << seed << ", " << actions << " actions\n";
    Storm storm(seed, actions);
    fw::SetTickSource([&storm] { return storm.Tick(); });
    initialize();
    storm.Start();
    Main();
    std::cout << storm.Results() << " results shown\n";
    EXPECT_FALSE(fw::ExceptionPending()) << "storm seed " << seed;
    EXPECT_FALSE(storm.Failed());
    EXPECT_EQ(storm.Done(), actions) << "storm seed " << seed;
}

// Start-up, the splash (on a driven tick counter), the About and help windows.
#include "AboutWnd.h"
#include "App.h"
#include "ControlWnd.h"
#include "HelpWnd.h"
#include "InvisibleWnd.h"
#include "MenuBar1.h"
#include "Runtime.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

// The program's main, built in under this name.
int TolvaneMain(int argc, char** argv);

namespace {

constexpr const char* kAbout = "AboutWnd.AboutWnd";
constexpr const char* kCalc = "ControlWnd.ControlWnd";
constexpr const char* kHidden = "InvisibleWnd.InvisibleWnd";
constexpr const char* kHelp = "helpWnd.helpWnd";

int Count(const char* fullName)
{
    return static_cast<int>(std::ranges::count_if(fw::LiveWindows(), [&](auto* w) { return w->Record().fullName == fullName; }));
}

bool Shown(const char* fullName) { return fw::GetImplicitWindow(fullName) && fw::GetImplicitWindow(fullName)->Visible(); }

// A fresh default window runs the splash on these tick readings, onRead(i) at read i; gives the number of reads.
int RunSplash(const std::vector<std::int32_t>& script, const std::function<void(int)>& onRead = {})
{
    for (const char* name : {kHidden, kCalc})
        if (fw::Window* w = fw::GetImplicitWindow(name))
            w->Close();
    Settle();
    std::size_t reads = 0;
    fw::SetTickSource([&]() -> std::int32_t {
        if (reads == script.size())
            throw std::runtime_error("the splash does not end");
        if (onRead)
            onRead(static_cast<int>(reads));
        return script[reads++];
    });
    (void)InvisibleWnd();
    fw::SetTickSource({});
    return static_cast<int>(reads);
}

// One of each, the calculator alone shown.
void ExpectSplashEnded()
{
    for (const char* w : {kHidden, kAbout, kCalc}) {
        EXPECT_EQ(Count(w), 1) << w;
        EXPECT_EQ(Shown(w), w == kCalc) << w;
    }
}

void FromTheLoop(std::function<void()> fn)
{
    QTimer::singleShot(0, qApp, [fn] { fw::LoopRunning() ? fn() : FromTheLoop(fn); });
}

// The program's own entry on quick ticks, fn run from its event loop; gives the exit status.
int RunMain(std::function<void()> fn)
{
    fw::SetTickSource([n = 0]() mutable { return 180 * n++; });
    FromTheLoop(std::move(fn));
    char name[] = "tolvane";
    char* argv[] = {name, nullptr};
    int argc = 1;
    return TolvaneMain(argc, argv);
}

}  // namespace

// Whole seconds are read; the wait ends on the read three or more on from the start, a wrap counting as none.
TEST(Splash, WaitsUntilTheSecondsMoveOnByThree)
{
    const std::vector<std::int32_t> scripts[] = {
        {0, 60, 120, 180}, {0, 180}, {0, 60, 240}, {119, 120, 239, 240}, {120, 299, 300},
        {INT_MAX - 30, INT_MIN + 29, INT_MIN + 89, INT_MIN + 149, INT_MIN + 209}};
    for (const auto& script : scripts) {
        SCOPED_TRACE(script.front());
        bool aboutAlone = true;
        const int reads = RunSplash(script, [&](int) { aboutAlone = aboutAlone && Shown(kAbout) && Count(kCalc) == 0; });
        EXPECT_EQ(reads, static_cast<int>(script.size()));
        EXPECT_TRUE(aboutAlone);
        ExpectSplashEnded();
    }
}

// A window the user closes during the wait is built afresh at its end: About hidden, the calculator shown.
TEST(Splash, WindowsClosedDuringTheWaitAreBuiltAfresh)
{
    fw::Window* closedAbout = nullptr;
    fw::Window* closedCalc = nullptr;
    RunSplash({0, 60, 120, 180}, [&](int read) {
        if (read == 1) {
            closedAbout = &AboutWnd();
            QTest::keyClick(AboutWnd().Frame(), Qt::Key_Space);  // brings the calculator up early
            closedAbout->Frame()->close();
        } else if (read == 2) {
            closedCalc = fw::GetImplicitWindow(kCalc);
            ASSERT_NE(closedCalc, nullptr);
            closedCalc->Frame()->close();
        }
    });
    ExpectSplashEnded();
    EXPECT_NE(fw::GetImplicitWindow(kAbout), closedAbout);
    EXPECT_NE(fw::GetImplicitWindow(kCalc), closedCalc);
}

// During the wait too, so the wait's end must not add a second calculator.
TEST(About, AKeyOrAPressAnywhereMakesWayForTheOneCalculator)
{
    auto press = [](const char* name) { return [name] { Press(AboutWnd().ControlNamed<fw::RectControl>(name)); }; };
    auto key = [](Qt::Key k, Qt::KeyboardModifiers mods = {}) {
        return [=] { QTest::keyClick(AboutWnd().Frame(), k, mods); };
    };
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"letter", key(Qt::Key_Q)}, {"arrow", key(Qt::Key_Down)}, {"function key", key(Qt::Key_F1)},
        {"Ctrl+letter", key(Qt::Key_B, Qt::ControlModifier)}, {"Tab", key(Qt::Key_Tab)},
        {"background", [] { PressAt(AboutWnd().Content(), QPoint(5, 5)); }},
        {"disabled picture", press("Canvas2")}, {"label", press("StaticText1")}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.first);
        bool madeWay = false;
        RunSplash({0, 60, 120, 180}, [&](int read) {
            if (read == 1)
                QTimer::singleShot(0, qApp, way.second);
            if (read == 2)
                madeWay = !Shown(kAbout) && Shown(kCalc);
        });
        EXPECT_TRUE(madeWay);
        ExpectSplashEnded();
    }
}

// One window each, kept while open (the help's edits too) and brought back hidden, minimised or moved where the
// user left it; built afresh once the user closed it. The calculator keeps its fields, result and focus.
TEST(Presses, LogoAndHelpShowTheirWindows)
{
    MessageBoxWatcher boxes;
    auto& calc = ControlWnd();
    for (const auto& [name, text] : {std::pair{"RxxFld", ".9"}, {"RyyFld", ".8"}, {"RxyFld", ".5"}})
        calc.ControlNamed<fw::EditField>(name).Text(text);
    Press(calc.ControlNamed<fw::Canvas>("ComputeCanvas"));
    calc.ControlNamed<fw::EditField>("RyyFld").SetFocus();
    auto calculatorState = [&calc] {
        QStringList state{QString::number(quintptr(calc.Frame()->focusWidget()))};
        for (const char* name : {"RxxFld", "RyyFld", "RxyFld", "RdFld"})
            state << calc.ControlNamed<fw::EditField>(name).Text();
        for (const char* name : {"RdFld", "RdText"})
            state << QString::number(calc.ControlNamed<fw::RectControl>(name).Widget()->isVisible());
        return state;
    };
    const QStringList before = calculatorState();

    const std::string_view bytes = helpWnd::HelpText();
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    auto pressBoth = [] {
        Press(ControlWnd().ControlNamed<fw::Canvas>("Canvas1"));
        Press(ControlWnd().ControlNamed<fw::Canvas>("Help"));
        EXPECT_TRUE(Shown(kAbout) && Shown(kHelp));
        EXPECT_EQ(Count(kAbout) + Count(kHelp), 2);
    };
    auto field = [] { return &helpWnd().ControlNamed<fw::EditField>("EditField1"); };
    pressBoth();
    // The help text as shown: a line for each paragraph, wrapped to the window, with a scroll bar for the rest.
    const QPlainTextEdit* help = field()->TextEdit();
    EXPECT_EQ(help->document()->blockCount(), text.count('\r') + 1);
    EXPECT_GT(help->document()->findBlockByNumber(2).layout()->lineCount(), 1);
    EXPECT_TRUE(help->verticalScrollBar()->isVisible());
    EXPECT_FALSE(help->horizontalScrollBar()->isVisible());
    Type(*field(), "Notes ");
    // What an input method commits goes in whole, joiners and marks included: the help text has no key filter.
    const QString committed = QString::fromUtf8("\U0001F469\u200D\U0001F4BB\u200F\u00AD ");
    const int beeps = fw::BeepCount();
    QInputMethodEvent commit;
    commit.setCommitString(committed);
    QCoreApplication::sendEvent(field()->FocusWidget(), &commit);
    EXPECT_EQ(fw::BeepCount(), beeps);
    AboutWnd().Hide();
    helpWnd().Frame()->move(30, 40);
    helpWnd().Frame()->showMinimized();
    pressBoth();
    EXPECT_FALSE(helpWnd().Frame()->isMinimized());
    EXPECT_EQ(helpWnd().Frame()->pos(), QPoint(30, 40));
    EXPECT_TRUE(field()->Text().startsWith("Notes " + committed + "Tolvane"));
    AboutWnd().Frame()->close();
    helpWnd().Frame()->close();
    Settle();
    EXPECT_EQ(Count(kAbout) + Count(kHelp), 0);
    pressBoth();
    EXPECT_TRUE(field()->Text() == text);
    EXPECT_EQ(calculatorState(), before);
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

// A message box belongs to the window whose handler shows it, whichever window is active. Minimised with that
// window, it comes back into view, active, as soon as the user turns to any window it blocks.
TEST(MessageBox, ComesBackWhenTheUserTurnsToAWindowItBlocks)
{
    auto& calc = ControlWnd();
    Press(calc.ControlNamed<fw::Canvas>("Help"));
    Press(calc.ControlNamed<fw::Canvas>("Canvas1"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(AboutWnd().Frame()));
    QStringList seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        seen << "over " + box->windowHandle()->transientParent()->title();
        for (QWidget* turnTo : {helpWnd().Frame(), AboutWnd().Frame(), calc.Frame()}) {
            box->showMinimized();  // and its window with it, as the window manager does
            calc.Frame()->showMinimized();
            Settle();
            turnTo->activateWindow();
            Settle();
            const bool inView = box->isVisible() && !box->isMinimized() && !calc.Frame()->isMinimized() &&
                                QApplication::activeWindow() == box;
            seen << turnTo->windowTitle() + (inView ? ": the box in view" : ": the box out of sight");
        }
        box->buttons().first()->click();
    });
    poll.start(5);
    Press(calc.ControlNamed<fw::Canvas>("ComputeCanvas"));  // on an empty form
    EXPECT_EQ(seen, QStringList({"over Tolvane", "Vantrel Info: the box in view", ": the box in view",
                                 "Tolvane: the box in view"}));
    EXPECT_TRUE(QTest::qWaitForWindowActive(calc.Frame()));
    EXPECT_EQ(Focused(), calc.ControlNamed<fw::EditField>("RxxFld").FocusWidget());
}

// Ctrl+Q quits from a window without a menu bar of its own (About, built during the splash); the menu bar is
// released at the end and the exit status is 0.
TEST(StartUp, CtrlQFromTheAboutWindowEndsTheProgram)
{
    std::weak_ptr<class MenuBar1> bar;
    bool quitByKey = false;
    const int status = RunMain([&] {
        ExpectSplashEnded();
        bar = MenuBar1::implicitInstance;
        Press(ControlWnd().ControlNamed<fw::Canvas>("Canvas1"));
        ASSERT_TRUE(QTest::qWaitForWindowActive(AboutWnd().Frame()));
        QTest::keyClick(AboutWnd().Frame(), Qt::Key_Q, Qt::ControlModifier);
        quitByKey = fw::Quitting();
        fw::Quit();
    });
    EXPECT_TRUE(quitByKey);
    EXPECT_TRUE(bar.expired());
    EXPECT_EQ(status, 0);
}

TEST(StartUp, AnExceptionEscapingTheLoopIsReportedOnce)
{
    ::testing::internal::CaptureStderr();
    const int status = RunMain([] { fw::Dispatch([]() -> bool { throw std::runtime_error("it failed"); }); });
    const QString err = QString::fromStdString(::testing::internal::GetCapturedStderr());
    EXPECT_EQ(err.count("Unhandled exception"), 1);
    EXPECT_TRUE(err.contains("Unhandled exception: it failed\n"));
    EXPECT_NE(status, 0);
}

// Sixtieths of a second, as the system's monotonic clock counts them.
TEST(Splash, TicksCountSixtiethsOfASecond)
{
    QElapsedTimer clock;
    clock.start();
    const std::int32_t first = fw::Ticks();
    QTest::qSleep(500);
    EXPECT_NEAR(fw::Ticks() - first, double(clock.elapsed()) * 60 / 1000, 1.5);
}

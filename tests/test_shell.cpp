// Start-up, the splash (on a scripted tick counter), the About and help windows.
#include "AboutWnd.h"
#include "App.h"
#include "ControlWnd.h"
#include "HelpWnd.h"
#include "InvisibleWnd.h"
#include "MenuBar1.h"
#include "Runtime.h"
#include "TestSupport.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

constexpr const char* kAbout = "AboutWnd.AboutWnd";
constexpr const char* kCalc = "ControlWnd.ControlWnd";
constexpr const char* kHidden = "InvisibleWnd.InvisibleWnd";
constexpr const char* kHelp = "helpWnd.helpWnd";

int Count(const char* fullName)
{
    const auto& live = fw::LiveWindows();
    return static_cast<int>(std::count_if(live.begin(), live.end(), [&](auto* w) { return w->Record().fullName == fullName; }));
}

bool Shown(const char* fullName) { return fw::GetImplicitWindow(fullName) && fw::GetImplicitWindow(fullName)->Visible(); }

// Read i gives script[i], then a second more per read, wrapping like the 32-bit
// counter. At(i, f) posts f at read i, for the splash's next background task.
class Clock {
public:
    explicit Clock(std::vector<std::int32_t> script) : script_(std::move(script)) { fw::SetTickSource([this] { return Next(); }); }
    ~Clock() { fw::SetTickSource({}); }
    void At(int read, std::function<void()> action) { posted_[read] = std::move(action); }
    int Reads() const { return reads_; }

private:
    std::int32_t Next()
    {
        const auto i = static_cast<std::size_t>(reads_++);
        if (i > 10000)
            throw std::runtime_error("the splash does not end");
        if (auto a = posted_.find(static_cast<int>(i)); a != posted_.end())
            QTimer::singleShot(0, qApp, a->second);
        last_ = i < script_.size() ? script_[i] : static_cast<std::int32_t>(static_cast<std::uint32_t>(last_) + 60u);
        return last_;
    }
    std::vector<std::int32_t> script_;
    std::map<int, std::function<void()>> posted_;
    std::int32_t last_ = 0;
    int reads_ = 0;
};

// One of each, the calculator alone shown.
void ExpectSplashEnded()
{
    for (const char* w : {kHidden, kAbout, kCalc}) {
        EXPECT_EQ(Count(w), 1) << w;
        EXPECT_EQ(Shown(w), w == kCalc) << w;
    }
}

// Runs fn from the event loop once the calculator is up.
void OnceCalculatorUp(std::function<void()> fn)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, fn] {
        if (fw::LoopRunning() && Shown(kCalc)) {
            timer->stop();
            fn();
        }
    });
    timer->start(0);
}

}  // namespace

// The start reading, then one per pass.
using WaitCase = std::pair<const char*, std::vector<std::int32_t>>;
class SplashWait : public ::testing::TestWithParam<WaitCase> {};

TEST_P(SplashWait, EndsOnceTheWholeSecondsMoveOnByThree)
{
    Clock clock(GetParam().second);
    const int passes = static_cast<int>(GetParam().second.size()) - 1;
    bool aboutShown = false, calcDuringWait = true;
    int firstTaskAfterRead = 0;
    clock.At(0, [&] { aboutShown = Shown(kAbout); firstTaskAfterRead = clock.Reads(); });
    clock.At(passes, [&] { calcDuringWait = Count(kCalc) > 0; });  // the last pass's task
    (void)InvisibleWnd();
    EXPECT_EQ(clock.Reads(), passes + 1);
    EXPECT_TRUE(aboutShown);
    EXPECT_EQ(firstTaskAfterRead, 2);  // every pass yields, the first one included
    EXPECT_FALSE(calcDuringWait);
    ExpectSplashEnded();
}

INSTANTIATE_TEST_SUITE_P(
    Splash, SplashWait,
    ::testing::Values(WaitCase{"ThreeSeconds", {0, 60, 120, 180}}, WaitCase{"FirstPassMayEnd", {0, 180}},
                      WaitCase{"StartJustBeforeASecond", {119, 120, 239, 240}},  // 121 ticks
                      WaitCase{"StartJustAfterASecond", {120, 299, 300}},        // 180 ticks
                      WaitCase{"LongPassJumpsToFour", {0, 60, 240}}),
    [](const auto& info) { return std::string(info.param.first); });

TEST(Splash, WrapOfTheTickCounterEndsTheWait)
{
    for (const std::int32_t start : {INT_MAX - 200, INT_MAX - 90, INT_MAX - 30, INT_MAX}) {
        Clock clock({start});
        (void)InvisibleWnd();
        EXPECT_GT(clock.Reads(), 1) << start;
        EXPECT_LT(clock.Reads(), 20) << start;
        ExpectSplashEnded();
        fw::GetImplicitWindow(kHidden)->Close();  // a fresh one runs the splash again
        Settle();
    }
}

TEST(Splash, AboutClosedDuringTheWaitIsBuiltAfreshAndHidden)
{
    Clock clock({0, 60, 120, 180});
    const void* closed = nullptr;
    clock.At(1, [&] { closed = &AboutWnd(); AboutWnd().Frame()->close(); });
    (void)InvisibleWnd();
    ASSERT_NE(closed, nullptr);
    EXPECT_NE(fw::GetImplicitWindow(kAbout), closed);
    EXPECT_EQ(fw::GetImplicitWindow(kAbout)->Controls().size(), 4u);
    ExpectSplashEnded();
}

// A key in About during the wait brings the calculator up early; closed, it comes back fresh.
TEST(Splash, CalculatorShownAndClosedDuringTheWaitIsBuiltAfreshAndShown)
{
    Clock clock({0, 60, 60, 120, 180});
    clock.At(1, [] { QTest::keyClick(AboutWnd().Frame(), Qt::Key_Space); });
    clock.At(2, [] { Type(ControlWnd().ControlNamed<fw::EditField>("RxxFld"), ".5"); ControlWnd().Frame()->close(); });
    (void)InvisibleWnd();
    EXPECT_EQ(clock.Reads(), 5);
    EXPECT_EQ(ControlWnd().ControlNamed<fw::EditField>("RxxFld").Text(), "");
    ExpectSplashEnded();
}

TEST(About, AnyKeyOrPressHidesItAndShowsTheCalculator)
{
    auto& about = AboutWnd();
    auto key = [&](Qt::Key k) { return [&about, k] { QTest::keyClick(about.Frame(), k); }; };
    auto press = [&](const char* name) { return [&about, name] { Press(about.ControlNamed<fw::RectControl>(name)); }; };
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"letter", key(Qt::Key_Q)}, {"return", key(Qt::Key_Return)}, {"escape", key(Qt::Key_Escape)},
        {"background", [&] { PressAt(about.Content(), QPoint(5, 5)); }}, {"logo", press("Canvas1")},
        {"disabled wordmark", press("Canvas2")}, {"name", press("StaticText1")}, {"notice", press("StaticText2")},
    };
    for (const auto& [what, act] : ways) {
        SCOPED_TRACE(what);
        about.Show();
        act();
        EXPECT_FALSE(about.Visible());
        EXPECT_TRUE(Shown(kCalc));
        EXPECT_EQ(&AboutWnd(), &about);
    }
    EXPECT_EQ(Count(kCalc), 1);
}

TEST(Presses, LogoAndHelpShowOneWindowEachAndLeaveTheCalculatorAsItWas)
{
    auto& calc = ControlWnd();
    auto field = [&](const char* name) -> fw::EditField& { return calc.ControlNamed<fw::EditField>(name); };
    const std::pair<const char*, const char*> values[] = {
        {"RxxFld", ".9"}, {"RyyFld", ".8"}, {"RxyFld", "-.5"}, {"RdFld", ".7000"}};
    for (int i = 0; i < 3; ++i)
        Type(field(values[i].first), values[i].second);
    Press(calc.ControlNamed<fw::Canvas>("ComputeCanvas"));
    field("RyyFld").SetFocus();
    Settle();
    auto& logo = calc.ControlNamed<fw::Canvas>("Canvas1");
    auto& helpButton = calc.ControlNamed<fw::Canvas>("Help");

    // A second press shows the same window, the help's edits kept.
    PressAt(logo.Widget(), QPoint(1, 1));
    auto* about = &AboutWnd();
    PressAt(logo.Widget(), QPoint(130, 131));
    Press(helpButton);
    auto* help = &helpWnd();
    Type(help->ControlNamed<fw::EditField>("EditField1"), "Notes ");
    PressAt(helpButton.Widget(), QPoint(70, 68));
    EXPECT_TRUE(Shown(kAbout) && Shown(kHelp));
    EXPECT_EQ(Count(kAbout) + Count(kHelp), 2);
    EXPECT_TRUE(&AboutWnd() == about && &helpWnd() == help);
    EXPECT_TRUE(help->ControlNamed<fw::EditField>("EditField1").Text().startsWith("Notes Tolvane"));
    for (const auto& [name, text] : values)
        EXPECT_EQ(field(name).Text(), text);
    EXPECT_TRUE(field("RdFld").Visible() && calc.ControlNamed<fw::StaticText>("RdText").Visible());
    EXPECT_EQ(calc.Frame()->focusWidget(), field("RyyFld").FocusWidget());

    // Closed, the next press builds each afresh.
    about->ControlNamed<fw::StaticText>("StaticText1").Text("changed");
    about->Frame()->close();
    help->Frame()->close();
    Settle();
    Press(logo);
    Press(helpButton);
    ASSERT_TRUE(Shown(kAbout) && Shown(kHelp));
    EXPECT_EQ(AboutWnd().ControlNamed<fw::StaticText>("StaticText1").Text(), "Tol\rvane");
    EXPECT_TRUE(helpWnd().ControlNamed<fw::EditField>("EditField1").Text().startsWith("Tolvane\r"));
}

TEST(Help, HelpTextAndItsField)
{
    const QString text = QString::fromUtf8(helpWnd::HelpText());
    EXPECT_EQ(text.size(), 1961);
    EXPECT_TRUE(text.startsWith("Tolvane\r\rA difference score is obtained"));
    EXPECT_TRUE(text.contains(QStringLiteral("Rd = (.5 (Rxx + Ryy) - Rxy) \u00F7 1 - Rxy.\r")));
    QString lines;  // x: a line of text, '.': a blank one
    for (const QString& line : text.split('\r'))
        lines += line.isEmpty() ? '.' : 'x';
    EXPECT_EQ(lines, "x.x.x...x.x.x.x");

    auto& help = helpWnd();
    EXPECT_EQ(help.Frame()->windowTitle(), "Vantrel Info");
    EXPECT_EQ(help.Content()->size(), QSize(550, 500));
    auto& field = help.ControlNamed<fw::EditField>("EditField1");
    EXPECT_EQ(field.Widget()->geometry(), QRect(-1, -1, 551, 498));
    EXPECT_EQ(field.Text(), text);
    QPlainTextEdit* edit = field.TextEdit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->document()->blockCount(), text.count('\r') + 1);  // no stray line breaks either
    EXPECT_TRUE(edit->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn && edit->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff);
    EXPECT_FALSE(edit->isReadOnly());
}

// Main runs the splash and the loop until Quit; a failure before or in the loop is reported once.
enum RunEnd { kQuit, kFailBeforeTheLoop, kFailInTheLoop };
class MainRun : public ::testing::TestWithParam<RunEnd> {};

TEST_P(MainRun, EndsTheLoopAndFinalizeReleasesTheBarLast)
{
    const RunEnd run = GetParam();
    Clock clock({0, 60, 120, 180});
    bool barFirst = false, barAtWindowsEnd = false;
    clock.At(0, [&] {
        barFirst = fw::App() && fw::App()->MenuBar() && fw::App()->MenuBar() == MenuBar1::implicitInstance &&
                   !fw::GetImplicitWindow(kHidden)->Frame()->actions().isEmpty();
    });
    auto loopRan = std::make_shared<bool>(false);
    OnceCalculatorUp([loopRan] { *loopRan = true; });
    if (run == kFailBeforeTheLoop)
        fw::SetTickSource([]() -> std::int32_t { throw std::runtime_error("it failed"); });
    else if (run == kFailInTheLoop)
        OnceCalculatorUp([] { fw::Dispatch([]() -> bool { throw std::runtime_error("it failed"); }); });
    else
        OnceCalculatorUp([] { ControlWnd().Frame()->menuBar()->actions()[0]->menu()->actions()[0]->trigger(); });
    ::testing::internal::CaptureStderr();
    Main();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(fw::LoopRunning());
    EXPECT_EQ(*loopRan, run != kFailBeforeTheLoop);
    if (run == kQuit) {
        EXPECT_TRUE(barFirst);  // the bar was in place before the first window
        EXPECT_TRUE(fw::Quitting());
        ExpectSplashEnded();
    } else {
        EXPECT_EQ(QString::fromStdString(err).count("Unhandled exception"), 1) << err;
        EXPECT_NE(err.find("Unhandled exception: it failed\n"), std::string::npos) << err;
        EXPECT_EQ(Count(kHidden) + Count(kCalc), run == kFailBeforeTheLoop ? 0 : 2);
    }

    if (fw::Window* calc = fw::GetImplicitWindow(kCalc))
        QObject::connect(calc->Frame(), &QObject::destroyed, [&] { barAtWindowsEnd = MenuBar1::implicitInstance != nullptr; });
    std::weak_ptr<class MenuBar1> bar = MenuBar1::implicitInstance;
    finalize();
    EXPECT_EQ(barAtWindowsEnd, run != kFailBeforeTheLoop);
    EXPECT_TRUE(fw::LiveWindows().empty());
    EXPECT_EQ(fw::App(), nullptr);
    EXPECT_TRUE(bar.expired());
    finalize();  // the process's own close-down runs it again
    EXPECT_EQ(fw::RuntimeExit() == 0, run == kQuit);
}

INSTANTIATE_TEST_SUITE_P(StartUp, MainRun, ::testing::Values(kQuit, kFailBeforeTheLoop, kFailInTheLoop), [](const auto& info) {
    return std::string(std::array{"Quit", "FailBeforeTheLoop", "FailInTheLoop"}[info.param]);
});

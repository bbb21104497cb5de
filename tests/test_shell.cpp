// Start-up, the splash, the About and help windows and the calculator's
// presses that open them. The test drives the tick counter, so the splash's
// wait passes as fast as the script says.
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

#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Readable failure messages.
void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

constexpr const char* kAbout = "AboutWnd.AboutWnd";
constexpr const char* kCalc = "ControlWnd.ControlWnd";
constexpr const char* kHidden = "InvisibleWnd.InvisibleWnd";
constexpr const char* kHelp = "helpWnd.helpWnd";

int Count(const char* fullName)
{
    int n = 0;
    for (fw::Window* w : fw::LiveWindows())
        n += w->Record().fullName == fullName;
    return n;
}

bool Shown(const char* fullName)
{
    fw::Window* w = fw::GetImplicitWindow(fullName);
    return w && w->Visible();
}

// The tick counter: read i gives script[i], then a second more per read,
// wrapping like the 32-bit counter. At(i) posts an action at read i, which the
// splash's next background task runs.
class Clock {
public:
    explicit Clock(std::vector<std::int32_t> script) : script_(std::move(script))
    {
        fw::SetTickSource([this] { return Next(); });
    }
    ~Clock() { fw::SetTickSource({}); }

    void At(int read, std::function<void()> action) { posted_[read] = std::move(action); }
    int Reads() const { return reads_; }

private:
    std::int32_t Next()
    {
        const int i = reads_++;
        if (i > 10000)
            throw std::runtime_error("the splash does not end");
        if (auto a = posted_.find(i); a != posted_.end())
            QTimer::singleShot(0, qApp, a->second);
        if (static_cast<std::size_t>(i) < script_.size())
            last_ = script_[static_cast<std::size_t>(i)];
        else
            last_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(last_) + 60u);
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

}  // namespace

struct WaitCase {
    const char* name;
    std::vector<std::int32_t> ticks;  // the start reading, then one per pass
    int passes;
};
void PrintTo(const WaitCase& c, std::ostream* os)
{
    *os << c.name;
}

class SplashWait : public ::testing::TestWithParam<WaitCase> {};

TEST_P(SplashWait, EndsOnceTheWholeSecondsMoveOnByThree)
{
    Clock clock(GetParam().ticks);
    bool aboutShown = false, calcDuringWait = true;
    int firstTaskAfterRead = 0;
    clock.At(0, [&] {
        aboutShown = Shown(kAbout);
        firstTaskAfterRead = clock.Reads();
    });
    clock.At(GetParam().passes, [&] { calcDuringWait = Count(kCalc) > 0; });  // the last pass's task
    (void)InvisibleWnd();

    EXPECT_EQ(clock.Reads(), GetParam().passes + 1);
    EXPECT_TRUE(aboutShown);
    EXPECT_EQ(firstTaskAfterRead, 2);  // every pass yields, the first one included
    EXPECT_FALSE(calcDuringWait);
    ExpectSplashEnded();
}

INSTANTIATE_TEST_SUITE_P(
    Splash, SplashWait,
    ::testing::Values(WaitCase{"ThreeSeconds", {0, 60, 120, 180}, 3}, WaitCase{"FirstPassMayEnd", {0, 180}, 1},
                      WaitCase{"StartJustBeforeASecond", {119, 120, 239, 240}, 3},  // 121 ticks
                      WaitCase{"StartJustAfterASecond", {120, 299, 300}, 2},        // 180 ticks
                      WaitCase{"LongPassJumpsToFour", {0, 60, 240}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

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

TEST(Splash, KeyInAboutDuringTheWaitLeavesOneCalculator)
{
    Clock clock({0, 60, 120, 180});
    clock.At(1, [] { QTest::keyClick(AboutWnd().Frame(), Qt::Key_Space); });
    (void)InvisibleWnd();
    EXPECT_EQ(clock.Reads(), 4);
    ExpectSplashEnded();
}

TEST(Splash, AboutClosedDuringTheWaitIsBuiltAfreshAndHidden)
{
    Clock clock({0, 60, 120, 180});
    const void* closed = nullptr;
    clock.At(1, [&] {
        closed = &AboutWnd();
        AboutWnd().Frame()->close();
    });
    (void)InvisibleWnd();
    ASSERT_NE(closed, nullptr);
    EXPECT_NE(fw::GetImplicitWindow(kAbout), closed);
    EXPECT_EQ(fw::GetImplicitWindow(kAbout)->Controls().size(), 4u);
    ExpectSplashEnded();
}

TEST(Splash, CalculatorClosedDuringTheWaitIsBuiltAfreshAndShown)
{
    Clock clock({0, 60, 60, 120, 180});
    clock.At(1, [] { PressAt(AboutWnd().Content(), QPoint(5, 5)); });
    clock.At(2, [] {
        Type(ControlWnd().ControlNamed<fw::EditField>("RxxFld"), ".5");
        ControlWnd().Frame()->close();
    });
    (void)InvisibleWnd();
    EXPECT_EQ(ControlWnd().ControlNamed<fw::EditField>("RxxFld").Text(), "");
    ExpectSplashEnded();
}

TEST(About, AnyKeyOrPressHidesItAndShowsTheCalculator)
{
    auto& about = AboutWnd();
    const struct {
        const char* what;
        std::function<void()> act;
    } ways[] = {
        {"letter", [&] { QTest::keyClick(about.Frame(), Qt::Key_Q); }},
        {"return", [&] { QTest::keyClick(about.Frame(), Qt::Key_Return); }},
        {"escape", [&] { QTest::keyClick(about.Frame(), Qt::Key_Escape); }},
        {"background", [&] { PressAt(about.Content(), QPoint(5, 5)); }},
        {"logo", [&] { Press(about.ControlNamed<fw::Canvas>("Canvas1")); }},
        {"disabled wordmark", [&] { Press(about.ControlNamed<fw::Canvas>("Canvas2")); }},
        {"name", [&] { Press(about.ControlNamed<fw::StaticText>("StaticText1")); }},
        {"notice", [&] { Press(about.ControlNamed<fw::StaticText>("StaticText2")); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        about.Show();
        way.act();
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
    EXPECT_EQ(&AboutWnd(), about);
    EXPECT_EQ(&helpWnd(), help);
    EXPECT_TRUE(help->ControlNamed<fw::EditField>("EditField1").Text().startsWith("Notes Tolvane"));

    for (const auto& [name, text] : values)
        EXPECT_EQ(field(name).Text(), text);
    EXPECT_TRUE(field("RdFld").Visible());
    EXPECT_TRUE(calc.ControlNamed<fw::StaticText>("RdText").Visible());
    EXPECT_EQ(calc.Frame()->focusWidget(), field("RyyFld").FocusWidget());

    // Closed, the next press builds each afresh.
    about->ControlNamed<fw::StaticText>("StaticText1").Text("changed");
    about->Frame()->close();
    help->Frame()->close();
    Settle();
    EXPECT_EQ(Count(kAbout) + Count(kHelp), 0);
    Press(logo);
    Press(helpButton);
    ASSERT_TRUE(Shown(kAbout) && Shown(kHelp));
    EXPECT_EQ(AboutWnd().Controls().size(), 4u);
    EXPECT_EQ(AboutWnd().ControlNamed<fw::StaticText>("StaticText1").Text(), "Tol\rvane");
    EXPECT_TRUE(helpWnd().ControlNamed<fw::EditField>("EditField1").Text().startsWith("Tolvane\r"));
}

TEST(Help, HelpTextAndItsField)
{
    const std::string_view bytes = helpWnd::HelpText();
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    EXPECT_EQ(bytes.size(), 1962u);
    EXPECT_EQ(text.size(), 1961);
    EXPECT_TRUE(text.startsWith("Tolvane\r\rA difference score is obtained"));
    EXPECT_TRUE(text.contains(QStringLiteral("Rd = (.5 (Rxx + Ryy) - Rxy) \u00F7 1 - Rxy.\r")));
    QString lines;  // x: a line of text, '.': a blank one
    for (const QString& line : text.split('\r'))
        lines += line.isEmpty() ? '.' : 'x';
    EXPECT_EQ(lines, "x.x.x...x.x.x.x");
    EXPECT_FALSE(text.contains('\n'));

    auto& help = helpWnd();
    EXPECT_EQ(help.Frame()->windowTitle(), "Vantrel Info");
    EXPECT_EQ(help.Content()->size(), QSize(550, 500));
    auto& field = help.ControlNamed<fw::EditField>("EditField1");
    EXPECT_EQ(field.Widget()->geometry(), QRect(-1, -1, 551, 498));
    EXPECT_EQ(field.Text(), text);
    QPlainTextEdit* edit = field.TextEdit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->document()->blockCount(), text.count('\r') + 1);
    EXPECT_EQ(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_FALSE(edit->isReadOnly());
}

namespace {

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

TEST(StartUp, MainRunsTheSplashAndTheLoopUntilQuitAndFinalizeReleasesTheBarLast)
{
    Clock clock({0, 60, 120, 180});
    bool barFirst = false, barAtWindowsEnd = false;
    clock.At(0, [&] {
        barFirst = fw::App() && fw::App()->MenuBar() && fw::App()->MenuBar() == MenuBar1::implicitInstance &&
                   !fw::GetImplicitWindow(kHidden)->Frame()->actions().isEmpty();
    });
    OnceCalculatorUp([] { ControlWnd().Frame()->menuBar()->actions()[0]->menu()->actions()[0]->trigger(); });
    Main();
    EXPECT_TRUE(barFirst);  // the bar was in place before the first window
    EXPECT_TRUE(fw::Quitting());
    EXPECT_FALSE(fw::LoopRunning());
    ExpectSplashEnded();

    QObject::connect(ControlWnd().Frame(), &QObject::destroyed,
                     [&] { barAtWindowsEnd = MenuBar1::implicitInstance != nullptr; });
    std::weak_ptr<class MenuBar1> bar = MenuBar1::implicitInstance;
    finalize();
    EXPECT_TRUE(barAtWindowsEnd);
    EXPECT_TRUE(fw::LiveWindows().empty());
    EXPECT_EQ(fw::App(), nullptr);
    EXPECT_TRUE(bar.expired());
    finalize();  // the process's own close-down runs it again
    EXPECT_EQ(fw::RuntimeExit(), 0);
}

// An exception escaping in the loop or before it: reported once, the loop
// skipped in the second case, and the exit status not zero.
class MainFailure : public ::testing::TestWithParam<bool> {};

TEST_P(MainFailure, IsReportedOnceWithANonZeroExit)
{
    const bool beforeTheLoop = GetParam();
    Clock clock({0, 180});
    auto loopRan = std::make_shared<bool>(false);
    OnceCalculatorUp([loopRan] { *loopRan = true; });
    if (beforeTheLoop)
        fw::SetTickSource([]() -> std::int32_t { throw std::runtime_error("it failed"); });
    else
        OnceCalculatorUp([] { fw::Dispatch([]() -> bool { throw std::runtime_error("it failed"); }); });
    ::testing::internal::CaptureStderr();
    Main();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(QString::fromStdString(err).count("Unhandled exception"), 1) << err;
    EXPECT_NE(err.find("Unhandled exception: it failed\n"), std::string::npos) << err;
    EXPECT_FALSE(fw::LoopRunning());
    EXPECT_EQ(*loopRan, !beforeTheLoop);
    EXPECT_EQ(Count(kHidden) + Count(kCalc), beforeTheLoop ? 0 : 2);
    finalize();
    EXPECT_NE(fw::RuntimeExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(StartUp, MainFailure, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "BeforeTheLoop" : "InTheLoop"; });

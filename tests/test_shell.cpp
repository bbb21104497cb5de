// Start-up, the splash, the About and help windows and the calculator's
// presses that open them. The tick counter is driven by the test, so the
// splash's wait passes as fast as the script says.
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

std::uintptr_t Address(const void* p)
{
    return reinterpret_cast<std::uintptr_t>(p);
}

// The tick counter: read i gives script[i], then a second more per read,
// wrapping like the 32-bit counter. At(i) posts an action that the splash's
// next background task runs; Probe(i) runs a check at the read itself.
class Clock {
public:
    explicit Clock(std::vector<std::int32_t> script) : script_(std::move(script))
    {
        fw::SetTickSource([this] { return Next(); });
    }
    ~Clock() { fw::SetTickSource({}); }
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;

    void At(int read, std::function<void()> action) { posted_[read] = std::move(action); }
    void Probe(int read, std::function<void()> check) { probes_[read] = std::move(check); }
    int Reads() const { return reads_; }

private:
    std::int32_t Next()
    {
        const int i = reads_++;
        if (i > 10000)
            throw std::runtime_error("the splash does not end");
        if (auto p = probes_.find(i); p != probes_.end())
            p->second();
        if (auto a = posted_.find(i); a != posted_.end())
            QTimer::singleShot(0, qApp, a->second);
        if (static_cast<std::size_t>(i) < script_.size())
            last_ = script_[static_cast<std::size_t>(i)];
        else
            last_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(last_) + 60u);
        return last_;
    }

    std::vector<std::int32_t> script_;
    std::map<int, std::function<void()>> posted_, probes_;
    std::int32_t last_ = 0;
    int reads_ = 0;
};

void ExpectSplashEnded()
{
    EXPECT_EQ(Count(kHidden), 1);
    EXPECT_FALSE(Shown(kHidden));
    EXPECT_EQ(Count(kAbout), 1);
    EXPECT_FALSE(Shown(kAbout));
    EXPECT_EQ(Count(kCalc), 1);
    EXPECT_TRUE(Shown(kCalc));
}

void Dismiss(class AboutWnd& about)
{
    QTest::keyClick(about.Frame(), Qt::Key_Space);
}

}  // namespace

// --- the splash ------------------------------------------------------------

struct WaitCase {
    const char* name;
    std::vector<std::int32_t> ticks;  // the start reading, then one per pass
    int passes;
};

void PrintTo(const WaitCase& c, std::ostream* os)
{
    *os << c.name;
}

namespace {
class SplashWait : public ::testing::TestWithParam<WaitCase> {};
}  // namespace

TEST_P(SplashWait, EndsOnceTheWholeSecondsMoveOnByThree)
{
    Clock clock(GetParam().ticks);
    bool aboutAtStart = false, calcDuringWait = false, taskRan = false;
    int taskAfterRead = 0;
    clock.Probe(0, [&] { aboutAtStart = Shown(kAbout); });
    clock.Probe(GetParam().passes, [&] { calcDuringWait = Count(kCalc) > 0; });
    clock.At(0, [&] {
        taskRan = Shown(kAbout);
        taskAfterRead = clock.Reads();
    });
    (void)InvisibleWnd();

    EXPECT_EQ(clock.Reads(), GetParam().passes + 1);
    EXPECT_TRUE(aboutAtStart);
    EXPECT_FALSE(calcDuringWait);
    EXPECT_TRUE(taskRan);  // every pass yields, the first one included
    EXPECT_EQ(taskAfterRead, 2);
    ExpectSplashEnded();
}

INSTANTIATE_TEST_SUITE_P(
    Splash, SplashWait,
    ::testing::Values(WaitCase{"ThreeSeconds", {0, 60, 120, 180}, 3},
                      WaitCase{"FirstPassMayEnd", {0, 180}, 1},
                      WaitCase{"StartJustBeforeASecond", {119, 120, 239, 240}, 3},  // 121 ticks
                      WaitCase{"StartJustAfterASecond", {120, 299, 300}, 2},        // 180 ticks
                      WaitCase{"LongPassJumpsToFour", {0, 60, 240}, 2},
                      WaitCase{"LongPassJumpsFurther", {0, 60000}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Splash, WrapOfTheTickCounterEndsTheWait)
{
    for (const std::int32_t start : {INT_MAX - 200, INT_MAX - 90, INT_MAX - 30, INT_MAX}) {
        Clock clock({start});
        (void)InvisibleWnd();
        EXPECT_GT(clock.Reads(), 1) << start;
        EXPECT_LT(clock.Reads(), 20) << start;
        ExpectSplashEnded();
        // A fresh default window runs the splash again.
        fw::GetImplicitWindow(kHidden)->Close();
        Settle();
    }
}

TEST(Splash, KeyInAboutBringsTheCalculatorUpAtOnce)
{
    Clock clock({0, 60, 60, 60, 60, 120, 180});
    bool calcAfterKey = false, aboutAfterKey = true, aboutAfterLogo = false;
    clock.At(1, [] { Dismiss(AboutWnd()); });
    clock.At(2, [&] {
        calcAfterKey = Shown(kCalc);
        aboutAfterKey = Shown(kAbout);
        Press(ControlWnd().ControlNamed<fw::Canvas>("Canvas1"));
    });
    clock.At(3, [&] { aboutAfterLogo = Shown(kAbout); });
    (void)InvisibleWnd();

    EXPECT_TRUE(calcAfterKey);
    EXPECT_FALSE(aboutAfterKey);
    EXPECT_TRUE(aboutAfterLogo);
    EXPECT_EQ(clock.Reads(), 7);
    ExpectSplashEnded();
}

TEST(Splash, AboutClosedDuringTheWaitIsBuiltAfreshAndHidden)
{
    Clock clock({0, 60, 120, 180});
    std::uintptr_t closed = 0;
    clock.At(1, [&] {
        closed = Address(&AboutWnd());
        AboutWnd().Frame()->close();
    });
    (void)InvisibleWnd();

    ASSERT_NE(closed, 0u);
    EXPECT_NE(Address(fw::GetImplicitWindow(kAbout)), closed);
    EXPECT_EQ(fw::GetImplicitWindow(kAbout)->Controls().size(), 4u);
    ExpectSplashEnded();
}

TEST(Splash, CalculatorClosedDuringTheWaitIsBuiltAfreshAndShown)
{
    Clock clock({0, 60, 60, 120, 180});
    std::uintptr_t closed = 0;
    clock.At(1, [] { PressAt(AboutWnd().Content(), QPoint(5, 5)); });
    clock.At(2, [&] {
        auto& calc = ControlWnd();
        closed = Address(&calc);
        Type(calc.ControlNamed<fw::EditField>("RxxFld"), ".5");
        calc.Frame()->close();
    });
    (void)InvisibleWnd();

    ASSERT_NE(closed, 0u);
    EXPECT_NE(Address(fw::GetImplicitWindow(kCalc)), closed);
    EXPECT_EQ(ControlWnd().ControlNamed<fw::EditField>("RxxFld").Text(), "");
    ExpectSplashEnded();
}

// --- the About window --------------------------------------------------------

TEST(About, AnyKeyOrPressHidesItAndShowsTheCalculator)
{
    auto& about = AboutWnd();
    const struct {
        const char* what;
        std::function<void()> act;
    } ways[] = {
        {"letter", [&] { QTest::keyClick(about.Frame(), Qt::Key_Q); }},
        {"digit", [&] { QTest::keyClick(about.Frame(), Qt::Key_7); }},
        {"return", [&] { QTest::keyClick(about.Frame(), Qt::Key_Return); }},
        {"escape", [&] { QTest::keyClick(about.Frame(), Qt::Key_Escape); }},
        {"background", [&] { PressAt(about.Content(), QPoint(5, 5)); }},
        {"far corner", [&] { PressAt(about.Content(), QPoint(440, 212)); }},
        {"logo", [&] { Press(about.ControlNamed<fw::Canvas>("Canvas1")); }},
        {"disabled wordmark", [&] { Press(about.ControlNamed<fw::Canvas>("Canvas2")); }},
        {"name", [&] { Press(about.ControlNamed<fw::StaticText>("StaticText1")); }},
        {"notice", [&] { Press(about.ControlNamed<fw::StaticText>("StaticText2")); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        about.Show();
        ASSERT_TRUE(about.Visible());
        way.act();
        EXPECT_FALSE(about.Visible());
        EXPECT_TRUE(Shown(kCalc));
        EXPECT_EQ(&AboutWnd(), &about);
    }
    EXPECT_EQ(Count(kCalc), 1);
}

TEST(About, KeyAfterTheCalculatorWasClosedBuildsAFreshOne)
{
    auto& about = AboutWnd();
    auto& calc = ControlWnd();
    Type(calc.ControlNamed<fw::EditField>("RxxFld"), ".5");
    calc.Frame()->close();
    Settle();
    EXPECT_EQ(Count(kCalc), 0);

    Dismiss(about);
    EXPECT_EQ(Count(kCalc), 1);
    EXPECT_TRUE(Shown(kCalc));
    EXPECT_EQ(ControlWnd().ControlNamed<fw::EditField>("RxxFld").Text(), "");
}

TEST(About, LogoPressShowsTheOneAboutWindow)
{
    auto& calc = ControlWnd();
    auto& logo = calc.ControlNamed<fw::Canvas>("Canvas1");
    PressAt(logo.Widget(), QPoint(1, 1));
    ASSERT_TRUE(Shown(kAbout));
    auto* about = &AboutWnd();
    PressAt(logo.Widget(), QPoint(130, 131));
    EXPECT_EQ(Count(kAbout), 1);
    EXPECT_EQ(&AboutWnd(), about);

    // Hidden, it comes back as it was.
    Dismiss(*about);
    ASSERT_FALSE(about->Visible());
    Press(logo);
    EXPECT_TRUE(about->Visible());
    EXPECT_EQ(&AboutWnd(), about);

    // Closed, the next press builds it afresh with its four controls.
    about->ControlNamed<fw::StaticText>("StaticText1").Text("changed");
    about->Frame()->close();
    Settle();
    EXPECT_EQ(Count(kAbout), 0);
    Press(logo);
    ASSERT_TRUE(Shown(kAbout));
    std::vector<QString> names;
    for (const auto& c : AboutWnd().Controls())
        names.push_back(c->Name());
    EXPECT_EQ(names, (std::vector<QString>{"Canvas2", "StaticText1", "StaticText2", "Canvas1"}));
    EXPECT_EQ(AboutWnd().ControlNamed<fw::StaticText>("StaticText1").Text(), "Tol\rvane");
    EXPECT_NE(AboutWnd().ControlNamed<fw::Canvas>("Canvas1").Backdrop(), nullptr);
}

// --- the help window ---------------------------------------------------------

TEST(Help, HelpPressShowsOneWindowThatKeepsItsEditsUntilClosed)
{
    auto& helpButton = ControlWnd().ControlNamed<fw::Canvas>("Help");
    Press(helpButton);
    ASSERT_TRUE(helpWnd().Visible());
    auto* help = &helpWnd();
    Type(help->ControlNamed<fw::EditField>("EditField1"), "Notes ");
    PressAt(helpButton.Widget(), QPoint(70, 68));
    EXPECT_EQ(Count("helpWnd.helpWnd"), 1);
    EXPECT_EQ(&helpWnd(), help);
    EXPECT_TRUE(help->ControlNamed<fw::EditField>("EditField1").Text().startsWith("Notes Tolvane"));

    help->Frame()->close();
    Settle();
    EXPECT_EQ(Count("helpWnd.helpWnd"), 0);
    Press(helpButton);
    ASSERT_TRUE(helpWnd().Visible());
    EXPECT_EQ(helpWnd().ControlNamed<fw::EditField>("EditField1").Text(),
              QString::fromUtf8(helpWnd::HelpText().data(), static_cast<qsizetype>(helpWnd::HelpText().size())));
}

TEST(Help, HelpTextAndItsField)
{
    const std::string_view bytes = helpWnd::HelpText();
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    EXPECT_EQ(bytes.size(), 1962u);
    EXPECT_EQ(text.size(), 1961);
    EXPECT_TRUE(text.startsWith("Tolvane\r\rA difference score is obtained"));
    EXPECT_FALSE(text.endsWith('\r'));
    EXPECT_FALSE(text.contains('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("Rd = (.5 (Rxx + Ryy) - Rxy) \u00F7 1 - Rxy.\r\r\r\r")));
    EXPECT_EQ(text.count("\r\r\r\r"), 1);
    EXPECT_FALSE(text.contains("\r\r\r\r\r"));
    // Heading, blank, paragraph, blank, paragraph: the run of blanks comes next.
    EXPECT_EQ(text.section("\r\r\r\r", 0, 0).count('\r'), 4);

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
    EXPECT_TRUE(edit->isEnabled());
}

TEST(Presses, LogoAndHelpLeaveTheCalculatorAsItWas)
{
    auto& calc = ControlWnd();
    auto field = [&](const char* name) -> fw::EditField& { return calc.ControlNamed<fw::EditField>(name); };
    Type(field("RxxFld"), ".9");
    Type(field("RyyFld"), ".8");
    Type(field("RxyFld"), "-.5");
    Press(calc.ControlNamed<fw::Canvas>("ComputeCanvas"));
    ASSERT_TRUE(field("RdFld").Visible());
    field("RyyFld").SetFocus();
    Settle();
    ASSERT_EQ(calc.Frame()->focusWidget(), field("RyyFld").FocusWidget());

    Press(calc.ControlNamed<fw::Canvas>("Canvas1"));
    Press(calc.ControlNamed<fw::Canvas>("Help"));
    Settle();
    EXPECT_TRUE(Shown(kAbout));
    EXPECT_TRUE(Shown("helpWnd.helpWnd"));
    EXPECT_EQ(field("RxxFld").Text(), ".9");
    EXPECT_EQ(field("RyyFld").Text(), ".8");
    EXPECT_EQ(field("RxyFld").Text(), "-.5");
    EXPECT_EQ(field("RdFld").Text(), ".7000");
    EXPECT_TRUE(field("RdFld").Visible());
    EXPECT_TRUE(calc.ControlNamed<fw::StaticText>("RdText").Visible());
    EXPECT_EQ(calc.Frame()->focusWidget(), field("RyyFld").FocusWidget());
}

// --- start-up ----------------------------------------------------------------

namespace {

// Runs fn from the event loop once the calculator is up.
class OnceCalculatorUp {
public:
    explicit OnceCalculatorUp(std::function<void()> fn) : fn_(std::move(fn))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (fw::LoopRunning() && Shown(kCalc)) {
                timer_.stop();
                fn_();
            }
        });
        timer_.start(0);
    }

private:
    QTimer timer_;
    std::function<void()> fn_;
};

int ReportLines(const std::string& err)
{
    int n = 0;
    for (std::size_t at = err.find("Unhandled exception"); at != std::string::npos;
         at = err.find("Unhandled exception", at + 1))
        ++n;
    return n;
}

}  // namespace

TEST(StartUp, MainRunsTheSplashAndTheLoopUntilQuit)
{
    Clock clock({0, 60, 120, 180});
    bool barFirst = false;
    clock.Probe(0, [&] {
        barFirst = fw::App() && fw::App()->MenuBar() && fw::App()->MenuBar() == MenuBar1::implicitInstance &&
                   !fw::GetImplicitWindow(kHidden)->Frame()->actions().isEmpty();
    });
    OnceCalculatorUp quit([] {
        for (QAction* top : ControlWnd().Frame()->menuBar()->actions())
            for (QAction* a : top->menu()->actions())
                if (a->text() == "Quit")
                    a->trigger();
    });
    Main();

    EXPECT_TRUE(barFirst);  // the bar was in place before the first window
    EXPECT_TRUE(fw::Quitting());
    EXPECT_FALSE(fw::LoopRunning());
    ExpectSplashEnded();

    std::weak_ptr<class MenuBar1> bar = MenuBar1::implicitInstance;
    finalize();
    EXPECT_TRUE(fw::LiveWindows().empty());
    EXPECT_EQ(fw::App(), nullptr);
    EXPECT_EQ(MenuBar1::implicitInstance, nullptr);
    EXPECT_TRUE(bar.expired());
    finalize();  // the process's own close-down runs it again
    EXPECT_EQ(fw::RuntimeExit(), 0);
}

TEST(StartUp, ExceptionEscapingTheLoopIsReportedOnce)
{
    Clock clock({0, 180});
    OnceCalculatorUp fail([] { fw::Dispatch([]() -> bool { throw std::runtime_error("handler failed"); }); });
    ::testing::internal::CaptureStderr();
    Main();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReportLines(err), 1) << err;
    EXPECT_NE(err.find("handler failed"), std::string::npos);
    EXPECT_FALSE(fw::LoopRunning());
    finalize();
    EXPECT_NE(fw::RuntimeExit(), 0);
}

TEST(StartUp, ExceptionBeforeTheLoopSkipsIt)
{
    fw::SetTickSource([]() -> std::int32_t { throw std::runtime_error("no clock"); });
    auto loopRan = std::make_shared<bool>(false);
    QTimer::singleShot(0, qApp, [loopRan] { *loopRan = true; });
    ::testing::internal::CaptureStderr();
    Main();
    const std::string err = ::testing::internal::GetCapturedStderr();
    fw::SetTickSource({});
    EXPECT_EQ(ReportLines(err), 1) << err;
    EXPECT_NE(err.find("no clock"), std::string::npos);
    EXPECT_FALSE(*loopRan);
    EXPECT_EQ(Count(kHidden), 0);
    EXPECT_EQ(Count(kCalc), 0);
    finalize();
    EXPECT_NE(fw::RuntimeExit(), 0);
}

// The window-class pattern (one shared window per class, built through its
// accessor) and the way key and mouse events reach handlers and widgets.
#include "ControlWnd.h"
#include "Runtime.h"
#include "Tables.h"
#include "TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <stdexcept>

// Texts in failure messages, readable.
void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

// What the probe window's handlers saw, and what they are told to answer.
struct ProbeLog {
    int layouts = 0, creates = 0, opens = 0;
    bool registeredInOpen = false, ownAccessorInOpen = false;
    std::size_t liveInOpen = 0;
    QStringList keys;
    bool keyVerdict = false;
    int padCalls = 0;
    bool padVerdict = false, padFails = false;
    QList<QPoint> windowPresses;
};
ProbeLog g;

fw::EditFieldSettings FieldAt(const char* name, int left, int tabIndex)
{
    fw::EditFieldSettings s;
    s.name = name;
    s.left = left;
    s.top = 10;
    s.width = 80;
    s.height = 22;
    s.tabIndex = tabIndex;
    s.limitText = 6;
    return s;
}

fw::CanvasSettings CanvasAt(const char* name, int left)
{
    fw::CanvasSettings s;
    s.name = name;
    s.left = left;
    s.top = 50;
    s.width = 40;
    s.height = 40;
    return s;
}

class ProbeWnd : public fw::Window {
public:
    explicit ProbeWnd(fw::RuntimeNew) : fw::Window(Lookup()) {}
    static const fw::ClassRecord& Lookup();

    void Layout()
    {
        ++g.layouts;
        fw::WindowSettings s;
        s.width = 320;
        s.height = 120;
        s.title = "Probe";
        fw::SetProperties(*this, s.Encode());
    }
    void CreateControls()
    {
        ++g.creates;
        const char* key = "( String ) as Boolean";
        const char* mouse = "( Int32, Int32 ) as Boolean";
        CreateControl<fw::EditField>("Fld", FieldAt("Fld", 10, 0).Encode());
        Bind("Fld", "KeyDown", fw::RuntimeCreateDelegate(&ProbeWnd::Fld_KeyDown, *this, key));
        CreateControl<fw::EditField>("Other", FieldAt("Other", 100, 1).Encode());
        CreateCanvas("Pad", nullptr, CanvasAt("Pad", 100).Encode());
        Bind("Pad", "MouseDown", fw::RuntimeCreateDelegate(&ProbeWnd::Pad_MouseDown, *this, mouse));
        CreateCanvas("Quiet", nullptr, CanvasAt("Quiet", 150).Encode());
        fw::StaticTextSettings label;
        label.name = "Label";
        label.left = 200;
        label.top = 50;
        label.width = 60;
        label.height = 20;
        label.text = "caption";
        CreateControl<fw::StaticText>("Label", label.Encode());
    }
    void Event_Open();
    bool Fld_KeyDown(const QString& key)
    {
        g.keys.append(key);
        return g.keyVerdict;
    }
    bool Pad_MouseDown(std::int32_t, std::int32_t)
    {
        ++g.padCalls;
        if (g.padFails) {
            // Done before the failing lookup, so it stays done.
            ControlNamed<fw::EditField>("Other").Text("before");
            ControlNamed<fw::EditField>("Missing").Text("after");
        }
        return g.padVerdict;
    }
    bool Event_MouseDown(std::int32_t x, std::int32_t y)
    {
        g.windowPresses.append(QPoint(x, y));
        return false;
    }
};

const fw::ClassRecord& ProbeWnd::Lookup()
{
    static const fw::ClassRecord record = [] {
        fw::ClassRecordBuilder<ProbeWnd> b("ProbeWnd");
        b.Operation("Layout").Operation("CreateControls").Operation("Event_Open");
        b.Handles("Layout", "Layout", &ProbeWnd::Layout)
            .Handles("CreateControls", "CreateControls", &ProbeWnd::CreateControls)
            .Handles("Open", "Event_Open", &ProbeWnd::Event_Open)
            .Handles("MouseDown", "Event_MouseDown", &ProbeWnd::Event_MouseDown);
        return b.Build();
    }();
    return record;
}

ProbeWnd& Probe()
{
    return fw::ImplicitInstance<ProbeWnd>();
}

void ProbeWnd::Event_Open()
{
    ++g.opens;
    g.registeredInOpen = fw::GetImplicitWindow("ProbeWnd.ProbeWnd") == this;
    g.ownAccessorInOpen = &Probe() == this;
    g.liveInOpen = fw::LiveWindows().size();
}

fw::EditField& Fld()
{
    return Probe().ControlNamed<fw::EditField>("Fld");
}

// Shows the probe window and gives its field the keyboard focus.
ProbeWnd& FocusedProbe()
{
    auto& w = Probe();
    w.Show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.Frame()));
    Fld().SetFocus();
    EXPECT_EQ(Focused(), Fld().FocusWidget());
    return w;
}

}  // namespace

TEST(Windows, AccessorBuildsOnceAndKeepsTheWindow)
{
    auto& w = Probe();
    EXPECT_EQ(&Probe(), &w);
    EXPECT_EQ(g.layouts, 1);
    EXPECT_EQ(g.creates, 1);
    EXPECT_EQ(g.opens, 1);
    EXPECT_EQ(w.Controls().size(), 5u);
    EXPECT_EQ(fw::LiveWindows().size(), 1u);
    EXPECT_TRUE(w.Visible());

    // Open ran with the window already registered; asking the accessor there built nothing.
    EXPECT_TRUE(g.registeredInOpen);
    EXPECT_TRUE(g.ownAccessorInOpen);
    EXPECT_EQ(g.liveInOpen, 1u);

    // Hidden, it is still the one window, and stays hidden.
    w.Hide();
    EXPECT_EQ(&Probe(), &w);
    EXPECT_FALSE(w.Visible());
    EXPECT_EQ(g.layouts, 1);
    EXPECT_EQ(g.opens, 1);
    EXPECT_EQ(fw::GetImplicitWindow("ProbeWnd.ProbeWnd"), &w);
}

TEST(Windows, UserClosedWindowIsReplacedByAFreshOne)
{
    auto& w = Probe();
    Type(Fld(), "12");
    EXPECT_EQ(Fld().Text(), "12");
    QPointer<QMainWindow> oldFrame = w.Frame();

    w.Frame()->close();
    EXPECT_EQ(fw::GetImplicitWindow("ProbeWnd.ProbeWnd"), nullptr);
    EXPECT_TRUE(fw::LiveWindows().empty());
    Settle();
    EXPECT_TRUE(oldFrame.isNull()) << "the closed window was not destroyed";

    auto& fresh = Probe();
    EXPECT_EQ(g.layouts, 2);
    EXPECT_EQ(g.creates, 2);
    EXPECT_EQ(g.opens, 2);
    EXPECT_EQ(fresh.Controls().size(), 5u);
    EXPECT_EQ(Fld().Text(), "");
    EXPECT_EQ(fw::GetImplicitWindow("ProbeWnd.ProbeWnd"), &fresh);

    // The calculator window the same way: new fields, empty, result hidden.
    auto& calc = ControlWnd();
    Type(calc.ControlNamed<fw::EditField>("RxxFld"), ".9");
    calc.ControlNamed<fw::EditField>("RdFld").Visible(true);
    calc.Frame()->close();
    Settle();
    auto& calc2 = ControlWnd();
    EXPECT_EQ(calc2.ControlNamed<fw::EditField>("RxxFld").Text(), "");
    EXPECT_FALSE(calc2.ControlNamed<fw::EditField>("RdFld").Visible());
    EXPECT_FALSE(calc2.ControlNamed<fw::StaticText>("RdText").Visible());
}

TEST(Windows, ControlsAreFoundByNameOnly)
{
    auto& w = Probe();
    EXPECT_EQ(fw::RuntimeWindowControlByName(w, "Fld"), &Fld());
    EXPECT_EQ(fw::RuntimeWindowControlByName(w, "Missing"), nullptr);
    EXPECT_EQ(fw::RuntimeWindowControlByName(w, "fld"), nullptr);
    EXPECT_THROW(w.ControlNamed<fw::EditField>("Missing"), fw::NilObjectException);
    EXPECT_THROW(w.ControlNamed<fw::EditField>("Pad"), fw::IllegalCastException);
    EXPECT_EQ(w.ControlNamed<fw::Canvas>("Pad").Name(), "Pad");
}

TEST(Windows, KeyDownVerdictDecidesWhetherTheFieldGetsTheKey)
{
    FocusedProbe();
    g.keyVerdict = true;
    Type(Fld(), "ab");
    EXPECT_EQ(Fld().Text(), "");
    g.keyVerdict = false;
    Type(Fld(), "cd");
    EXPECT_EQ(Fld().Text(), "cd");
    EXPECT_EQ(g.keys, QStringList({"a", "b", "c", "d"}));

    // A field without a handler takes every key.
    Type(Probe().ControlNamed<fw::EditField>("Other"), "xy");
    EXPECT_EQ(Probe().ControlNamed<fw::EditField>("Other").Text(), "xy");
}

TEST(Windows, OnlyTypingKeysReachKeyDown)
{
    FocusedProbe();
    g.keyVerdict = true;  // whatever reaches the handler goes no further
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* reported;  // nullptr: not reported
    };
    const Case cases[] = {
        {Qt::Key_Backspace, Qt::NoModifier, "\x08"},
        {Qt::Key_Tab, Qt::NoModifier, "\t"},
        {Qt::Key_Return, Qt::NoModifier, "\r"},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r"},
        {Qt::Key_Escape, Qt::NoModifier, "\x1b"},
        {Qt::Key_A, Qt::ControlModifier, nullptr},
        {Qt::Key_C, Qt::ControlModifier, nullptr},
        {Qt::Key_V, Qt::ControlModifier, nullptr},
        {Qt::Key_Left, Qt::NoModifier, nullptr},
        {Qt::Key_Right, Qt::NoModifier, nullptr},
        {Qt::Key_Up, Qt::NoModifier, nullptr},
        {Qt::Key_Home, Qt::NoModifier, nullptr},
        {Qt::Key_End, Qt::NoModifier, nullptr},
        {Qt::Key_Delete, Qt::NoModifier, nullptr},
        {Qt::Key_Shift, Qt::ShiftModifier, nullptr},
    };
    for (const auto& c : cases) {
        g.keys.clear();
        KeyInto(Fld(), c.key, c.mods);
        if (c.reported)
            EXPECT_EQ(g.keys, QStringList{QString::fromLatin1(c.reported)}) << "key " << c.key;
        else
            EXPECT_TRUE(g.keys.isEmpty()) << "key " << c.key << " reported as " << g.keys.join(',').toStdString();
    }

    // The keys the handler never sees do their editing in the field itself.
    g.keys.clear();
    Fld().Text("abc");
    QLineEdit* line = Fld().LineEdit();
    KeyInto(Fld(), Qt::Key_Home);
    EXPECT_EQ(line->cursorPosition(), 0);
    KeyInto(Fld(), Qt::Key_Delete);
    EXPECT_EQ(Fld().Text(), "bc");
    KeyInto(Fld(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(line->selectedText(), "bc");
    EXPECT_TRUE(g.keys.isEmpty());
}

TEST(Windows, LimitTextStopsTypingButNotTheProgram)
{
    FocusedProbe();
    auto& f = Fld();
    Type(f, "12345678");
    EXPECT_EQ(f.Text(), "123456");

    f.Text("-4.0000");
    EXPECT_EQ(f.Text(), "-4.0000");
    KeyInto(f, Qt::Key_End);
    Type(f, "9");
    EXPECT_EQ(f.Text(), "-4.0000");
    KeyInto(f, Qt::Key_Backspace);
    KeyInto(f, Qt::Key_Backspace);
    EXPECT_EQ(f.Text(), "-4.00");
    Type(f, "789");
    EXPECT_EQ(f.Text(), "-4.007");

    f.Text("");
    Type(f, "abcdefg");
    EXPECT_EQ(f.Text(), "abcdef");

    // A text longer than the limit in the field's own table is kept whole too.
    auto s = FieldAt("Long", 10, 2);
    s.text = "1234567";
    auto& longField = Probe().CreateControl<fw::EditField>("Long", s.Encode());
    EXPECT_EQ(longField.Text(), "1234567");
}

TEST(Windows, UnconsumedPressesGoOnToTheWindow)
{
    FocusedProbe();
    auto& w = Probe();
    QWidget* editor = Fld().FocusWidget();

    g.padVerdict = false;
    PressAt(w.ControlNamed<fw::Canvas>("Pad").Widget(), QPoint(5, 7));
    EXPECT_EQ(g.padCalls, 1);
    ASSERT_EQ(g.windowPresses.size(), 1);
    EXPECT_EQ(g.windowPresses[0], QPoint(105, 57));  // in the window's coordinates
    EXPECT_EQ(Focused(), editor) << "a canvas took the focus";

    g.padVerdict = true;
    Press(w.ControlNamed<fw::Canvas>("Pad"));
    EXPECT_EQ(g.padCalls, 2);
    EXPECT_EQ(g.windowPresses.size(), 1);

    struct Case {
        const char* control;
        QPoint expected;
    };
    for (const Case& c : {Case{"Quiet", QPoint(152, 53)}, Case{"Label", QPoint(202, 53)}}) {
        g.windowPresses.clear();
        PressAt(w.ControlNamed<fw::RectControl>(c.control).Widget(), QPoint(2, 3));
        EXPECT_EQ(g.windowPresses, QList<QPoint>{c.expected}) << c.control;
        EXPECT_EQ(Focused(), editor) << c.control;
    }

    // Neither do the calculator's picture-buttons take the focus.
    auto& calc = ControlWnd();
    calc.Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(calc.Frame()));
    auto& rxx = calc.ControlNamed<fw::EditField>("RxxFld");
    rxx.SetFocus();
    Press(calc.ControlNamed<fw::Canvas>("ClearCanvas"));
    EXPECT_EQ(Focused(), rxx.FocusWidget());
}

TEST(Windows, HandlerFailureStopsDispatchAndIsReportedOnce)
{
    FocusedProbe();
    auto& w = Probe();
    g.padFails = true;
    Press(w.ControlNamed<fw::Canvas>("Pad"));  // returns: nothing unwinds through Qt
    EXPECT_EQ(g.padCalls, 1);
    EXPECT_TRUE(fw::ExceptionPending());
    EXPECT_EQ(w.ControlNamed<fw::EditField>("Other").Text(), "before");

    // Later events reach no handler; the key is swallowed.
    Press(w.ControlNamed<fw::Canvas>("Pad"));
    PressAt(w.ControlNamed<fw::StaticText>("Label").Widget(), QPoint(1, 1));
    Type(Fld(), "5");
    EXPECT_EQ(g.padCalls, 1);
    EXPECT_TRUE(g.windowPresses.isEmpty());
    EXPECT_TRUE(g.keys.isEmpty());
    EXPECT_EQ(Fld().Text(), "");

    std::exception_ptr error;
    try {
        fw::RethrowPending();
        ADD_FAILURE() << "nothing was pending";
    } catch (const fw::NilObjectException&) {
        error = std::current_exception();
    }
    EXPECT_NO_THROW(fw::RethrowPending());

    testing::internal::CaptureStderr();
    fw::UnhandledException(error);
    fw::UnhandledException(error);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("Missing"), std::string::npos) << err;
    EXPECT_NE(fw::RuntimeExit(), 0);
}

TEST(Windows, RuntimeRunRethrowsAHandlersFailure)
{
    auto& w = Probe();
    g.padFails = true;
    QTimer::singleShot(0, [&w] { Press(w.ControlNamed<fw::Canvas>("Pad")); });
    // Should the failure not end the loop, this does, and the test fails.
    QTimer::singleShot(10000, [] { QCoreApplication::exit(0); });
    EXPECT_THROW(fw::RuntimeRun(), fw::NilObjectException);
    EXPECT_FALSE(fw::LoopRunning());
    EXPECT_EQ(g.padCalls, 1);
}

TEST(Windows, TicksAndConversions)
{
    std::int32_t now = 1000;
    fw::SetTickSource([&now] { return now; });
    EXPECT_EQ(fw::Ticks(), 1000);
    now = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(fw::Ticks(), std::numeric_limits<std::int32_t>::min());
    fw::SetTickSource({});
    EXPECT_GE(fw::Ticks(), 0);

    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const std::pair<double, std::int32_t> cases[] = {
        {2.99, 2},
        {-2.99, -2},
        {0.5, 0},
        {-0.0, 0},
        {2147483646.9, 2147483646},
        {2147483647.0, kMax},
        {2147483648.0, kMax},
        {1e300, kMax},
        {std::numeric_limits<double>::infinity(), kMax},
        {-2147483648.9, kMin},
        {-1e300, kMin},
        {-std::numeric_limits<double>::infinity(), kMin},
        {std::nan(""), 0},
    };
    for (const auto& [in, want] : cases)
        EXPECT_EQ(fw::RuntimeCvtReal64ToSInt32(in), want) << in;
    EXPECT_EQ(fw::RuntimeCvtSInt32ToReal64(kMin), -2147483648.0);
}

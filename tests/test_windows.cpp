// One shared window per class, built by its accessor; key and mouse events reaching handlers and widgets.
#include "Runtime.h"
#include "Tables.h"
#include "TestSupport.h"

#include <QApplication>
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
#include <tuple>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// What the probe window's handlers saw, and what they are told to answer.
struct ProbeLog {
    int layouts = 0, creates = 0, opens = 0, padCalls = 0;
    bool ownAccessorInOpen = false, keyVerdict = false, padVerdict = false, padFails = false;
    QStringList keys;
    QList<QPoint> windowPresses;
} g;

class ProbeWnd : public fw::Window {
public:
    explicit ProbeWnd(fw::RuntimeNew) : fw::Window(Lookup()) {}
    static const fw::ClassRecord& Lookup()
    {
        static const fw::ClassRecord record =
            fw::ClassRecordBuilder<ProbeWnd>("ProbeWnd")
                .Operation("Layout").Operation("CreateControls").Operation("Event_Open")
                .Handles("Layout", "Layout", &ProbeWnd::Layout)
                .Handles("CreateControls", "CreateControls", &ProbeWnd::CreateControls)
                .Handles("Open", "Event_Open", &ProbeWnd::Event_Open)
                .Handles("MouseDown", "Event_MouseDown", &ProbeWnd::Event_MouseDown)
                .Build();
        return record;
    }
    void Layout() { ++g.layouts; fw::SetProperties(*this, fw::WindowSettings{}.Encode()); }
    void CreateControls()
    {
        ++g.creates;
        for (const auto& [name, left] : std::initializer_list<std::pair<const char*, int>>{{"Fld", 10}, {"Other", 100}}) {
            auto s = fw::Placed<fw::EditFieldSettings>(name, left, 10, 80, 22, 0);
            s.limitText = 6;
            CreateControl<fw::EditField>(name, s.Encode());
        }
        Bind("Fld", "KeyDown", fw::RuntimeCreateDelegate(&ProbeWnd::Fld_KeyDown, *this, "( String ) as Boolean"));
        CreateCanvas("Pad", nullptr, fw::Placed<fw::CanvasSettings>("Pad", 100, 50, 40, 40, 0).Encode());
        Bind("Pad", "MouseDown", fw::RuntimeCreateDelegate(&ProbeWnd::Pad_MouseDown, *this, "( Int32, Int32 ) as Boolean"));
        auto label = fw::Placed<fw::StaticTextSettings>("Label", 200, 50, 60, 20, 0);
        label.text = "caption";
        CreateControl<fw::StaticText>("Label", label.Encode());
    }
    void Event_Open() { ++g.opens; g.ownAccessorInOpen = &fw::ImplicitInstance<ProbeWnd>() == this; }
    bool Fld_KeyDown(const QString& key) { g.keys.append(key); return g.keyVerdict; }
    bool Pad_MouseDown(std::int32_t, std::int32_t)
    {
        ++g.padCalls;
        if (g.padFails) {
            ControlNamed<fw::EditField>("Other").Text("before");  // stays done
            ControlNamed<fw::EditField>("Missing").Text("after");
        }
        return g.padVerdict;
    }
    bool Event_MouseDown(std::int32_t x, std::int32_t y) { g.windowPresses.append(QPoint(x, y)); return false; }
};

ProbeWnd& Probe() { return fw::ImplicitInstance<ProbeWnd>(); }
fw::EditField& Fld() { return Probe().ControlNamed<fw::EditField>("Fld"); }

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

TEST(Windows, AccessorBuildsOnceKeepsTheWindowAndBuildsAfreshAfterClose)
{
    auto& w = Probe();
    EXPECT_TRUE(g.ownAccessorInOpen);  // Open asking for its own window builds no other
    for (const bool shown : {false, true}) {
        shown ? w.Show() : w.Hide();
        EXPECT_EQ(&Probe(), &w);
        EXPECT_EQ(w.Visible(), shown);
    }
    EXPECT_EQ(fw::LiveWindows().size(), 1u);
    EXPECT_EQ(g.layouts + g.creates + g.opens, 3);
    EXPECT_THROW(w.ControlNamed<fw::EditField>("Missing"), fw::NilObjectException);
    EXPECT_THROW(w.ControlNamed<fw::EditField>("Pad"), fw::IllegalCastException);

    Type(Fld(), "12");
    QPointer<QMainWindow> oldFrame = w.Frame();
    w.Frame()->close();
    EXPECT_TRUE(fw::LiveWindows().empty());
    Settle();
    EXPECT_TRUE(oldFrame.isNull());
    auto& fresh = Probe();
    EXPECT_EQ(g.layouts + g.creates + g.opens, 6);
    EXPECT_EQ(fresh.Controls().size(), 4u);
    EXPECT_EQ(Fld().Text(), "");
    EXPECT_EQ(fw::GetImplicitWindow("ProbeWnd.ProbeWnd"), &fresh);
}

TEST(Windows, KeyDownSeesTypingKeysAndItsVerdictDecidesWithinTheLimit)
{
    FocusedProbe();
    g.keyVerdict = true;
    Type(Fld(), "ab");
    EXPECT_EQ(Fld().Text(), "");
    g.keyVerdict = false;
    Type(Fld(), "cd");
    EXPECT_EQ(Fld().LineEdit()->text(), "cd");
    EXPECT_EQ(g.keys, QStringList({"a", "b", "c", "d"}));
    Type(Probe().ControlNamed<fw::EditField>("Other"), "xy");  // no handler: takes every key
    EXPECT_EQ(Probe().ControlNamed<fw::EditField>("Other").Text(), "xy");

    // What reaches the handler goes no further; navigation and shortcuts (no code) edit the field itself.
    g.keyVerdict = true;
    Fld().Text("abc");
    constexpr auto kCtrl = Qt::ControlModifier;
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, const char*> keys[] = {
        {Qt::Key_Backspace, {}, "\x08"}, {Qt::Key_Tab, {}, "\t"}, {Qt::Key_Return, {}, "\r"},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r"}, {Qt::Key_Escape, {}, "\x1b"}, {Qt::Key_Home, {}, nullptr},
        {Qt::Key_Delete, {}, nullptr}, {Qt::Key_Right, {}, nullptr}, {Qt::Key_Left, {}, nullptr},
        {Qt::Key_Shift, Qt::ShiftModifier, nullptr}, {Qt::Key_A, kCtrl, nullptr}, {Qt::Key_C, kCtrl, nullptr},
        {Qt::Key_V, kCtrl, nullptr}, {Qt::Key_Z, kCtrl, nullptr}};
    for (const auto& [key, mods, code] : keys) {
        g.keys.clear();
        KeyInto(Fld(), key, mods);
        EXPECT_EQ(g.keys, code ? QStringList{QString::fromLatin1(code)} : QStringList()) << "key " << key;
    }
    EXPECT_EQ(Fld().Text(), "bc");

    // LimitText stops typing but not the program.
    g.keyVerdict = false;
    Fld().Text("-4.0000");
    KeyInto(Fld(), Qt::Key_End);
    Type(Fld(), "9");
    EXPECT_EQ(Fld().Text(), "-4.0000");
    KeyInto(Fld(), Qt::Key_Backspace);
    KeyInto(Fld(), Qt::Key_Backspace);
    Type(Fld(), "789");
    EXPECT_EQ(Fld().Text(), "-4.007");
    // A text longer than the limit in the field's own table is kept whole too.
    auto s = fw::Placed<fw::EditFieldSettings>("Long", 10, 40, 80, 22, 2);
    s.limitText = 6;
    s.text = "1234567";
    EXPECT_EQ(Probe().CreateControl<fw::EditField>("Long", s.Encode()).Text(), "1234567");
}

TEST(Windows, PressesGoOnToTheWindowUntilAHandlerFails)
{
    auto& w = FocusedProbe();
    QWidget* editor = Fld().FocusWidget();
    PressAt(w.ControlNamed<fw::Canvas>("Pad").Widget(), QPoint(5, 7));
    EXPECT_EQ(g.padCalls, 1);
    EXPECT_EQ(g.windowPresses, QList<QPoint>{QPoint(105, 57)});  // in the window's coordinates
    EXPECT_EQ(Focused(), editor);

    g.padVerdict = true;
    Press(w.ControlNamed<fw::Canvas>("Pad"));
    EXPECT_EQ(g.padCalls, 2);
    EXPECT_EQ(g.windowPresses.size(), 1);

    PressAt(w.ControlNamed<fw::StaticText>("Label").Widget(), QPoint(2, 3));
    EXPECT_EQ(g.windowPresses.value(1), QPoint(202, 53));
    EXPECT_EQ(Focused(), editor);

    // A handler that fails: the press returns, nothing unwinds through Qt.
    g.padFails = true;
    Press(w.ControlNamed<fw::Canvas>("Pad"));
    EXPECT_TRUE(fw::ExceptionPending());
    EXPECT_EQ(w.ControlNamed<fw::EditField>("Other").Text(), "before");
    // Later events reach no handler; the key is swallowed.
    Press(w.ControlNamed<fw::Canvas>("Pad"));
    PressAt(w.ControlNamed<fw::StaticText>("Label").Widget(), QPoint(1, 1));
    Type(Fld(), "5");
    EXPECT_EQ(g.padCalls, 3);
    EXPECT_EQ(g.windowPresses.size(), 2);
    EXPECT_TRUE(g.keys.isEmpty());
    EXPECT_EQ(Fld().Text(), "");

    std::exception_ptr error;
    try { fw::RethrowPending(); } catch (const fw::NilObjectException&) { error = std::current_exception(); }
    ASSERT_TRUE(error);
    EXPECT_NO_THROW(fw::RethrowPending());
    // Reported once, however often it reaches the top, and the exit code says so.
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
    QTimer::singleShot(10000, [] { QCoreApplication::exit(0); });  // should the failure not end the loop
    EXPECT_THROW(fw::RuntimeRun(), fw::NilObjectException);
    EXPECT_FALSE(fw::LoopRunning());
}

TEST(Windows, RealToInt32TruncatesAndSaturates)
{
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const std::pair<double, std::int32_t> cases[] = {
        {2.99, 2}, {-2.99, -2}, {-0.0, 0}, {2147483646.9, 2147483646}, {2147483648.0, kMax}, {kInf, kMax},
        {-2147483648.9, kMin}, {-1e300, kMin}, {-kInf, kMin}, {std::nan(""), 0},
    };
    for (const auto& [in, want] : cases)
        EXPECT_EQ(fw::RuntimeCvtReal64ToSInt32(in), want) << in;
}

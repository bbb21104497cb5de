// One shared window per class, built by its accessor; key and mouse events reaching handlers and widgets.
#include "Runtime.h"
#include "Tables.h"
#include "TestSupport.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// What the probe window's handlers saw, and what they are told to answer.
QList<fw::Window*> g_opens;  // the window its own accessor gave in each Open
bool g_keyVerdict = false, g_padFails = false;
QStringList g_keys;
QList<QPoint> g_windowPresses;

class ProbeWnd : public fw::Window {
public:
    explicit ProbeWnd(fw::RuntimeNew) : fw::Window(Lookup()) {}
    static const fw::ClassRecord& Lookup()
    {
        static const fw::ClassRecord record =
            fw::ClassRecordBuilder<ProbeWnd>("ProbeWnd")
                .Handles("CreateControls", "CreateControls", &ProbeWnd::CreateControls)
                .Handles("Open", "Event_Open", &ProbeWnd::Event_Open)
                .Handles("MouseDown", "Event_MouseDown", &ProbeWnd::Event_MouseDown)
                .Build();
        return record;
    }
    void CreateControls()
    {
        auto s = fw::Placed<fw::EditFieldSettings>("Fld", 10, 10, 80, 22, 0);
        s.limitText = 6;
        CreateControl<fw::EditField>("Fld", s.Encode());
        Bind("Fld", "KeyDown", fw::RuntimeCreateDelegate(&ProbeWnd::Fld_KeyDown, *this, fw::kKeyDownSignature));
        CreateCanvas("Pad", nullptr, fw::Placed<fw::CanvasSettings>("Pad", 100, 50, 40, 40, 1).Encode());
        Bind("Pad", "MouseDown", fw::RuntimeCreateDelegate(&ProbeWnd::Pad_MouseDown, *this, fw::kMouseDownSignature));
    }
    void Event_Open() { g_opens.append(&fw::ImplicitInstance<ProbeWnd>()); }
    bool Fld_KeyDown(const QString& key)
    {
        g_keys.append(key);
        return g_keyVerdict;
    }
    bool Pad_MouseDown(std::int32_t, std::int32_t)
    {
        if (g_padFails)
            ControlNamed<fw::EditField>("Missing").Text("x");
        return false;
    }
    bool Event_MouseDown(std::int32_t x, std::int32_t y)
    {
        g_windowPresses.append(QPoint(x, y));
        return false;
    }
};

ProbeWnd& Probe() { return fw::ImplicitInstance<ProbeWnd>(); }
fw::EditField& Fld() { return Probe().ControlNamed<fw::EditField>("Fld"); }

}  // namespace

TEST(Windows, AccessorBuildsOnceKeepsTheWindowAndBuildsAfreshAfterClose)
{
    auto& w = Probe();
    w.Hide();
    EXPECT_EQ(&Probe(), &w);
    w.Show();
    EXPECT_EQ(&Probe(), &w);
    EXPECT_EQ(g_opens, QList<fw::Window*>{&w});  // Open asking for its own window builds no other
    EXPECT_THROW(w.ControlNamed<fw::EditField>("Missing"), fw::NilObjectException);

    w.Frame()->close();
    Probe();
    EXPECT_EQ(g_opens.size(), 2);
}

TEST(Windows, KeyDownVerdictDecidesAndLimitTextStopsOnlyTyping)
{
    g_keyVerdict = true;
    Type(Fld(), "ab");
    EXPECT_EQ(Fld().LineEdit()->text(), "");
    g_keyVerdict = false;
    Type(Fld(), "cd");
    EXPECT_EQ(Fld().LineEdit()->text(), "cd");

    // Arrows and shortcuts edit the field itself, unseen by the handler.
    for (const Qt::Key key : {Qt::Key_A, Qt::Key_C, Qt::Key_Right, Qt::Key_V})
        KeyInto(Fld(), key, key == Qt::Key_Right ? Qt::NoModifier : Qt::ControlModifier);
    EXPECT_EQ(Fld().Text(), "cdcd");
    EXPECT_EQ(g_keys, QStringList({"a", "b", "c", "d"}));

    // The program may write past the limit; typing stops at it.
    Fld().Text("-4.0000");
    KeyInto(Fld(), Qt::Key_End);
    Type(Fld(), "9");
    KeyInto(Fld(), Qt::Key_Backspace);
    KeyInto(Fld(), Qt::Key_Backspace);
    Type(Fld(), "789");
    EXPECT_EQ(Fld().Text(), "-4.007");
}

TEST(Windows, PressesGoOnToTheWindowUntilAHandlerFailsWhichEndsTheRun)
{
    auto& pad = Probe().ControlNamed<fw::Canvas>("Pad");
    QTimer::singleShot(0, [&pad] {
        PressAt(pad.Widget(), QPoint(5, 7));
        g_padFails = true;
        Press(pad);
    });
    QTimer::singleShot(10000, [] { fw::Quit(); });  // should the failure not end the loop
    try {
        fw::RuntimeRun();
    } catch (const fw::NilObjectException&) {
        testing::internal::CaptureStderr();
        fw::UnhandledException(std::current_exception());
        fw::UnhandledException(std::current_exception());
        EXPECT_EQ(QString::fromStdString(testing::internal::GetCapturedStderr()).count('\n'), 1);
    }
    EXPECT_NE(fw::RuntimeExit(), 0);
    EXPECT_EQ(g_windowPresses, QList<QPoint>{QPoint(105, 57)});  // in the window's coordinates
}

// The coefficient fields' key filters, driven with real key presses: what
// goes in silently, what beeps and leaves the field as it was, and where
// Tab and the picture presses leave the focus.
#include "ControlWnd.h"
#include "Runtime.h"
#include "TestSupport.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <gtest/gtest.h>

#include <ostream>

namespace {

const char* const kCoefficients[] = {"RxxFld", "RyyFld", "RxyFld"};

bool Open()
{
    return QTest::qWaitForWindowActive(ControlWnd().Frame());
}

fw::EditField& Field(const char* name)
{
    return ControlWnd().ControlNamed<fw::EditField>(name);
}

void ClickInto(fw::EditField& field)
{
    QTest::mouseClick(field.FocusWidget(), Qt::LeftButton);
}

}  // namespace

TEST(KeyFilter, DigitsPointsAndBackspacePassSilentlyUpToTheLimit)
{
    ASSERT_TRUE(Open());
    for (const char* name : kCoefficients) {
        SCOPED_TRACE(name);
        auto& field = Field(name);
        ClickInto(field);
        Type(field, "012345");
        EXPECT_EQ(field.Text(), "012345");
        for (int i = 0; i < 6; ++i)
            KeyInto(field, Qt::Key_Backspace);
        EXPECT_EQ(field.Text(), "");
        // A point after a digit, a second one right after it; the seventh
        // key passes the filter but not the field's limit.
        Type(field, "6789..1");
        EXPECT_EQ(field.Text(), "6789..");
    }
    EXPECT_EQ(fw::BeepCount(), 0);
}

TEST(KeyFilter, MinusOnlyInTheCorrelation)
{
    ASSERT_TRUE(Open());
    auto& rxy = Field("RxyFld");
    ClickInto(rxy);
    // Before a point, after a digit, twice in a row, at the front.
    Type(rxy, "-.5--");
    KeyInto(rxy, Qt::Key_Home);
    Type(rxy, "-");
    EXPECT_EQ(rxy.Text(), "--.5--");
    EXPECT_EQ(fw::BeepCount(), 0);

    for (const char* name : {"RxxFld", "RyyFld"}) {
        SCOPED_TRACE(name);
        auto& field = Field(name);
        ClickInto(field);
        Type(field, ".5");
        const int beeps = fw::BeepCount();
        Type(field, "-");
        EXPECT_EQ(field.Text(), ".5");
        EXPECT_EQ(fw::BeepCount(), beeps + 1);
    }
}

// A refused key: a name for the report, the key and the text it carries.
struct Refused {
    const char* name;
    Qt::Key key;
    const char* text;
};

std::ostream& operator<<(std::ostream& os, const Refused& r)
{
    return os << r.name;
}

class KeyFilterRefuses : public ::testing::TestWithParam<Refused> {};

TEST_P(KeyFilterRefuses, WithOneBeepAndTheFieldUntouched)
{
    ASSERT_TRUE(Open());
    const Refused& key = GetParam();
    MessageBoxWatcher boxes;
    for (const char* name : kCoefficients) {
        SCOPED_TRACE(name);
        auto& field = Field(name);
        ClickInto(field);
        Type(field, "12.34");
        // Select ".3" with the keyboard.
        KeyInto(field, Qt::Key_End);
        KeyInto(field, Qt::Key_Left);
        KeyInto(field, Qt::Key_Left, Qt::ShiftModifier);
        KeyInto(field, Qt::Key_Left, Qt::ShiftModifier);
        ASSERT_EQ(field.LineEdit()->selectedText(), ".3");
        const int beeps = fw::BeepCount();

        QTest::sendKeyEvent(QTest::Click, field.FocusWidget(), key.key, QString::fromUtf8(key.text), Qt::NoModifier);

        EXPECT_EQ(fw::BeepCount(), beeps + 1);
        EXPECT_EQ(field.Text(), "12.34");
        EXPECT_EQ(field.LineEdit()->selectedText(), ".3");
        EXPECT_EQ(field.LineEdit()->selectionStart(), 2);
        EXPECT_EQ(Focused(), field.FocusWidget());
    }
    // Return does not compute.
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_FALSE(Field("RdFld").Widget()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyFilterRefuses,
    ::testing::Values(Refused{"a", Qt::Key_A, "a"}, Refused{"Z", Qt::Key_Z, "Z"}, Refused{"e", Qt::Key_E, "e"},
                      Refused{"E", Qt::Key_E, "E"}, Refused{"plus", Qt::Key_Plus, "+"},
                      Refused{"comma", Qt::Key_Comma, ","},
                      Refused{"slash", Qt::Key_Slash, "/"},  // 47, just below the digits
                      Refused{"colon", Qt::Key_Colon, ":"},  // 58, just above them
                      Refused{"space", Qt::Key_Space, " "}, Refused{"e_acute", Qt::Key_Eacute, "\xC3\xA9"},
                      Refused{"Return", Qt::Key_Return, "\r"}, Refused{"Escape", Qt::Key_Escape, "\x1B"}),
    [](const ::testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

TEST(KeyFilter, TabRunsThroughTheCoefficientFieldsOnly)
{
    ASSERT_TRUE(Open());
    auto& w = ControlWnd();
    auto& rxx = Field("RxxFld");
    ClickInto(rxx);
    Type(rxx, ".5");
    KeyInto(rxx, Qt::Key_Tab);
    EXPECT_EQ(Focused(), Field("RyyFld").FocusWidget());
    KeyInto(Field("RyyFld"), Qt::Key_Tab);
    EXPECT_EQ(Focused(), Field("RxyFld").FocusWidget());
    KeyInto(Field("RxyFld"), Qt::Key_Tab);
    for (const char* canvas : {"Canvas1", "Help", "ComputeCanvas", "ClearCanvas"})
        EXPECT_NE(Focused(), w.ControlNamed<fw::Canvas>(canvas).Widget()) << canvas;
    EXPECT_EQ(rxx.Text(), ".5");
    EXPECT_EQ(fw::BeepCount(), 0);
}

TEST(KeyFilter, PressingAPictureLeavesTheFocusWhereItWas)
{
    ASSERT_TRUE(Open());
    auto& w = ControlWnd();
    MessageBoxWatcher boxes;
    Type(Field("RxxFld"), ".9");
    Type(Field("RyyFld"), ".8");
    Type(Field("RxyFld"), ".5");
    ClickInto(Field("RyyFld"));
    // The logo and Help open other windows; the calculator keeps its focus field.
    for (const char* canvas : {"ComputeCanvas", "Canvas1", "Help"}) {
        Press(w.ControlNamed<fw::Canvas>(canvas));
        EXPECT_EQ(w.Frame()->focusWidget(), Field("RyyFld").FocusWidget()) << canvas;
    }
    EXPECT_EQ(Field("RdFld").Text(), ".7000");
    // Clear moves the focus itself, to the first field, never to the picture.
    Press(w.ControlNamed<fw::Canvas>("ClearCanvas"));
    EXPECT_EQ(w.Frame()->focusWidget(), Field("RxxFld").FocusWidget());
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

// Compute and Clear on the real calculator window: the arithmetic to the
// last bit, what the result field shows, the checks with their one message
// each, and where the focus ends up.
#include "ComputeRd.h"
#include "ControlWnd.h"
#include "Runtime.h"
#include "TestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string_view>

namespace {

const char* const kCheck1 = "Please enter the Reliability of the first test";
const char* const kCheck2 = "Please enter the Reliability of the second test";
const char* const kCheck3 = "Please enter the correlation between the two tests";
const char* const kCheck4 = "Reliability of first test must range from 0.00 to 1.00";
const char* const kCheck5 = "Reliability of second test must range from 0.00 to 1.00";
const char* const kCheck6 = "Correlation between tests must range from 0.00 to 1.00";

// The calculator window, built and active, so the focus can be read.
bool Open()
{
    return QTest::qWaitForWindowActive(ControlWnd().Frame());
}

// This platform does not hand the activation back when a message box
// closes; a desktop's window manager does.
bool Reactivated()
{
    ControlWnd().Frame()->activateWindow();
    return Open();
}

fw::EditField& Field(const char* name)
{
    return ControlWnd().ControlNamed<fw::EditField>(name);
}

fw::RectControl& Control(const char* name)
{
    return ControlWnd().ControlNamed<fw::RectControl>(name);
}

bool Shown(const char* name)
{
    return Control(name).Widget()->isVisible();
}

void ClickInto(fw::EditField& field)
{
    QTest::mouseClick(field.FocusWidget(), Qt::LeftButton);
}

// What a user does to replace a field's text: click, select all, type.
void Retype(const char* name, const QString& text)
{
    auto& field = Field(name);
    ClickInto(field);
    KeyInto(field, Qt::Key_A, Qt::ControlModifier);
    KeyInto(field, Qt::Key_Backspace);
    Type(field, text);
}

void Fill(const QString& rxx, const QString& ryy, const QString& rxy)
{
    Retype("RxxFld", rxx);
    Retype("RyyFld", ryy);
    Retype("RxyFld", rxy);
}

void PressCompute()
{
    Press(Control("ComputeCanvas"));
}

// Everything Compute may change besides the focus.
struct FormState {
    QString rxx, ryy, rxy, rd;
    bool rdShown, rdTextShown;
    bool operator==(const FormState&) const = default;
};

FormState State()
{
    return {Field("RxxFld").Text(), Field("RyyFld").Text(), Field("RxyFld").Text(), Field("RdFld").Text(),
            Shown("RdFld"), Shown("RdText")};
}

}  // namespace

TEST(ComputeRd, IsExactToTheLastBit)
{
    struct Row {
        double rxx, ryy, absRxy, rd;
    };
    const Row rows[] = {
        {.9, .8, .5, 0.7000000000000002},  {.85, .9, .6, 0.6875},
        {.8, .8, .5, 0.6000000000000001},  {.5, .5, .9, -4.000000000000001},
        {.7, .8, .75, 0},                  {0, 0, .5, -1},
        {1, 1, 0, 1},                      {0, 0, 0, 0},
        {0, .8, .5, -0.19999999999999996}, {.9, .8, 0, 0.8500000000000001},
        {.5, .5, 1, -std::numeric_limits<double>::infinity()},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ComputeRd(r.rxx, r.ryy, r.absRxy), r.rd) << r.rxx << ", " << r.ryy << ", " << r.absRxy;
    EXPECT_TRUE(std::isnan(ComputeRd(1, 1, 1)));
}

// Rows that pass every check: typed key by key, then Compute.
struct Passing {
    const char *rxx, *ryy, *rxy, *shown;
};

std::ostream& operator<<(std::ostream& os, const Passing& r)
{
    return os << '"' << r.rxx << "\" \"" << r.ryy << "\" \"" << r.rxy << '"';
}

class ComputeShows : public ::testing::TestWithParam<Passing> {};

TEST_P(ComputeShows, TheFormattedResultWithItsCaption)
{
    const Passing& row = GetParam();
    ASSERT_TRUE(Open());
    MessageBoxWatcher boxes;
    Fill(row.rxx, row.ryy, row.rxy);
    ASSERT_EQ(fw::BeepCount(), 0);
    ASSERT_FALSE(Shown("RdFld"));
    ASSERT_FALSE(Shown("RdText"));
    QWidget* focus = Focused();
    ASSERT_EQ(focus, Field("RxyFld").FocusWidget());

    PressCompute();
    EXPECT_EQ(Field("RdFld").Text(), row.shown);
    EXPECT_EQ(Field("RdFld").LineEdit()->text(), row.shown);  // shown whole, past the field's limit
    EXPECT_TRUE(Shown("RdFld"));
    EXPECT_TRUE(Shown("RdText"));
    EXPECT_EQ(Focused(), focus);

    // A second press on the same inputs changes nothing.
    const FormState after = State();
    PressCompute();
    EXPECT_EQ(State(), after);
    EXPECT_EQ(after.rxx, row.rxx);
    EXPECT_EQ(after.ryy, row.ryy);
    EXPECT_EQ(after.rxy, row.rxy);
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(EdgeRows, ComputeShows,
                         ::testing::Values(Passing{".9", ".8", ".5", ".7000"}, Passing{".85", ".9", ".6", ".6875"},
                                           Passing{".8", ".8", "-.5", ".6000"},
                                           Passing{".5", ".5", ".9", "-4.0000"},
                                           Passing{".7", ".8", ".75", ".0000"}, Passing{"0", "0", ".5", "-1.0000"},
                                           Passing{"1", "1", "0", "1.0000"}, Passing{"0", "0", "0", ".0000"},
                                           Passing{".", ".8", ".5", "-.2000"}, Passing{".9", ".8", "-", ".8500"},
                                           Passing{".5", ".5", "1", "-INF"}, Passing{".5", ".5", "-1", "-INF"},
                                           Passing{"1", "1", "1", "NAN"}));

// Rows that fail one check: one message, the focus to the field concerned,
// nothing else changed, whether or not a result was shown before.
struct Failing {
    const char *rxx, *ryy, *rxy, *message, *focus;
};

std::ostream& operator<<(std::ostream& os, const Failing& r)
{
    return os << '"' << r.rxx << "\" \"" << r.ryy << "\" \"" << r.rxy << '"';
}

class ComputeRefuses : public ::testing::TestWithParam<std::tuple<Failing, bool>> {};

TEST_P(ComputeRefuses, WithOneMessageAndTheFocusOnTheField)
{
    const auto& [row, resultBefore] = GetParam();
    ASSERT_TRUE(Open());
    MessageBoxWatcher boxes;
    if (resultBefore) {
        Fill(".9", ".8", ".5");
        PressCompute();
        ASSERT_EQ(Field("RdFld").Text(), ".7000");
    }
    Fill(row.rxx, row.ryy, row.rxy);
    ASSERT_EQ(fw::BeepCount(), 0);
    // Start from a field the check does not point at, so a move is seen.
    ClickInto(Field(std::string_view(row.focus) == "RxxFld" ? "RyyFld" : "RxxFld"));
    const FormState before = State();

    PressCompute();
    ASSERT_TRUE(Reactivated());
    EXPECT_EQ(boxes.Texts(), QStringList{row.message});
    EXPECT_EQ(Focused(), Field(row.focus).FocusWidget());
    EXPECT_EQ(State(), before);
    EXPECT_EQ(before.rdShown, resultBefore);
    EXPECT_EQ(before.rdTextShown, resultBefore);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeRows, ComputeRefuses,
    ::testing::Combine(::testing::Values(Failing{"", "", "", kCheck1, "RxxFld"}, Failing{"2", "", ".5", kCheck2, "RyyFld"},
                                         Failing{".5", ".5", "", kCheck3, "RxyFld"},
                                         Failing{"2", "3", ".5", kCheck4, "RxxFld"},
                                         Failing{"1.0001", ".8", ".5", kCheck4, "RxxFld"},
                                         Failing{".5", "1.5", ".5", kCheck5, "RyyFld"},
                                         Failing{".5", ".5", "-1.5", kCheck6, "RxyFld"}),
                       ::testing::Bool()));

TEST(Compute, PastedTextBypassesTheKeyFilter)
{
    ASSERT_TRUE(Open());
    MessageBoxWatcher boxes;
    Fill("", ".8", ".5");
    QGuiApplication::clipboard()->setText(QStringLiteral("-.5"));
    ClickInto(Field("RxxFld"));
    KeyInto(Field("RxxFld"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Field("RxxFld").Text(), "-.5");
    ClickInto(Field("RyyFld"));
    PressCompute();
    ASSERT_TRUE(Reactivated());
    EXPECT_EQ(boxes.Texts(), QStringList{kCheck4});
    EXPECT_EQ(Focused(), Field("RxxFld").FocusWidget());
    EXPECT_EQ(fw::BeepCount(), 0);
    EXPECT_FALSE(Shown("RdFld"));
}

TEST(Clear, EmptiesTheFormFromEitherState)
{
    ASSERT_TRUE(Open());
    MessageBoxWatcher boxes;
    const FormState empty{"", "", "", "", false, false};
    // On an empty form it only moves the focus.
    ClickInto(Field("RxyFld"));
    Press(Control("ClearCanvas"));
    EXPECT_EQ(State(), empty);
    EXPECT_EQ(Focused(), Field("RxxFld").FocusWidget());

    Fill(".9", ".8", ".5");
    PressCompute();
    ASSERT_TRUE(Shown("RdFld"));
    Press(Control("ClearCanvas"));
    EXPECT_EQ(State(), empty);
    EXPECT_EQ(Focused(), Field("RxxFld").FocusWidget());

    Fill("1", "2", "3");
    Press(Control("ClearCanvas"));
    EXPECT_EQ(State(), empty);
    EXPECT_EQ(Focused(), Field("RxxFld").FocusWidget());
    EXPECT_TRUE(boxes.Texts().isEmpty());

    // The form is really empty: Compute now reports the first field.
    PressCompute();
    EXPECT_EQ(boxes.Texts(), QStringList{kCheck1});
}

// The calculator window through its real widgets: its build, its menu
// accessors, the key filters, Compute and Clear.
#include "ComputeRd.h"
#include "ControlWnd.h"
#include "MenuBar1.h"
#include "Runtime.h"
#include "TestSupport.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string_view>

namespace {

const char* const kCheck1 = "Please enter the Reliability of the first test";
const char* const kCheck2 = "Please enter the Reliability of the second test";
const char* const kCheck3 = "Please enter the correlation between the two tests";
const char* const kCheck4 = "Reliability of first test must range from 0.00 to 1.00";
const char* const kCheck5 = "Reliability of second test must range from 0.00 to 1.00";
const char* const kCheck6 = "Correlation between tests must range from 0.00 to 1.00";
const char* const kCoefficients[] = {"RxxFld", "RyyFld", "RxyFld"};

// Also waits for the activation a closed message box hands back.
bool Open()
{
    return QTest::qWaitForWindowActive(ControlWnd().Frame());
}

fw::EditField& Field(const char* name)
{
    return ControlWnd().ControlNamed<fw::EditField>(name);
}

bool Shown(const char* name)
{
    return ControlWnd().ControlNamed<fw::Control>(name).Widget()->isVisible();
}

void ClickInto(const char* name)
{
    QTest::mouseClick(Field(name).FocusWidget(), Qt::LeftButton);
}

void PressNamed(const char* name)
{
    Press(ControlWnd().ControlNamed<fw::RectControl>(name));
}

// Click, select all, erase, type key by key.
void Fill(const QString& rxx, const QString& ryy, const QString& rxy)
{
    const QString texts[] = {rxx, ryy, rxy};
    for (int i = 0; i < 3; ++i) {
        auto& field = Field(kCoefficients[i]);
        ClickInto(kCoefficients[i]);
        KeyInto(field, Qt::Key_A, Qt::ControlModifier);
        KeyInto(field, Qt::Key_Backspace);
        Type(field, texts[i]);
    }
}

// Everything Compute and Clear may change besides the focus.
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

TEST(CalculatorWindow, SizeControlsAndCaptions)
{
    ASSERT_TRUE(Open());
    auto& w = ControlWnd();
    QMainWindow* frame = w.Frame();
    EXPECT_EQ(frame->windowTitle(), "Tolvane");
    EXPECT_EQ(w.Content()->size(), QSize(550, 500));
    ASSERT_NE(frame->menuWidget(), nullptr);
    EXPECT_TRUE(frame->menuWidget()->isVisible());
    EXPECT_GE(w.Content()->y(), frame->menuWidget()->geometry().bottom());

    const struct {
        const char *name, *cls;
        bool shown;
    } expected[] = {
        {"RdFld", "EditField", false},       {"RdText", "StaticText", false},    {"StaticText5", "StaticText", true},
        {"Canvas1", "Canvas", true},         {"StaticText1", "StaticText", true}, {"RxxFld", "EditField", true},
        {"StaticText2", "StaticText", true}, {"RyyFld", "EditField", true},      {"StaticText3", "StaticText", true},
        {"RxyFld", "EditField", true},       {"StaticText6", "StaticText", true}, {"Help", "Canvas", true},
        {"Separator1", "Separator", true},   {"ComputeCanvas", "Canvas", true},  {"ClearCanvas", "Canvas", true},
    };
    const auto& controls = w.Controls();
    ASSERT_EQ(controls.size(), std::size(expected));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const auto& e = expected[i];
        EXPECT_EQ(controls[i]->Name(), e.name);
        EXPECT_EQ(controls[i]->Properties().Name(), e.cls) << e.name;
        EXPECT_EQ(controls[i]->Widget()->isVisible(), e.shown) << e.name;
        if (const auto* text = dynamic_cast<const fw::StaticText*>(controls[i].get())) {
            const QSize need = QFontMetrics(text->Label()->font()).size(0, text->Label()->text());
            EXPECT_LE(need.width(), text->Width()) << e.name;
            EXPECT_LE(need.height(), text->Height()) << e.name;
        }
    }
    const std::pair<const char*, const char*> captions[] = {
        {"StaticText5", "Tol\nvane"},                    {"RdText", "Tol\nvane"},
        {"StaticText1", "Reliability\nof first test"}, {"StaticText2", "Reliability of\nsecond test"},
        {"StaticText3", "Correlation\nbetween tests"},
    };
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(w.ControlNamed<fw::StaticText>(name).Label()->text(), caption);
    EXPECT_FALSE(w.ControlNamed<fw::StaticText>("StaticText6").Label()->wordWrap());  // the notice: one line
}

TEST(CalculatorWindow, MenuAccessorsLookInTheWindowsBar)
{
    auto& w = ControlWnd();
    const std::pair<const char*, std::function<std::shared_ptr<fw::MenuItem>()>> accessors[] = {
        {"EditMenu", [&] { return w.EditMenu(); }},           {"EditSelectAll", [&] { return w.EditSelectAll(); }},
        {"UntitledMenu0", [&] { return w.UntitledMenu0(); }}, {"EditClear", [&] { return w.EditClear(); }},
        {"EditPaste", [&] { return w.EditPaste(); }},         {"EditCopy", [&] { return w.EditCopy(); }},
        {"EditCut", [&] { return w.EditCut(); }},             {"UntitledMenu1", [&] { return w.UntitledMenu1(); }},
        {"EditUndo", [&] { return w.EditUndo(); }},           {"FileMenu", [&] { return w.FileMenu(); }},
        {"FileQuit", [&] { return w.FileQuit(); }},
    };
    for (const auto& [name, accessor] : accessors) {
        const auto item = accessor();
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item, MenuBar1()->Lookup(name)) << name;
    }
    w.MenuBar(nullptr);
    for (const auto& [name, accessor] : accessors)
        EXPECT_THROW(accessor(), fw::NilObjectException) << name;
}

TEST(KeyFilter, DigitsPointsBackspaceAndTheCorrelationsMinusPassSilently)
{
    ASSERT_TRUE(Open());
    for (const char* name : kCoefficients) {
        SCOPED_TRACE(name);
        auto& field = Field(name);
        ClickInto(name);
        Type(field, "012345");
        EXPECT_EQ(field.Text(), "012345");
        for (int i = 0; i < 6; ++i)
            KeyInto(field, Qt::Key_Backspace);
        EXPECT_EQ(field.Text(), "");
        // The seventh key passes the filter but not the field's limit.
        Type(field, "6789..1");
        EXPECT_EQ(field.Text(), "6789..");
    }
    auto& rxy = Field("RxyFld");
    KeyInto(rxy, Qt::Key_A, Qt::ControlModifier);
    Type(rxy, "-.5--");
    KeyInto(rxy, Qt::Key_Home);
    Type(rxy, "-");
    EXPECT_EQ(rxy.Text(), "--.5--");
    EXPECT_EQ(fw::BeepCount(), 0);
}

TEST(KeyFilter, RefusedKeysBeepOnceAndChangeNothing)
{
    ASSERT_TRUE(Open());
    MessageBoxWatcher boxes;
    const std::pair<Qt::Key, const char*> refused[] = {
        {Qt::Key_A, "a"},     {Qt::Key_Z, "Z"},          {Qt::Key_E, "e"},          {Qt::Key_E, "E"},
        {Qt::Key_Plus, "+"},  {Qt::Key_Comma, ","},      {Qt::Key_Slash, "/"},      {Qt::Key_Colon, ":"},
        {Qt::Key_Space, " "}, {Qt::Key_Eacute, "\xC3\xA9"}, {Qt::Key_Return, "\r"}, {Qt::Key_Escape, "\x1B"},
        {Qt::Key_Minus, "-"},  // last: the correlation takes it
    };
    for (const char* name : kCoefficients) {
        auto& field = Field(name);
        ClickInto(name);
        Type(field, "12.34");
        KeyInto(field, Qt::Key_End);
        KeyInto(field, Qt::Key_Left);
        KeyInto(field, Qt::Key_Left, Qt::ShiftModifier);
        KeyInto(field, Qt::Key_Left, Qt::ShiftModifier);
        ASSERT_EQ(field.LineEdit()->selectedText(), ".3");
        for (const auto& [key, text] : refused) {
            if (key == Qt::Key_Minus && field.Name() == "RxyFld")
                break;
            SCOPED_TRACE(::testing::Message() << name << " key " << key);
            const int beeps = fw::BeepCount();
            QTest::sendKeyEvent(QTest::Click, field.FocusWidget(), key, QString::fromUtf8(text), Qt::NoModifier);
            EXPECT_EQ(fw::BeepCount(), beeps + 1);
            EXPECT_EQ(field.Text(), "12.34");
            EXPECT_EQ(field.LineEdit()->selectedText(), ".3");
            EXPECT_EQ(field.LineEdit()->selectionStart(), 2);
            EXPECT_EQ(Focused(), field.FocusWidget());
        }
    }
    // Return does not compute.
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_FALSE(Shown("RdFld"));
}

TEST(KeyFilter, TabRunsThroughTheFieldsAndCanvasesNeverTakeTheFocus)
{
    ASSERT_TRUE(Open());
    auto& w = ControlWnd();
    MessageBoxWatcher boxes;
    ClickInto("RxxFld");
    KeyInto(Field("RxxFld"), Qt::Key_Tab);
    EXPECT_EQ(Focused(), Field("RyyFld").FocusWidget());
    KeyInto(Field("RyyFld"), Qt::Key_Tab);
    EXPECT_EQ(Focused(), Field("RxyFld").FocusWidget());
    KeyInto(Field("RxyFld"), Qt::Key_Tab);
    for (const char* canvas : {"Canvas1", "Help", "ComputeCanvas", "ClearCanvas"})
        EXPECT_NE(Focused(), w.ControlNamed<fw::Canvas>(canvas).Widget()) << canvas;

    // The logo and Help open other windows; the calculator keeps its focus field.
    Fill(".9", ".8", ".5");
    ClickInto("RyyFld");
    for (const char* canvas : {"ComputeCanvas", "Canvas1", "Help"}) {
        PressNamed(canvas);
        EXPECT_EQ(w.Frame()->focusWidget(), Field("RyyFld").FocusWidget()) << canvas;
    }
    EXPECT_EQ(Field("RdFld").Text(), ".7000");
    PressNamed("ClearCanvas");
    EXPECT_EQ(w.Frame()->focusWidget(), Field("RxxFld").FocusWidget());
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_EQ(fw::BeepCount(), 0);
}

TEST(ComputeRd, IsExactToTheLastBit)
{
    const struct {
        double rxx, ryy, absRxy, rd;
    } rows[] = {
        {.9, .8, .5, 0.7000000000000002}, {.85, .9, .6, 0.6875}, {.8, .8, .5, 0.6000000000000001},
        {.5, .5, .9, -4.000000000000001}, {.7, .8, .75, 0},     {0, 0, .5, -1}, {1, 1, 0, 1}, {0, 0, 0, 0},
        {0, .8, .5, -0.19999999999999996}, {.9, .8, 0, 0.8500000000000001},
        {.5, .5, 1, -std::numeric_limits<double>::infinity()},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ComputeRd(r.rxx, r.ryy, r.absRxy), r.rd) << r.rxx << ", " << r.ryy << ", " << r.absRxy;
    EXPECT_TRUE(std::isnan(ComputeRd(1, 1, 1)));
}

TEST(Compute, ShowsTheFormattedResultWithItsCaption)
{
    ASSERT_TRUE(Open());
    MessageBoxWatcher boxes;
    const struct {
        const char *rxx, *ryy, *rxy, *shown;
    } rows[] = {
        {".9", ".8", ".5", ".7000"},  {".85", ".9", ".6", ".6875"}, {".8", ".8", "-.5", ".6000"},
        {".5", ".5", ".9", "-4.0000"}, {".7", ".8", ".75", ".0000"}, {"0", "0", ".5", "-1.0000"},
        {"1", "1", "0", "1.0000"},    {"0", "0", "0", ".0000"},     {".", ".8", ".5", "-.2000"},
        {".9", ".8", "-", ".8500"},   {".5", ".5", "1", "-INF"},     {".5", ".5", "-1", "-INF"},
        {"1", "1", "1", "NAN"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.rxx << " " << row.ryy << " " << row.rxy);
        PressNamed("ClearCanvas");
        ASSERT_FALSE(Shown("RdFld") || Shown("RdText"));
        Fill(row.rxx, row.ryy, row.rxy);
        PressNamed("ComputeCanvas");
        const FormState after = State();
        EXPECT_EQ(after, (FormState{row.rxx, row.ryy, row.rxy, row.shown, true, true}));
        EXPECT_EQ(Field("RdFld").LineEdit()->text(), row.shown);  // whole, past the field's limit
        EXPECT_EQ(Focused(), Field("RxyFld").FocusWidget());
        PressNamed("ComputeCanvas");
        EXPECT_EQ(State(), after);
    }
    EXPECT_EQ(fw::BeepCount(), 0);
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join(" | ").toStdString();
}

TEST(Compute, RefusesWithOneMessageAndTheFocusOnTheField)
{
    ASSERT_TRUE(Open());
    const struct {
        const char *rxx, *ryy, *rxy, *message, *focus;
    } rows[] = {
        {"", "", "", kCheck1, "RxxFld"},          {"2", "", ".5", kCheck2, "RyyFld"},
        {".5", ".5", "", kCheck3, "RxyFld"},      {"2", "3", ".5", kCheck4, "RxxFld"},
        {"1.0001", ".8", ".5", kCheck4, "RxxFld"}, {".5", "1.5", ".5", kCheck5, "RyyFld"},
        {".5", ".5", "-1.5", kCheck6, "RxyFld"},
    };
    for (const bool resultBefore : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(::testing::Message() << row.rxx << " " << row.ryy << " " << row.rxy << " " << resultBefore);
            MessageBoxWatcher boxes;
            PressNamed("ClearCanvas");
            if (resultBefore) {
                Fill(".9", ".8", ".5");
                PressNamed("ComputeCanvas");
            }
            Fill(row.rxx, row.ryy, row.rxy);
            // Start from a field the check does not point at, so a move is seen.
            ClickInto(std::string_view(row.focus) == "RxxFld" ? "RyyFld" : "RxxFld");
            const FormState before = State();
            EXPECT_EQ(before.rdShown && before.rdTextShown && before.rd == ".7000", resultBefore);

            PressNamed("ComputeCanvas");
            ASSERT_TRUE(Open());
            EXPECT_EQ(boxes.Texts(), QStringList{row.message});
            EXPECT_EQ(Focused(), Field(row.focus).FocusWidget());
            EXPECT_EQ(State(), before);
        }
    }
    EXPECT_EQ(fw::BeepCount(), 0);
}

TEST(Compute, PastedMinusGetsTheRangeCheck)
{
    ASSERT_TRUE(Open());
    MessageBoxWatcher boxes;
    Fill("", ".8", ".5");
    QGuiApplication::clipboard()->setText(QStringLiteral("-.5"));
    ClickInto("RxxFld");
    KeyInto(Field("RxxFld"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Field("RxxFld").Text(), "-.5");
    ClickInto("RyyFld");
    PressNamed("ComputeCanvas");
    ASSERT_TRUE(Open());
    EXPECT_EQ(boxes.Texts(), QStringList{kCheck4});
    EXPECT_EQ(Focused(), Field("RxxFld").FocusWidget());
    EXPECT_FALSE(Shown("RdFld"));
}

TEST(Clear, EmptiesTheFormFromEitherState)
{
    ASSERT_TRUE(Open());
    MessageBoxWatcher boxes;
    const FormState empty{"", "", "", "", false, false};
    for (const bool compute : {false, true}) {
        Fill(".9", ".8", ".5");
        if (compute)
            PressNamed("ComputeCanvas");
        ASSERT_EQ(Shown("RdFld"), compute);
        PressNamed("ClearCanvas");
        EXPECT_EQ(State(), empty);
        EXPECT_EQ(Focused(), Field("RxxFld").FocusWidget());
    }
    EXPECT_TRUE(boxes.Texts().isEmpty());
    // Really empty: Compute now reports the first field.
    PressNamed("ComputeCanvas");
    EXPECT_EQ(boxes.Texts(), QStringList{kCheck1});
}

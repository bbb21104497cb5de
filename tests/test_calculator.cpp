// The calculator window through its real widgets: build, menu accessors, key filters, Compute, Clear.
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
bool Open() { return QTest::qWaitForWindowActive(ControlWnd().Frame()); }
fw::EditField& Field(const char* name) { return ControlWnd().ControlNamed<fw::EditField>(name); }
bool Shown(const char* name) { return ControlWnd().ControlNamed<fw::Control>(name).Widget()->isVisible(); }
void ClickInto(const char* name) { QTest::mouseClick(Field(name).FocusWidget(), Qt::LeftButton); }
void PressNamed(const char* name) { Press(ControlWnd().ControlNamed<fw::RectControl>(name)); }

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

TEST(CalculatorWindow, ControlsAndCaptions)
{
    ASSERT_TRUE(Open());
    auto& w = ControlWnd();
    EXPECT_EQ(w.Frame()->windowTitle(), "Tolvane");
    ASSERT_TRUE(w.Frame()->menuWidget() && w.Frame()->menuWidget()->isVisible());
    const struct { const char *name, *cls; bool shown; const char* caption; } expected[] = {  // caption nullptr: not checked
        {"RdFld", "EditField", false, nullptr},           {"RdText", "StaticText", false, "Tol\nvane"},
        {"StaticText5", "StaticText", true, "Tol\nvane"}, {"Canvas1", "Canvas", true, nullptr},
        {"StaticText1", "StaticText", true, "Reliability\nof first test"}, {"RxxFld", "EditField", true, nullptr},
        {"StaticText2", "StaticText", true, "Reliability of\nsecond test"}, {"RyyFld", "EditField", true, nullptr},
        {"StaticText3", "StaticText", true, "Correlation\nbetween tests"}, {"RxyFld", "EditField", true, nullptr},
        {"StaticText6", "StaticText", true, nullptr},     {"Help", "Canvas", true, nullptr},
        {"Separator1", "Separator", true, nullptr},       {"ComputeCanvas", "Canvas", true, nullptr},
        {"ClearCanvas", "Canvas", true, nullptr},
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
            EXPECT_TRUE(need.width() <= text->Width() && need.height() <= text->Height()) << e.name;
            EXPECT_TRUE(!e.caption || text->Label()->text() == e.caption) << e.name;
        }
    }
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
    for (const auto& [name, accessor] : accessors)
        EXPECT_EQ(accessor(), MenuBar1()->Lookup(name)) << name;  // each name is found: see the menu tests
    w.MenuBar(nullptr);
    for (const auto& [name, accessor] : accessors)
        EXPECT_THROW(accessor(), fw::NilObjectException) << name;
}

TEST(KeyFilter, DigitsPointsBackspaceTabAndTheCorrelationsMinusPassSilently)
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

    // Tab runs through the fields, never onto a canvas.
    ClickInto("RxxFld");
    KeyInto(Field("RxxFld"), Qt::Key_Tab);
    EXPECT_EQ(Focused(), Field("RyyFld").FocusWidget());
    KeyInto(Field("RyyFld"), Qt::Key_Tab);
    EXPECT_EQ(Focused(), Field("RxyFld").FocusWidget());
    KeyInto(Field("RxyFld"), Qt::Key_Tab);
    for (const char* canvas : {"Canvas1", "Help", "ComputeCanvas", "ClearCanvas"})
        EXPECT_NE(Focused(), ControlWnd().ControlNamed<fw::Canvas>(canvas).Widget()) << canvas;
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
            EXPECT_EQ(Focused(), field.FocusWidget());
        }
    }
    // Return does not compute.
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_FALSE(Shown("RdFld"));
}

TEST(ComputeRd, IsExactToTheLastBit)
{
    const struct { double rxx, ryy, absRxy, rd; } rows[] = {
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
    const struct { const char *rxx, *ryy, *rxy, *shown; } rows[] = {
        {".9", ".8", ".5", ".7000"}, {".8", ".8", "-.5", ".6000"}, {".5", ".5", ".9", "-4.0000"},
        {".7", ".8", ".75", ".0000"}, {"0", "0", ".5", "-1.0000"}, {"1", "1", "0", "1.0000"},
        {".", ".8", ".5", "-.2000"}, {".9", ".8", "-", ".8500"}, {".5", ".5", "1", "-INF"},
        {".5", ".5", "-1", "-INF"}, {"1", "1", "1", "NAN"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.rxx << " " << row.ryy << " " << row.rxy);
        PressNamed("ClearCanvas");
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
    EXPECT_EQ(boxes.Texts(), QStringList());
}

TEST(Compute, RefusesWithOneMessageAndTheFocusOnTheField)
{
    ASSERT_TRUE(Open());
    const struct { const char *rxx, *ryy, *rxy, *message, *focus; } rows[] = {
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

    // A pasted minus gets the range check.
    MessageBoxWatcher boxes;
    PressNamed("ClearCanvas");
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
    // Really empty, and no message so far: Compute now reports the first field.
    PressNamed("ComputeCanvas");
    EXPECT_EQ(boxes.Texts(), QStringList{kCheck1});
}

// The calculator window through its real widgets: its layout, key filters, Compute, Clear.
#include "ComputeRd.h"
#include "ControlWnd.h"
#include "Runtime.h"
#include "TestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

// Also waits for the activation a closed message box hands back.
bool Open() { return QTest::qWaitForWindowActive(ControlWnd().Frame()); }
fw::EditField& Field(const char* name) { return ControlWnd().ControlNamed<fw::EditField>(name); }
bool Shown(const char* name) { return ControlWnd().ControlNamed<fw::Control>(name).Widget()->isVisible(); }
void ClickInto(const char* name) { QTest::mouseClick(Field(name).FocusWidget(), Qt::LeftButton); }
void PressNamed(const char* name) { Press(ControlWnd().ControlNamed<fw::RectControl>(name)); }

// A label's text as drawn: the colour of its darkest pixel, and how far the middle of its ink lies from the
// label's own middle.
std::pair<QColor, int> Ink(const char* label)
{
    const QImage drawn = ControlWnd().ControlNamed<fw::StaticText>(label).Label()->grab().toImage();
    QColor darkest = Qt::white;
    int left = drawn.width(), right = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QColor c = drawn.pixelColor(x, y);
            if (c.lightness() < darkest.lightness())
                darkest = c;
            if (c != Qt::white)
                left = std::min(left, x), right = std::max(right, x);
        }
    return {darkest, (left + right + 1) / 2 - drawn.width() / 2};
}

// A key pressed with its text, or (Key_unknown) the text an input method commits.
void Compose(fw::EditField& field, Qt::Key key, const char* text, Qt::KeyboardModifiers mods = {})
{
    if (key != Qt::Key_unknown)
        return QTest::sendKeyEvent(QTest::Click, field.FocusWidget(), key, QString::fromUtf8(text), mods);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8(text));
    QCoreApplication::sendEvent(field.FocusWidget(), &commit);
}

// Click, select all, erase, type key by key.
void Fill(const char* rxx, const char* ryy, const char* rxy)
{
    for (const auto& [name, text] : {std::pair{"RxxFld", rxx}, {"RyyFld", ryy}, {"RxyFld", rxy}}) {
        ClickInto(name);
        KeyInto(Field(name), Qt::Key_A, Qt::ControlModifier);
        KeyInto(Field(name), Qt::Key_Backspace);
        Type(Field(name), text);
    }
}

}  // namespace

// As the window is drawn: 550 by 500 under the menu bar, the field row symmetric about x = 275, each caption
// centred under its field, the three picture-buttons standing on y = 480, 20 pixels in from the sides.
TEST(CalculatorWindow, LayoutIsSymmetricAndTheButtonsStandOnOneLine)
{
    auto& calc = ControlWnd();
    Settle();
    const int bar = calc.Frame()->menuWidget()->height();
    EXPECT_GT(bar, 0);
    EXPECT_EQ(calc.Content()->geometry(), QRect(0, bar, 550, 500));
    EXPECT_EQ(calc.Frame()->size(), QSize(550, 500 + bar));
    EXPECT_THROW(calc.ControlNamed<fw::EditField>("Missing"), fw::NilObjectException);
    auto rect = [](const char* name) { return ControlWnd().ControlNamed<fw::RectControl>(name).Widget()->geometry(); };
    const char* const fields[] = {"RxxFld", "RyyFld", "RxyFld"};
    const char* const captions[] = {"StaticText1", "StaticText2", "StaticText3"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rect(fields[i]).top(), 241);
        EXPECT_EQ(rect(captions[i]).top(), 265);
        EXPECT_EQ(rect(captions[i]).center().x(), rect(fields[i]).center().x()) << captions[i];
        EXPECT_EQ(Field(fields[i]).LineEdit()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        if (i > 0) {
            EXPECT_EQ(rect(fields[i]).left() - rect(fields[i - 1]).right() - 1, 43) << fields[i];
        }
    }
    EXPECT_EQ(rect("RxxFld").left() + rect("RxyFld").right() + 1, 550);
    for (const char* name : {"RyyFld", "StaticText2", "RdFld", "RdText"})
        EXPECT_EQ(rect(name).left() + rect(name).right() + 1, 550) << name;
    for (const char* name : {"ComputeCanvas", "Help", "ClearCanvas"})
        EXPECT_EQ(rect(name).bottom() + 1, 480) << name;
    EXPECT_EQ(rect("ComputeCanvas").left(), 20);
    EXPECT_EQ(550 - rect("ClearCanvas").right() - 1, 20);
    // On white, the title is drawn navy and the captions grey, both centred; the window can be minimised, not
    // maximised.
    EXPECT_EQ(calc.Content()->grab().toImage().pixelColor(5, 200), QColor(Qt::white));
    for (const auto& [label, colour] : {std::pair{"StaticText5", QColor(0, 0, 128)}, {"StaticText1", QColor(128, 128, 128)}}) {
        const auto [darkest, offCentre] = Ink(label);
        EXPECT_EQ(darkest, colour) << label;
        EXPECT_LE(std::abs(offCentre), 2) << label;
    }
    const Qt::WindowFlags flags = calc.Frame()->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST(KeyFilter, RefusedKeysBeepOnceTheRestPassSilently)
{
    ASSERT_TRUE(Open());
    constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier, kMeta = Qt::MetaModifier;
    constexpr Qt::KeyboardModifiers kAltGr = Qt::ControlModifier | Qt::AltModifier;
    constexpr Qt::KeyboardModifiers kCtrlSuper = Qt::ControlModifier | Qt::MetaModifier;
    constexpr Qt::KeyboardModifiers kCtrlPad = Qt::ControlModifier | Qt::KeypadModifier;
    // Key_unknown: the text comes from an input method (a dead key, Compose), not from a key press.
    const struct { Qt::Key key; const char* text; Qt::KeyboardModifiers mods; } refused[] = {
        {Qt::Key_A, "a", {}},     {Qt::Key_Plus, "+", {}},         {Qt::Key_Comma, ",", {}},   {Qt::Key_Space, " ", {}},
        {Qt::Key_Slash, "/", {}}, {Qt::Key_Colon, ":", {}},
        {Qt::Key_Eacute, "\xC3\xA9", {}}, {Qt::Key_Return, "\r", {}}, {Qt::Key_Minus, "-", {}},
        {Qt::Key_X, "x", kAlt},   {Qt::Key_Minus, "-", kAlt},      {Qt::Key_Comma, ",", kAlt}, {Qt::Key_Q, "q", kMeta},
        {Qt::Key_Q, "@", kAltGr}, {Qt::Key_Minus, "-", kCtrlSuper}, {Qt::Key_Comma, ",", kCtrlSuper},
        {Qt::Key_Minus, "-", kCtrlPad}, {Qt::Key_unknown, "\xC2\xB9", {}}, {Qt::Key_unknown, "\xC3\xA9", {}},
        {Qt::Key_unknown, "\xC2\xA9", {}}, {Qt::Key_unknown, "5\xC3\xA9", {}},
        // A compose table may commit what, pressed, would be an editing key.
        {Qt::Key_unknown, "\t5", {}},    {Qt::Key_unknown, "\b5", {}},    {Qt::Key_unknown, "5\b", {}},
        {Qt::Key_unknown, "\t", {}},     {Qt::Key_unknown, "\x7F", {}},  {Qt::Key_unknown, "\xC2\x85", {}},
    };
    for (const char* name : {"RyyFld", "RxxFld"}) {
        auto& field = Field(name);
        ClickInto(name);
        Type(field, "12.34");
        field.LineEdit()->setSelection(1, 2);
        for (const auto& [key, text, mods] : refused) {
            SCOPED_TRACE(testing::Message() << name << " " << text);
            const int beeps = fw::BeepCount();
            Compose(field, key, text, mods);
            EXPECT_EQ(fw::BeepCount(), beeps + 1);
            EXPECT_EQ(field.Text(), "12.34");
            EXPECT_EQ(field.LineEdit()->selectedText(), "2.");
            EXPECT_EQ(Focused(), field.FocusWidget());
        }
    }
    auto& rxx = Field("RxxFld");
    Compose(rxx, Qt::Key_unknown, "09");
    Compose(rxx, Qt::Key_5, "5", kCtrlSuper);
    EXPECT_EQ(rxx.Text(), "109534");
    KeyInto(rxx, Qt::Key_Z, Qt::ControlModifier);  // the field's own Ctrl keys still edit
    EXPECT_EQ(rxx.Text(), "12.34");
    EXPECT_FALSE(Shown("RdFld"));  // Return does not compute

    // The field keeps its editing keys.
    int beeps = fw::BeepCount();
    for (const Qt::Key key : {Qt::Key_Home, Qt::Key_Delete, Qt::Key_End, Qt::Key_Left, Qt::Key_Delete})
        KeyInto(rxx, key);
    EXPECT_EQ(rxx.Text(), "2.3");
    EXPECT_EQ(fw::BeepCount(), beeps);

    KeyInto(rxx, Qt::Key_Tab);
    EXPECT_EQ(Focused(), Field("RyyFld").FocusWidget());
    KeyInto(Field("RyyFld"), Qt::Key_Tab);
    EXPECT_EQ(Focused(), Field("RxyFld").FocusWidget());

    beeps = fw::BeepCount();
    Fill("", "", "0123456");
    EXPECT_EQ(Field("RxyFld").Text(), "012345");  // the seventh passes the filter but not the field's limit
    Fill("", "", "6789.-9");
    EXPECT_EQ(Field("RxyFld").Text(), "6789.-");
    EXPECT_EQ(fw::BeepCount(), beeps);

    // A longer text the program writes is kept whole; typing after it stops at the limit again.
    rxx.Text("-4.0000");
    KeyInto(rxx, Qt::Key_End);
    Type(rxx, "9");
    KeyInto(rxx, Qt::Key_Backspace);
    KeyInto(rxx, Qt::Key_Backspace);
    Type(rxx, "789");
    EXPECT_EQ(rxx.Text(), "-4.007");
}

TEST(ComputeRd, IsExactToTheLastBit)
{
    const struct { double rxx, ryy, absRxy, rd; } rows[] = {
        {.9, .8, .5, 0.7000000000000002}, {.85, .9, .6, 0.6875},          {.8, .8, .5, 0.6000000000000001},
        {.5, .5, .9, -4.000000000000001}, {.7, .8, .75, 0},               {0, 0, .5, -1},
        {1, 1, 0, 1},                     {0, .8, .5, -0.19999999999999996}, {.9, .8, 0, 0.8500000000000001},
        {.5, .5, 1, -std::numeric_limits<double>::infinity()},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ComputeRd(r.rxx, r.ryy, r.absRxy), r.rd) << r.rxx << ", " << r.ryy << ", " << r.absRxy;
    EXPECT_TRUE(std::isnan(ComputeRd(1, 1, 1)));
}

// Compute shows the result with its caption, from its first character; Clear takes it and the inputs away.
TEST(Compute, ShowsTheFormattedResultUntilCleared)
{
    ASSERT_TRUE(Open());
    MessageBoxWatcher boxes;
    const struct { const char *rxx, *ryy, *rxy, *shown; } rows[] = {
        {".9", ".8", ".5", ".7000"}, {".5", ".5", ".9", "-4.0000"}, {".8", ".8", "-.5", ".6000"},
        {".5", ".5", "1", "-INF"},   {"1", "1", "1", "NAN"},        {".", ".8", ".5", "-.2000"},
        {"0", "0", ".9998", "-4999.0000"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shown);
        PressNamed("ClearCanvas");
        Fill(row.rxx, row.ryy, row.rxy);
        PressNamed("ComputeCanvas");
        QLineEdit* rd = Field("RdFld").LineEdit();
        Compose(Field("RdFld"), Qt::Key_unknown, "5\xE2\x80\x8D");  // read-only: a commit goes nowhere
        EXPECT_EQ(rd->text(), row.shown);  // whole, past the field's limit
        (void)rd->grab();                   // the line edit scrolls as it paints
        EXPECT_EQ(rd->cursorPositionAt(QPoint(0, rd->height() / 2)), 0);
        EXPECT_TRUE(Shown("RdFld") && Shown("RdText"));
        EXPECT_EQ(Focused(), Field("RxyFld").FocusWidget());  // the canvas takes no focus
    }
    EXPECT_EQ(fw::BeepCount(), 0);
    EXPECT_TRUE(boxes.Texts().isEmpty());

    QLineEdit* rd = Field("RdFld").LineEdit();  // its tip, as the pointer resting on it shows it
    QHelpEvent rest(QEvent::ToolTip, QPoint(5, 5), rd->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(rd, &rest);
    EXPECT_EQ(QToolTip::text(), "Reliability of the difference scores");

    PressNamed("ClearCanvas");
    EXPECT_FALSE(Shown("RdFld") || Shown("RdText"));
    for (const char* name : {"RxxFld", "RyyFld", "RxyFld", "RdFld"})
        EXPECT_EQ(Field(name).Text(), "") << name;
    EXPECT_EQ(Focused(), Field("RxxFld").FocusWidget());
}

TEST(Compute, RefusesWithOneMessageAndTheFocusOnTheField)
{
    ASSERT_TRUE(Open());
    const char* const range1 = "Reliability of first test must range from 0.00 to 1.00";
    const struct { const char *rxx, *ryy, *rxy, *focus, *message; bool pasted; } rows[] = {
        {"", "", "", "RxxFld", "Please enter the Reliability of the first test", false},
        {"2", "", "", "RyyFld", "Please enter the Reliability of the second test", false},
        {".5", ".5", "", "RxyFld", "Please enter the correlation between the two tests", false},
        {"2", "3", ".5", "RxxFld", range1, false},
        {".5", "1.5", ".5", "RyyFld", "Reliability of second test must range from 0.00 to 1.00", false},
        {".5", ".5", "-1.5", "RxyFld", "Correlation between tests must range from 0.00 to 1.00", false},
        {"-.5", ".8", ".5", "RxxFld", range1, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rxx);
        MessageBoxWatcher boxes;
        Fill(".9", ".8", ".5");
        PressNamed("ComputeCanvas");
        Fill(row.pasted ? "" : row.rxx, row.ryy, row.rxy);
        if (row.pasted) {
            QGuiApplication::clipboard()->setText(row.rxx);
            ClickInto("RxxFld");
            KeyInto(Field("RxxFld"), Qt::Key_V, Qt::ControlModifier);
        }
        // Start from a field the check does not point at, so a move is seen.
        ClickInto(std::string_view(row.focus) == "RxxFld" ? "RyyFld" : "RxxFld");
        PressNamed("ComputeCanvas");
        ASSERT_TRUE(Open());
        EXPECT_EQ(boxes.Texts(), QStringList{row.message});
        EXPECT_EQ(boxes.Looks(), QStringList{"Tolvane [OK] over Tolvane"});
        EXPECT_EQ(Focused(), Field(row.focus).FocusWidget());
        EXPECT_EQ(Field("RdFld").LineEdit()->text(), ".7000");
        EXPECT_TRUE(Shown("RdFld") && Shown("RdText"));
    }
}

// The result field asks for no focus frame; the coefficient fields show theirs.
TEST(CalculatorWindow, OnlyTheCoefficientFieldsDrawAFocusFrame)
{
    ASSERT_TRUE(Open());
    MessageBoxWatcher boxes;
    Fill(".9", ".8", ".5");
    PressNamed("ComputeCanvas");
    for (const auto& [name, ring] : {std::pair{"RdFld", false}, {"RxxFld", true}}) {
        SCOPED_TRACE(name);
        auto& field = Field(name);
        Field(ring ? "RyyFld" : "RxxFld").SetFocus();
        const QImage unfocused = field.LineEdit()->grab().toImage();
        field.SetFocus();
        ASSERT_EQ(Focused(), field.FocusWidget());
        const QImage focused = field.LineEdit()->grab().toImage();
        const int y = focused.height() / 2;
        EXPECT_EQ(focused.pixel(0, y) != unfocused.pixel(0, y), ring);  // the frame's left edge
    }
}

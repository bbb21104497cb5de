// The calculator window as built: its size and look, its fifteen controls,
// texts that fit their boxes, and the accessors of its menu bar's items.
#include "ControlWnd.h"
#include "MenuBar1.h"
#include "TestSupport.h"

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

bool Open()
{
    return QTest::qWaitForWindowExposed(ControlWnd().Frame());
}

// Whether the label's text, line by line, fits its box in its own font.
::testing::AssertionResult Fits(const fw::StaticText& text)
{
    const QLabel* label = text.Label();
    const QFontMetrics fm(label->font());
    const QStringList lines = label->text().split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, fm.horizontalAdvance(line));
    const int height = fm.lineSpacing() * static_cast<int>(lines.size() - 1) + fm.height();
    if (widest <= text.Width() && height <= text.Height())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << text.Name().toStdString() << " needs " << widest << "x" << height
                                         << " in " << text.Width() << "x" << text.Height();
}

}  // namespace

TEST(CalculatorWindow, FixedWhiteContentUnderItsMenuBar)
{
    ASSERT_TRUE(Open());
    auto& w = ControlWnd();
    QMainWindow* frame = w.Frame();
    EXPECT_EQ(frame->windowTitle(), "Tolvane");
    EXPECT_EQ(w.Content()->size(), QSize(550, 500));
    ASSERT_NE(frame->menuWidget(), nullptr);
    EXPECT_TRUE(frame->menuWidget()->isVisible());
    EXPECT_GE(w.Content()->y(), frame->menuWidget()->geometry().bottom());
    EXPECT_EQ(w.MenuBar(), MenuBar1());

    // The user cannot resize it or maximise it.
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QSize before = frame->size();
    frame->resize(900, 800);
    Settle();
    EXPECT_EQ(frame->size(), before);
    EXPECT_EQ(w.Content()->size(), QSize(550, 500));

    // White where no control is drawn.
    const QImage shot = w.Content()->grab().toImage();
    for (const QPoint at : {QPoint(540, 200), QPoint(5, 490), QPoint(275, 390)})
        EXPECT_EQ(shot.pixelColor(at), QColor(Qt::white)) << at.x() << "," << at.y();
}

TEST(CalculatorWindow, FifteenControlsInCreationOrder)
{
    ASSERT_TRUE(Open());
    auto& w = ControlWnd();
    struct Expected {
        const char* name;
        const char* cls;
        bool shown;
    };
    const Expected expected[] = {
        {"RdFld", "EditField", false},      {"RdText", "StaticText", false},  {"StaticText5", "StaticText", true},
        {"Canvas1", "Canvas", true},        {"StaticText1", "StaticText", true}, {"RxxFld", "EditField", true},
        {"StaticText2", "StaticText", true}, {"RyyFld", "EditField", true},    {"StaticText3", "StaticText", true},
        {"RxyFld", "EditField", true},      {"StaticText6", "StaticText", true}, {"Help", "Canvas", true},
        {"Separator1", "Separator", true},  {"ComputeCanvas", "Canvas", true}, {"ClearCanvas", "Canvas", true},
    };
    const auto& controls = w.Controls();
    ASSERT_EQ(controls.size(), std::size(expected));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        const fw::Control& c = *controls[i];
        EXPECT_EQ(c.Name(), expected[i].name);
        EXPECT_EQ(c.Properties().Name(), expected[i].cls);
        EXPECT_EQ(w.ControlByName(expected[i].name), &c);
        EXPECT_EQ(c.Widget()->isVisible(), expected[i].shown);
    }
    for (const char* name : {"RxxFld", "RyyFld", "RxyFld", "RdFld"})
        EXPECT_EQ(w.ControlNamed<fw::EditField>(name).Text(), "") << name;
}

TEST(CalculatorWindow, TitleAndCaptionsFitTheirBoxes)
{
    ASSERT_TRUE(Open());
    auto& w = ControlWnd();
    const std::pair<const char*, const char*> captions[] = {
        {"StaticText5", "Tol\rvane"},
        {"RdText", "Tol\rvane"},
        {"StaticText1", "Reliability\rof first test"},
        {"StaticText2", "Reliability of\rsecond test"},
        {"StaticText3", "Correlation\rbetween tests"},
    };
    for (const auto& [name, text] : captions) {
        const auto& label = w.ControlNamed<fw::StaticText>(name);
        EXPECT_EQ(label.Text(), text);
        EXPECT_EQ(label.Label()->text(), QString(text).replace('\r', '\n'));
        EXPECT_TRUE(Fits(label));
    }
    // The notice is one line of its own wording, whole in 161x20.
    const auto& notice = w.ControlNamed<fw::StaticText>("StaticText6");
    EXPECT_FALSE(notice.Text().isEmpty());
    EXPECT_FALSE(notice.Text().contains('\r'));
    EXPECT_FALSE(notice.Label()->wordWrap());
    EXPECT_TRUE(Fits(notice));
}

TEST(CalculatorWindow, MenuAccessorsReturnTheItemsOfTheirNames)
{
    auto& w = ControlWnd();
    const std::shared_ptr<fw::MenuItem> bar = MenuBar1();
    const std::pair<const char*, std::function<std::shared_ptr<fw::MenuItem>()>> accessors[] = {
        {"EditMenu", [&] { return w.EditMenu(); }},         {"EditSelectAll", [&] { return w.EditSelectAll(); }},
        {"UntitledMenu0", [&] { return w.UntitledMenu0(); }}, {"EditClear", [&] { return w.EditClear(); }},
        {"EditPaste", [&] { return w.EditPaste(); }},       {"EditCopy", [&] { return w.EditCopy(); }},
        {"EditCut", [&] { return w.EditCut(); }},           {"UntitledMenu1", [&] { return w.UntitledMenu1(); }},
        {"EditUndo", [&] { return w.EditUndo(); }},         {"FileMenu", [&] { return w.FileMenu(); }},
        {"FileQuit", [&] { return w.FileQuit(); }},
    };
    for (const auto& [name, accessor] : accessors) {
        const auto item = accessor();
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item->Name(), name);
        EXPECT_EQ(item, bar->Lookup(name)) << name;
    }
    EXPECT_EQ(w.EditMenu(), bar->Child("EditMenu"));
    EXPECT_EQ(w.FileMenu(), bar->Child("FileMenu"));
    EXPECT_EQ(w.EditUndo(), w.EditMenu()->Item(0));
    EXPECT_EQ(w.EditSelectAll(), w.EditMenu()->Item(w.EditMenu()->Count() - 1));
    EXPECT_TRUE(w.UntitledMenu0()->IsSeparator());
    EXPECT_TRUE(w.UntitledMenu1()->IsSeparator());
    const std::shared_ptr<fw::QuitMenuItem> quit = w.FileQuit();
    EXPECT_EQ(quit, w.FileMenu()->Item(0));

    // Each looks in the window's own bar, at the time of the call.
    w.MenuBar(nullptr);
    for (const auto& [name, accessor] : accessors)
        EXPECT_THROW(accessor(), fw::NilObjectException) << name;
}

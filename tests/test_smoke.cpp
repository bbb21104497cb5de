#include "ControlWnd.h"
#include "Runtime.h"
#include "TestSupport.h"

#include <QLineEdit>
#include <gtest/gtest.h>

TEST(Smoke, ComputeShowsResultAndEmptyFieldIsReported)
{
    auto& w = ControlWnd();
    auto& rxx = w.ControlNamed<fw::EditField>("RxxFld");
    MessageBoxWatcher boxes;
    Press(w.ControlNamed<fw::Canvas>("ComputeCanvas"));
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_EQ(boxes.Texts()[0], "Please enter the Reliability of the first test");
    Type(rxx, ".9x");
    Type(w.ControlNamed<fw::EditField>("RyyFld"), ".8");
    Type(w.ControlNamed<fw::EditField>("RxyFld"), "-.5");
    EXPECT_EQ(fw::BeepCount(), 1);
    Press(w.ControlNamed<fw::Canvas>("ComputeCanvas"));
    EXPECT_EQ(w.ControlNamed<fw::EditField>("RdFld").Text(), ".7000");
    EXPECT_TRUE(w.ControlNamed<fw::EditField>("RdFld").Visible());
}

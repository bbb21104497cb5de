// Every test binary runs on a real QApplication (offscreen platform), with
// the program's executable placed in the build's runnable tree so that the
// pictures are found the way the program finds them.
#include "App.h"
#include "Files.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    fw::SetExecutableFileForTesting(QStringLiteral(TOLVANE_TREE_DIR "/bin/tolvane"));
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Windows and the menu bar go before the QApplication they live in.
    finalize();
    return result;
}

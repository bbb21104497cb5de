// Every test binary runs on a real QApplication (offscreen platform), with
// the program's executable placed in the build's runnable tree so that the
// pictures are found the way the program finds them.
#include "App.h"
#include "Files.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform says so each time a window is raised; nothing to see.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

int main(int argc, char** argv)
{
    previousHandler = qInstallMessageHandler(QuietOffscreen);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvane"));  // as the program names itself
    QApplication::setQuitOnLastWindowClosed(false);
    fw::SetExecutableFileForTesting(QStringLiteral(TOLVANE_TREE_DIR "/bin/tolvane"));
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Windows and the menu bar go before the QApplication they live in.
    finalize();
    return result;
}

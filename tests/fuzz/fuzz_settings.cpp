// libFuzzer entry: settings tables applied to a window and its controls.
#include "FuzzTargets.h"

#include <QApplication>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

// Bad sizes and fonts make Qt warn on every input; only a fatal message counts.
void Quiet(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Quiet);
    static int argc = 1;
    static char* args[] = {(*argv)[0], nullptr};
    // Lives for the whole run; the windows are never destroyed before it.
    new QApplication(argc, args);
    QApplication::setQuitOnLastWindowClosed(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzSettings(data, size);
}

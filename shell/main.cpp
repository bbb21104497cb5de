// The process entry: runtime, class records, the main routine, finalisers,
// and the exit status the runtime reports.
#include "App.h"

#include <QApplication>

int main(int argc, char** argv)
{
    fw::RuntimeInit(argc, argv);
    // The name message boxes bear. No display name: Qt would add it to every title.
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    initialize();
    Main();
    finalize();
    return fw::RuntimeExit();
}

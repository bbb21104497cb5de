// The process entry: runtime, class records, the main routine, finalisers,
// and the exit status the runtime reports.
#include "App.h"

#include <QApplication>

int main(int argc, char** argv)
{
    fw::RuntimeInit(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Tolvane"));
    initialize();
    Main();
    finalize();
    return fw::RuntimeExit();
}

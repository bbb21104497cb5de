// libFuzzer entry: FUZZ_TARGET names one of the functions in FuzzTargets.h.
#include "FuzzTargets.h"

#include <QApplication>

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Bad sizes and fonts make Qt warn on every input; only a fatal message counts.
    qputenv("QT_LOGGING_RULES", "*=false");
    // Lives for the whole run, as does argv; Qt sees only the program's name.
    static int argc = 1;
    new QApplication(argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FUZZ_TARGET(data, size);
}

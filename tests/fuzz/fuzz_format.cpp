// libFuzzer entry: writing numbers with a pattern.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzFormat(data, size);
}

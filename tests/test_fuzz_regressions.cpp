// Replays the saved fuzz inputs (the committed seeds and the reproducers of
// past findings) through the fuzz targets; a broken invariant aborts.
#include "fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>

namespace fs = std::filesystem;

TEST(SavedFuzzInputs, PassEveryInvariant)
{
    const std::pair<const char*, int (*)(const std::uint8_t*, std::size_t)> targets[] = {
        {"settings", FuzzSettings}, {"val", FuzzVal}, {"format", FuzzFormat}, {"picture", FuzzPicture}};
    for (const auto& [target, run] : targets) {
        std::set<fs::path> inputs;
        for (const char* kind : {"seeds", "regressions"})
            if (const fs::path dir = fs::path(TOLVANE_FUZZ_DIR) / kind / target; fs::is_directory(dir))
                inputs.insert(fs::directory_iterator(dir), fs::directory_iterator());
        EXPECT_FALSE(inputs.empty()) << target;
        for (const auto& path : inputs) {
            // Named first: an abort shows no trace.
            std::fprintf(stderr, "replaying %s\n", path.c_str());
            std::ifstream in(path, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            EXPECT_NO_THROW(run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())) << path;
        }
    }
}

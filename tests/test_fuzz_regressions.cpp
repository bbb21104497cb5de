// Replays the saved fuzz inputs (the committed seeds and the reproducers of
// past findings) through the fuzz targets in the normal build, and checks
// that the program's own settings tables pass the settings target.
#include "fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Target {
    const char* name;  // folder under seeds/ and regressions/
    int (*run)(const std::uint8_t*, std::size_t);
};

void PrintTo(const Target& t, std::ostream* os)
{
    *os << t.name;
}

std::vector<fs::path> SavedInputs(const char* target)
{
    std::vector<fs::path> out;
    for (const char* kind : {"seeds", "regressions"}) {
        const fs::path dir = fs::path(TOLVANE_FUZZ_DIR) / kind / target;
        if (!fs::is_directory(dir))
            continue;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.is_regular_file())
                out.push_back(entry.path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::uint8_t* Data(const std::string& bytes)
{
    return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

class SavedFuzzInputs : public ::testing::TestWithParam<Target> {};

// A broken invariant aborts the process; a stray exception fails here.
TEST_P(SavedFuzzInputs, PassEveryInvariant)
{
    const Target t = GetParam();
    const auto inputs = SavedInputs(t.name);
    ASSERT_FALSE(inputs.empty()) << "no saved inputs under " << TOLVANE_FUZZ_DIR;
    for (const auto& path : inputs) {
        SCOPED_TRACE(path.string());
        // A broken invariant aborts before any trace is shown: name the input first.
        std::fprintf(stderr, "replaying %s\n", path.c_str());
        const std::string bytes = ReadBytes(path);
        EXPECT_NO_THROW(t.run(Data(bytes), bytes.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, SavedFuzzInputs,
                         ::testing::Values(Target{"settings", FuzzSettings}, Target{"val", FuzzVal},
                                           Target{"format", FuzzFormat}),
                         [](const auto& info) { return std::string(info.param.name); });

// The seeds the fuzzer starts from must be tables the target takes whole,
// or it would start from refusals.
TEST(FuzzSeeds, ProgramTablesAreAcceptedByTheSettingsTarget)
{
    const auto seeds = ProgramSettingsSeeds();
    ASSERT_FALSE(seeds.empty());
    for (const auto& [name, bytes] : seeds) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(SettingsAccepted(Data(bytes), bytes.size()));
    }
}

}  // namespace

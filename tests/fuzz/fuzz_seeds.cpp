// Writes the settings seeds made from the program's own tables into
// <folder>/settings/, one file each, so the fuzzer starts from tables the
// program really uses.
#include "App.h"
#include "FuzzTargets.h"

#include <QApplication>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "settings";
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    int status = 0;
    try {
        std::filesystem::create_directories(folder);
        for (const auto& [name, bytes] : ProgramSettingsSeeds()) {
            std::ofstream out(folder / name, std::ios::binary);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (!out) {
                std::fprintf(stderr, "fuzz_seeds: cannot write %s\n", (folder / name).c_str());
                status = 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_seeds: %s\n", e.what());
        status = 1;
    }
    // The windows go before the QApplication they live in.
    finalize();
    return status;
}

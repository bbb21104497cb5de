// fuzz_seeds <folder>: writes the settings tables the program itself uses
// into <folder>/settings/, each behind the selector of the class it
// configures, so that the fuzzer starts from tables the program applies.
#include "AboutWnd.h"
#include "App.h"
#include "ControlWnd.h"
#include "FuzzTargets.h"
#include "HelpWnd.h"
#include "InvisibleWnd.h"

#include <QApplication>

#include <filesystem>
#include <fstream>

namespace {

// The class of the control the window really built under that name.
SettingsTarget SelectorOf(const fw::Window& w, const QString& name)
{
    const fw::Control* c = w.ControlByName(name);
    return dynamic_cast<const fw::EditField*>(c)    ? kEditField
           : dynamic_cast<const fw::StaticText*>(c) ? kStaticText
           : dynamic_cast<const fw::Canvas*>(c)     ? kCanvas
                                                    : kSeparator;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "settings";
    std::filesystem::create_directories(folder);
    bool written = true;
    const auto write = [&](const std::string& name, SettingsTarget selector, const std::string& table) {
        std::ofstream out(folder / name, std::ios::binary);
        written = static_cast<bool>(out << static_cast<char>(selector) << table) && written;
    };
    const auto writeControls = [&](const std::string& window, const fw::Window& w, const auto& tables) {
        for (const auto& [name, table] : tables)
            write(window + "." + name.toStdString(), SelectorOf(w, name), table);
    };
    write("ControlWnd.window", kWindow, ControlWnd::WindowTable());
    writeControls("ControlWnd", ::ControlWnd(), ControlWnd::ControlTables());
    write("AboutWnd.window", kWindow, AboutWnd::WindowTable());
    writeControls("AboutWnd", ::AboutWnd(), AboutWnd::ControlTables());
    write("helpWnd.window", kWindow, helpWnd::WindowTable());
    write("helpWnd.EditField1", SelectorOf(::helpWnd(), "EditField1"), helpWnd::EditField1Table());
    // Not built: its Open runs the splash.
    write("InvisibleWnd.window", kWindow, InvisibleWnd::WindowTable());
    // The windows go before the QApplication they live in.
    finalize();
    return written ? 0 : 1;
}

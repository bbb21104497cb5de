// fuzz_seeds <folder>: writes the settings tables the program itself uses
// into <folder>/settings/, each behind the selector of the class it
// configures, so that the fuzzer starts from tables the program applies; and
// into <folder>/picture/ pictures of the kinds the program's own five (8-bit
// RGBA) are not.
#include "AboutWnd.h"
#include "App.h"
#include "ControlWnd.h"
#include "FuzzTargets.h"
#include "HelpWnd.h"
#include "InvisibleWnd.h"
#include "PngBytes.h"

#include <QApplication>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <utility>

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

// A palette with transparency, grey of 1, 8 and 16 bits, colour of 16 bits
// and interlaced rows: every chunk the decoder reads starts in some seed.
bool WritePictures(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    QImage sample(8, 5, QImage::Format_ARGB32);
    for (int y = 0; y < sample.height(); ++y)
        for (int x = 0; x < sample.width(); ++x)
            sample.setPixel(x, y, qRgba(32 * x, 50 * y, 255 - 30 * x, x < 4 ? 255 : 60 * y));
    const std::pair<const char*, QImage::Format> kinds[] = {{"palette.png", QImage::Format_Indexed8},
                                                            {"grey.png", QImage::Format_Grayscale8},
                                                            {"grey16.png", QImage::Format_Grayscale16},
                                                            {"mono.png", QImage::Format_Mono},
                                                            {"rgb16.png", QImage::Format_RGBX64}};
    bool written = true;
    for (const auto& [name, format] : kinds)
        written = sample.convertToFormat(format).save(QString::fromStdString((folder / name).string()), "PNG") && written;
    const QByteArray interlaced = png_bytes::RgbaPng(sample.convertToFormat(QImage::Format_RGBA8888), true);
    std::ofstream out(folder / "interlaced.png", std::ios::binary);
    return static_cast<bool>(out.write(interlaced.constData(), interlaced.size())) && written;
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
    written = WritePictures(std::filesystem::path(argv[1]) / "picture") && written;
    // The windows go before the QApplication they live in.
    finalize();
    return written ? 0 : 1;
}

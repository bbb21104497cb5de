#include "FuzzTargets.h"

#include "PictureDecoding.h"
#include "PngBytes.h"
#include "Tables.h"
#include "TextNumbers.h"
#include "Window.h"

#include <QBuffer>
#include <QImageReader>
#include <QMainWindow>
#include <QVariant>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A broken invariant aborts, so that libFuzzer keeps the input and a replay fails.
void Check(bool ok, const char* what, std::string_view on)
{
    if (ok)
        return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n  on: \"%s\"\n", what, std::string(on.substr(0, 200)).c_str());
    std::abort();
}

// Each target's control and the table it is put back to before every input,
// so that an input does the same whatever ran before it.
const std::array<const char*, kSettingsTargetCount> kNames = {"", "Field", "Label", "Canvas", "Line"};

const std::string& Baseline(SettingsTarget t)
{
    static const std::array<std::string, kSettingsTargetCount> tables = {
        fw::WindowSettings{.width = 160, .height = 120, .title = "Fuzz", .visible = false}.Encode(),
        fw::Placed<fw::EditFieldSettings>(kNames[kEditField], 0, 0, 80, 22, 0).Encode(),
        fw::Placed<fw::StaticTextSettings>(kNames[kStaticText], 0, 30, 80, 20, 0).Encode(),
        fw::Placed<fw::CanvasSettings>(kNames[kCanvas], 0, 60, 40, 40, 0).Encode(),
        fw::Placed<fw::SeparatorSettings>(kNames[kSeparator], 0, 110, 160, 4, 0).Encode()};
    return tables[t];
}

// A hidden window with one control of each class, built once and reused.
class FuzzWnd : public fw::Window {
public:
    explicit FuzzWnd(fw::RuntimeNew) : fw::Window(Lookup()) {}

    static const fw::ClassRecord& Lookup()
    {
        static const fw::ClassRecord record = fw::ClassRecordBuilder<FuzzWnd>("FuzzWnd")
                                                  .Handles("Layout", "Layout", &FuzzWnd::Layout)
                                                  .Handles("CreateControls", "CreateControls", &FuzzWnd::CreateControls)
                                                  .Build();
        return record;
    }

private:
    void Layout() { fw::SetProperties(*this, Baseline(kWindow)); }

    void CreateControls()
    {
        CreateControl<fw::EditField>(kNames[kEditField], Baseline(kEditField));
        CreateControl<fw::StaticText>(kNames[kStaticText], Baseline(kStaticText));
        CreateControl<fw::Canvas>(kNames[kCanvas], Baseline(kCanvas));
        CreateControl<fw::Separator>(kNames[kSeparator], Baseline(kSeparator));
    }
};

}  // namespace

int FuzzSettings(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    auto& w = fw::ImplicitInstance<FuzzWnd>();
    const auto t = static_cast<SettingsTarget>(data[0] % kSettingsTargetCount);
    const std::string_view table(reinterpret_cast<const char*>(data) + 1, size - 1);
    fw::PropertyObject& object = t == kWindow ? static_cast<fw::PropertyObject&>(w) : *w.ControlByName(kNames[t]);
    fw::SetProperties(object, Baseline(t));
    bool accepted = true;
    try {
        fw::SetProperties(object, table);
    } catch (const fw::SettingsError&) {
        accepted = false;
    }
    // Refused or not: the field has the editor its MultiLine asks for, and
    // nothing leaves its parent or shows the window.
    const auto& field = w.ControlNamed<fw::EditField>(kNames[kEditField]);
    Check(!w.Frame()->isVisible(), "a settings table showed the window", table);
    const bool multi = field.MultiLine();
    Check(bool(field.TextEdit()) == multi && bool(field.LineEdit()) != multi, "an editor unlike MultiLine", table);
    Check(field.FocusWidget()->parentWidget() == field.Widget(), "the editor left its host", table);
    for (const auto& c : w.Controls())
        Check(c->Widget()->parentWidget() == w.Content(), "a control left the window's content", table);
    if (!accepted)
        return 0;
    // Applied whole, the widgets show the settings.
    if (t == kWindow) {
        const QSize min = w.Content()->minimumSize(), max = w.Content()->maximumSize();
        Check(w.Frame()->windowTitle() == w.Title(), "the frame's title is not the Title", table);
        Check(min.width() <= max.width() && min.height() <= max.height(), "minimum size over maximum", table);
        Check(w.Resizeable() || min == max, "a fixed window can be resized", table);
        return 0;
    }
    const auto& control = static_cast<const fw::RectControl&>(object);
    Check(control.Widget()->isHidden() != control.Visible(), "the widget's visibility is not Visible", table);
    Check(control.Widget()->isEnabled() == control.Enabled(), "the widget's state is not Enabled", table);
    const bool readOnly = field.FocusWidget()->property("readOnly").toBool();
    Check(t != kEditField || readOnly == field.ReadOnly(), "the editor's ReadOnly was lost", table);
    return 0;
}

int FuzzVal(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double v = fw::Val(text);
    Check(!std::isnan(v), "Val gave NaN", text);
    Check(fw::Val(text + "x1e5") == v, "text after the number joined it", text);
    // Digits with at most one point: Val rounds them as the standard library does.
    std::string plain;
    for (std::size_t i = 0; i < size && plain.size() < 40; ++i) {
        const char c = "0123456789."[data[i] % 11];
        if (c != '.' || plain.find('.') == std::string::npos)
            plain += c;
    }
    double reference = 0;
    std::from_chars(plain.data(), plain.data() + plain.size(), reference);
    Check(fw::Val(plain) == reference, "Val differs from std::from_chars", plain);
    return 0;
}

int FuzzFormat(const std::uint8_t* data, std::size_t size)
{
    double v = 0;
    if (size < sizeof v)
        return 0;
    std::memcpy(&v, data, sizeof v);
    std::string pattern;
    for (std::size_t i = sizeof v; i < size; ++i)
        pattern += "0.#"[data[i] % 3];
    const std::string out = fw::FormatText(v, pattern);
    Check(!out.empty(), "an empty text", pattern);
    if (!std::isfinite(v))
        Check(out == (std::isnan(v) ? "NAN" : v < 0 ? "-INF" : "INF"), "not written NAN, INF or -INF", out);
    // The result's own pattern: four decimals always written, within half the last of v.
    if (std::fabs(v) < 1e15) {
        const std::string r = fw::FormatText(v, ".0000");
        const std::size_t dot = r.find('.');
        const bool fourDecimals = dot != std::string::npos && r.size() == dot + 5;
        Check(fourDecimals && r.find_first_not_of("0123456789", dot + 1) == std::string::npos, "not .0000", r);
        Check(std::fabs(fw::Val(r) - v) <= 0.00005 * (1 + 1e-12) + 4e-16 * std::fabs(v), "not v to .0000", r);
    }
    return 0;
}

int FuzzPicture(const std::uint8_t* data, std::size_t size)
{
    // A mutation breaks the CRC of the chunk it changes, and libpng refuses a
    // critical chunk with a bad CRC: put right, changed headers, palettes,
    // transparency and image data reach the decoder.
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    png_bytes::PutCrcsRight(bytes);
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    const QImage image = fw::DecodePicture(file);
    if (image.isNull())
        return 0;
    // A picture ready to draw, within what Qt's own reader would allocate.
    const std::string_view none;
    Check(image.format() == QImage::Format_ARGB32_Premultiplied, "a picture not ready to draw", none);
    Check(image.sizeInBytes() <= qsizetype(QImageReader::allocationLimit()) * 1024 * 1024, "a picture past the limit", none);
    return 0;
}

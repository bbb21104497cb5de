#include "FuzzTargets.h"

#include "Controls.h"
#include "Properties.h"
#include "Tables.h"
#include "TextNumbers.h"
#include "Window.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <stdlib.h>
#include <string>
#include <string_view>

namespace {

// A broken invariant: say which and on what, then abort, so that libFuzzer
// keeps the input and a regression run fails.
[[noreturn]] void Fail(const char* what, std::string_view subject)
{
    const int shown = static_cast<int>(std::min<std::size_t>(subject.size(), 200));
    std::fprintf(stderr, "fuzz invariant broken: %s\n  on: \"%.*s\"%s\n", what, shown, subject.data(),
                 subject.size() > 200 ? "..." : "");
    std::abort();
}

void Check(bool ok, const char* what, std::string_view subject = {})
{
    if (!ok)
        Fail(what, subject);
}

std::string_view Bytes(const std::uint8_t* data, std::size_t size)
{
    return size == 0 ? std::string_view() : std::string_view(reinterpret_cast<const char*>(data), size);
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// --- settings --------------------------------------------------------------

// A small hidden window with one control of each class, built once and
// reused: each input first puts its target back to the table it was built
// with, so an input does the same thing whatever ran before it.
class FuzzWnd : public fw::Window {
public:
    explicit FuzzWnd(fw::RuntimeNew) : fw::Window(Lookup()) {}

    static const fw::ClassRecord& Lookup()
    {
        static const fw::ClassRecord record = [] {
            fw::ClassRecordBuilder<FuzzWnd> b("FuzzWnd");
            b.Operation("Layout").Operation("CreateControls");
            b.Handles("Layout", "Layout", &FuzzWnd::Layout)
                .Handles("CreateControls", "CreateControls", &FuzzWnd::CreateControls);
            return b.Build();
        }();
        return record;
    }

    void Layout() { fw::SetProperties(*this, Baseline(SettingsTarget::Window)); }

    void CreateControls()
    {
        CreateControl<fw::EditField>("Field", Baseline(SettingsTarget::EditField));
        CreateControl<fw::StaticText>("Label", Baseline(SettingsTarget::StaticText));
        CreateControl<fw::Canvas>("Canvas", Baseline(SettingsTarget::Canvas));
        CreateControl<fw::Separator>("Line", Baseline(SettingsTarget::Separator));
    }

    fw::PropertyObject& Target(SettingsTarget t)
    {
        switch (t) {
        case SettingsTarget::Window:
            return *this;
        case SettingsTarget::EditField:
            return ControlNamed<fw::EditField>("Field");
        case SettingsTarget::StaticText:
            return ControlNamed<fw::StaticText>("Label");
        case SettingsTarget::Canvas:
            return ControlNamed<fw::Canvas>("Canvas");
        case SettingsTarget::Separator:
            break;
        }
        return ControlNamed<fw::Separator>("Line");
    }

    static const std::string& Baseline(SettingsTarget t)
    {
        static const std::string window = [] {
            fw::WindowSettings s;
            s.width = 160;
            s.height = 120;
            s.title = "Fuzz";
            s.visible = false;
            return s.Encode();
        }();
        static const std::string field = [] {
            fw::EditFieldSettings s;
            s.name = "Field";
            s.width = 80;
            s.height = 22;
            return s.Encode();
        }();
        static const std::string label = [] {
            fw::StaticTextSettings s;
            s.name = "Label";
            s.top = 30;
            s.width = 80;
            s.height = 20;
            s.text = "Label";
            return s.Encode();
        }();
        static const std::string canvas = [] {
            fw::CanvasSettings s;
            s.name = "Canvas";
            s.top = 60;
            s.width = 40;
            s.height = 40;
            return s.Encode();
        }();
        static const std::string line = [] {
            fw::SeparatorSettings s;
            s.name = "Line";
            s.top = 110;
            s.width = 160;
            s.height = 4;
            return s.Encode();
        }();
        switch (t) {
        case SettingsTarget::Window:
            return window;
        case SettingsTarget::EditField:
            return field;
        case SettingsTarget::StaticText:
            return label;
        case SettingsTarget::Canvas:
            return canvas;
        case SettingsTarget::Separator:
            break;
        }
        return line;
    }
};

// What holds whether or not the table was accepted: the field always has
// exactly the editor its MultiLine asks for, inside its host.
void CheckStructure(FuzzWnd& w, std::string_view table)
{
    Check(fw::GetImplicitWindow(FuzzWnd::Lookup().fullName) == &w, "the window left the registry", table);
    Check(!w.Frame()->isVisible(), "a settings table showed the window", table);
    auto& field = w.ControlNamed<fw::EditField>("Field");
    Check(field.FocusWidget() != nullptr, "the field has no editor", table);
    Check((field.TextEdit() != nullptr) == field.MultiLine(), "the multi-line editor disagrees with MultiLine",
          table);
    Check((field.LineEdit() != nullptr) == !field.MultiLine(), "the line editor disagrees with MultiLine", table);
    Check(field.FocusWidget()->parentWidget() == field.Widget(), "the editor left its host", table);
    for (const auto& c : w.Controls())
        Check(c->Widget()->parentWidget() == w.Content(), "a control left the window's content", table);
}

// What holds once a whole table has been applied: the widgets show the
// settings, even when the editor was rebuilt by a MultiLine in the table.
void CheckApplied(FuzzWnd& w, SettingsTarget t, std::string_view table)
{
    if (t == SettingsTarget::Window) {
        const QWidget* content = w.Content();
        Check(w.Frame()->windowTitle() == w.Title(), "the frame's title is not the Title", table);
        Check(content->minimumWidth() <= content->maximumWidth() &&
                  content->minimumHeight() <= content->maximumHeight(),
              "the content's minimum size exceeds its maximum", table);
        if (!w.Resizeable())
            Check(content->minimumSize() == content->maximumSize(), "a fixed window can be resized", table);
        return;
    }
    auto& control = static_cast<fw::RectControl&>(w.Target(t));
    Check(control.Widget()->isHidden() == !control.Visible(), "the widget's visibility is not Visible", table);
    Check(control.Widget()->isEnabled() == control.Enabled(), "the widget's state is not Enabled", table);
    if (t == SettingsTarget::EditField) {
        auto& field = static_cast<fw::EditField&>(control);
        if (const QLineEdit* line = field.LineEdit())
            Check(line->isReadOnly() == field.ReadOnly(), "the line editor's ReadOnly was lost", table);
        else
            Check(field.TextEdit()->isReadOnly() == field.ReadOnly(), "the text editor's ReadOnly was lost",
                  table);
    }
}

// --- numbers ---------------------------------------------------------------

// Digits with at most one point, read by the C library in the C locale:
// correctly rounded, as Val must be too.
double ReferenceVal(const std::string& plain)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t());
    return strtod_l(plain.c_str(), nullptr, c);
}

std::string PlainNumberFrom(std::string_view bytes)
{
    std::string out;
    bool point = false;
    for (std::size_t i = 0; i < bytes.size() && out.size() < 40; ++i) {
        const char c = "0123456789."[static_cast<unsigned char>(bytes[i]) % 11];
        if (c == '.' && point)
            continue;
        point = point || c == '.';
        out += c;
    }
    return out;
}

}  // namespace

bool SettingsAccepted(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return false;
    auto& w = fw::ImplicitInstance<FuzzWnd>();
    const auto target = static_cast<SettingsTarget>(data[0] % kSettingsTargetCount);
    const std::string_view table = Bytes(data + 1, size - 1);
    fw::PropertyObject& object = w.Target(target);
    fw::SetProperties(object, FuzzWnd::Baseline(target));
    bool accepted = true;
    try {
        fw::SetProperties(object, table);
    } catch (const fw::SettingsError&) {
        accepted = false;
    }
    CheckStructure(w, table);
    if (accepted)
        CheckApplied(w, target, table);
    return accepted;
}

int FuzzSettings(const std::uint8_t* data, std::size_t size)
{
    SettingsAccepted(data, size);
    return 0;
}

int FuzzVal(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = Bytes(data, size);
    const double v = fw::Val(text);
    Check(!std::isnan(v), "Val gave NaN", text);

    // The number is ASCII; invalid UTF-8 becomes U+FFFD, which ends a
    // number as any other non-number character does. (A leading BOM is kept:
    // it is a character of the text, not a mark to drop.)
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString q = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    Check(SameBits(fw::Val(q), v), "Val of the QString differs", text);
    // Nothing after a character that cannot continue a number joins it.
    Check(SameBits(fw::Val(std::string(text) + "x1e5"), v), "text after the number changed it", text);
    // Blanks in front are skipped.
    Check(SameBits(fw::Val(" \t" + std::string(text)), v), "leading blanks changed the number", text);
    // A sign in front negates, unless the text has a sign or blank of its own
    // there (then the sign is followed by no number).
    if (text.empty() || std::string_view(" \t+-").find(text[0]) == std::string_view::npos) {
        Check(fw::Val("-" + std::string(text)) == -v, "a minus in front did not negate", text);
        Check(SameBits(fw::Val("+" + std::string(text)), v), "a plus in front changed the number", text);
    }

    const std::string plain = PlainNumberFrom(text);
    Check(SameBits(fw::Val(plain), ReferenceVal(plain)), "Val differs from the C library", plain);
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
    const QString q = fw::Format(v, QString::fromLatin1(pattern.data(), static_cast<qsizetype>(pattern.size())));
    Check(q.toStdString() == out, "Format of the QString differs", pattern);
    if (std::isnan(v)) {
        Check(out == "NAN", "NaN is not written NAN", out);
        return 0;
    }
    if (std::isinf(v)) {
        Check(out == (v < 0 ? "-INF" : "INF"), "an infinity is not written INF or -INF", out);
        return 0;
    }

    // Read back, the text is the value rounded to the pattern's decimals: the
    // placeholders between the first point and the next. What follows the
    // number is copied from the pattern and holds no digit but 0.
    std::size_t decimals = 0;
    if (const std::size_t point = pattern.find('.'); point != std::string::npos) {
        const std::size_t next = pattern.find('.', point + 1);
        decimals = (next == std::string::npos ? pattern.size() : next) - point - 1;
    }
    const double half = 0.5 * std::pow(10.0, -static_cast<double>(decimals));
    const double slack = 4e-16 * std::fabs(v) + std::numeric_limits<double>::denorm_min();
    Check(std::fabs(fw::Val(out) - v) <= half * (1 + 1e-12) + slack, "the text is not the rounded value", out);
    // A minus only in front of a digit that is not zero.
    if (out[0] == '-')
        Check(std::signbit(v) && out.find_first_of("123456789") != std::string::npos, "a minus on zero", out);

    // The result's own pattern: four decimals, always written.
    if (std::fabs(v) < 1e15) {
        const std::string r = fw::FormatText(v, ".0000");
        const std::size_t dot = r.find('.');
        const std::size_t digitsFrom = r[0] == '-' ? 1 : 0;
        Check(dot != std::string::npos && r.size() == dot + 5, "not four decimals", r);
        Check(r.find_first_not_of("0123456789", digitsFrom) == dot &&
                  r.find_first_not_of("0123456789", dot + 1) == std::string::npos,
              "not a plain number", r);
        Check(std::fabs(fw::Val(r) - v) <= 0.00005 * (1 + 1e-12) + 4e-16 * std::fabs(v),
              "not the value to four decimals", r);
        Check(r[0] != '-' || r.find_first_of("123456789") != std::string::npos, "a minus on zero", r);
    }
    return 0;
}

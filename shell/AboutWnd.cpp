#include "AboutWnd.h"

#include "ControlWnd.h"
#include "Pictures.h"
#include "Tables.h"

namespace {

constexpr std::uint32_t kNavy = 0x000080;

fw::CanvasSettings PictureSettings(const char* name, std::int32_t left, std::int32_t top, std::int32_t width,
                                   std::int32_t height, std::int32_t tabIndex)
{
    fw::CanvasSettings s;
    s.name = name;
    s.left = left;
    s.top = top;
    s.width = width;
    s.height = height;
    s.tabIndex = tabIndex;
    return s;
}

fw::StaticTextSettings LabelSettings(const char* name, std::int32_t left, std::int32_t top, std::int32_t width,
                                     std::int32_t height, std::int32_t tabIndex, const char* text,
                                     std::int32_t size, bool bold)
{
    fw::StaticTextSettings s;
    s.name = name;
    s.left = left;
    s.top = top;
    s.width = width;
    s.height = height;
    s.tabIndex = tabIndex;
    s.text = text;
    s.textAlign = 1;
    s.textColor = kNavy;
    s.multiline = true;
    s.textSize = size;
    s.bold = bold;
    return s;
}

}  // namespace

AboutWnd::AboutWnd(fw::RuntimeNew) : fw::Window(Lookup()) {}

const fw::ClassRecord& AboutWnd::Lookup()
{
    static const fw::ClassRecord record = [] {
        fw::ClassRecordBuilder<class AboutWnd> b("AboutWnd");
        b.Operation("Layout").Operation("CreateControls").Operation("_CreateControls0", "()", true);
        b.Member("Canvas2", "( String ) as Canvas")
            .Member("StaticText1", "( String ) as StaticText")
            .Member("StaticText2", "( String ) as StaticText")
            .Member("Canvas1", "( String ) as Canvas");
        b.Operation("Event_KeyDown", "( String ) as Boolean").Operation("Event_MouseDown", "( Int32, Int32 ) as Boolean");
        b.Handles("Layout", "Layout", &AboutWnd::Layout)
            .Handles("CreateControls", "CreateControls", &AboutWnd::CreateControls)
            .Handles("KeyDown", "Event_KeyDown", &AboutWnd::Event_KeyDown)
            .Handles("MouseDown", "Event_MouseDown", &AboutWnd::Event_MouseDown);
        return b.Build();
    }();
    return record;
}

const std::string& AboutWnd::WindowTable()
{
    static const std::string table = [] {
        fw::WindowSettings s;
        s.width = 447;
        s.height = 218;
        s.frame = 2;
        s.hasBackColor = true;
        return s.Encode();
    }();
    return table;
}

const std::vector<std::pair<QString, std::string>>& AboutWnd::ControlTables()
{
    static const std::vector<std::pair<QString, std::string>> tables = [] {
        auto wordmark = PictureSettings("Canvas2", 224, 128, 145, 27, 1);
        wordmark.enabled = false;
        wordmark.useFocusRing = false;
        return std::vector<std::pair<QString, std::string>>{
            {"Canvas2", wordmark.Encode()},
            {"StaticText1", LabelSettings("StaticText1", 165, 54, 262, 67, 2, "Tol\rvane", 28, true).Encode()},
            {"StaticText2", LabelSettings("StaticText2", 14, 167, 144, 26, 3,
                                          "Difference score\rreliability, v1.0", 10, false)
                                .Encode()},
            {"Canvas1", PictureSettings("Canvas1", 20, 37, 133, 129, 4).Encode()},
        };
    }();
    return tables;
}

void AboutWnd::Layout()
{
    fw::SetProperties(*this, WindowTable());
}

void AboutWnd::CreateControls()
{
    CreateControls0();
}

void AboutWnd::CreateControls0()
{
    const auto& t = ControlTables();
    CreateCanvas("Canvas2", Tembrisk(), t[0].second);
    CreateControl<fw::StaticText>("StaticText1", t[1].second);
    CreateControl<fw::StaticText>("StaticText2", t[2].second);
    CreateCanvas("Canvas1", ImageSmall(), t[3].second);
}

bool AboutWnd::Event_KeyDown(const QString&)
{
    ::AboutWnd().Hide();
    ::ControlWnd().Show();
    return false;
}

bool AboutWnd::Event_MouseDown(std::int32_t, std::int32_t)
{
    ::AboutWnd().Hide();
    ::ControlWnd().Show();
    return false;
}

class AboutWnd& AboutWnd()
{
    return fw::ImplicitInstance<class AboutWnd>();
}

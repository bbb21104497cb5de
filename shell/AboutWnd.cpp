#include "AboutWnd.h"

#include "ControlWnd.h"
#include "Look.h"
#include "Pictures.h"
#include "Tables.h"


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
        auto wordmark = fw::Placed<fw::CanvasSettings>("Canvas2", 224, 128, 145, 27, 1);
        wordmark.enabled = false;
        wordmark.useFocusRing = false;
        auto name = NavyLabel("StaticText1", 165, 54, 262, 67, 2, "Tol\rvane", 28);
        name.bold = true;
        return std::vector<std::pair<QString, std::string>>{
            {"Canvas2", wordmark.Encode()},
            {"StaticText1", name.Encode()},
            {"StaticText2", NavyLabel("StaticText2", 14, 167, 144, 26, 3, "Difference score\rreliability, v1.0", 10).Encode()},
            {"Canvas1", fw::Placed<fw::CanvasSettings>("Canvas1", 20, 37, 133, 129, 4).Encode()},
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

// Any key or press: the About window makes way for the calculator.
bool AboutWnd::Event_KeyDown(const QString&)
{
    ::AboutWnd().Hide();
    ::ControlWnd().Show();
    return false;
}

bool AboutWnd::Event_MouseDown(std::int32_t, std::int32_t)
{
    return Event_KeyDown(QString());
}

class AboutWnd& AboutWnd()
{
    return fw::ImplicitInstance<class AboutWnd>();
}

#include "ControlWnd.h"

#include "AboutWnd.h"
#include "ComputeRd.h"
#include "HelpWnd.h"
#include "Look.h"
#include "MenuBar1.h"
#include "Pictures.h"
#include "Runtime.h"
#include "Tables.h"
#include "TextNumbers.h"

namespace {

fw::EditFieldSettings FieldSettings(const char* name, std::int32_t left, std::int32_t top, std::int32_t tabIndex)
{
    auto s = fw::Placed<fw::EditFieldSettings>(name, left, top, 80, 22, tabIndex);
    s.textFont = "Courier";
    s.textSize = 14;
    s.limitText = 6;
    s.alignment = 2;
    return s;
}

}  // namespace

ControlWnd::ControlWnd(fw::RuntimeNew) : fw::Window(Lookup()) {}

const fw::ClassRecord& ControlWnd::Lookup()
{
    static const fw::ClassRecord record = [] {
        const char* mouse = "( Int32, Int32 ) as Boolean";
        const char* key = "( String ) as Boolean";
        fw::ClassRecordBuilder<class ControlWnd> b("ControlWnd");
        b.Operation("Layout").Operation("CreateControls").Operation("_CreateControls0", "()", true);
        for (const char* control : {"RdFld", "RdText", "StaticText5", "Canvas1", "StaticText1", "RxxFld",
                                    "StaticText2", "RyyFld", "StaticText3", "RxyFld", "StaticText6", "Help",
                                    "Separator1", "ComputeCanvas", "ClearCanvas"})
            b.Member(control, "( String ) as Control");
        b.Operation("Canvas1_MouseDown", mouse)
            .Operation("RxxFld_KeyDown", key)
            .Operation("RyyFld_KeyDown", key)
            .Operation("RxyFld_KeyDown", key)
            .Operation("Help_MouseDown", mouse)
            .Operation("ComputeCanvas_MouseDown", mouse)
            .Operation("ClearCanvas_MouseDown", mouse);
        for (const char* item : {"EditMenu", "EditSelectAll", "UntitledMenu0", "EditClear", "EditPaste",
                                 "EditCopy", "EditCut", "UntitledMenu1", "EditUndo", "FileMenu"})
            b.Operation(item, "() as MenuItem");
        b.Operation("FileQuit", "() as QuitMenuItem").Operation("Event_Open");
        b.Handles("Layout", "Layout", &ControlWnd::Layout)
            .Handles("CreateControls", "CreateControls", &ControlWnd::CreateControls)
            .Handles("Open", "Event_Open", &ControlWnd::Event_Open);
        return b.Build();
    }();
    return record;
}

const std::string& ControlWnd::WindowTable()
{
    static const std::string table = [] {
        fw::WindowSettings s;
        s.width = 550;
        s.height = 500;
        s.composite = true;
        s.hasBackColor = true;
        s.title = "Tolvane";
        s.resizeable = false;
        s.maximizeButton = false;
        return s.Encode();
    }();
    return table;
}

const std::vector<std::pair<QString, std::string>>& ControlWnd::ControlTables()
{
    static const std::vector<std::pair<QString, std::string>> tables = [] {
        auto rd = FieldSettings("RdFld", 235, 316, 4);
        rd.visible = false;
        rd.readOnly = true;
        rd.useFocusRing = false;
        rd.helpTag = "Reliability of the difference scores";

        auto rdText = NavyLabel("RdText", 220, 340, 110, 30, 11, "Tol\rvane", 12);
        rdText.enabled = false;
        rdText.visible = false;
        auto title = NavyLabel("StaticText5", 170, 22, 334, 84, 12, "Tol\rvane", 36);
        title.bold = true;
        auto caption1 = NavyLabel("StaticText1", 112, 265, 80, 31, 14, "Reliability\rof first test", 12);
        caption1.enabled = false;
        auto caption2 = NavyLabel("StaticText2", 235, 265, 80, 31, 16, "Reliability of\rsecond test", 12);
        caption2.enabled = false;
        auto caption3 = NavyLabel("StaticText3", 352, 265, 92, 31, 18, "Correlation\rbetween tests", 12);
        caption3.enabled = false;
        auto notice = NavyLabel("StaticText6", 261, 110, 161, 20, 20, "\xC2\xA9 2026 Tembrisk \xC2\xB7 v1.0", 11);
        notice.textAlign = 0;
        notice.multiline = false;

        const auto line = fw::Placed<fw::SeparatorSettings>("Separator1", 179, 108, 325, 4, 22);

        return std::vector<std::pair<QString, std::string>>{
            {"RdFld", rd.Encode()},
            {"RdText", rdText.Encode()},
            {"StaticText5", title.Encode()},
            {"Canvas1", fw::Placed<fw::CanvasSettings>("Canvas1", 15, 18, 132, 133, 13).Encode()},
            {"StaticText1", caption1.Encode()},
            {"RxxFld", FieldSettings("RxxFld", 112, 241, 15).Encode()},
            {"StaticText2", caption2.Encode()},
            {"RyyFld", FieldSettings("RyyFld", 235, 241, 17).Encode()},
            {"StaticText3", caption3.Encode()},
            {"RxyFld", FieldSettings("RxyFld", 358, 241, 19).Encode()},
            {"StaticText6", notice.Encode()},
            {"Help", fw::Placed<fw::CanvasSettings>("Help", 235, 410, 72, 70, 21).Encode()},
            {"Separator1", line.Encode()},
            {"ComputeCanvas", fw::Placed<fw::CanvasSettings>("ComputeCanvas", 20, 442, 106, 38, 23).Encode()},
            {"ClearCanvas", fw::Placed<fw::CanvasSettings>("ClearCanvas", 424, 441, 106, 39, 24).Encode()},
        };
    }();
    return tables;
}

void ControlWnd::Layout()
{
    MenuBar(::MenuBar1());
    fw::SetProperties(*this, WindowTable());
}

void ControlWnd::CreateControls()
{
    CreateControls0();
}

void ControlWnd::CreateControls0()
{
    const auto& t = ControlTables();
    const char* mouse = "( Int32, Int32 ) as Boolean";
    const char* key = "( String ) as Boolean";
    CreateControl<fw::EditField>("RdFld", t[0].second);
    CreateControl<fw::StaticText>("RdText", t[1].second);
    CreateControl<fw::StaticText>("StaticText5", t[2].second);
    CreateCanvas("Canvas1", ImageSmall(), t[3].second);
    Bind("Canvas1", "MouseDown", fw::RuntimeCreateDelegate(&ControlWnd::Canvas1_MouseDown, *this, mouse));
    CreateControl<fw::StaticText>("StaticText1", t[4].second);
    CreateControl<fw::EditField>("RxxFld", t[5].second);
    Bind("RxxFld", "KeyDown", fw::RuntimeCreateDelegate(&ControlWnd::RxxFld_KeyDown, *this, key));
    CreateControl<fw::StaticText>("StaticText2", t[6].second);
    CreateControl<fw::EditField>("RyyFld", t[7].second);
    Bind("RyyFld", "KeyDown", fw::RuntimeCreateDelegate(&ControlWnd::RyyFld_KeyDown, *this, key));
    CreateControl<fw::StaticText>("StaticText3", t[8].second);
    CreateControl<fw::EditField>("RxyFld", t[9].second);
    Bind("RxyFld", "KeyDown", fw::RuntimeCreateDelegate(&ControlWnd::RxyFld_KeyDown, *this, key));
    CreateControl<fw::StaticText>("StaticText6", t[10].second);
    CreateCanvas("Help", Info(), t[11].second);
    Bind("Help", "MouseDown", fw::RuntimeCreateDelegate(&ControlWnd::Help_MouseDown, *this, mouse));
    CreateControl<fw::Separator>("Separator1", t[12].second);
    CreateCanvas("ComputeCanvas", Compute2(), t[13].second);
    Bind("ComputeCanvas", "MouseDown",
         fw::RuntimeCreateDelegate(&ControlWnd::ComputeCanvas_MouseDown, *this, mouse));
    CreateCanvas("ClearCanvas", Clear2(), t[14].second);
    Bind("ClearCanvas", "MouseDown", fw::RuntimeCreateDelegate(&ControlWnd::ClearCanvas_MouseDown, *this, mouse));
}

bool ControlWnd::Canvas1_MouseDown(std::int32_t, std::int32_t)
{
    ::AboutWnd().Show();
    return false;
}

bool NumericKeyFilter(const QString& key, bool minusAllowed)
{
    const std::int32_t code = fw::Asc(key);
    if (code > 47 && code < 58)
        return false;
    if (code == 8 || code == 9 || code == 46)
        return false;
    if (minusAllowed && code == 45)
        return false;
    fw::Beep();
    return true;
}

bool ControlWnd::RxxFld_KeyDown(const QString& key)
{
    return NumericKeyFilter(key, false);
}

bool ControlWnd::RyyFld_KeyDown(const QString& key)
{
    return NumericKeyFilter(key, false);
}

bool ControlWnd::RxyFld_KeyDown(const QString& key)
{
    return NumericKeyFilter(key, true);
}

bool ControlWnd::Help_MouseDown(std::int32_t, std::int32_t)
{
    ::helpWnd().Show();
    return false;
}

fw::EditField& ControlWnd::Field(const char* name) const
{
    return ControlNamed<fw::EditField>(QString::fromLatin1(name));
}

// One message, then the focus to the field concerned.
bool ControlWnd::Refuse(const char* field, const char* message)
{
    fw::MsgBox(QString::fromUtf8(message));
    Field(field).SetFocus();
    return false;
}

bool ControlWnd::ComputeCanvas_MouseDown(std::int32_t, std::int32_t)
{
    if (Field("RxxFld").Text().isEmpty())
        return Refuse("RxxFld", "Please enter the Reliability of the first test");
    if (Field("RyyFld").Text().isEmpty())
        return Refuse("RyyFld", "Please enter the Reliability of the second test");
    if (Field("RxyFld").Text().isEmpty())
        return Refuse("RxyFld", "Please enter the correlation between the two tests");

    const double rxx = fw::Val(Field("RxxFld").Text());
    const double ryy = fw::Val(Field("RyyFld").Text());
    const double absRxy = fw::Abs(fw::Val(Field("RxyFld").Text()));

    if (rxx < 0 || rxx > 1)
        return Refuse("RxxFld", "Reliability of first test must range from 0.00 to 1.00");
    if (ryy < 0 || ryy > 1)
        return Refuse("RyyFld", "Reliability of second test must range from 0.00 to 1.00");
    if (absRxy > 1)
        return Refuse("RxyFld", "Correlation between tests must range from 0.00 to 1.00");

    const double rd = ComputeRd(rxx, ryy, absRxy);
    Field("RdFld").Visible(true);
    ControlNamed<fw::StaticText>("RdText").Visible(true);
    Field("RdFld").Text(fw::Format(rd, QStringLiteral(".0000")));
    return false;
}

bool ControlWnd::ClearCanvas_MouseDown(std::int32_t, std::int32_t)
{
    Field("RdFld").Visible(false);
    ControlNamed<fw::StaticText>("RdText").Visible(false);
    Field("RxxFld").Text(QString());
    Field("RyyFld").Text(QString());
    Field("RxyFld").Text(QString());
    Field("RdFld").Text(QString());
    Field("RxxFld").SetFocus();
    return false;
}

template <class T>
std::shared_ptr<T> ControlWnd::ItemNamed(const char* name) const
{
    const auto bar = MenuBar();
    if (!bar)
        fw::RaiseNilObjectException("NilObjectException: the window has no menu bar");
    return fw::RuntimeCheckCast<T>(bar->Lookup(QString::fromLatin1(name)));
}

std::shared_ptr<fw::MenuItem> ControlWnd::EditMenu() { return ItemNamed<fw::MenuItem>("EditMenu"); }
std::shared_ptr<fw::MenuItem> ControlWnd::EditSelectAll() { return ItemNamed<fw::MenuItem>("EditSelectAll"); }
std::shared_ptr<fw::MenuItem> ControlWnd::UntitledMenu0() { return ItemNamed<fw::MenuItem>("UntitledMenu0"); }
std::shared_ptr<fw::MenuItem> ControlWnd::EditClear() { return ItemNamed<fw::MenuItem>("EditClear"); }
std::shared_ptr<fw::MenuItem> ControlWnd::EditPaste() { return ItemNamed<fw::MenuItem>("EditPaste"); }
std::shared_ptr<fw::MenuItem> ControlWnd::EditCopy() { return ItemNamed<fw::MenuItem>("EditCopy"); }
std::shared_ptr<fw::MenuItem> ControlWnd::EditCut() { return ItemNamed<fw::MenuItem>("EditCut"); }
std::shared_ptr<fw::MenuItem> ControlWnd::UntitledMenu1() { return ItemNamed<fw::MenuItem>("UntitledMenu1"); }
std::shared_ptr<fw::MenuItem> ControlWnd::EditUndo() { return ItemNamed<fw::MenuItem>("EditUndo"); }
std::shared_ptr<fw::MenuItem> ControlWnd::FileMenu() { return ItemNamed<fw::MenuItem>("FileMenu"); }
std::shared_ptr<fw::QuitMenuItem> ControlWnd::FileQuit() { return ItemNamed<fw::QuitMenuItem>("FileQuit"); }

void ControlWnd::Event_Open() {}

class ControlWnd& ControlWnd()
{
    return fw::ImplicitInstance<class ControlWnd>();
}

// Settings tables: encoder bytes, the system's own tables, decoding onto real widgets, broken tables refused.
#include "AboutWnd.h"
#include "ControlWnd.h"
#include "HelpWnd.h"
#include "InvisibleWnd.h"
#include "Properties.h"
#include "Tables.h"
#include "TestSupport.h"

#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

std::string Bytes(std::initializer_list<int> bytes) { return {bytes.begin(), bytes.end()}; }

// The keys of a table in order, each value skipped by its property's type.
std::vector<std::string> KeysOf(const fw::PropertyClass& cls, std::string_view t)
{
    std::vector<std::string> keys;
    std::size_t pos = 0;
    while (pos < t.size()) {
        const std::size_t space = t.find(' ', pos);
        const fw::Property* p = space == std::string_view::npos ? nullptr : cls.Find(t.substr(pos, space - pos));
        if (!p)
            break;
        keys.emplace_back(t.substr(pos, space - pos));
        pos = space + 1;
        std::size_t n = 0;  // a String's length
        for (std::size_t i = pos; p->type == fw::PropType::String && i < pos + 4 && i < t.size(); ++i)
            n = (n << 8) | static_cast<unsigned char>(t[i]);
        pos += p->type == fw::PropType::String ? 4 + n : p->type == fw::PropType::Int32 ? 4 : p->type == fw::PropType::Color ? 3 : 1;
    }
    EXPECT_EQ(pos, t.size()) << cls.Name() << ": no known key there, or the last entry runs past the end";
    return keys;
}

// An empty window the tests build controls in; its own table is set per test.
std::string g_windowTable = fw::WindowSettings{}.Encode();

class BlankWnd : public fw::Window {
public:
    explicit BlankWnd(fw::RuntimeNew) : fw::Window(Lookup()) {}
    static const fw::ClassRecord& Lookup()
    {
        static const fw::ClassRecord record =
            fw::ClassRecordBuilder<BlankWnd>("BlankWnd").Operation("Layout").Handles("Layout", "Layout", &BlankWnd::Layout).Build();
        return record;
    }
    void Layout() { fw::SetProperties(*this, g_windowTable); }
};

// Records what a table sets, in order.
class Recorder : public fw::PropertyObject {
public:
    const fw::PropertyClass& Properties() const override
    {
        static const fw::PropertyClass cls = [] {
            fw::PropertyClass c("Recorder", nullptr);
            c.Int32<Recorder>("Width", [](Recorder& o, std::int32_t v) { o.log << "Width=" + QString::number(v); })
                .Boolean<Recorder>("MultiLine", [](Recorder& o, bool v) { o.log << QString("MultiLine=%1").arg(v); })
                .Boolean<Recorder>("Visible", [](Recorder& o, bool v) { o.log << QString("Visible=%1").arg(v); })
                .ColorProp<Recorder>("BackColor",
                                     [](Recorder& o, fw::Color v) { o.log << QString("BackColor=%1,%2,%3").arg(v.r).arg(v.g).arg(v.b); })
                .String<Recorder>("Name", [](Recorder& o, const QString& v) { o.log << "Name=" + v; });
            return c;
        }();
        return cls;
    }
    QStringList log;
};

// Decodes from a buffer exactly as long as the table, so the sanitizer sees overreads.
void ApplyExact(fw::PropertyObject& target, const std::string& table)
{
    const auto buf = std::make_unique<char[]>(table.size());
    std::copy(table.begin(), table.end(), buf.get());
    fw::SetProperties(target, std::string_view(buf.get(), table.size()));
}

}  // namespace

TEST(Settings, EncoderWritesTheDocumentedBytes)
{
    using T = fw::SettingsTable;
    EXPECT_EQ(T().Int32("Width", 550).Bytes(), Bytes({0x57, 0x69, 0x64, 0x74, 0x68, 0x20, 0, 0, 0x02, 0x26}));
    EXPECT_EQ(T().String("Name", "RdFld").Bytes(), "Name " + Bytes({0, 0, 0, 5}) + "RdFld");
    EXPECT_EQ(T().ColorRgb("BackColor", 0xFFFFFF).Bytes(), "BackColor " + Bytes({0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(T().Boolean("Visible", true).Bytes(), "Visible " + Bytes({1}));
    EXPECT_EQ(T().Int32("Index", fw::kNoIndex).Bytes(), "Index " + Bytes({0x80, 0, 0, 0}));
    EXPECT_EQ(T().String("HelpTag", "").Boolean("Enabled", false).Bytes(),
              "HelpTag " + Bytes({0, 0, 0, 0}) + "Enabled " + Bytes({0}));
    const std::string sep = fw::SeparatorSettings{}.Encode();
    EXPECT_EQ(sep.substr(sep.size() - 9), "Enabled " + Bytes({1}));
}

TEST(Settings, SystemTablesHaveTheirShape)
{
    struct Table { std::string owner; const fw::PropertyClass* cls; std::string bytes; };
    const fw::PropertyClass* const window = &fw::Window::Class();
    std::vector<Table> tables = {
        {"ControlWnd", window, ControlWnd::WindowTable()}, {"AboutWnd", window, AboutWnd::WindowTable()},
        {"helpWnd", window, helpWnd::WindowTable()},       {"InvisibleWnd", window, InvisibleWnd::WindowTable()},
        {"EditField1", &fw::EditField::Class(), helpWnd::EditField1Table()}};
    // Each control's table is read with the class of the control the window made.
    auto addControls = [&](const fw::Window& w, const std::vector<std::pair<QString, std::string>>& list) {
        for (const auto& [name, t] : list)
            tables.push_back({name.toStdString(), &w.ControlNamed<fw::Control>(name).Properties(), t});
    };
    addControls(ControlWnd(), ControlWnd::ControlTables());
    addControls(AboutWnd(), AboutWnd::ControlTables());

    const std::map<std::string, std::size_t> count = {
        {"Window", 21}, {"EditField", 41}, {"StaticText", 28}, {"Canvas", 22}, {"Separator", 18}};
    for (const auto& t : tables) {
        SCOPED_TRACE(t.owner);
        const auto keys = KeysOf(*t.cls, t.bytes);
        EXPECT_EQ(keys.size(), count.at(t.cls->Name()));
        std::set<std::string> distinct;
        for (const auto& k : keys)
            distinct.insert(QString::fromStdString(k).toLower().toStdString());
        EXPECT_EQ(distinct.size(), keys.size()) << "a key repeats";
        if (t.cls == window) {
            EXPECT_EQ(keys.front(), "Placement");
        } else {  // named after its own control, with no index
            const std::string head = fw::SettingsTable().String("Name", t.owner).Int32("Index", fw::kNoIndex).Bytes();
            EXPECT_EQ(t.bytes.substr(0, head.size()), head);
        }
        EXPECT_TRUE(t.owner != "Separator1" || t.bytes.size() == 213u);
    }

    EXPECT_EQ(helpWnd::EditField1Table().size(), 2457u);
    EXPECT_NE(helpWnd::EditField1Table().find("Text " + Bytes({0, 0, 0x07, 0xAA})), std::string::npos);  // 1,962 bytes
}

TEST(Settings, DecodingMatchesKeysInAnyCaseAndRefusesBrokenTables)
{
    Recorder r;
    ApplyExact(r, fw::SettingsTable().String("NAME", "RdFld").Boolean("Multiline", true).Boolean("visible", false)
                      .ColorRgb("backCOLOR", 0x102030).Int32("Width", 1).Int32("width", 2).String("Name", "").Bytes());
    EXPECT_EQ(r.log, QStringList({"Name=RdFld", "MultiLine=1", "Visible=0", "BackColor=16,32,48", "Width=1", "Width=2",
                                  "Name="}));

    const std::string visible = "Visible " + Bytes({1});  // a good 9-byte entry to start with
    struct Case { const char* what; std::string table, key; std::size_t offset; bool onCanvas = false; };
    const Case cases[] = {
        {"Int32 cut short", visible + "Width " + Bytes({0, 0, 2}), "Width", 15},
        {"Boolean missing", visible + "Visible ", "Visible", 17},
        {"colour cut short", "BackColor " + Bytes({0xFF, 0xFF}), "BackColor", 10},
        {"String length cut short", "Name " + Bytes({0, 0}), "Name", 5},
        {"String bytes cut short", "Name " + Bytes({0, 0, 0, 5}) + "RdF", "Name", 9},
        {"String length past the end", "Name " + Bytes({0x7F, 0xFF, 0xFF, 0xFF}) + "x", "Name", 9},
        {"negative String length", "Name " + Bytes({0xFF, 0xFF, 0xFF, 0xFB}) + "RdFld", "Name", 5},
        {"key at the very end", visible + "Width", "Width", 14},
        {"key without its space", "Width" + Bytes({0, 0, 2, 0x26}), "Width", 5},
        {"unknown key", visible + "Colour " + Bytes({1, 2, 3}), "Colour", 9},
        {"Boolean byte 2", visible + "Visible " + Bytes({2}), "Visible", 17},
        {"empty key", visible + " " + Bytes({1}), "", 9},
        {"not a key", Bytes({0x01}) + "Visible " + Bytes({1}), "", 0},
        {"key of another class", "Name " + Bytes({0, 0, 0, 3}) + "PadLimitText " + Bytes({0, 0, 0, 6}), "LimitText", 12, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder r;
        try {
            c.onCanvas ? (void)fw::ImplicitInstance<BlankWnd>().CreateControl<fw::Canvas>("Pad", c.table) : ApplyExact(r, c.table);
            ADD_FAILURE() << "accepted";
        } catch (const fw::SettingsError& e) {
            EXPECT_EQ(e.Key(), c.key);
            EXPECT_EQ(e.Offset(), c.offset);
            const std::string what = e.what();
            EXPECT_NE(what.find("at byte " + std::to_string(c.offset)), std::string::npos) << what;
            EXPECT_TRUE(c.key.empty() || what.find('"' + c.key + '"') != std::string::npos) << what;
        }
    }
}

TEST(Settings, TablesReachTheWindowsAndTheirWidgets)
{
    auto& calc = ControlWnd();
    Settle();
    QMainWindow* frame = calc.Frame();
    const int bar = frame->menuWidget() ? frame->menuWidget()->height() : 0;
    EXPECT_GT(bar, 0);
    EXPECT_EQ(calc.Content()->size(), QSize(550, 500));
    EXPECT_GE(calc.Content()->y(), bar);
    EXPECT_EQ(frame->size(), QSize(550, 500 + bar));

    // The invisible window's table is wider than its own maximum, and kept so.
    g_windowTable = InvisibleWnd::WindowTable();
    auto& w = fw::ImplicitInstance<BlankWnd>();
    EXPECT_EQ(w.Width(), 213);
    EXPECT_EQ(w.MaxWidth(), 200);
    EXPECT_EQ(w.Content()->size(), QSize(213, 114));
    EXPECT_FALSE(w.Visible());
    EXPECT_FALSE(w.Frame()->windowFlags() & Qt::WindowCloseButtonHint);

    // Controls built in it.
    auto e = fw::Placed<fw::EditFieldSettings>("Field", 12, 34, 80, 22, 0);
    e.textFont = "Courier";
    e.textSize = 14;
    e.bold = e.readOnly = true;
    e.backColor = 0xFFEE00;
    e.alignment = 3;
    e.helpTag = e.text = "x";
    auto& field = w.CreateControl<fw::EditField>("Field", e.Encode());
    QLineEdit* line = field.LineEdit();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(field.Widget()->geometry(), QRect(12, 34, 80, 22));
    EXPECT_EQ(line->font().pixelSize(), 14);
    EXPECT_TRUE(line->font().bold() && QFontInfo(line->font()).fixedPitch());
    EXPECT_EQ(line->palette().color(QPalette::Base), QColor(0xFF, 0xEE, 0x00));
    EXPECT_TRUE(line->isReadOnly());
    EXPECT_EQ(line->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(field.Widget()->toolTip(), "x");
    EXPECT_EQ(line->text(), "x");

    auto t = fw::Placed<fw::StaticTextSettings>("Label", 5, 6, 70, 30, 1);
    t.text = "Tol\rvane";
    t.textColor = 0x000080;
    t.textAlign = 1;
    t.visible = false;
    QLabel* label = w.CreateControl<fw::StaticText>("Label", t.Encode()).Label();
    EXPECT_EQ(label->geometry(), QRect(5, 6, 70, 30));
    EXPECT_EQ(label->palette().color(QPalette::Active, QPalette::WindowText), QColor(0, 0, 0x80));
    EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_TRUE(label->isHidden());

    auto pad = fw::Placed<fw::CanvasSettings>("Pad", 1, 2, 30, 40, 2).Encode();
    EXPECT_EQ(w.CreateControl<fw::Canvas>("Pad", pad).Widget()->geometry(), QRect(1, 2, 30, 40));
}

// Settings tables: the encoder's bytes, the shape of the system's own tables,
// decoding onto real windows and controls, and the refusal of broken tables.
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
#include <QPlainTextEdit>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

// Texts in failure messages, readable.
void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

std::string Bytes(std::initializer_list<int> bytes)
{
    std::string out;
    for (int b : bytes)
        out.push_back(static_cast<char>(b));
    return out;
}

// The keys of a table in order, each value skipped by the size its property's
// type gives it. Fails the test if the table does not end on an entry.
std::vector<std::string> KeysOf(const fw::PropertyClass& cls, std::string_view t)
{
    std::vector<std::string> keys;
    std::size_t pos = 0;
    auto be32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < 4; ++i)
            v = (v << 8) | static_cast<unsigned char>(t[at + i]);
        return v;
    };
    while (pos < t.size()) {
        const std::size_t space = t.find(' ', pos);
        if (space == std::string_view::npos) {
            ADD_FAILURE() << "no space after key at byte " << pos;
            break;
        }
        const std::string key(t.substr(pos, space - pos));
        const fw::Property* p = cls.Find(key);
        if (!p) {
            ADD_FAILURE() << cls.Name() << " has no property " << key;
            break;
        }
        keys.push_back(key);
        pos = space + 1;
        if (p->type == fw::PropType::String && t.size() - pos < 4)
            break;  // reported below
        switch (p->type) {
        case fw::PropType::Int32: pos += 4; break;
        case fw::PropType::Boolean: pos += 1; break;
        case fw::PropType::Color: pos += 3; break;
        case fw::PropType::String: pos += 4 + be32(pos); break;
        }
    }
    EXPECT_EQ(pos, t.size()) << "last entry runs past the end";
    return keys;
}

// An empty window the tests build controls in; its own table is set per test.
std::string g_windowTable = fw::WindowSettings{}.Encode();

class BlankWnd : public fw::Window {
public:
    explicit BlankWnd(fw::RuntimeNew) : fw::Window(Lookup()) {}
    static const fw::ClassRecord& Lookup()
    {
        static const fw::ClassRecord record = [] {
            fw::ClassRecordBuilder<BlankWnd> b("BlankWnd");
            b.Operation("Layout").Handles("Layout", "Layout", &BlankWnd::Layout);
            return b.Build();
        }();
        return record;
    }
    void Layout() { fw::SetProperties(*this, g_windowTable); }
};

BlankWnd& Blank()
{
    return fw::ImplicitInstance<BlankWnd>();
}

// Records what a table sets, in order.
class Recorder : public fw::PropertyObject {
public:
    static const fw::PropertyClass& Class()
    {
        static const fw::PropertyClass cls = [] {
            fw::PropertyClass c("Recorder", nullptr);
            c.Int32<Recorder>("Width", [](Recorder& o, std::int32_t v) { o.log.push_back("Width=" + QString::number(v)); });
            c.Int32<Recorder>("MacProcId", [](Recorder& o, std::int32_t v) { o.log.push_back("MacProcId=" + QString::number(v)); });
            c.Boolean<Recorder>("Visible", [](Recorder& o, bool v) { o.log.push_back(v ? "Visible=1" : "Visible=0"); });
            c.Boolean<Recorder>("MultiLine", [](Recorder& o, bool v) { o.log.push_back(v ? "MultiLine=1" : "MultiLine=0"); });
            c.ColorProp<Recorder>("BackColor", [](Recorder& o, fw::Color v) {
                o.log.push_back(QString("BackColor=%1,%2,%3").arg(v.r).arg(v.g).arg(v.b));
            });
            c.String<Recorder>("Name", [](Recorder& o, const QString& v) { o.log.push_back("Name=" + v); });
            c.String<Recorder>("Text", [](Recorder& o, const QString& v) { o.log.push_back("Text=" + v); });
            return c;
        }();
        return cls;
    }
    const fw::PropertyClass& Properties() const override { return Class(); }
    QStringList log;
};

// Decodes from a buffer exactly as long as the table, so a read past its end
// is caught by the sanitizer.
void ApplyExact(fw::PropertyObject& target, const std::string& table)
{
    auto buf = std::make_unique<char[]>(table.size());
    std::copy(table.begin(), table.end(), buf.get());
    fw::SetProperties(target, std::string_view(buf.get(), table.size()));
}

}  // namespace

TEST(Settings, EncoderWritesTheDocumentedBytes)
{
    struct Case {
        const char* what;
        std::string got, want;
    };
    const Case cases[] = {
        {"Width 550", fw::SettingsTable().Int32("Width", 550).Bytes(),
         "Width " + Bytes({0x00, 0x00, 0x02, 0x26})},
        {"Name RdFld", fw::SettingsTable().String("Name", "RdFld").Bytes(),
         "Name " + Bytes({0x00, 0x00, 0x00, 0x05}) + "RdFld"},
        {"BackColor white", fw::SettingsTable().ColorRgb("BackColor", 0xFFFFFF).Bytes(),
         "BackColor " + Bytes({0xFF, 0xFF, 0xFF})},
        {"Visible True", fw::SettingsTable().Boolean("Visible", true).Bytes(), "Visible " + Bytes({0x01})},
        {"Index smallest", fw::SettingsTable().Int32("Index", fw::kNoIndex).Bytes(),
         "Index " + Bytes({0x80, 0x00, 0x00, 0x00})},
        {"negative", fw::SettingsTable().Int32("Left", -1).Bytes(), "Left " + Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        {"empty String then key", fw::SettingsTable().String("HelpTag", "").Boolean("Enabled", false).Bytes(),
         "HelpTag " + Bytes({0, 0, 0, 0}) + "Enabled " + Bytes({0x00})},
        {"two-byte character", fw::SettingsTable().String("Text", "\xC3\xB7").Bytes(),
         "Text " + Bytes({0, 0, 0, 2, 0xC3, 0xB7})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.want) << c.what;

    // A table that ends in a Boolean ends with its byte.
    const std::string sep = fw::SeparatorSettings{}.Encode();
    EXPECT_EQ(sep.substr(sep.size() - 9), "Enabled " + Bytes({1}));
}

TEST(Settings, SystemTablesHoldEachKeyOnce)
{
    struct Table {
        std::string owner;
        const fw::PropertyClass* cls;
        std::string bytes;
    };
    std::vector<Table> tables;
    auto addWindow = [&](const char* name, const std::string& t) { tables.push_back({name, &fw::Window::Class(), t}); };
    addWindow("ControlWnd", ControlWnd::WindowTable());
    addWindow("AboutWnd", AboutWnd::WindowTable());
    addWindow("helpWnd", helpWnd::WindowTable());
    addWindow("InvisibleWnd", InvisibleWnd::WindowTable());
    // Each control's table is read with the class of the control the window made.
    auto addControls = [&](const fw::Window& w, const std::vector<std::pair<QString, std::string>>& list) {
        for (const auto& [name, t] : list)
            tables.push_back({name.toStdString(), &w.ControlNamed<fw::Control>(name).Properties(), t});
    };
    addControls(ControlWnd(), ControlWnd::ControlTables());
    addControls(AboutWnd(), AboutWnd::ControlTables());
    tables.push_back({"EditField1", &fw::EditField::Class(), helpWnd::EditField1Table()});

    const std::map<std::string, std::size_t> expectedCount = {
        {"Window", 21}, {"EditField", 41}, {"StaticText", 28}, {"Canvas", 22}, {"Separator", 18}};
    std::set<std::string> classesSeen;
    for (const auto& t : tables) {
        SCOPED_TRACE(t.owner);
        const auto keys = KeysOf(*t.cls, t.bytes);
        ASSERT_FALSE(keys.empty());
        EXPECT_EQ(keys.front(), t.cls == &fw::Window::Class() ? "Placement" : "Name");
        EXPECT_EQ(keys.size(), expectedCount.at(t.cls->Name()));
        std::set<std::string> distinct;
        for (const auto& k : keys)
            distinct.insert(QString::fromStdString(k).toLower().toStdString());
        EXPECT_EQ(distinct.size(), keys.size()) << "a key repeats";
        EXPECT_GE(t.bytes.size(), 213u);
        EXPECT_LE(t.bytes.size(), 2457u);
        classesSeen.insert(t.cls->Name());
    }
    EXPECT_EQ(classesSeen.size(), 5u);

    // The control tables name their own control and carry no index.
    auto controls = ControlWnd::ControlTables();
    controls.insert(controls.end(), AboutWnd::ControlTables().begin(), AboutWnd::ControlTables().end());
    controls.emplace_back("EditField1", helpWnd::EditField1Table());
    for (const auto& [name, t] : controls) {
        const std::string head = fw::SettingsTable()
                                     .String("Name", name.toStdString())
                                     .Int32("Index", fw::kNoIndex)
                                     .Bytes();
        EXPECT_EQ(t.substr(0, head.size()), head) << name.toStdString();
    }
}

TEST(Settings, SeparatorAndHelpTablesHaveTheirExactLengths)
{
    const auto& tables = ControlWnd::ControlTables();
    const auto sep = std::find_if(tables.begin(), tables.end(), [](const auto& e) { return e.first == "Separator1"; });
    ASSERT_NE(sep, tables.end());
    EXPECT_EQ(sep->second.size(), 213u);

    const std::string& help = helpWnd::EditField1Table();
    EXPECT_EQ(help.size(), 2457u);
    const std::size_t at = help.find("Text ");
    ASSERT_NE(at, std::string::npos);
    const std::string length = help.substr(at + 5, 4);
    EXPECT_EQ(length, Bytes({0x00, 0x00, 0x07, 0xAA}));  // 1,962 bytes
    EXPECT_EQ(QString::fromUtf8(help.substr(at + 9, 1962)).size(), 1961);

    // Decoded, the field holds the text with its two-byte character whole.
    auto& w = helpWnd();
    const auto& field = w.ControlNamed<fw::EditField>("EditField1");
    EXPECT_EQ(field.Text().size(), 1961);
    EXPECT_EQ(field.Text(), QString::fromUtf8(helpWnd::HelpText().data(), static_cast<qsizetype>(helpWnd::HelpText().size())));
    EXPECT_TRUE(field.Text().contains(QChar(0xF7)));
}

TEST(Settings, DecodingMatchesKeysInAnyCaseAndAppliesInOrder)
{
    Recorder r;
    ApplyExact(r, fw::SettingsTable()
                      .String("Name", "RdFld")
                      .Int32("MACPROCID", 7)
                      .Boolean("Multiline", true)
                      .Boolean("visible", false)
                      .ColorRgb("BACKCOLOR", 0x102030)
                      .String("Text", "a\xC3\xB7" "b")
                      .Int32("Width", 1)
                      .Int32("width", 2)
                      .String("Text", "")
                      .Bytes());
    EXPECT_EQ(r.log, QStringList({"Name=RdFld", "MacProcId=7", "MultiLine=1", "Visible=0", "BackColor=16,32,48",
                                  QString::fromUtf8("Text=a\xC3\xB7" "b"), "Width=1", "Width=2", "Text="}));

    // An empty table sets nothing.
    Recorder empty;
    fw::SetProperties(empty, std::string_view());
    EXPECT_TRUE(empty.log.isEmpty());

    // On a real field the lower-case spelling switches the editor to multi-line.
    auto& w = Blank();
    fw::EditFieldSettings s;
    s.name = "F";
    s.multiline = true;
    s.text = "one\rtwo";
    auto& f = w.CreateControl<fw::EditField>("F", s.Encode());
    EXPECT_TRUE(f.MultiLine());
    ASSERT_NE(f.TextEdit(), nullptr);
    EXPECT_EQ(f.LineEdit(), nullptr);
    EXPECT_EQ(f.TextEdit()->toPlainText(), "one\ntwo");
    EXPECT_EQ(f.Text(), "one\rtwo");
}

TEST(Settings, ControlSettingsReachTheWidgets)
{
    auto& w = Blank();

    fw::EditFieldSettings e;
    e.name = "Field";
    e.left = 12;
    e.top = 34;
    e.width = 80;
    e.height = 22;
    e.textFont = "Courier";
    e.textSize = 14;
    e.bold = true;
    e.textColor = 0x000080;
    e.backColor = 0xFFEE00;
    e.readOnly = true;
    e.helpTag = "the field";
    e.text = "x";
    auto& field = w.CreateControl<fw::EditField>("Field", e.Encode());
    QLineEdit* line = field.LineEdit();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(field.Widget()->geometry(), QRect(12, 34, 80, 22));
    EXPECT_EQ(line->geometry(), QRect(0, 0, 80, 22));
    EXPECT_EQ(line->font().pixelSize(), 14);
    EXPECT_TRUE(line->font().bold());
    EXPECT_TRUE(QFontInfo(line->font()).fixedPitch());
    EXPECT_EQ(line->palette().color(QPalette::Text), QColor(0, 0, 0x80));
    EXPECT_EQ(line->palette().color(QPalette::Base), QColor(0xFF, 0xEE, 0x00));
    EXPECT_TRUE(line->isReadOnly());
    EXPECT_EQ(field.Widget()->toolTip(), "the field");
    EXPECT_FALSE(field.Widget()->isHidden());
    EXPECT_EQ(line->text(), "x");

    fw::StaticTextSettings t;
    t.name = "Label";
    t.left = 5;
    t.top = 6;
    t.width = 70;
    t.height = 30;
    t.text = "Tol\rvane";
    t.textSize = 12;
    t.textColor = 0x000080;
    t.visible = false;
    t.enabled = false;
    auto& label = w.CreateControl<fw::StaticText>("Label", t.Encode());
    EXPECT_EQ(label.Label()->geometry(), QRect(5, 6, 70, 30));
    EXPECT_EQ(label.Label()->text(), "Tol\nvane");
    EXPECT_EQ(label.Label()->font().pixelSize(), 12);
    EXPECT_EQ(label.Label()->palette().color(QPalette::Active, QPalette::WindowText), QColor(0, 0, 0x80));
    EXPECT_TRUE(label.Label()->isHidden());
    EXPECT_FALSE(label.Label()->isEnabled());

    fw::CanvasSettings c;
    c.name = "Pad";
    c.left = 1;
    c.top = 2;
    c.width = 30;
    c.height = 40;
    c.helpTag = "press";
    auto& pad = w.CreateControl<fw::Canvas>("Pad", c.Encode());
    EXPECT_EQ(pad.Widget()->geometry(), QRect(1, 2, 30, 40));
    EXPECT_EQ(pad.Widget()->toolTip(), "press");
    EXPECT_EQ(pad.Widget()->focusPolicy(), Qt::NoFocus);

    fw::SeparatorSettings sep;
    sep.name = "Line";
    sep.left = 179;
    sep.top = 108;
    sep.width = 325;
    sep.height = 4;
    auto& line2 = w.CreateControl<fw::Separator>("Line", sep.Encode());
    EXPECT_EQ(line2.Widget()->geometry(), QRect(179, 108, 325, 4));
}

TEST(Settings, AlignmentCodes)
{
    auto& w = Blank();
    const std::pair<std::int32_t, Qt::Alignment> fieldCodes[] = {
        {0, Qt::AlignLeft}, {1, Qt::AlignLeft}, {2, Qt::AlignHCenter}, {3, Qt::AlignRight}};
    for (const auto& [code, want] : fieldCodes) {
        fw::EditFieldSettings e;
        e.name = "F" + std::to_string(code);
        e.alignment = code;
        auto& f = w.CreateControl<fw::EditField>(QString::fromStdString(e.name), e.Encode());
        EXPECT_EQ(f.LineEdit()->alignment() & Qt::AlignHorizontal_Mask, want) << "Alignment " << code;
    }
    const std::pair<std::int32_t, Qt::Alignment> labelCodes[] = {
        {0, Qt::AlignLeft}, {1, Qt::AlignHCenter}, {2, Qt::AlignRight}};
    for (const auto& [code, want] : labelCodes) {
        fw::StaticTextSettings t;
        t.name = "L" + std::to_string(code);
        t.textAlign = code;
        auto& l = w.CreateControl<fw::StaticText>(QString::fromStdString(t.name), t.Encode());
        EXPECT_EQ(l.Label()->alignment() & Qt::AlignHorizontal_Mask, want) << "TextAlign " << code;
    }
}

TEST(Settings, MalformedTablesNameKeyAndOffset)
{
    const std::string visible = "Visible " + Bytes({1});  // 9 bytes, a good entry to start with
    struct Case {
        const char* what;
        std::string table;
        std::string key;
        std::size_t offset;
    };
    const Case cases[] = {
        {"Int32 cut short", visible + "Width " + Bytes({0, 0, 2}), "Width", 15},
        {"Boolean missing", visible + "Visible ", "Visible", 17},
        {"colour cut short", "BackColor " + Bytes({0xFF, 0xFF}), "BackColor", 10},
        {"String length cut short", "Name " + Bytes({0, 0}), "Name", 5},
        {"String bytes cut short", "Name " + Bytes({0, 0, 0, 5}) + "RdF", "Name", 9},
        {"String length past the end", "Name " + Bytes({0x7F, 0xFF, 0xFF, 0xFF}) + "x", "Name", 9},
        {"key at the very end", visible + "Width", "Width", 14},
        {"key without its space", "Width" + Bytes({0, 0, 2, 0x26}), "Width", 5},
        {"unknown key", visible + "Colour " + Bytes({1, 2, 3}), "Colour", 9},
        {"negative String length", "Name " + Bytes({0xFF, 0xFF, 0xFF, 0xFB}) + "RdFld", "Name", 5},
        {"Boolean byte 2", visible + "Visible " + Bytes({2}), "Visible", 17},
        {"empty key", visible + " " + Bytes({1}), "", 9},
        {"not a key", Bytes({0x01}) + "Visible " + Bytes({1}), "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder r;
        try {
            ApplyExact(r, c.table);
            ADD_FAILURE() << "accepted";
        } catch (const fw::SettingsError& e) {
            EXPECT_EQ(e.Key(), c.key);
            EXPECT_EQ(e.Offset(), c.offset);
            const std::string what = e.what();
            EXPECT_NE(what.find("at byte " + std::to_string(c.offset)), std::string::npos) << what;
            if (!c.key.empty()) {
                EXPECT_NE(what.find('"' + c.key + '"'), std::string::npos) << what;
            }
        }
    }

    // A real control refuses a key of another class.
    auto& w = Blank();
    const std::string table = fw::SettingsTable().String("Name", "Pad").Int32("LimitText", 6).Bytes();
    try {
        w.CreateControl<fw::Canvas>("Pad", table);
        ADD_FAILURE() << "a canvas took LimitText";
    } catch (const fw::SettingsError& e) {
        EXPECT_EQ(e.Key(), "LimitText");
        EXPECT_EQ(e.Offset(), 12u);
    }
}

TEST(Settings, WindowSizeIsTheContentArea)
{
    auto& w = ControlWnd();
    Settle();
    QMainWindow* frame = w.Frame();
    ASSERT_NE(frame->menuWidget(), nullptr);
    const int bar = frame->menuWidget()->height();
    EXPECT_GT(bar, 0);
    EXPECT_EQ(w.Content()->size(), QSize(550, 500));
    EXPECT_GE(w.Content()->y(), bar);
    EXPECT_EQ(frame->size(), QSize(550, 500 + bar));
    EXPECT_EQ(frame->windowTitle(), "Tolvane");

    // Not resizeable: a resize request leaves it as it was.
    frame->resize(800, 700);
    Settle();
    EXPECT_EQ(w.Content()->size(), QSize(550, 500));
    EXPECT_EQ(frame->size(), QSize(550, 500 + bar));
}

TEST(Settings, WindowTablesApplyToAWindow)
{
    // The invisible window's table: wider than its own maximum, not resizeable.
    g_windowTable = InvisibleWnd::WindowTable();
    auto& w = Blank();
    EXPECT_EQ(w.Width(), 213);
    EXPECT_EQ(w.MaxWidth(), 200);
    EXPECT_EQ(w.Content()->size(), QSize(213, 114));
    EXPECT_FALSE(w.Visible());
    EXPECT_FALSE(w.Frame()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(w.Title(), "Untitled");
}

TEST(Settings, ResizeableWindowStaysWithinItsLimits)
{
    fw::WindowSettings s;
    s.width = 300;
    s.height = 200;
    s.minWidth = 250;
    s.minHeight = 150;
    s.maxWidth = 400;
    s.maxHeight = 300;
    s.hasBackColor = true;
    s.backColor = 0x336699;
    g_windowTable = s.Encode();
    auto& w = Blank();
    Settle();
    EXPECT_EQ(w.Content()->size(), QSize(300, 200));
    EXPECT_EQ(w.Content()->palette().color(QPalette::Window), QColor(0x33, 0x66, 0x99));
    w.Frame()->resize(1000, 1000);
    Settle();
    EXPECT_EQ(w.Content()->size(), QSize(400, 300));
    w.Frame()->resize(10, 10);
    Settle();
    EXPECT_EQ(w.Content()->size(), QSize(250, 150));
}

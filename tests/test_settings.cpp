// Settings tables: encoder bytes, the system's own tables, decoding, broken tables refused.
#include "AboutWnd.h"
#include "ControlWnd.h"
#include "HelpWnd.h"
#include "InvisibleWnd.h"
#include "Properties.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <vector>
#include <memory>
#include <ostream>
#include <string>

namespace {

std::string Bytes(std::initializer_list<int> bytes) { return {bytes.begin(), bytes.end()}; }

// Records what a table sets, in order.
class Recorder : public fw::PropertyObject {
public:
    const fw::PropertyClass& Properties() const override
    {
        static const fw::PropertyClass cls = [] {
            fw::PropertyClass c("Recorder", nullptr);
            c.Int32<Recorder>("Width", [](Recorder& o, std::int32_t v) { o.log << QString("Width=%1").arg(v); })
                .Boolean<Recorder>("Visible", [](Recorder& o, bool v) { o.log << QString("Visible=%1").arg(v); })
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

// --- the values each window is built with ----------------------------------

// The type of every key the system's tables use: 'i' Int32, 'c' colour, 's' String, else Boolean.
char TypeOf(const std::string& key)
{
    const auto in = [&key](const char* keys) {
        return (std::string(" ") + keys + " ").find(" " + key + " ") != std::string::npos;
    };
    if (in("Placement Width Height MinWidth MinHeight MaxWidth MaxHeight Frame MacProcID Index Left Top TabPanelIndex "
           "TabIndex TextSize LimitText Alignment TextAlign"))
        return 'i';
    if (in("BackColor TextColor"))
        return 'c';
    return in("Title Name Format HelpTag TextFont Text Mask DataSource DataField InitialParent") ? 's' : 'b';
}

// "Key=value" in table order: numbers in decimal, colours as RRGGBB, a long text as its length and digest.
QStringList Decode(const std::string& table)
{
    QStringList out;
    std::size_t at = 0;
    auto take = [&](std::size_t n) {
        if (n > table.size() - at)
            throw std::runtime_error("table cut short");
        at += n;
        return QByteArray(table.data() + at - n, static_cast<qsizetype>(n));
    };
    auto int32 = [&] { return static_cast<std::int32_t>(take(4).toHex().toUInt(nullptr, 16)); };
    while (at < table.size()) {
        const std::size_t space = table.find(' ', at);
        const std::string key = table.substr(at, space - at);
        at = space + 1;
        QByteArray value;
        switch (TypeOf(key)) {
        case 'i': value = QByteArray::number(int32()); break;
        case 'c': value = take(3).toHex().toUpper(); break;
        case 's': value = take(static_cast<std::size_t>(int32())); break;
        default: value = QByteArray::number(static_cast<unsigned char>(take(1)[0]));
        }
        if (value.size() > 200)
            value = QByteArray::number(value.size()) + " bytes, sha256:" +
                    QCryptographicHash::hash(value, QCryptographicHash::Sha256).toHex().left(16);
        out << QString::fromStdString(key) + "=" + QString::fromUtf8(value);
    }
    return out;
}

const char* const kWindowKeys = "Placement Width Height MinWidth MinHeight MaxWidth MaxHeight Frame Composite "
    "HasBackColor BackColor Title Visible FullScreen MenuBarVisible CloseButton Resizeable LiveResize MaximizeButton "
    "MinimizeButton MacProcID";
const char* const kFieldKeys = "Name Index Left Top Width Height LockLeft LockTop LockRight LockBottom TabPanelIndex "
    "TabIndex TabStop Border Multiline ScrollbarHorizontal ScrollbarVertical Styled Password UseFocusRing TextColor "
    "BackColor Enabled Format Visible HelpTag AutoDeactivate TextFont TextSize Bold Italic Underline Text Mask "
    "ReadOnly LimitText AcceptTabs Alignment DataSource DataField InitialParent";
const char* const kLabelKeys = "Name Index Left Top Width Height LockLeft LockTop LockRight LockBottom TabPanelIndex "
    "TabIndex Text TextAlign TextColor Multiline Enabled Visible HelpTag AutoDeactivate TextFont TextSize Bold Italic "
    "Underline DataSource DataField InitialParent";
const char* const kCanvasKeys = "Name Index Left Top Width Height LockLeft LockTop LockRight LockBottom "
    "TabPanelIndex TabIndex TabStop Visible HelpTag AutoDeactivate Enabled UseFocusRing AcceptFocus AcceptTabs "
    "EraseBackground InitialParent";
const char* const kSeparatorKeys = "Name Index Left Top Width Height LockLeft LockTop LockRight LockBottom "
    "TabPanelIndex TabIndex TabStop InitialParent Visible HelpTag AutoDeactivate Enabled";

// Values shared by kind; a later layer overrides an earlier one.
const char* const kWindow = "Placement=0|MinWidth=64|MinHeight=64|MaxWidth=32000|MaxHeight=32000|Frame=0|"
    "Composite=0|HasBackColor=0|BackColor=FFFFFF|Visible=1|FullScreen=0|MenuBarVisible=1|CloseButton=1|"
    "Resizeable=0|LiveResize=0|MaximizeButton=0|MinimizeButton=1|MacProcID=0";
const char* const kControl = "Index=-2147483648|LockLeft=0|LockTop=0|LockRight=0|LockBottom=0|TabPanelIndex=0|"
    "AutoDeactivate=1|InitialParent=|HelpTag=|Enabled=1|Visible=1|TabStop=1";
const char* const kField = "Border=1|Multiline=0|ScrollbarHorizontal=0|ScrollbarVertical=0|Styled=1|Password=0|"
    "UseFocusRing=1|TextColor=000000|BackColor=FFFFFF|Format=|Mask=|Text=|TextFont=Courier|TextSize=14|Bold=0|"
    "Italic=0|Underline=0|ReadOnly=0|LimitText=6|AcceptTabs=0|Alignment=2|DataSource=|DataField=";
const char* const kLabel = "TextColor=000080|TextFont=System|Italic=0|Underline=0|TextAlign=1|Multiline=1|Bold=0|"
    "DataSource=|DataField=";
const char* const kCanvas = "UseFocusRing=1|AcceptFocus=0|AcceptTabs=0|EraseBackground=1";

QStringList Expected(const char* keys, const std::vector<const char*>& layers)
{
    std::map<QString, QString> values;
    for (const char* layer : layers)
        for (const QString& entry : QString::fromUtf8(layer).split('|'))
            values[entry.section('=', 0, 0)] = entry.section('=', 1);
    QStringList out;
    for (const QString& key : QString::fromLatin1(keys).split(' '))
        out << key + "=" + (values.contains(key) ? values[key] : QStringLiteral("(none given)"));
    return out;
}

std::vector<std::pair<std::string, QStringList>> ExpectedTables()
{
    std::vector<std::pair<std::string, QStringList>> t = {
        {ControlWnd::WindowTable(), Expected(kWindowKeys, {kWindow, "Width=550|Height=500|Composite=1|"
            "HasBackColor=1|Title=Tolvane"})},
        {InvisibleWnd::WindowTable(), Expected(kWindowKeys, {kWindow, "Width=213|Height=114|MaxWidth=200|"
            "MaxHeight=200|Frame=1|Title=Untitled|Visible=0|CloseButton=0"})},
        {AboutWnd::WindowTable(), Expected(kWindowKeys, {kWindow, "Width=447|Height=218|Frame=2|HasBackColor=1|"
            "Title=|Resizeable=1|MaximizeButton=1"})},
        {helpWnd::WindowTable(), Expected(kWindowKeys, {kWindow, "Placement=3|Width=550|Height=500|"
            "Title=Vantrel Info"})},
        {helpWnd::EditField1Table(), Expected(kFieldKeys, {kControl, kField, "Name=EditField1|Left=-1|Top=-1|"
            "Width=551|Height=498|TabIndex=0|Multiline=1|ScrollbarVertical=1|TextFont=System|TextSize=12|"
            "LimitText=0|Alignment=0|Text=1962 bytes, sha256:3554fa52529d2ac3"})},
    };
    const std::pair<const char*, std::vector<const char*>> calc[] = {
        {kFieldKeys, {kControl, kField, "Name=RdFld|Left=235|Top=316|Width=80|Height=22|TabIndex=4|Visible=0|"
            "ReadOnly=1|UseFocusRing=0|HelpTag=Reliability of the difference scores"}},
        {kLabelKeys, {kControl, kLabel, "Name=RdText|Left=220|Top=340|Width=110|Height=30|TabIndex=11|"
            "Text=Tol\rvane|TextSize=12|Enabled=0|Visible=0"}},
        {kLabelKeys, {kControl, kLabel, "Name=StaticText5|Left=170|Top=22|Width=334|Height=84|TabIndex=12|"
            "Text=Tol\rvane|TextSize=36|Bold=1"}},
        {kCanvasKeys, {kControl, kCanvas, "Name=Canvas1|Left=15|Top=18|Width=132|Height=133|TabIndex=13"}},
        {kLabelKeys, {kControl, kLabel, "Name=StaticText1|Left=112|Top=265|Width=80|Height=31|TabIndex=14|"
            "Text=Reliability\rof first test|TextSize=12|Enabled=0"}},
        {kFieldKeys, {kControl, kField, "Name=RxxFld|Left=112|Top=241|Width=80|Height=22|TabIndex=15"}},
        {kLabelKeys, {kControl, kLabel, "Name=StaticText2|Left=235|Top=265|Width=80|Height=31|TabIndex=16|"
            "Text=Reliability of\rsecond test|TextSize=12|Enabled=0"}},
        {kFieldKeys, {kControl, kField, "Name=RyyFld|Left=235|Top=241|Width=80|Height=22|TabIndex=17"}},
        {kLabelKeys, {kControl, kLabel, "Name=StaticText3|Left=352|Top=265|Width=92|Height=31|TabIndex=18|"
            "Text=Correlation\rbetween tests|TextSize=12|Enabled=0"}},
        {kFieldKeys, {kControl, kField, "Name=RxyFld|Left=358|Top=241|Width=80|Height=22|TabIndex=19"}},
        {kLabelKeys, {kControl, kLabel, "Name=StaticText6|Left=261|Top=110|Width=161|Height=20|TabIndex=20|"
            "Text=\u00A9 2026 Tembrisk \u00B7 v1.0|TextSize=11|TextAlign=0|Multiline=0"}},
        {kCanvasKeys, {kControl, kCanvas, "Name=Help|Left=235|Top=410|Width=72|Height=70|TabIndex=21"}},
        {kSeparatorKeys, {kControl, "Name=Separator1|Left=179|Top=108|Width=325|Height=4|TabIndex=22"}},
        {kCanvasKeys, {kControl, kCanvas, "Name=ComputeCanvas|Left=20|Top=442|Width=106|Height=38|TabIndex=23"}},
        {kCanvasKeys, {kControl, kCanvas, "Name=ClearCanvas|Left=424|Top=441|Width=106|Height=39|TabIndex=24"}},
    };
    const std::pair<const char*, std::vector<const char*>> about[] = {
        {kCanvasKeys, {kControl, kCanvas, "Name=Canvas2|Left=224|Top=128|Width=145|Height=27|TabIndex=1|Enabled=0|"
            "UseFocusRing=0"}},
        {kLabelKeys, {kControl, kLabel, "Name=StaticText1|Left=165|Top=54|Width=262|Height=67|TabIndex=2|"
            "Text=Tol\rvane|TextSize=28|Bold=1"}},
        {kLabelKeys, {kControl, kLabel, "Name=StaticText2|Left=14|Top=167|Width=144|Height=26|TabIndex=3|"
            "Text=Difference score\rreliability, v1.0|TextSize=10"}},
        {kCanvasKeys, {kControl, kCanvas, "Name=Canvas1|Left=20|Top=37|Width=133|Height=129|TabIndex=4"}},
    };
    auto add = [&t](const auto& tables, const auto& expected) {
        EXPECT_EQ(tables.size(), std::size(expected));
        for (std::size_t i = 0; i < std::min(tables.size(), std::size(expected)); ++i)
            t.emplace_back(tables[i].second, Expected(expected[i].first, expected[i].second));
    };
    add(ControlWnd::ControlTables(), calc);
    add(AboutWnd::ControlTables(), about);
    return t;
}

}  // namespace

// Every system table, decoded here on its own, against the values each window is built with.
TEST(Settings, SystemTablesHoldTheirValuesInTheirKeyOrder)
{
    for (const auto& [table, expected] : ExpectedTables()) {
        const QStringList entries = Decode(table);
        SCOPED_TRACE(entries.value(0).toStdString());
        ASSERT_EQ(entries.size(), expected.size());
        for (qsizetype i = 0; i < entries.size(); ++i)
            EXPECT_EQ(entries[i], expected[i]) << "entry " << i + 1;
    }
}

TEST(Settings, KeysMatchInAnyCaseAndBrokenTablesAreRefused)
{
    Recorder r;
    ApplyExact(r, fw::SettingsTable().String("NAME", "RdFld").Boolean("visible", false).Int32("wIdTh", 2).Bytes());
    EXPECT_EQ(r.log, QStringList({"Name=RdFld", "Visible=0", "Width=2"}));

    const std::string visible = "Visible " + Bytes({1});  // a good 9-byte entry to start with
    struct Case {
        std::string table, key;
        std::size_t offset;
    };
    const Case cases[] = {
        {visible + "Width " + Bytes({0, 0, 2}), "Width", 15},
        {"Name " + Bytes({0, 0, 0, 5}) + "RdF", "Name", 9},
        {"Width" + Bytes({0, 0, 2, 0x26}), "Width", 5},
        {visible + "Colour " + Bytes({1, 2, 3}), "Colour", 9},
        {"Name " + Bytes({0xFF, 0xFF, 0xFF, 0xFB}) + "RdFld", "Name", 5},
        {visible + "Visible " + Bytes({2}), "Visible", 17},
        {visible + "Visible ", "Visible", 17},
        {visible + " " + Bytes({1}), "", 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        try {
            ApplyExact(r, c.table);
            ADD_FAILURE() << "accepted";
        } catch (const fw::SettingsError& e) {
            EXPECT_EQ(e.Key(), c.key);
            EXPECT_EQ(e.Offset(), c.offset);
        }
    }
}

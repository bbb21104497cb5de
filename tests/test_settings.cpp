// Settings tables: encoder bytes, the system's own tables, decoding, broken tables refused.
#include "ControlWnd.h"
#include "HelpWnd.h"
#include "Properties.h"
#include "TestSupport.h"

#include <QMainWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

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

}  // namespace

TEST(Settings, EncoderWritesTheDocumentedBytes)
{
    using T = fw::SettingsTable;
    const std::pair<std::string, std::string> cases[] = {
        {T().Int32("Width", 550).Bytes(), Bytes({0x57, 0x69, 0x64, 0x74, 0x68, 0x20, 0, 0, 0x02, 0x26})},
        {T().String("Name", "RdFld").Bytes(), "Name " + Bytes({0, 0, 0, 5}) + "RdFld"},
        {T().ColorRgb("BackColor", 0xFFFFFF).Bytes(), "BackColor " + Bytes({0xFF, 0xFF, 0xFF})},
        {T().Boolean("Visible", true).Bytes(), "Visible " + Bytes({1})},
        {T().String("HelpTag", "").Boolean("Enabled", false).Bytes(),
         "HelpTag " + Bytes({0, 0, 0, 0}) + "Enabled " + Bytes({0})},
    };
    for (const auto& [encoded, want] : cases)
        EXPECT_EQ(encoded, want);
}

TEST(Settings, SystemTablesHaveTheirSize)
{
    const auto& tables = ControlWnd::ControlTables();
    const auto sep = std::find_if(tables.begin(), tables.end(), [](const auto& t) { return t.first == "Separator1"; });
    ASSERT_NE(sep, tables.end());
    EXPECT_EQ(sep->second.size(), 213u);
    const std::string& help = helpWnd::EditField1Table();
    EXPECT_EQ(help.size(), 2457u);
    EXPECT_NE(help.find("Text " + Bytes({0, 0, 0x07, 0xAA})), std::string::npos);  // 1,962 bytes
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

TEST(Settings, ContentAreaSitsUnderTheMenuBar)
{
    auto& calc = ControlWnd();
    Settle();
    const QWidget* bar = calc.Frame()->menuWidget();
    ASSERT_NE(bar, nullptr);
    EXPECT_GT(bar->height(), 0);
    EXPECT_EQ(calc.Content()->size(), QSize(550, 500));
    EXPECT_GE(calc.Content()->y(), bar->height());
    EXPECT_EQ(calc.Frame()->size(), QSize(550, 500 + bar->height()));
}

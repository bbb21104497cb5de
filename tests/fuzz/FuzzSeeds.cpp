#include "FuzzTargets.h"

#include "AboutWnd.h"
#include "ControlWnd.h"
#include "HelpWnd.h"
#include "InvisibleWnd.h"

#include <QString>

#include <stdexcept>

namespace {

// The selector of the control's class, read off the control the window
// really built under that name.
char SelectorOf(const fw::Window& w, const QString& name)
{
    const fw::Control* c = w.ControlByName(name);
    SettingsTarget t = SettingsTarget::Separator;
    if (dynamic_cast<const fw::EditField*>(c))
        t = SettingsTarget::EditField;
    else if (dynamic_cast<const fw::StaticText*>(c))
        t = SettingsTarget::StaticText;
    else if (dynamic_cast<const fw::Canvas*>(c))
        t = SettingsTarget::Canvas;
    else if (!dynamic_cast<const fw::Separator*>(c))
        throw std::logic_error("the window has no control " + name.toStdString() + " of a known class");
    return static_cast<char>(t);
}

void AddControls(std::vector<std::pair<std::string, std::string>>& out, const char* window, const fw::Window& w,
                 const std::vector<std::pair<QString, std::string>>& tables)
{
    for (const auto& [name, table] : tables)
        out.emplace_back(std::string(window) + "." + name.toStdString(), SelectorOf(w, name) + table);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ProgramSettingsSeeds()
{
    const char window = static_cast<char>(SettingsTarget::Window);
    std::vector<std::pair<std::string, std::string>> out;
    out.emplace_back("ControlWnd.window", window + ControlWnd::WindowTable());
    AddControls(out, "ControlWnd", ::ControlWnd(), ControlWnd::ControlTables());
    out.emplace_back("AboutWnd.window", window + AboutWnd::WindowTable());
    AddControls(out, "AboutWnd", ::AboutWnd(), AboutWnd::ControlTables());
    out.emplace_back("helpWnd.window", window + helpWnd::WindowTable());
    const char* field = "EditField1";
    out.emplace_back(std::string("helpWnd.") + field, SelectorOf(::helpWnd(), field) + helpWnd::EditField1Table());
    // Not built: its Open runs the splash.
    out.emplace_back("InvisibleWnd.window", window + InvisibleWnd::WindowTable());
    return out;
}

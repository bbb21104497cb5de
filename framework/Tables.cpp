#include "Tables.h"

#include "Properties.h"

namespace fw {

namespace {

// Name, Index, geometry, locks, TabPanelIndex, TabIndex: the head of every control's table.
void Head(SettingsTable& t, const ControlSettings& c)
{
    t.String("Name", c.name)
        .Int32("Index", c.index)
        .Int32("Left", c.left)
        .Int32("Top", c.top)
        .Int32("Width", c.width)
        .Int32("Height", c.height)
        .Boolean("LockLeft", c.lockLeft)
        .Boolean("LockTop", c.lockTop)
        .Boolean("LockRight", c.lockRight)
        .Boolean("LockBottom", c.lockBottom)
        .Int32("TabPanelIndex", c.tabPanelIndex)
        .Int32("TabIndex", c.tabIndex);
}

void Font(SettingsTable& t, const TextSettings& s)
{
    t.String("TextFont", s.textFont)
        .Int32("TextSize", s.textSize)
        .Boolean("Bold", s.bold)
        .Boolean("Italic", s.italic)
        .Boolean("Underline", s.underline);
}

}  // namespace

std::string WindowSettings::Encode() const
{
    SettingsTable t;
    t.Int32("Placement", placement)
        .Int32("Width", width)
        .Int32("Height", height)
        .Int32("MinWidth", minWidth)
        .Int32("MinHeight", minHeight)
        .Int32("MaxWidth", maxWidth)
        .Int32("MaxHeight", maxHeight)
        .Int32("Frame", frame)
        .Boolean("Composite", composite)
        .Boolean("HasBackColor", hasBackColor)
        .ColorRgb("BackColor", backColor)
        .String("Title", title)
        .Boolean("Visible", visible)
        .Boolean("FullScreen", fullScreen)
        .Boolean("MenuBarVisible", menuBarVisible)
        .Boolean("CloseButton", closeButton)
        .Boolean("Resizeable", resizeable)
        .Boolean("LiveResize", liveResize)
        .Boolean("MaximizeButton", maximizeButton)
        .Boolean("MinimizeButton", minimizeButton)
        .Int32("MacProcID", macProcId);
    return t.Bytes();
}

std::string EditFieldSettings::Encode() const
{
    SettingsTable t;
    Head(t, *this);
    t.Boolean("TabStop", tabStop)
        .Boolean("Border", border)
        .Boolean("Multiline", multiline)
        .Boolean("ScrollbarHorizontal", scrollbarHorizontal)
        .Boolean("ScrollbarVertical", scrollbarVertical)
        .Boolean("Styled", styled)
        .Boolean("Password", password)
        .Boolean("UseFocusRing", useFocusRing)
        .ColorRgb("TextColor", textColor)
        .ColorRgb("BackColor", backColor)
        .Boolean("Enabled", enabled)
        .String("Format", format)
        .Boolean("Visible", visible)
        .String("HelpTag", helpTag)
        .Boolean("AutoDeactivate", autoDeactivate);
    Font(t, *this);
    t.String("Text", text)
        .String("Mask", mask)
        .Boolean("ReadOnly", readOnly)
        .Int32("LimitText", limitText)
        .Boolean("AcceptTabs", acceptTabs)
        .Int32("Alignment", alignment)
        .String("DataSource", dataSource)
        .String("DataField", dataField)
        .String("InitialParent", initialParent);
    return t.Bytes();
}

std::string StaticTextSettings::Encode() const
{
    SettingsTable t;
    Head(t, *this);
    t.String("Text", text)
        .Int32("TextAlign", textAlign)
        .ColorRgb("TextColor", textColor)
        .Boolean("Multiline", multiline)
        .Boolean("Enabled", enabled)
        .Boolean("Visible", visible)
        .String("HelpTag", helpTag)
        .Boolean("AutoDeactivate", autoDeactivate);
    Font(t, *this);
    t.String("DataSource", dataSource).String("DataField", dataField).String("InitialParent", initialParent);
    return t.Bytes();
}

std::string CanvasSettings::Encode() const
{
    SettingsTable t;
    Head(t, *this);
    t.Boolean("TabStop", tabStop)
        .Boolean("Visible", visible)
        .String("HelpTag", helpTag)
        .Boolean("AutoDeactivate", autoDeactivate)
        .Boolean("Enabled", enabled)
        .Boolean("UseFocusRing", useFocusRing)
        .Boolean("AcceptFocus", acceptFocus)
        .Boolean("AcceptTabs", acceptTabs)
        .Boolean("EraseBackground", eraseBackground)
        .String("InitialParent", initialParent);
    return t.Bytes();
}

std::string SeparatorSettings::Encode() const
{
    SettingsTable t;
    Head(t, *this);
    t.Boolean("TabStop", tabStop)
        .String("InitialParent", initialParent)
        .Boolean("Visible", visible)
        .String("HelpTag", helpTag)
        .Boolean("AutoDeactivate", autoDeactivate)
        .Boolean("Enabled", enabled);
    return t.Bytes();
}

}  // namespace fw

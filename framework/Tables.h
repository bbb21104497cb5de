#pragma once
// Readable forms of the settings tables of each class. Encode() writes every
// key of the class, in the class's order, so a table always holds the whole
// set: 21 entries for a window, 41 for an EditField, 28 for a StaticText,
// 22 for a Canvas and 18 for a Separator.

#include <cstdint>
#include <string>

namespace fw {

inline constexpr std::int32_t kNoIndex = INT32_MIN;

struct WindowSettings {
    std::int32_t placement = 0, width = 300, height = 300, minWidth = 64, minHeight = 64;
    std::int32_t maxWidth = 32000, maxHeight = 32000, frame = 0;
    bool composite = false, hasBackColor = false;
    std::uint32_t backColor = 0xFFFFFF;
    std::string title;
    bool visible = true, fullScreen = false, menuBarVisible = true, closeButton = true;
    bool resizeable = true, liveResize = false, maximizeButton = true, minimizeButton = true;
    std::int32_t macProcId = 0;
    std::string Encode() const;
};

// Keys every control carries.
struct ControlSettings {
    std::string name;
    std::int32_t index = kNoIndex, left = 0, top = 0, width = 100, height = 100;
    bool lockLeft = false, lockTop = false, lockRight = false, lockBottom = false;
    std::int32_t tabPanelIndex = 0, tabIndex = 0;
    bool tabStop = true, enabled = true, visible = true, autoDeactivate = true;
    std::string helpTag, initialParent;
};

struct TextSettings {
    std::string textFont = "System";
    std::int32_t textSize = 0;
    bool bold = false, italic = false, underline = false;
    std::string dataSource, dataField;
};

struct EditFieldSettings : ControlSettings, TextSettings {
    bool border = true, multiline = false, scrollbarHorizontal = false, scrollbarVertical = false;
    bool styled = true, password = false, useFocusRing = true;
    std::uint32_t textColor = 0x000000, backColor = 0xFFFFFF;
    std::string format, text, mask;
    bool readOnly = false;
    std::int32_t limitText = 0;
    bool acceptTabs = false;
    std::int32_t alignment = 0;
    std::string Encode() const;
};

struct StaticTextSettings : ControlSettings, TextSettings {
    std::string text;
    std::int32_t textAlign = 0;
    std::uint32_t textColor = 0x000000;
    bool multiline = false;
    std::string Encode() const;
};

struct CanvasSettings : ControlSettings {
    bool useFocusRing = true, acceptFocus = false, acceptTabs = false, eraseBackground = true;
    std::string Encode() const;
};

struct SeparatorSettings : ControlSettings {
    std::string Encode() const;
};

// A control's settings with its name, place and tab order filled in.
template <class S>
S Placed(const char* name, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
         std::int32_t tabIndex)
{
    S s;
    s.name = name;
    s.left = left;
    s.top = top;
    s.width = width;
    s.height = height;
    s.tabIndex = tabIndex;
    return s;
}

}  // namespace fw

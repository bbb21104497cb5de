#include "InvisibleWnd.h"

#include "AboutWnd.h"
#include "ControlWnd.h"
#include "Runtime.h"
#include "Tables.h"

#include <algorithm>
#include <cstdint>

InvisibleWnd::InvisibleWnd(fw::RuntimeNew) : fw::Window(Lookup()) {}

const fw::ClassRecord& InvisibleWnd::Lookup()
{
    static const fw::ClassRecord record = [] {
        fw::ClassRecordBuilder<class InvisibleWnd> b("InvisibleWnd");
        b.Operation("Layout").Operation("CreateControls").Operation("Event_Open");
        b.Handles("Layout", "Layout", &InvisibleWnd::Layout)
            .Handles("CreateControls", "CreateControls", &InvisibleWnd::CreateControls)
            .Handles("Open", "Event_Open", &InvisibleWnd::Event_Open);
        return b.Build();
    }();
    return record;
}

const std::string& InvisibleWnd::WindowTable()
{
    static const std::string table = [] {
        fw::WindowSettings s;
        s.width = 213;
        s.height = 114;
        s.maxWidth = 200;
        s.maxHeight = 200;
        s.frame = 1;
        s.title = "Untitled";
        s.visible = false;
        s.closeButton = false;
        s.resizeable = false;
        s.maximizeButton = false;
        return s.Encode();
    }();
    return table;
}

void InvisibleWnd::Layout()
{
    fw::SetProperties(*this, WindowTable());
}

void InvisibleWnd::CreateControls() {}

std::int32_t SplashSeconds()
{
    return fw::RuntimeCvtReal64ToSInt32(fw::RuntimeCvtSInt32ToReal64(fw::Ticks()) / 60.0);
}

void InvisibleWnd::Event_Open()
{
    ::AboutWnd().Show();
    const std::int32_t start = SplashSeconds();
    // Whole seconds, so the wait ends once the count has moved on by three.
    // Summed pass by pass rather than now - start: when the tick counter
    // wraps, the count jumps back some 71 million seconds and might never
    // reach start + 3 again; that pass counts as none and the wait goes on.
    std::int32_t last = start;
    std::int64_t elapsed = 0;
    for (;;) {
        const std::int32_t now = SplashSeconds();
        fw::RuntimeBackgroundTask();
        if (now > last)
            elapsed += std::int64_t{now} - last;
        last = now;
        const auto seconds = static_cast<std::int32_t>(std::min<std::int64_t>(elapsed, INT32_MAX));
        if (fw::RuntimeCvtSInt32ToReal64(seconds) > 2.75)
            break;
    }
    ::AboutWnd().Hide();
    ::InvisibleWnd().Hide();
    ::ControlWnd().Show();
}

class InvisibleWnd& InvisibleWnd()
{
    return fw::ImplicitInstance<class InvisibleWnd>();
}

#include "WindowTitle.h"

#include <QGuiApplication>
#include <QWidget>

// Only where both Qt and this build have X11 (xcb) in them.
#if defined(TOLVANE_HAVE_XCB) && QT_CONFIG(xcb)
#define TOLVANE_X11_TITLES
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#endif

namespace fw {

#ifdef TOLVANE_X11_TITLES
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

}  // namespace
#endif

void ShowEmptyTitle(QWidget& window)
{
    if (!window.isWindow() || !window.windowTitle().isEmpty() || !window.testAttribute(Qt::WA_WState_Created))
        return;
#ifdef TOLVANE_X11_TITLES
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t* connection = x11->connection();
    static const xcb_atom_t netWmName = Atom(connection, "_NET_WM_NAME");
    static const xcb_atom_t utf8 = Atom(connection, "UTF8_STRING");
    if (netWmName == XCB_ATOM_NONE || utf8 == XCB_ATOM_NONE)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, netWmName, utf8, 8, 0, nullptr);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(connection);
#endif
}

}  // namespace fw

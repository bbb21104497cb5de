#include "ModalInView.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#if defined(TOLVANE_HAVE_XCB) && QT_CONFIG(xcb)
#define TOLVANE_X11_EVENTS
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#endif

namespace fw {

#ifdef TOLVANE_X11_EVENTS
namespace {

// Qt takes the pointer through the X input extension: a press comes as its
// generic event, which names the window at the same place as the core one.
xcb_window_t PressedWindow(const xcb_ge_generic_event_t& event)
{
    static const int opcode = [] {
        const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
        if (!connection)
            return -1;
        static constexpr char kName[] = "XInputExtension";
        const auto cookie = xcb_query_extension(connection, sizeof kName - 1, kName);
        xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookie, nullptr);
        const int code = reply && reply->present ? reply->major_opcode : -1;
        std::free(reply);
        return code;
    }();
    constexpr std::uint16_t kButtonPress = 4;
    if (opcode < 0 || event.extension != opcode || event.event_type != kButtonPress)
        return XCB_WINDOW_NONE;
    // Time, button and root come first; the window follows, as in the core press.
    xcb_window_t window = XCB_WINDOW_NONE;
    std::memcpy(&window, reinterpret_cast<const char*>(&event) + 24, sizeof window);
    return window;
}

}  // namespace
#endif

class KeepModalInView::Watch : public QObject, public QAbstractNativeEventFilter {
public:
    explicit Watch(QWidget& box) : box_(&box)
    {
        // Where the platform lets a blocked window become the focus window.
        connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
            if (Blocked(now))
                SoonBringBack();
        });
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~Watch() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    // On X11 the window manager's focus and the press arrive here before Qt
    // drops them for a blocked window (or passes the focus on to a box that
    // is not on screen, which then stays where it is).
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
#ifdef TOLVANE_X11_EVENTS
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        xcb_window_t target = XCB_WINDOW_NONE;
        switch (event->response_type & 0x7f) {
        case XCB_FOCUS_IN:
            target = reinterpret_cast<const xcb_focus_in_event_t*>(event)->event;
            break;
        case XCB_BUTTON_PRESS:
            target = reinterpret_cast<const xcb_button_press_event_t*>(event)->event;
            break;
        case XCB_GE_GENERIC:
            target = PressedWindow(*reinterpret_cast<const xcb_ge_generic_event_t*>(event));
            break;
        default:
            return false;
        }
        for (QWindow* w : QGuiApplication::topLevelWindows())
            if (w->handle() && w->winId() == target && Blocked(w))
                SoonBringBack();
#else
        Q_UNUSED(type);
        Q_UNUSED(message);
#endif
        return false;
    }

private:
    // A window of ours that the box stands in front of: any other top-level
    // window while the box is the program's modal window.
    bool Blocked(const QWindow* w) const
    {
        if (!w || !box_ || !box_->isVisible())
            return false;
        const QWindow* boxWindow = box_->windowHandle();
        const Qt::WindowType kind = w->type();
        return w != boxWindow && QGuiApplication::modalWindow() == boxWindow &&
               (kind == Qt::Window || kind == Qt::Dialog);
    }

    // Once Qt has taken in what the window system told it before this (a
    // window just minimised is not known to be so yet).
    void SoonBringBack()
    {
        QTimer::singleShot(0, this, [this] {
            if (box_ && box_->isVisible())
                BringBack();
        });
    }

    void BringBack()
    {
        QWidget* owner = box_->parentWidget() ? box_->parentWidget()->window() : nullptr;
        if (owner && owner->isMinimized())
            owner->showNormal();
        if (box_->isMinimized())
            box_->showNormal();
        box_->raise();
        box_->activateWindow();
    }

    QPointer<QWidget> box_;
};

KeepModalInView::KeepModalInView(QWidget& box) : watch_(std::make_unique<Watch>(box)) {}
KeepModalInView::~KeepModalInView() = default;

}  // namespace fw

#include "Window.h"

#include "Keys.h"
#include "Menu.h"
#include "Runtime.h"
#include "WindowTitle.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

namespace fw {

const std::array<const char*, 47> kWindowOperations = {
    "Show", "ShowWithin", "ShowModalWithin", "Hide", "Close", "Refresh", "RefreshRect", "ShowModal",
    "NewDragItem", "AcceptTextDrop", "AcceptPictureDrop", "AcceptFileDrop", "AcceptMacDataDrop",
    "AcceptRawDataDrop", "Control", "SetFocus", "DrawInto", "_DrawBackground", "UpdateNow", "_AddControl",
    "_AddMenuHandler", "Window", "Operator_Convert", "__New", "_Move", "Maximize", "Minimize", "Restore",
    "_Update", "_CallMoved", "_EnableMenuItems", "_CallActivated", "_CallDeactivated", "_HandleMenuCommand",
    "_UnifiedClose", "_CallMouseDown", "_CallResized", "_CallResizing", "_RemoveControl", "_MouseEnter",
    "_MouseExit", "_MouseMove", "_Paint", "_MouseWheel", "_KeyDown", "__DependencyList", "Constructor"};

const ClassRecord::VoidEvent* ClassRecord::Event(std::string_view name) const
{
    auto it = voidEvents.find(name);
    return it == voidEvents.end() ? nullptr : &it->second;
}

// --- registry -------------------------------------------------------------

namespace {

struct Registry {
    std::vector<std::unique_ptr<Window>> live;
    std::vector<std::unique_ptr<Window>> closed;  // destroyed once no handler runs
    std::map<std::string, Window*, std::less<>> implicit;
};

Registry& Reg()
{
    static Registry r;
    return r;
}

void Unregister(Window& w)
{
    auto& implicit = Reg().implicit;
    auto it = implicit.find(w.Record().fullName);
    if (it != implicit.end() && it->second == &w)
        implicit.erase(it);
}

void Bury(Window& w)
{
    Registry& r = Reg();
    Unregister(w);
    auto it = std::find_if(r.live.begin(), r.live.end(), [&](const auto& p) { return p.get() == &w; });
    if (it == r.live.end())
        return;
    r.closed.push_back(std::move(*it));
    r.live.erase(it);
    WhenIdle([] { Reg().closed.clear(); });
}

}  // namespace

Window* GetImplicitWindow(std::string_view fullName)
{
    auto& implicit = Reg().implicit;
    auto it = implicit.find(fullName);
    return it == implicit.end() ? nullptr : it->second;
}

std::vector<Window*> LiveWindows()
{
    std::vector<Window*> out;
    for (auto& w : Reg().live)
        out.push_back(w.get());
    return out;
}

Window& AdoptWindow(std::unique_ptr<Window> window)
{
    Window& ref = *window;
    Reg().live.push_back(std::move(window));
    return ref;
}

void DiscardWindow(Window& window)
{
    window.Hide();
    Bury(window);
}

void DestroyAllWindows()
{
    Registry& r = Reg();
    r.implicit.clear();
    // Destroyed newest first, so nothing outlives what it was built from.
    while (!r.live.empty())
        r.live.pop_back();
    r.closed.clear();
}

// --- Qt side --------------------------------------------------------------

class Window::FrameWidget : public QMainWindow {
public:
    explicit FrameWidget(Window& owner) : owner_(&owner) { setAttribute(Qt::WA_QuitOnClose, false); }
    void Detach() { owner_ = nullptr; }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        e->accept();
        if (owner_)
            owner_->UserClosed();
    }
    // Ahead of Qt's own use of a key (Tab moving the focus), and after the
    // focused control has left it unused.
    bool event(QEvent* e) override
    {
        QString key;
        if (e->type() == QEvent::KeyPress && owner_ && WindowKeyText(*static_cast<QKeyEvent*>(e), key) &&
            owner_->FireKeyDown(key))
            return true;
        const bool done = QMainWindow::event(e);
        // Qt has just given the window system the title (or a made-up one).
        if (e->type() == QEvent::WinIdChange || e->type() == QEvent::WindowTitleChange)
            ShowEmptyTitle(*this);
        return done;
    }

private:
    Window* owner_;
};

class Window::ContentWidget : public QWidget {
public:
    ContentWidget(Window& owner, QWidget* parent) : QWidget(parent), owner_(&owner) {}
    void Detach() { owner_ = nullptr; }

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        const QPoint at = e->position().toPoint();
        if (!owner_ || !owner_->FireMouseDown(at.x(), at.y()))
            e->ignore();
    }

private:
    Window* owner_;
};

// --- Window ---------------------------------------------------------------

Window::Window(const ClassRecord& record)
    : record_(record), frameWidget_(new FrameWidget(*this)), content_(new ContentWidget(*this, frameWidget_))
{
    frameWidget_->setCentralWidget(content_);
}

Window::~Window()
{
    frameWidget_->Detach();
    content_->Detach();
    // Controls go before the widgets they draw into.
    byName_.clear();
    controls_.clear();
    menuView_.reset();
    delete frameWidget_;
}

const PropertyClass& Window::Class()
{
    static const PropertyClass cls = [] {
        PropertyClass c("Window", nullptr);
        c.Int32<Window>("Placement", [](Window& o, std::int32_t v) { o.placement_ = v; });
        c.Int32<Window>("Width", [](Window& o, std::int32_t v) { o.width_ = v; });
        c.Int32<Window>("Height", [](Window& o, std::int32_t v) { o.height_ = v; });
        c.Int32<Window>("MinWidth", [](Window& o, std::int32_t v) { o.minWidth_ = v; });
        c.Int32<Window>("MinHeight", [](Window& o, std::int32_t v) { o.minHeight_ = v; });
        c.Int32<Window>("MaxWidth", [](Window& o, std::int32_t v) { o.maxWidth_ = v; });
        c.Int32<Window>("MaxHeight", [](Window& o, std::int32_t v) { o.maxHeight_ = v; });
        c.Int32<Window>("Frame", [](Window& o, std::int32_t v) { o.frame_ = v; });
        c.Boolean<Window>("Composite", [](Window& o, bool v) { o.composite_ = v; });
        c.Boolean<Window>("HasBackColor", [](Window& o, bool v) { o.hasBackColor_ = v; });
        c.ColorProp<Window>("BackColor", [](Window& o, Color v) { o.backColor_ = v; });
        c.String<Window>("Title", [](Window& o, const QString& v) { o.title_ = v; });
        c.Boolean<Window>("Visible", [](Window& o, bool v) { o.visible_ = v; });
        c.Boolean<Window>("FullScreen", [](Window& o, bool v) { o.fullScreen_ = v; });
        c.Boolean<Window>("MenuBarVisible", [](Window& o, bool v) { o.menuBarVisible_ = v; });
        c.Boolean<Window>("CloseButton", [](Window& o, bool v) { o.closeButton_ = v; });
        c.Boolean<Window>("Resizeable", [](Window& o, bool v) { o.resizeable_ = v; });
        c.Boolean<Window>("LiveResize", [](Window& o, bool v) { o.liveResize_ = v; });
        c.Boolean<Window>("MaximizeButton", [](Window& o, bool v) { o.maximizeButton_ = v; });
        c.Boolean<Window>("MinimizeButton", [](Window& o, bool v) { o.minimizeButton_ = v; });
        c.Int32<Window>("MacProcId", [](Window& o, std::int32_t v) { o.macProcId_ = v; });
        return c;
    }();
    return cls;
}

QMainWindow* Window::Frame() const
{
    return frameWidget_;
}

QWidget* Window::Content() const
{
    return content_;
}

void Window::PropertiesApplied()
{
    Realize();
}

void Window::Realize()
{
    Qt::WindowFlags flags = (frame_ == 1 || frame_ == 2) ? Qt::Dialog : Qt::Window;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closeButton_)
        flags |= Qt::WindowCloseButtonHint;
    if (minimizeButton_)
        flags |= Qt::WindowMinimizeButtonHint;
    if (maximizeButton_ && resizeable_)
        flags |= Qt::WindowMaximizeButtonHint;
    // Qt adds the system menu hint to a customised frame with buttons; asking
    // for it too keeps a repeated table from re-creating (and hiding) the window.
    if (flags & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint))
        flags |= Qt::WindowSystemMenuHint;
    if (frameWidget_->windowFlags() != flags)
        frameWidget_->setWindowFlags(flags);
    frameWidget_->setWindowTitle(title_);

    if (hasBackColor_) {
        QPalette pal = content_->palette();
        pal.setColor(QPalette::Window, QColor(backColor_.r, backColor_.g, backColor_.b));
        content_->setPalette(pal);
        content_->setAutoFillBackground(true);
    }

    // Width and Height are the content area; a menu bar goes above it.
    // Qt holds no widget larger than QWIDGETSIZE_MAX, and reads a minimum of
    // exactly that as no minimum at all.
    const auto extent = [](std::int32_t v, int least) { return std::clamp<int>(v, least, QWIDGETSIZE_MAX - 1); };
    const int w = extent(width_, 1), h = extent(height_, 1);
    if (resizeable_) {
        const int minW = extent(minWidth_, 0), minH = extent(minHeight_, 0);
        content_->setMinimumSize(minW, minH);
        content_->setMaximumSize(extent(maxWidth_, minW), extent(maxHeight_, minH));
        frameWidget_->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
        const QSize within = QSize(w, h).expandedTo(content_->minimumSize()).boundedTo(content_->maximumSize());
        const int barHeight = frameWidget_->menuWidget() ? frameWidget_->menuWidget()->sizeHint().height() : 0;
        frameWidget_->resize(within.width(), within.height() + barHeight);
    } else {
        content_->setFixedSize(w, h);
        frameWidget_->layout()->setSizeConstraint(QLayout::SetFixedSize);
    }
}

void Window::MenuBar(std::shared_ptr<fw::MenuBar> bar)
{
    menuBar_ = std::move(bar);
    menuView_.reset();
    if (menuBar_)
        menuView_ = std::make_unique<MenuView>(*frameWidget_, menuBar_, true);
}

void Window::Constructor()
{
    if (const auto* layout = record_.Event("Layout"))
        (*layout)(*this);
    if (const auto* create = record_.Event("CreateControls"))
        (*create)(*this);
    ApplyTabOrder();
    // A window without a bar of its own still answers the application's
    // shortcuts (Quit, the editing keys), as it would under a global bar.
    if (!menuBar_ && App() && App()->MenuBar())
        menuView_ = std::make_unique<MenuView>(*frameWidget_, App()->MenuBar(), false);
    constructed_ = true;
    Reg().implicit[record_.fullName] = this;
    if (visible_)
        Show();
    if (const auto* open = record_.Event("Open")) {
        HandlerScope scope;
        (*open)(*this);
    }
}

void Window::ApplyTabOrder()
{
    std::vector<RectControl*> order;
    for (const auto& c : controls_) {
        auto* rc = dynamic_cast<RectControl*>(c.get());
        if (rc && rc->FocusWidget() && rc->TabStop())
            order.push_back(rc);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const RectControl* a, const RectControl* b) { return a->TabIndex() < b->TabIndex(); });
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->FocusWidget(), order[i]->FocusWidget());
}

void Window::PlaceOnScreen()
{
    if (placed_)
        return;
    placed_ = true;
    if (placement_ == 0)
        return;  // the desktop's own choice
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The layout gives the frame its size only when it is shown; ask for it now.
    frameWidget_->ensurePolished();
    if (QLayout* layout = frameWidget_->layout())
        layout->activate();
    // The window manager's decorations are known only once a window is on
    // screen: borrow them from one of ours that is, of the same kind if we can.
    QMargins decorations;
    int bestMatch = -1;
    for (Window* other : LiveWindows()) {
        const QWidget* f = other->frameWidget_;
        const int match = other->frame_ == frame_ ? 1 : 0;
        if (other == this || !f->isVisible() || match <= bestMatch)
            continue;
        const QRect outer = f->frameGeometry(), inner = f->geometry();
        decorations = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                               outer.right() - inner.right(), outer.bottom() - inner.bottom());
        bestMatch = match;
    }
    QRect frame = QRect(QPoint(0, 0), frameWidget_->size()).marginsAdded(decorations);
    frame.moveCenter(screen->availableGeometry().center());
    frameWidget_->move(frame.topLeft());  // a window not yet shown is placed by its frame's corner
}

void Window::Show()
{
    if (closed_ || Quitting())
        return;
    PlaceOnScreen();
    if (frameWidget_->isMinimized())
        frameWidget_->showNormal();
    else
        frameWidget_->show();
    frameWidget_->raise();
    frameWidget_->activateWindow();
}

void Window::Hide()
{
    frameWidget_->hide();
}

void Window::Close()
{
    frameWidget_->close();
}

bool Window::Visible() const
{
    return !closed_ && frameWidget_->isVisible();
}

void Window::AddControl(const QString& name, Control& control)
{
    byName_[name] = &control;
}

Control* Window::ControlByName(const QString& name) const
{
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

bool Window::FireKeyDown(const QString& key)
{
    if (!record_.keyDown || closed_)
        return false;
    auto handler = record_.keyDown;
    return Dispatch([&] { return handler(*this, key); }, frameWidget_);
}

bool Window::FireMouseDown(std::int32_t x, std::int32_t y)
{
    if (!record_.mouseDown || closed_)
        return false;
    auto handler = record_.mouseDown;
    return Dispatch([&] { return handler(*this, x, y); }, frameWidget_);
}

void Window::UserClosed()
{
    if (closed_)
        return;
    closed_ = true;
    Bury(*this);
    // With no global menu bar, the last window closed ends the program the
    // way Quit does; while the start-up is still running it does not.
    if (LoopRunning() && !Quitting()) {
        const auto live = LiveWindows();
        const bool anyVisible =
            std::any_of(live.begin(), live.end(), [](Window* w) { return w->Visible(); });
        if (!anyVisible)
            Quit();
    }
}

}  // namespace fw

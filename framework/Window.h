#pragma once
// Windows: the class record that describes a window class, the window
// registry that keeps one live window per class, construction through the
// class's Layout and CreateControls, controls reached by name, and the
// shared-instance accessor every window class offers.

#include "Controls.h"
#include "Exceptions.h"
#include "Properties.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QMainWindow;
class QWidget;

namespace fw {

class MenuBar;
class MenuView;
class Window;

// The operations every window class inherits, in their order.
extern const std::array<const char*, 47> kWindowOperations;

struct PublishedMember {
    std::string name;
    std::string signature;
    std::vector<std::pair<std::string, std::string>> attributes;
};

// What a window class tells the framework about itself. Built once per class.
struct ClassRecord {
    using VoidEvent = std::function<void(Window&)>;
    using KeyEvent = std::function<bool(Window&, const QString&)>;
    using MouseEvent = std::function<bool(Window&, std::int32_t, std::int32_t)>;

    std::string fullName;
    std::string parent = "Window";
    std::vector<std::string> operations;
    std::vector<std::pair<std::string, std::string>> eventBindings;  // event -> operation
    std::vector<PublishedMember> members;
    std::vector<std::pair<std::string, std::string>> attributes;

    std::map<std::string, VoidEvent, std::less<>> voidEvents;  // Layout, CreateControls, Open
    KeyEvent keyDown;
    MouseEvent mouseDown;

    const VoidEvent* Event(std::string_view name) const;
};

template <class W>
class ClassRecordBuilder {
public:
    explicit ClassRecordBuilder(std::string className)
    {
        rec_.fullName = className + "." + className;
        rec_.operations.assign(kWindowOperations.begin(), kWindowOperations.end());
        rec_.attributes.emplace_back("__Scope", "Public");
    }
    // One of the class's own operations, in order.
    ClassRecordBuilder& Operation(std::string name, std::string signature = "()", bool hidden = false)
    {
        rec_.operations.push_back(name);
        return Member(std::move(name), std::move(signature), hidden);
    }
    // A member published for introspection only (the controls).
    ClassRecordBuilder& Member(std::string name, std::string signature, bool hidden = false)
    {
        PublishedMember m{std::move(name), std::move(signature), {{"__Scope", "Public"}}};
        if (hidden)
            m.attributes.emplace_back("Hidden", "");
        rec_.members.push_back(std::move(m));
        return *this;
    }
    ClassRecordBuilder& Handles(const std::string& event, const std::string& operation, void (W::*method)())
    {
        if (event != "Layout" && event != "CreateControls" && event != "Open")
            throw std::invalid_argument("window event \"" + event + "\" takes other arguments");
        rec_.eventBindings.emplace_back(event, operation);
        rec_.voidEvents[event] = [method](Window& w) { (static_cast<W&>(w).*method)(); };
        return *this;
    }
    ClassRecordBuilder& Handles(const std::string& event, const std::string& operation,
                                bool (W::*method)(const QString&))
    {
        if (event != "KeyDown")
            throw std::invalid_argument("window event \"" + event + "\" takes other arguments");
        rec_.eventBindings.emplace_back(event, operation);
        rec_.keyDown = [method](Window& w, const QString& key) { return (static_cast<W&>(w).*method)(key); };
        return *this;
    }
    ClassRecordBuilder& Handles(const std::string& event, const std::string& operation,
                                bool (W::*method)(std::int32_t, std::int32_t))
    {
        if (event != "MouseDown")
            throw std::invalid_argument("window event \"" + event + "\" takes other arguments");
        rec_.eventBindings.emplace_back(event, operation);
        rec_.mouseDown = [method](Window& w, std::int32_t x, std::int32_t y) {
            return (static_cast<W&>(w).*method)(x, y);
        };
        return *this;
    }
    ClassRecord Build() { return std::move(rec_); }

private:
    ClassRecord rec_;
};

// Marks the construction of a window object by the framework's accessor.
struct RuntimeNew {};

class Window : public PropertyObject {
public:
    Window(const ClassRecord& record);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    static const PropertyClass& Class();
    const PropertyClass& Properties() const override { return Class(); }
    const ClassRecord& Record() const { return record_; }

    // Runs Layout and CreateControls, registers the window under its class's
    // full name, shows it when its settings say so, then runs Open.
    void Constructor();

    void Show();
    void Hide();
    void Close();
    bool Visible() const;
    bool Closed() const { return closed_; }

    std::shared_ptr<fw::MenuBar> MenuBar() const { return menuBar_; }
    void MenuBar(std::shared_ptr<fw::MenuBar> bar);

    // Control creation: a new control owned by the window, then registered
    // under its name. The lookup finds registered controls only.
    template <class T>
    T& New()
    {
        auto control = std::make_unique<T>(*this);
        T& ref = *control;
        controls_.push_back(std::move(control));
        return ref;
    }
    void AddControl(const QString& name, Control& control);
    Control* ControlByName(const QString& name) const;
    // The control of that name as its class; raises NilObjectException when
    // the window has none.
    template <class T>
    T& ControlNamed(const QString& name) const
    {
        Control* c = ControlByName(name);
        if (!c)
            RaiseNilObjectException("NilObjectException: window has no control named \"" + name.toStdString() +
                                    "\"");
        return *RuntimeCheckCast<T>(c);
    }
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

    // The creation steps a window class runs for each of its controls:
    // make it, construct it, register it under its name; a canvas's picture
    // goes first, then the settings; a handler is bound last.
    template <class T>
    T& CreateControl(const QString& name, std::string_view table)
    {
        Register<T>(name);
        SetProperties(ControlNamed<T>(name), table);
        return ControlNamed<T>(name);
    }
    Canvas& CreateCanvas(const QString& name, std::shared_ptr<Picture> backdrop, std::string_view table)
    {
        Register<Canvas>(name);
        ControlNamed<Canvas>(name).Backdrop(std::move(backdrop));
        SetProperties(ControlNamed<Canvas>(name), table);
        return ControlNamed<Canvas>(name);
    }
    void Bind(const QString& name, std::string_view eventName, Delegate delegate)
    {
        InstallInstanceEventHandler(ControlNamed<Control>(name), eventName, std::move(delegate));
    }

    // Window events as the framework delivers them.
    bool FireKeyDown(const QString& key);
    bool FireMouseDown(std::int32_t x, std::int32_t y);

    // The Qt side, for the framework and for tests.
    QMainWindow* Frame() const;
    QWidget* Content() const;

    // Settings as applied.
    const QString& Title() const { return title_; }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t MinWidth() const { return minWidth_; }
    std::int32_t MaxWidth() const { return maxWidth_; }
    std::int32_t Placement() const { return placement_; }
    std::int32_t FrameKind() const { return frame_; }
    bool Resizeable() const { return resizeable_; }
    bool CloseButton() const { return closeButton_; }
    bool MinimizeButton() const { return minimizeButton_; }
    bool MaximizeButton() const { return maximizeButton_; }

    // Called by the frame when the user closes the window.
    void UserClosed();

protected:
    void PropertiesApplied() override;

private:
    template <class T>
    void Register(const QString& name)
    {
        T& control = New<T>();
        control.Constructor();
        AddControl(name, control);
    }

    class FrameWidget;
    class ContentWidget;
    void Realize();
    void ApplyTabOrder();
    void PlaceOnScreen();

    const ClassRecord& record_;
    FrameWidget* frameWidget_;
    ContentWidget* content_;
    std::unique_ptr<MenuView> menuView_;
    std::shared_ptr<fw::MenuBar> menuBar_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::map<QString, Control*> byName_;
    bool closed_ = false;
    bool constructed_ = false;
    bool placed_ = false;

    std::int32_t placement_ = 0, width_ = 300, height_ = 300, minWidth_ = 64, minHeight_ = 64;
    std::int32_t maxWidth_ = 32000, maxHeight_ = 32000, frame_ = 0, macProcId_ = 0;
    bool composite_ = false, hasBackColor_ = false, visible_ = true, fullScreen_ = false;
    bool menuBarVisible_ = true, closeButton_ = true, resizeable_ = true, liveResize_ = false;
    bool maximizeButton_ = true, minimizeButton_ = true;
    Color backColor_{255, 255, 255};
    QString title_;
};

// The registry: the live window registered under a class's full name, or nil.
Window* GetImplicitWindow(std::string_view fullName);
// Every window not yet closed, in creation order.
std::vector<Window*> LiveWindows();
// Takes ownership of a window made by an accessor.
Window& AdoptWindow(std::unique_ptr<Window> window);
// Drops a window whose construction failed.
void DiscardWindow(Window& window);
// Closes and destroys every window (the framework's finaliser).
void DestroyAllWindows();

inline Control* RuntimeWindowControlByName(const Window& window, const QString& name)
{
    return window.ControlByName(name);
}

// A new, not yet constructed window of the class.
template <class T>
std::unique_ptr<Window> RuntimeNewObject()
{
    return std::unique_ptr<Window>(new T(RuntimeNew{}));
}

// The shared-instance accessor: the registry's window of the class, or a new
// one, built; cast to the class.
template <class T>
T& ImplicitInstance()
{
    const ClassRecord& record = T::Lookup();
    Window* w = GetImplicitWindow(record.fullName);
    if (!w) {
        w = &AdoptWindow(RuntimeNewObject<T>());
        try {
            w->Constructor();
        } catch (...) {
            DiscardWindow(*w);
            throw;
        }
    }
    return *RuntimeCheckCast<T>(w);
}

}  // namespace fw

#pragma once
// The controls a window is built from: EditField, StaticText, Canvas and
// Separator, over Control and RectControl. Each is configured by a settings
// table and raises its events through handlers bound by event name.

#include "Properties.h"

#include <QFont>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace fw {

class Window;
class Picture;

inline constexpr std::string_view kMouseDownSignature = "( Int32, Int32 ) as Boolean";
inline constexpr std::string_view kKeyDownSignature = "( String ) as Boolean";

// A window method bound to a control event; made by RuntimeCreateDelegate.
struct Delegate {
    std::string signature;
    std::function<bool(std::int32_t, std::int32_t)> mouseDown;
    std::function<bool(const QString&)> keyDown;
};

template <class W>
Delegate RuntimeCreateDelegate(bool (W::*method)(std::int32_t, std::int32_t), W& window,
                               std::string_view signature);
template <class W>
Delegate RuntimeCreateDelegate(bool (W::*method)(const QString&), W& window, std::string_view signature);

class Control : public PropertyObject {
public:
    explicit Control(Window& owner);
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    static const PropertyClass& Class();
    const PropertyClass& Properties() const override { return Class(); }

    // Framework defaults; nothing to do beyond what construction set up.
    void Constructor() {}

    Window& Owner() const { return owner_; }
    const QString& Name() const { return name_; }
    void Name(const QString& name) { name_ = name; }
    std::int32_t Index() const { return index_; }
    std::int32_t TabPanelIndex() const { return tabPanelIndex_; }

    virtual QWidget* Widget() const = 0;

    // Events: "MouseDown" and "KeyDown". An event without a handler is not
    // consumed.
    void InstallEventHandler(std::string_view eventName, Delegate delegate);
    bool HasHandler(std::string_view eventName) const;
    bool FireMouseDown(std::int32_t x, std::int32_t y);
    bool FireKeyDown(const QString& key);

private:
    Window& owner_;
    QString name_;
    std::int32_t index_ = 0;
    std::int32_t tabPanelIndex_ = 0;
    std::function<bool(std::int32_t, std::int32_t)> mouseDown_;
    std::function<bool(const QString&)> keyDown_;
};

void InstallInstanceEventHandler(Control& control, std::string_view eventName, Delegate delegate);

class RectControl : public Control {
public:
    explicit RectControl(Window& owner);
    static const PropertyClass& Class();
    const PropertyClass& Properties() const override { return Class(); }

    std::int32_t Left() const { return left_; }
    std::int32_t Top() const { return top_; }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t TabIndex() const { return tabIndex_; }
    bool TabStop() const { return tabStop_; }
    bool Enabled() const { return enabled_; }
    void Enabled(bool on);
    bool Visible() const { return visible_; }
    void Visible(bool on);
    const QString& HelpTag() const { return helpTag_; }
    void SetFocus();
    // The widget that takes the keyboard focus for this control, if any.
    virtual QWidget* FocusWidget() const { return nullptr; }

protected:
    void PropertiesApplied() override;

private:
    std::int32_t left_ = 0, top_ = 0, width_ = 100, height_ = 100;
    std::int32_t tabIndex_ = 0;
    bool lockLeft_ = false, lockTop_ = false, lockRight_ = false, lockBottom_ = false;
    bool tabStop_ = true, enabled_ = true, visible_ = true, autoDeactivate_ = true;
    QString helpTag_, initialParent_;
};

// Text settings shared by the controls that show text.
struct TextStyle {
    QString font = QStringLiteral("System");
    std::int32_t size = 0;
    bool bold = false, italic = false, underline = false;
    QFont Make() const;
};

class EditField : public RectControl {
public:
    explicit EditField(Window& owner);
    ~EditField() override;
    static const PropertyClass& Class();
    const PropertyClass& Properties() const override { return Class(); }

    QWidget* Widget() const override;
    QWidget* FocusWidget() const override;
    // The editor inside: a line edit, or a plain-text edit when MultiLine.
    QLineEdit* LineEdit() const;
    QPlainTextEdit* TextEdit() const;

    // CR is the line break of the system's texts.
    QString Text() const;
    void Text(const QString& text);
    bool MultiLine() const { return multiLine_; }
    bool ReadOnly() const { return readOnly_; }
    std::int32_t LimitText() const { return limitText_; }
    std::int32_t Alignment() const { return alignment_; }
    const TextStyle& Style() const { return style_; }

    class Impl;

protected:
    void PropertiesApplied() override;

private:
    friend class Impl;
    void SetMultiLine(bool on);
    void ApplyLook();

    std::unique_ptr<Impl> impl_;
    bool multiLine_ = false, border_ = true, scrollH_ = false, scrollV_ = false, styled_ = true;
    bool password_ = false, useFocusRing_ = true, readOnly_ = false, acceptTabs_ = false;
    Color textColor_{0, 0, 0}, backColor_{255, 255, 255};
    QString format_, mask_, dataSource_, dataField_;
    std::int32_t limitText_ = 0, alignment_ = 0;
    TextStyle style_;
};

class StaticText : public RectControl {
public:
    explicit StaticText(Window& owner);
    ~StaticText() override;
    static const PropertyClass& Class();
    const PropertyClass& Properties() const override { return Class(); }

    QWidget* Widget() const override;
    QLabel* Label() const { return label_; }
    const QString& Text() const { return text_; }
    void Text(const QString& text);
    std::int32_t TextAlign() const { return textAlign_; }
    const TextStyle& Style() const { return style_; }
    Color TextColor() const { return textColor_; }

protected:
    void PropertiesApplied() override;

private:
    QLabel* label_;
    QString text_, dataSource_, dataField_;
    std::int32_t textAlign_ = 0;
    Color textColor_{0, 0, 0};
    bool multiLine_ = false;
    TextStyle style_;
};

class Canvas : public RectControl {
public:
    explicit Canvas(Window& owner);
    ~Canvas() override;
    static const PropertyClass& Class();
    const PropertyClass& Properties() const override { return Class(); }

    QWidget* Widget() const override;
    // Drawn at the top-left, unscaled; nil draws nothing.
    const std::shared_ptr<Picture>& Backdrop() const { return backdrop_; }
    void Backdrop(std::shared_ptr<Picture> picture);
    bool AcceptFocus() const { return acceptFocus_; }

protected:
    void PropertiesApplied() override;

private:
    class View;
    View* view_;
    std::shared_ptr<Picture> backdrop_;
    bool useFocusRing_ = true, acceptFocus_ = false, acceptTabs_ = false, eraseBackground_ = true;
};

class Separator : public RectControl {
public:
    explicit Separator(Window& owner);
    ~Separator() override;
    static const PropertyClass& Class();
    const PropertyClass& Properties() const override { return Class(); }
    QWidget* Widget() const override;

private:
    QWidget* line_;
};

// --- delegates -------------------------------------------------------------

template <class W>
Delegate RuntimeCreateDelegate(bool (W::*method)(std::int32_t, std::int32_t), W& window,
                               std::string_view signature)
{
    if (signature != kMouseDownSignature)
        throw std::invalid_argument("delegate signature does not fit the method: " + std::string(signature));
    Delegate d;
    d.signature = std::string(signature);
    W* w = &window;
    d.mouseDown = [w, method](std::int32_t x, std::int32_t y) { return (w->*method)(x, y); };
    return d;
}

template <class W>
Delegate RuntimeCreateDelegate(bool (W::*method)(const QString&), W& window, std::string_view signature)
{
    if (signature != kKeyDownSignature)
        throw std::invalid_argument("delegate signature does not fit the method: " + std::string(signature));
    Delegate d;
    d.signature = std::string(signature);
    W* w = &window;
    d.keyDown = [w, method](const QString& key) { return (w->*method)(key); };
    return d;
}

}  // namespace fw

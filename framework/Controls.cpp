#include "Controls.h"

#include "Files.h"
#include "Keys.h"
#include "Runtime.h"
#include "Window.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyleOptionFrame>

#include <algorithm>

namespace fw {

namespace {

QColor ToQColor(Color c)
{
    return QColor(c.r, c.g, c.b);
}

QString FromSystemText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString ToSystemText(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return text;
}

Qt::Alignment HorizontalFromAlignment(std::int32_t code)
{
    switch (code) {
    case 2:
        return Qt::AlignHCenter;
    case 3:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

Qt::Alignment HorizontalFromTextAlign(std::int32_t code)
{
    switch (code) {
    case 1:
        return Qt::AlignHCenter;
    case 2:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

}  // namespace

// --- TextStyle ------------------------------------------------------------

QFont TextStyle::Make() const
{
    QFont f;
    if (font.compare(QLatin1String("System"), Qt::CaseInsensitive) == 0 || font.isEmpty()) {
        f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    } else if (font.compare(QLatin1String("Courier"), Qt::CaseInsensitive) == 0) {
        static const QFont courier = [] {
            QFont c(QStringLiteral("Courier"));
            c.setStyleHint(QFont::TypeWriter);
            return QFontInfo(c).fixedPitch() ? c : QFontDatabase::systemFont(QFontDatabase::FixedFont);
        }();
        f = courier;
    } else {
        f = QFont(font);
    }
    // Sizes were chosen on a screen where a point was a pixel.
    if (size > 0)
        f.setPixelSize(size);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    return f;
}

// --- Control --------------------------------------------------------------

Control::Control(Window& owner) : owner_(owner) {}
Control::~Control() = default;

const PropertyClass& Control::Class()
{
    static const PropertyClass cls = [] {
        PropertyClass c("Control", nullptr);
        c.String<Control>("Name", [](Control& o, const QString& v) { o.name_ = v; });
        c.Int32<Control>("Index", [](Control& o, std::int32_t v) { o.index_ = v; });
        c.Int32<Control>("TabPanelIndex", [](Control& o, std::int32_t v) { o.tabPanelIndex_ = v; });
        return c;
    }();
    return cls;
}

void Control::InstallEventHandler(std::string_view eventName, Delegate delegate)
{
    if (eventName == "MouseDown" && delegate.mouseDown) {
        mouseDown_ = std::move(delegate.mouseDown);
    } else if (eventName == "KeyDown" && delegate.keyDown) {
        keyDown_ = std::move(delegate.keyDown);
    } else {
        throw std::invalid_argument("no event \"" + std::string(eventName) + "\" with signature " +
                                    delegate.signature);
    }
}

bool Control::HasHandler(std::string_view eventName) const
{
    if (eventName == "MouseDown")
        return static_cast<bool>(mouseDown_);
    if (eventName == "KeyDown")
        return static_cast<bool>(keyDown_);
    return false;
}

bool Control::FireMouseDown(std::int32_t x, std::int32_t y)
{
    if (!mouseDown_)
        return false;
    auto handler = mouseDown_;  // the handler may rebind or close the window
    return Dispatch([&] { return handler(x, y); }, owner_.Frame());
}

bool Control::FireKeyDown(const QString& key)
{
    if (!keyDown_)
        return false;
    auto handler = keyDown_;
    return Dispatch([&] { return handler(key); }, owner_.Frame());
}

void InstallInstanceEventHandler(Control& control, std::string_view eventName, Delegate delegate)
{
    control.InstallEventHandler(eventName, std::move(delegate));
}

// --- RectControl ----------------------------------------------------------

RectControl::RectControl(Window& owner) : Control(owner) {}

const PropertyClass& RectControl::Class()
{
    static const PropertyClass cls = [] {
        PropertyClass c("RectControl", &Control::Class());
        c.Int32<RectControl>("Left", [](RectControl& o, std::int32_t v) { o.left_ = v; });
        c.Int32<RectControl>("Top", [](RectControl& o, std::int32_t v) { o.top_ = v; });
        c.Int32<RectControl>("Width", [](RectControl& o, std::int32_t v) { o.width_ = v; });
        c.Int32<RectControl>("Height", [](RectControl& o, std::int32_t v) { o.height_ = v; });
        c.Boolean<RectControl>("LockLeft", [](RectControl& o, bool v) { o.lockLeft_ = v; });
        c.Boolean<RectControl>("LockTop", [](RectControl& o, bool v) { o.lockTop_ = v; });
        c.Boolean<RectControl>("LockRight", [](RectControl& o, bool v) { o.lockRight_ = v; });
        c.Boolean<RectControl>("LockBottom", [](RectControl& o, bool v) { o.lockBottom_ = v; });
        c.Int32<RectControl>("TabIndex", [](RectControl& o, std::int32_t v) { o.tabIndex_ = v; });
        c.Boolean<RectControl>("TabStop", [](RectControl& o, bool v) { o.tabStop_ = v; });
        c.Boolean<RectControl>("Enabled", [](RectControl& o, bool v) { o.enabled_ = v; });
        c.Boolean<RectControl>("Visible", [](RectControl& o, bool v) { o.visible_ = v; });
        c.String<RectControl>("HelpTag", [](RectControl& o, const QString& v) { o.helpTag_ = v; });
        c.Boolean<RectControl>("AutoDeactivate", [](RectControl& o, bool v) { o.autoDeactivate_ = v; });
        c.String<RectControl>("InitialParent", [](RectControl& o, const QString& v) { o.initialParent_ = v; });
        return c;
    }();
    return cls;
}

void RectControl::PropertiesApplied()
{
    QWidget* w = Widget();
    // Qt keeps a rectangle by its corners (left + width - 1), which must not
    // overflow; no widget is larger than QWIDGETSIZE_MAX anyway.
    const auto coordinate = [](std::int32_t v) { return std::clamp(v, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX); };
    const auto extent = [](std::int32_t v) { return std::clamp(v, 0, QWIDGETSIZE_MAX); };
    w->setGeometry(coordinate(left_), coordinate(top_), extent(width_), extent(height_));
    // Only what differs from the widget's state: a new widget is enabled, has
    // no tip and is shown with its window unless hidden.
    if (w->testAttribute(Qt::WA_Disabled) == enabled_)
        w->setEnabled(enabled_);
    if (w->toolTip() != helpTag_)
        w->setToolTip(helpTag_);
    if (!visible_)
        w->hide();
    else if (w->isHidden() &&
             (w->testAttribute(Qt::WA_WState_ExplicitShowHide) || w->parentWidget()->isVisible()))
        w->show();
}

void RectControl::Enabled(bool on)
{
    enabled_ = on;
    Widget()->setEnabled(on);
}

void RectControl::Visible(bool on)
{
    visible_ = on;
    Widget()->setVisible(on);
}

void RectControl::SetFocus()
{
    if (QWidget* w = FocusWidget())
        w->setFocus(Qt::OtherFocusReason);
}

// --- EditField ------------------------------------------------------------

namespace {

// A line editor that draws its focus frame only where the field asks for one.
class FocusRingLine : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    void SetRing(bool on)
    {
        ring_ = on;
        update();
    }

protected:
    void initStyleOption(QStyleOptionFrame* option) const override
    {
        QLineEdit::initStyleOption(option);
        if (!ring_)
            option->state &= ~QStyle::State_HasFocus;
    }

private:
    bool ring_ = true;
};

}  // namespace

// The field's Qt side: the editor widget in its host, and the key filter
// that reports keys to the field's KeyDown handler.
class EditField::Impl : public QObject {
public:
    explicit Impl(EditField& field) : field_(field)
    {
        host_ = new QWidget(field.Owner().Content());
        MakeLine();
    }
    ~Impl() override { delete host_; }

    QWidget* Host() const { return host_; }
    QWidget* Editor() const { return line_ ? static_cast<QWidget*>(line_) : static_cast<QWidget*>(plain_); }
    FocusRingLine* Line() const { return line_; }
    QPlainTextEdit* Plain() const { return plain_; }

    void MakeLine()
    {
        const QString text = CurrentText();
        delete plain_;
        plain_ = nullptr;
        line_ = new FocusRingLine(host_);
        line_->setText(text);
        QObject::connect(line_, &QLineEdit::textEdited, line_, [this] { KeepLimit(); });
        Install(line_);
    }

    void MakePlain()
    {
        const QString text = CurrentText();
        delete line_;
        line_ = nullptr;
        plain_ = new QPlainTextEdit(host_);
        plain_->setPlainText(text);
        plain_->setTabChangesFocus(true);
        Install(plain_);
    }

    QString CurrentText() const
    {
        if (line_)
            return line_->text();
        if (plain_)
            return plain_->toPlainText();
        return QString();
    }

    // What the user types or pastes stops at the limit; what the program
    // writes is kept whole, so the cap follows a longer text down again.
    void KeepLimit()
    {
        if (!line_)
            return;
        const int limit = field_.limitText_ > 0 ? field_.limitText_ : 32767;
        const int cap = std::max<int>(limit, static_cast<int>(line_->text().size()));
        // Setting the cap rewrites the text and drops the undo history.
        if (line_->maxLength() != cap)
            line_->setMaxLength(cap);
    }

    void SetText(const QString& text)
    {
        if (line_) {
            const int limit = field_.limitText_ > 0 ? field_.limitText_ : 32767;
            line_->setMaxLength(std::max<int>(limit, static_cast<int>(text.size())));
            line_->setText(text);
            // A text wider than the field shows from its first character, a
            // result's sign included; the user can still scroll to its end.
            line_->setCursorPosition(0);
        } else {
            plain_->setPlainText(text);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != Editor())
            return false;
        switch (event->type()) {
        case QEvent::KeyPress: {
            QString key;
            return FieldKeyText(*static_cast<QKeyEvent*>(event), key) && field_.FireKeyDown(key);
        }
        case QEvent::InputMethod:
            return RefuseCommit(*static_cast<QInputMethodEvent*>(event));
        case QEvent::FocusOut:
            return KeepSelection(*static_cast<QFocusEvent*>(event));
        default:
            return false;
        }
    }

private:
    // Dead keys, Compose and input methods type too: in a field with a key
    // filter each character they commit meets the filter, and a refused one
    // drops the whole commit. A committed tab or backspace is a character,
    // not the key that moves or deletes, and no filtered field holds one:
    // such characters are refused there. A field without a filter takes a
    // commit whole, as it takes the same characters typed: a joiner inside
    // an emoji or a right-to-left mark is text. A read-only field takes no
    // commit, as it takes no typed key: Qt's line edit would insert it.
    bool RefuseCommit(const QInputMethodEvent& event)
    {
        if (field_.ReadOnly())
            return true;
        if (!field_.HasHandler("KeyDown"))
            return false;
        const QList<uint> characters = event.commitString().toUcs4();
        for (const uint c : characters) {
            const auto code = static_cast<char32_t>(c);
            const bool refused = QChar::isPrint(code) ? field_.FireKeyDown(QString::fromUcs4(&code, 1))
                                                      : (Beep(), true);
            if (refused) {
                // What is being composed still shows and goes on; only the commit is dropped.
                QInputMethodEvent rest(event.preeditString(), event.attributes());
                QCoreApplication::sendEvent(Editor(), &rest);
                return true;
            }
        }
        return false;
    }

    // The menu bar takes the focus when it is opened from the keyboard; the
    // field keeps its selection for the Edit commands, as it does when a menu
    // is opened with the mouse.
    bool KeepSelection(const QFocusEvent& event)
    {
        if (event.reason() != Qt::MenuBarFocusReason)
            return false;
        QFocusEvent asPopup(QEvent::FocusOut, Qt::PopupFocusReason);
        QCoreApplication::sendEvent(Editor(), &asPopup);
        return true;
    }

    void Install(QWidget* editor)
    {
        editor->setGeometry(0, 0, host_->width(), host_->height());
        editor->installEventFilter(this);
        editor->show();
        host_->setFocusProxy(editor);
    }

    EditField& field_;
    QWidget* host_ = nullptr;
    FocusRingLine* line_ = nullptr;
    QPlainTextEdit* plain_ = nullptr;
};

EditField::EditField(Window& owner) : RectControl(owner), impl_(std::make_unique<Impl>(*this)) {}
EditField::~EditField() = default;

const PropertyClass& EditField::Class()
{
    static const PropertyClass cls = [] {
        PropertyClass c("EditField", &RectControl::Class());
        c.Boolean<EditField>("Border", [](EditField& o, bool v) { o.border_ = v; });
        c.Boolean<EditField>("MultiLine", [](EditField& o, bool v) { o.SetMultiLine(v); });
        c.Boolean<EditField>("ScrollBarHorizontal", [](EditField& o, bool v) { o.scrollH_ = v; });
        c.Boolean<EditField>("ScrollBarVertical", [](EditField& o, bool v) { o.scrollV_ = v; });
        c.Boolean<EditField>("Styled", [](EditField& o, bool v) { o.styled_ = v; });
        c.Boolean<EditField>("Password", [](EditField& o, bool v) { o.password_ = v; });
        c.Boolean<EditField>("UseFocusRing", [](EditField& o, bool v) { o.useFocusRing_ = v; });
        c.ColorProp<EditField>("TextColor", [](EditField& o, Color v) { o.textColor_ = v; });
        c.ColorProp<EditField>("BackColor", [](EditField& o, Color v) { o.backColor_ = v; });
        c.String<EditField>("Format", [](EditField& o, const QString& v) { o.format_ = v; });
        c.String<EditField>("TextFont", [](EditField& o, const QString& v) { o.style_.font = v; });
        c.Int32<EditField>("TextSize", [](EditField& o, std::int32_t v) { o.style_.size = v; });
        c.Boolean<EditField>("Bold", [](EditField& o, bool v) { o.style_.bold = v; });
        c.Boolean<EditField>("Italic", [](EditField& o, bool v) { o.style_.italic = v; });
        c.Boolean<EditField>("Underline", [](EditField& o, bool v) { o.style_.underline = v; });
        c.String<EditField>("Text", [](EditField& o, const QString& v) { o.Text(v); });
        c.String<EditField>("Mask", [](EditField& o, const QString& v) { o.mask_ = v; });
        c.Boolean<EditField>("ReadOnly", [](EditField& o, bool v) { o.readOnly_ = v; });
        c.Int32<EditField>("LimitText", [](EditField& o, std::int32_t v) { o.limitText_ = std::max(0, v); });
        c.Boolean<EditField>("AcceptTabs", [](EditField& o, bool v) { o.acceptTabs_ = v; });
        c.Int32<EditField>("Alignment", [](EditField& o, std::int32_t v) { o.alignment_ = v; });
        c.String<EditField>("DataSource", [](EditField& o, const QString& v) { o.dataSource_ = v; });
        c.String<EditField>("DataField", [](EditField& o, const QString& v) { o.dataField_ = v; });
        return c;
    }();
    return cls;
}

QWidget* EditField::Widget() const
{
    return impl_->Host();
}

QWidget* EditField::FocusWidget() const
{
    return impl_->Editor();
}

QLineEdit* EditField::LineEdit() const
{
    return impl_->Line();
}

QPlainTextEdit* EditField::TextEdit() const
{
    return impl_->Plain();
}

QString EditField::Text() const
{
    return ToSystemText(impl_->CurrentText());
}

void EditField::Text(const QString& text)
{
    impl_->SetText(FromSystemText(text));
}

void EditField::SetMultiLine(bool on)
{
    if (on == multiLine_)
        return;
    multiLine_ = on;
    if (on)
        impl_->MakePlain();
    else
        impl_->MakeLine();
}

void EditField::PropertiesApplied()
{
    RectControl::PropertiesApplied();
    ApplyLook();
}

void EditField::ApplyLook()
{
    QWidget* editor = impl_->Editor();
    editor->setGeometry(0, 0, std::max(0, Width()), std::max(0, Height()));
    editor->setFont(style_.Make());
    QPalette pal = editor->palette();
    if (pal.color(QPalette::Text) != ToQColor(textColor_) || pal.color(QPalette::Base) != ToQColor(backColor_)) {
        pal.setColor(QPalette::Text, ToQColor(textColor_));
        pal.setColor(QPalette::Base, ToQColor(backColor_));
        editor->setPalette(pal);
    }
    editor->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::ClickFocus);
    if (FocusRingLine* line = impl_->Line()) {
        line->setFrame(border_);
        line->setReadOnly(readOnly_);
        line->setEchoMode(password_ ? QLineEdit::Password : QLineEdit::Normal);
        line->setAlignment(HorizontalFromAlignment(alignment_) | Qt::AlignVCenter);
        line->SetRing(useFocusRing_);
        impl_->KeepLimit();
    } else if (QPlainTextEdit* plain = impl_->Plain()) {
        plain->setFrameShape(border_ ? QFrame::StyledPanel : QFrame::NoFrame);
        plain->setReadOnly(readOnly_);
        plain->setTabChangesFocus(!acceptTabs_);
        plain->setVerticalScrollBarPolicy(scrollV_ ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        plain->setHorizontalScrollBarPolicy(scrollH_ ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        plain->setLineWrapMode(scrollH_ ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        QTextOption option = plain->document()->defaultTextOption();
        option.setAlignment(HorizontalFromAlignment(alignment_));
        plain->document()->setDefaultTextOption(option);
    }
}

// --- StaticText -----------------------------------------------------------

namespace {

// Labels take no mouse press of their own: it goes on to the window.
class LabelView : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent* e) override { e->ignore(); }
};

}  // namespace

StaticText::StaticText(Window& owner) : RectControl(owner), label_(new LabelView(owner.Content()))
{
    label_->setTextFormat(Qt::PlainText);
}

StaticText::~StaticText()
{
    delete label_;
}

const PropertyClass& StaticText::Class()
{
    static const PropertyClass cls = [] {
        PropertyClass c("StaticText", &RectControl::Class());
        c.String<StaticText>("Text", [](StaticText& o, const QString& v) { o.Text(v); });
        c.Int32<StaticText>("TextAlign", [](StaticText& o, std::int32_t v) { o.textAlign_ = v; });
        c.ColorProp<StaticText>("TextColor", [](StaticText& o, Color v) { o.textColor_ = v; });
        c.Boolean<StaticText>("MultiLine", [](StaticText& o, bool v) { o.multiLine_ = v; });
        c.String<StaticText>("TextFont", [](StaticText& o, const QString& v) { o.style_.font = v; });
        c.Int32<StaticText>("TextSize", [](StaticText& o, std::int32_t v) { o.style_.size = v; });
        c.Boolean<StaticText>("Bold", [](StaticText& o, bool v) { o.style_.bold = v; });
        c.Boolean<StaticText>("Italic", [](StaticText& o, bool v) { o.style_.italic = v; });
        c.Boolean<StaticText>("Underline", [](StaticText& o, bool v) { o.style_.underline = v; });
        c.String<StaticText>("DataSource", [](StaticText& o, const QString& v) { o.dataSource_ = v; });
        c.String<StaticText>("DataField", [](StaticText& o, const QString& v) { o.dataField_ = v; });
        return c;
    }();
    return cls;
}

QWidget* StaticText::Widget() const
{
    return label_;
}

void StaticText::Text(const QString& text)
{
    text_ = text;
    label_->setText(FromSystemText(text));
}

void StaticText::PropertiesApplied()
{
    RectControl::PropertiesApplied();
    label_->setFont(style_.Make());
    label_->setWordWrap(multiLine_);
    label_->setAlignment(HorizontalFromTextAlign(textAlign_) | Qt::AlignTop);
    QPalette pal = label_->palette();
    const QColor color = ToQColor(textColor_);
    pal.setColor(QPalette::Active, QPalette::WindowText, color);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, color);
    // A disabled label is greyed, as captions are on the desktop.
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    label_->setPalette(pal);
}

// --- Canvas ---------------------------------------------------------------

class Canvas::View : public QWidget {
public:
    View(Canvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (const auto& pic = canvas_.Backdrop()) {
            QPainter p(this);
            p.drawImage(QPoint(0, 0), pic->Image());
        }
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        const QPoint at = e->position().toPoint();
        if (!canvas_.FireMouseDown(at.x(), at.y()))
            e->ignore();  // not consumed: the press goes on to the window
    }

private:
    Canvas& canvas_;
};

Canvas::Canvas(Window& owner) : RectControl(owner), view_(new View(*this, owner.Content()))
{
    view_->setFocusPolicy(Qt::NoFocus);
}

Canvas::~Canvas()
{
    delete view_;
}

const PropertyClass& Canvas::Class()
{
    static const PropertyClass cls = [] {
        PropertyClass c("Canvas", &RectControl::Class());
        c.Boolean<Canvas>("UseFocusRing", [](Canvas& o, bool v) { o.useFocusRing_ = v; });
        c.Boolean<Canvas>("AcceptFocus", [](Canvas& o, bool v) { o.acceptFocus_ = v; });
        c.Boolean<Canvas>("AcceptTabs", [](Canvas& o, bool v) { o.acceptTabs_ = v; });
        c.Boolean<Canvas>("EraseBackground", [](Canvas& o, bool v) { o.eraseBackground_ = v; });
        return c;
    }();
    return cls;
}

QWidget* Canvas::Widget() const
{
    return view_;
}

void Canvas::Backdrop(std::shared_ptr<Picture> picture)
{
    backdrop_ = std::move(picture);
    view_->update();
}

void Canvas::PropertiesApplied()
{
    RectControl::PropertiesApplied();
    view_->setFocusPolicy(acceptFocus_ ? Qt::ClickFocus : Qt::NoFocus);
}

// --- Separator ------------------------------------------------------------

namespace {

class LineView : public QFrame {
public:
    explicit LineView(QWidget* parent) : QFrame(parent)
    {
        setFrameShape(QFrame::HLine);
        setFrameShadow(QFrame::Sunken);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override { e->ignore(); }
};

}  // namespace

Separator::Separator(Window& owner) : RectControl(owner), line_(new LineView(owner.Content())) {}

Separator::~Separator()
{
    delete line_;
}

const PropertyClass& Separator::Class()
{
    static const PropertyClass cls("Separator", &RectControl::Class());
    return cls;
}

QWidget* Separator::Widget() const
{
    return line_;
}

}  // namespace fw

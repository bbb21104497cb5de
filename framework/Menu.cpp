#include "Menu.h"

#include "Runtime.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

#include <optional>

namespace fw {

MenuItem::~MenuItem() = default;

void MenuItem::Append(MenuItemRef item)
{
    if (item)
        children_.push_back(std::move(item));
}

MenuItemRef MenuItem::Item(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return children_[static_cast<std::size_t>(index)];
}

MenuItemRef MenuItem::Child(const QString& name) const
{
    for (const auto& c : children_)
        if (c->Name() == name)
            return c;
    return nullptr;
}

MenuItemRef MenuItem::Lookup(const QString& name) const
{
    for (const auto& c : children_) {
        if (c->Name() == name)
            return c;
        if (auto found = c->Lookup(name))
            return found;
    }
    return nullptr;
}

bool QuitMenuItem::Event_Action()
{
    Quit();
    return true;
}

// --- editing --------------------------------------------------------------

EditCommand EditCommandFor(const QString& itemName)
{
    if (itemName == QLatin1String("EditUndo"))
        return EditCommand::Undo;
    if (itemName == QLatin1String("EditCut"))
        return EditCommand::Cut;
    if (itemName == QLatin1String("EditCopy"))
        return EditCommand::Copy;
    if (itemName == QLatin1String("EditPaste"))
        return EditCommand::Paste;
    if (itemName == QLatin1String("EditClear"))
        return EditCommand::Clear;
    if (itemName == QLatin1String("EditSelectAll"))
        return EditCommand::SelectAll;
    return EditCommand::None;
}

namespace {

// What an editor can do now, whichever kind of editor it is.
struct EditorState {
    bool writable, selection, undo, empty, masked;
};

std::optional<EditorState> StateOf(const QWidget* editor)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(editor))
        return EditorState{!line->isReadOnly() && line->isEnabled(), line->hasSelectedText(),
                           line->isUndoAvailable(), line->text().isEmpty(),
                           line->echoMode() != QLineEdit::Normal};
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(editor))
        return EditorState{!plain->isReadOnly() && plain->isEnabled(), plain->textCursor().hasSelection(),
                           plain->document()->isUndoAvailable(), plain->document()->isEmpty(), false};
    return std::nullopt;
}

}  // namespace

bool CanEdit(EditCommand command, const QWidget* editor)
{
    const auto s = StateOf(editor);
    if (!s)
        return false;
    switch (command) {
    case EditCommand::Undo:
        return s->writable && s->undo;
    case EditCommand::Cut:
    case EditCommand::Clear:
        return s->writable && s->selection && !s->masked;
    case EditCommand::Copy:
        return s->selection && !s->masked;
    case EditCommand::Paste:
        return s->writable && QGuiApplication::clipboard() && !QGuiApplication::clipboard()->text().isEmpty();
    case EditCommand::SelectAll:
        return !s->empty;
    case EditCommand::None:
        break;
    }
    return false;
}

void RunEdit(EditCommand command, QWidget* editor)
{
    if (!CanEdit(command, editor))
        return;
    if (command == EditCommand::Clear) {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->del();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(editor))
            plain->textCursor().removeSelectedText();
        return;
    }
    // Both editors have these as slots; a paste stops at the field's limit.
    static const char* const methods[] = {nullptr, "undo", "cut", "copy", "paste", nullptr, "selectAll"};
    if (const char* method = methods[static_cast<int>(command)])
        QMetaObject::invokeMethod(editor, method);
}

// --- rendering ------------------------------------------------------------

namespace {

QKeySequence SequenceFor(const QString& shortcut)
{
    if (shortcut.isEmpty())
        return QKeySequence();
    QString s = shortcut;
    s.replace(QLatin1String("Cmd+"), QLatin1String("Ctrl+"), Qt::CaseInsensitive);
    return QKeySequence(s, QKeySequence::PortableText);
}

}  // namespace

MenuView::MenuView(QMainWindow& frame, std::shared_ptr<MenuBar> bar, bool visibleBar)
    : frame_(frame), bar_(std::move(bar))
{
    if (visibleBar) {
        auto* qbar = new QMenuBar(&frame_);
        for (int i = 0; i < bar_->Count(); ++i) {
            MenuItemRef menuItem = bar_->Item(i);
            QMenu* menu = qbar->addMenu(menuItem->Text());
            menus_.push_back(menu);
            QObject::connect(menu, &QMenu::aboutToShow, menu, [this] { UpdateEnabled(); });
            for (int j = 0; j < menuItem->Count(); ++j)
                Build(menu, menu, menuItem->Item(j));
        }
        frame_.setMenuBar(qbar);
    } else {
        for (int i = 0; i < bar_->Count(); ++i) {
            MenuItemRef menuItem = bar_->Item(i);
            for (int j = 0; j < menuItem->Count(); ++j)
                Build(&frame_, nullptr, menuItem->Item(j));
        }
    }
    // Shortcuts of disabled actions do not fire, so the states follow the focus.
    editTarget_ = frame_.focusWidget();
    QObject::connect(qApp, &QApplication::focusChanged, &frame_, [this](QWidget*, QWidget* now) {
        if (now && now->window() == &frame_ && now != frame_.menuWidget())
            editTarget_ = now;
        UpdateEnabled();
    });
    UpdateEnabled();
}

MenuView::~MenuView()
{
    QObject::disconnect(qApp, &QApplication::focusChanged, &frame_, nullptr);
    for (QAction* a : hidden_) {
        frame_.removeAction(a);
        delete a;
    }
    if (!menus_.empty()) {
        QWidget* bar = frame_.menuWidget();
        frame_.setMenuWidget(nullptr);
        delete bar;
    }
}

void MenuView::Build(QWidget* menuParent, QMenu* into, const MenuItemRef& item)
{
    if (item->IsSeparator()) {
        if (into)
            entries_.push_back({into->addSeparator(), item});
        return;
    }
    auto* action = new QAction(item->Text(), menuParent);
    action->setShortcut(SequenceFor(item->KeyboardShortcut()));
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, action, [this, item] { Choose(item); });
    if (into) {
        into->addAction(action);
    } else {
        frame_.addAction(action);
        hidden_.push_back(action);
    }
    entries_.push_back({action, item});
}

void MenuView::Choose(const MenuItemRef& item)
{
    Dispatch([&] {
        if (item->Event_Action())
            return true;
        const EditCommand command = EditCommandFor(item->Name());
        if (command != EditCommand::None)
            RunEdit(command, EditTarget());
        return true;
    }, &frame_);
}

void MenuView::UpdateEnabled()
{
    // Shortcut-only items stay enabled: nobody sees them, and each command
    // checks at the moment it runs whether it can act.
    if (menus_.empty())
        return;
    QWidget* focus = EditTarget();
    for (const Entry& e : entries_) {
        if (e.item->IsSeparator())
            continue;
        bool enabled = true;
        if (e.item->AutoEnable()) {
            const EditCommand command = EditCommandFor(e.item->Name());
            if (command != EditCommand::None)
                enabled = CanEdit(command, focus);
            else
                enabled = dynamic_cast<QuitMenuItem*>(e.item.get()) != nullptr;
        }
        e.action->setEnabled(enabled);
    }
}

QWidget* MenuView::EditTarget() const
{
    // Opened from the keyboard, the menu bar holds the focus for as long as
    // it is open; the commands are still meant for the field it came from.
    QWidget* focus = frame_.focusWidget();
    return focus && focus == frame_.menuWidget() ? editTarget_.data() : focus;
}

QAction* MenuView::ActionFor(const QString& itemName) const
{
    for (const Entry& e : entries_)
        if (e.item->Name() == itemName)
            return e.action;
    return nullptr;
}

}  // namespace fw

#include "Keys.h"

#include <QKeyEvent>

namespace fw {

namespace {

// Editing keys a field keeps for itself, and the codes a window is given for them.
int NavigationCode(int key)
{
    switch (key) {
    case Qt::Key_Home:
        return 1;
    case Qt::Key_End:
        return 4;
    case Qt::Key_Insert:
        return 5;
    case Qt::Key_PageUp:
        return 11;
    case Qt::Key_PageDown:
        return 12;
    case Qt::Key_Left:
        return 28;
    case Qt::Key_Right:
        return 29;
    case Qt::Key_Up:
        return 30;
    case Qt::Key_Down:
        return 31;
    case Qt::Key_Delete:
        return 127;
    default:
        return 0;
    }
}

// Keys that stand for a control code whatever text the platform gives them.
int ControlCode(int key)
{
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        return 0;
    }
}

bool ModifierAlone(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

QString Code(int code)
{
    return QString(QChar(code));
}

}  // namespace

bool FieldKeyText(const QKeyEvent& event, QString& text)
{
    const int key = event.key();
    if (ModifierAlone(key) || NavigationCode(key) != 0)
        return false;
    // The line edit reads exactly Ctrl, or Ctrl+Shift, as its own editing and
    // types nothing for it; held with anything else (AltGr, Super, the
    // keypad) it types the key's character, which the filter must see.
    const Qt::KeyboardModifiers mods = event.modifiers();
    const bool ownChord = mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier);
    if (const int code = ControlCode(key)) {
        if (ownChord)
            return false;
        text = Code(code);
        return true;
    }
    if (event.text().isEmpty())
        return false;
    // Formatting characters are typed even with Ctrl held.
    if (ownChord && event.text().front().category() != QChar::Other_Format)
        return false;
    text = event.text();
    return true;
}

bool WindowKeyText(const QKeyEvent& event, QString& text)
{
    const int key = event.key();
    if (ModifierAlone(key))
        return false;
    int code = ControlCode(key);
    if (code == 0)
        code = NavigationCode(key);
    if (code != 0) {
        text = Code(code);
        return true;
    }
    // Function keys and the like carry no character: the code of a function key.
    text = event.text().isEmpty() ? Code(16) : event.text();
    return true;
}

}  // namespace fw

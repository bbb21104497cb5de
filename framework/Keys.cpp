#include "Keys.h"

#include <QKeyEvent>

namespace fw {

bool KeyDownText(const QKeyEvent& event, QString& text)
{
    const Qt::KeyboardModifiers mods = event.modifiers();
    if (mods & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier))
        return false;
    switch (event.key()) {
    case Qt::Key_Backspace:
        text = QString(QChar(8));
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        text = QString(QChar(9));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        text = QString(QChar(13));
        return true;
    case Qt::Key_Escape:
        text = QString(QChar(27));
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete:
    case Qt::Key_Insert:
        return false;
    default:
        break;
    }
    if (event.text().isEmpty())
        return false;
    text = event.text();
    return true;
}

}  // namespace fw

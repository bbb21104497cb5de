#pragma once

#include <QString>

class QKeyEvent;

namespace fw {

// The text a key-down handler is given for a key press, or false when the
// press is not reported: shortcuts (Ctrl, Meta, Alt), navigation keys,
// forward Delete and keys that carry no character (Shift alone, F1) belong
// to the menus and the field's own editing.
bool KeyDownText(const QKeyEvent& event, QString& text);

}  // namespace fw

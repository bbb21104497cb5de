#pragma once

#include <QString>

class QKeyEvent;

namespace fw {

// The text a field's key-down handler is given for a key press, or false
// when the press is the field's own: navigation and forward Delete edit the
// field, Ctrl and Ctrl+Shift chords are shortcuts or the field's editing,
// and a key that carries no character inserts nothing. A key that would
// insert a character is always reported, whatever else is held with it.
bool FieldKeyText(const QKeyEvent& event, QString& text);

// The text a window's key-down handler is given: every press the
// application's shortcuts have not taken, but for a modifier key pressed on
// its own. Keys without a character get a control code of their own.
bool WindowKeyText(const QKeyEvent& event, QString& text);

}  // namespace fw

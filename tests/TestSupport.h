#pragma once
// Helpers for driving the real widgets: answering message boxes, pressing
// pictures, typing into fields.

#include "Controls.h"
#include "Window.h"

#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <ostream>

class QWidget;

// Texts in failure messages as text.
void PrintTo(const QString& s, std::ostream* os);

// While alive, answers every message box that opens: records its text, and
// its title, its buttons and the window it belongs to, then presses its button.
class MessageBoxWatcher {
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    const QStringList& Texts() const { return texts_; }
    // "title [buttons] over window-title" of each box.
    const QStringList& Looks() const { return looks_; }

private:
    void Poll();
    QTimer timer_;
    QStringList texts_, looks_;
};

// A press of the mouse on the control (in its middle unless given).
void Press(fw::RectControl& control);
void PressAt(QWidget* widget, QPoint at);
// Key clicks into the field's editor, as typed.
void Type(fw::EditField& field, const QString& keys);
void KeyInto(fw::EditField& field, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
// Runs pending events, deferred deletions included.
void Settle();
// The widget that has the keyboard focus in the application.
QWidget* Focused();

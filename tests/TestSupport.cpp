#include "TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QWindow>

MessageBoxWatcher::MessageBoxWatcher()
{
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
}

MessageBoxWatcher::~MessageBoxWatcher() = default;

void MessageBoxWatcher::Poll()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    texts_.append(box->text());
    const auto buttons = box->buttons();
    QStringList captions;
    for (const QAbstractButton* b : buttons)
        captions << b->text();
    const QWindow* owner = box->windowHandle() ? box->windowHandle()->transientParent() : nullptr;
    looks_.append(QStringLiteral("%1 [%2] over %3%4")
                      .arg(box->windowTitle(), captions.join(QLatin1Char(',')), owner ? owner->title() : "nothing",
                           box->icon() == QMessageBox::NoIcon ? "" : ", with an icon"));
    if (!buttons.isEmpty())
        buttons.first()->click();
    else
        box->reject();
}

void PressAt(QWidget* widget, QPoint at)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
}

void Press(fw::RectControl& control)
{
    QWidget* w = control.Widget();
    PressAt(w, w->rect().center());
}

void Type(fw::EditField& field, const QString& keys)
{
    QTest::keyClicks(field.FocusWidget(), keys);
}

void KeyInto(fw::EditField& field, Qt::Key key, Qt::KeyboardModifiers mods)
{
    QTest::keyClick(field.FocusWidget(), key, mods);
}

void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

QWidget* Focused()
{
    return QApplication::focusWidget();
}

void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

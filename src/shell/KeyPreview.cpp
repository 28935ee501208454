#include "KeyPreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace dormivo {

KeyPreview::KeyPreview(QWidget* window) : QObject(window), window_(window) {
    qApp->installEventFilter(this);
}

int KeyPreview::characterCode(const QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return 13;
    if ((event->modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    const QString text = event->text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    // A key that the focused control passes on reaches its parents too: look at it once,
    // where it is first delivered.
    QWidget* focus = QApplication::focusWidget();
    QWidget* first = focus ? focus : window_;
    if (watched != first || first->window() != window_)
        return false;
    emit keyPress(characterCode(static_cast<QKeyEvent*>(event)));
    return false;
}

} // namespace dormivo

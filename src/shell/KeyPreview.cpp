#include "shell/KeyPreview.h"

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
        return kEnter;
    if ((event->modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    const QString text = event->text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

int KeyPreview::keyCode(const QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return kF1 + (key - Qt::Key_F1);
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;
    return 0;
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    // A key that the focused control passes on reaches its parents too: look at it once, where
    // it is first delivered. That is the window's own focus control, which it keeps while a
    // message box shown for the key has the focus; the application's focus is gone by then.
    QWidget* focus = window_->focusWidget();
    QWidget* first = focus ? focus : window_;
    if (watched != first)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress)
        emit keyPress(characterCode(key));
    else if (!key->isAutoRepeat())
        emit keyRelease(keyCode(key));
    return false;
}

} // namespace dormivo

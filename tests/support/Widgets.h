#pragma once

#include <QTest>
#include <QWidget>

namespace dormivo::test {

// A window's control by its object name; window is any pointer to the window.
template <typename T = QWidget, typename Window>
T* control(const Window& window, const char* name) {
    return window->template findChild<T*>(QString::fromLatin1(name));
}

// A left click in the middle of the control, as the mouse gives it.
template <typename Window> void click(const Window& window, const char* name) {
    QTest::mouseClick(control(window, name), Qt::LeftButton);
}

// Leaves a dialog through the control `name`, or with Esc when `name` is empty.
template <typename Window> void leave(const Window& window, const char* name) {
    if (*name)
        return click(window, name);
    QWidget* focus = window->focusWidget();
    QTest::keyClick(focus ? focus : &*window, Qt::Key_Escape);
}

} // namespace dormivo::test

#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

namespace dormivo {

// Places are kept in twips, as the windows were laid out; 15 twips make one pixel.
inline QRect twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

// A control of the window, named so that tests and screen readers find it, at its place.
template <typename T> T* place(QWidget* parent, const QString& name, QRect where) {
    auto* control = new T(parent);
    control->setObjectName(name);
    control->setGeometry(where);
    return control;
}

} // namespace dormivo

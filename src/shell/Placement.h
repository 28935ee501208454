#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace dormivo {

// Places are kept in twips, as the windows were laid out; 15 twips make one pixel.
inline constexpr int kTwipsPerPixel = 15;

inline QRect twips(int left, int top, int width, int height) {
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}

inline QSize twips(QSize size) {
    return QSize(size.width() / kTwipsPerPixel, size.height() / kTwipsPerPixel);
}

// A control of the window, named so that tests and screen readers find it, at its place. Any
// further arguments go to its constructor, before the parent.
template <typename T, typename... Args>
T* place(QWidget* parent, const QString& name, QRect where, Args&&... args) {
    auto* control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    control->setGeometry(where);
    return control;
}

// Widens a control, to the right, as far as its content needs in the desktop's font and at any
// scale; it is never made narrower than its place.
inline void widenToFit(QWidget* control) {
    control->resize(std::max(control->width(), control->sizeHint().width()), control->height());
}

} // namespace dormivo

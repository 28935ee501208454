#include "shell/SkinnedWindow.h"

#include "shell/ImageButton.h"
#include "shell/WindowShape.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

#include <array>

namespace dormivo {
namespace {

template <typename T>
T* placeWithText(QWidget* window, const QString& name, const QString& text, QRect where) {
    T* control = place<T>(window, name, where);
    control->setText(text);
    return control;
}

// For controls whose caption is not their own text: readers get their name here.
template <typename T>
T* placeNamed(QWidget* window, const QString& name, const QString& accessibleName, QRect where) {
    T* control = place<T>(window, name, where);
    control->setAccessibleName(accessibleName);
    return control;
}

// The skin's own colours: its face, the text written on it and the shades of the lines and
// frames drawn on it, as the skin was drawn for them. Every other role, those of the boxes to
// type into and of the buttons, stays the desktop's, so those keep their text and their ground
// from one palette.
QPalette skinPalette() {
    struct Shade {
        QPalette::ColorRole role;
        QRgb colour;
    };
    constexpr std::array<Shade, 7> kShades{{
        {QPalette::Window, 0xefefef},
        {QPalette::WindowText, 0x000000},
        {QPalette::Light, 0xffffff},
        {QPalette::Midlight, 0xcacaca},
        {QPalette::Mid, 0xb8b8b8},
        {QPalette::Dark, 0x9f9f9f},
        {QPalette::Shadow, 0x767676},
    }};
    QPalette skin;
    for (const Shade& shade : kShades)
        skin.setColor(shade.role, QColor(shade.colour));
    skin.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xbebebe));
    return skin;
}

} // namespace

SkinnedWindow::SkinnedWindow(const char* name, QSize twipsSize, const QString& caption,
                             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    setFixedSize(twips(twipsSize));
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    // Whatever the desktop's palette: a dark one would write light text on the light skin.
    setPalette(skinPalette());
    // Drawn on a clear window, so that the desktop shows outside the rounded outline also where
    // the window system does not cut the window to it (Wayland).
    setAttribute(Qt::WA_TranslucentBackground);
    placeOverOpener();
}

void SkinnedWindow::placeOverOpener() {
    // Over the window that opened it while that one is shown, else in the middle of the screen.
    const QWidget* opener = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (opener && opener->isVisible())
        area = opener->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - rect().center());
}

QLabel* SkinnedWindow::addLabel(const QString& name, const QString& text, QRect where) {
    return placeWithText<QLabel>(this, name, text, where);
}

QPushButton* SkinnedWindow::addButton(const QString& name, const QString& text, QRect where) {
    return placeWithText<QPushButton>(this, name, text, where);
}

QRadioButton* SkinnedWindow::addOption(const QString& name, const QString& accessibleName,
                                       QRect where) {
    return placeNamed<QRadioButton>(this, name, accessibleName, where);
}

ImageButton* SkinnedWindow::addPictureButton(const QString& name, const QString& accessibleName,
                                             QRect where) {
    return placeNamed<ImageButton>(this, name, accessibleName, where);
}

QFrame* SkinnedWindow::addFrame(const QString& name, int frameStyle, QRect where) {
    auto* frame = place<QFrame>(this, name, where);
    frame->setFrameStyle(frameStyle);
    return frame;
}

void SkinnedWindow::dragSurfaces(std::initializer_list<QWidget*> surfaces) {
    MoveWindowFrom(surfaces);
}

void SkinnedWindow::fitIndicators(std::initializer_list<QAbstractButton*> boxes) {
    for (QAbstractButton* box : boxes) {
        const bool option = qobject_cast<QRadioButton*>(box) != nullptr;
        const QSize mark(style()->pixelMetric(option ? QStyle::PM_ExclusiveIndicatorWidth
                                                     : QStyle::PM_IndicatorWidth,
                                              nullptr, box),
                         style()->pixelMetric(option ? QStyle::PM_ExclusiveIndicatorHeight
                                                     : QStyle::PM_IndicatorHeight,
                                              nullptr, box));
        box->resize(box->size().expandedTo(mark));
    }
}

void SkinnedWindow::roundCorners() {
    RoundWindow(this, 15, 15);
}

void SkinnedWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    clipToOutline(painter, this);
    painter.fillRect(rect(), palette().window());
}

} // namespace dormivo

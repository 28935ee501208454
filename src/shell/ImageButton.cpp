#include "shell/ImageButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace dormivo {
namespace {

// The dark blue that outlines the skin's buttons.
const QColor kFocusMark(0x17, 0x3f, 0x78);

// How a screen reader sees an image button: a push button or a menu button that can be
// pressed, with no children (its caption is part of it).
class AccessibleImageButton final : public QAccessibleWidget {
public:
    explicit AccessibleImageButton(ImageButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    // Asked each time: a button's role may be set after a reader first saw it.
    QAccessible::Role role() const override {
        return static_cast<ImageButton*>(widget())->role() == ImageButton::Role::MenuButton
                   ? QAccessible::ButtonMenu
                   : QAccessible::Button;
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QStringList actionNames() const override {
        return QStringList{role() == QAccessible::ButtonMenu ? showMenuAction() : pressAction()}
               << QAccessibleWidget::actionNames();
    }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction() || actionName == showMenuAction())
            static_cast<ImageButton*>(widget())->click();
        else
            QAccessibleWidget::doAction(actionName);
    }
};

QAccessibleInterface* accessibleImageButton(const QString& className, QObject* object) {
    if (className != QLatin1String(ImageButton::staticMetaObject.className()))
        return nullptr;
    auto* button = static_cast<ImageButton*>(object);
    if (button->role() == ImageButton::Role::Caption)
        return nullptr; // read as the label it is, inside its button
    return new AccessibleImageButton(button);
}

bool isPressKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Space && !event->isAutoRepeat();
}

} // namespace

ImageButton::ImageButton(QWidget* parent) : QLabel(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleImageButton);
        return true;
    }();
    (void)installed;
    // Tab reaches it; a mouse click leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
}

void ImageButton::setRole(Role role) {
    role_ = role;
    setFocusPolicy(role == Role::Caption ? Qt::NoFocus : Qt::TabFocus);
}

void ImageButton::click() {
    emit pressed();
    emit released();
    emit clicked();
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit pressed();
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    emit released();
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void ImageButton::keyPressEvent(QKeyEvent* event) {
    if (!isPressKey(event))
        return QLabel::keyPressEvent(event);
    emit pressed();
}

void ImageButton::keyReleaseEvent(QKeyEvent* event) {
    if (!isPressKey(event))
        return QLabel::keyReleaseEvent(event);
    emit released();
    emit clicked();
}

void ImageButton::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(kFocusMark, 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void setTextColour(QLabel* label, QColor colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace dormivo

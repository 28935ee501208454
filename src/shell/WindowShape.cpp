#include "shell/WindowShape.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace dormivo {
namespace {

// Follows the mouse until its button is released, for window systems that refuse a move.
class FallbackDrag final : public QObject {
public:
    explicit FallbackDrag(QWidget* window)
        : window_(window), offset_(QCursor::pos() - window->frameGeometry().topLeft()) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove && window_) {
            window_->move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - offset_);
        } else if (event->type() == QEvent::MouseButtonRelease || !window_) {
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
    QPoint offset_;
};

// Moves the window of the control it watches when any button is pressed on that control.
class DragSurface final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress)
            return false;
        DragWindow(static_cast<QWidget*>(watched));
        return true;
    }
};

} // namespace

QRegion roundedRegion(int width, int height, int cornerWidth, int cornerHeight) {
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, width, height), cornerWidth / 2.0, cornerHeight / 2.0);
    return QRegion(path.toFillPolygon().toPolygon());
}

void RoundWindow(QWidget* window, int cornerWidth, int cornerHeight) {
    const QSize size = window->frameGeometry().size();
    const QRegion outline = roundedRegion(size.width(), size.height(), cornerWidth, cornerHeight);
    window->setMask(outline);
    for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!control->isWindow() && !(QRegion(control->geometry()) - outline).isEmpty())
            control->setMask(outline.translated(-control->pos()));
    }
}

void clipToOutline(QPainter& painter, const QWidget* window) {
    if (!window->mask().isEmpty())
        painter.setClipRegion(window->mask());
}

void MoveWindowFrom(std::initializer_list<QWidget*> surfaces) {
    for (QWidget* surface : surfaces)
        surface->installEventFilter(new DragSurface(surface));
}

void DragWindow(QWidget* window) {
    QWidget* top = window->window();
    QWindow* handle = top->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    new FallbackDrag(top);
}

} // namespace dormivo

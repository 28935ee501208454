#pragma once

#include <QRegion>

#include <initializer_list>

class QPainter;
class QWidget;

namespace dormivo {

// The rounded outline of a window of the given outer size: a rectangle from (0, 0) whose
// corners follow an ellipse of cornerWidth by cornerHeight.
QRegion roundedRegion(int width, int height, int cornerWidth, int cornerHeight);

// Gives a borderless window its rounded outline, from the size it has now: pixels outside
// it neither draw nor take mouse input. Some window systems (Wayland) take the outline for
// input only, so the window has to be translucent and draw nothing outside it itself: its
// controls that reach over the outline are cut to it here, and its own painting is clipped
// with clipToOutline().
void RoundWindow(QWidget* window, int cornerWidth, int cornerHeight);

// Clips a painter on a window to the window's outline, once it has one.
void clipToOutline(QPainter& painter, const QWidget* window);

// Moves the window with the mouse until the button is released, as a title bar would; where
// the window system refuses to move it, the window follows the mouse itself.
void DragWindow(QWidget* window);

// Lets pressing any mouse button on each of these controls move their window.
void MoveWindowFrom(std::initializer_list<QWidget*> surfaces);

} // namespace dormivo

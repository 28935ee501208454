#pragma once

#include "shell/Placement.h"

#include <QWidget>

#include <initializer_list>

class QAbstractButton;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace dormivo {

class ImageButton;

// How every window of the program is built: borderless, of a fixed size laid out in twips, in
// the skin's small font, over the window that opened it (or in the middle of the screen), its
// controls placed in twips and named, and its corners rounded when it loads.
class SkinnedWindow : public QWidget {
    Q_OBJECT
public:
    // twipsSize: the size as the window was laid out; caption: the window system's title.
    SkinnedWindow(const char* name, QSize twipsSize, const QString& caption,
                  QWidget* parent = nullptr);

protected:
    // The controls every window is made of, at their places (see twips()).
    QLabel* addLabel(const QString& name, const QString& text, QRect where);
    QPushButton* addButton(const QString& name, const QString& text, QRect where);
    // An option button; its caption is a label of its own, so readers get the name here.
    QRadioButton* addOption(const QString& name, const QString& accessibleName, QRect where);
    // A frame drawn in a QFrame style (shape | shadow), such as a box around a group.
    QFrame* addFrame(const QString& name, int frameStyle, QRect where);
    // A picture or caption that acts as a button; the caller gives it its pictures or text.
    ImageButton* addPictureButton(const QString& name, const QString& accessibleName, QRect where);
    // Lets pressing any mouse button on each of these controls move the window.
    void dragSurfaces(std::initializer_list<QWidget*> surfaces);
    // Check boxes and option buttons keep their places but grow, where the style's mark is
    // larger than the place, so that the mark is never cut off.
    void fitIndicators(std::initializer_list<QAbstractButton*> boxes);
    // Gives the window its rounded corners; the first step of every window's load.
    void roundCorners();

    // The window colour within the rounded outline; outside it the desktop shows.
    void paintEvent(QPaintEvent* event) override;

private:
    void placeOverOpener();
};

} // namespace dormivo

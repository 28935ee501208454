#pragma once

#include "shell/Placement.h"

#include <QWidget>

#include <initializer_list>

class QAbstractButton;
class QLabel;

namespace dormivo {

class ImageButton;

// The common face of the program's dialogs: a borderless window covered by the shared
// background stretched over it, rounded corners, surfaces that move it when pressed, a close
// glyph and a "Close" picture, and Esc to unload it. Unloading closes it and says so once.
class SkinnedDialog : public QWidget {
    Q_OBJECT
public:
    // size in twips, as the window was laid out; caption is the window system's title.
    SkinnedDialog(const char* name, QSize twipsSize, const QString& caption,
                  QWidget* parent = nullptr);

    void unload();

signals:
    void unloaded();

protected:
    // The background stretched over the whole window, which moves the window when pressed.
    QLabel* addBackground(const char* name);
    // A label; pass it to dragSurfaces() to let it move the window.
    QLabel* addLabel(const char* name, const QString& text, QRect place);
    // The title in the title band, in bold; it moves the window.
    QLabel* addTitle(const char* name, const QString& text, QRect place);
    // The 16 x 16 cross and the "Close" picture; both unload the window.
    ImageButton* addCloseGlyph(const char* name, QRect place);
    ImageButton* addClosePicture(const char* name, QRect place);
    void dragSurfaces(std::initializer_list<QWidget*> surfaces);
    // Check boxes and option buttons keep their places but grow, where the style's mark is
    // larger than the place, so that the mark is never cut off.
    void fitIndicators(std::initializer_list<QAbstractButton*> boxes);
    // For windows with nothing to type into or choose: no control takes the keyboard focus,
    // so no key can press a picture by accident; Esc closes the window, and the mouse or a
    // screen reader presses the pictures.
    void keepFocusOffControls();
    // Gives the window its rounded corners; the first step of every dialog's load.
    void roundCorners();

    void closeEvent(QCloseEvent* event) override;

private:
    void placeOverOpener();
    void onKeyPress(int characterCode);
    bool unloaded_ = false;
};

} // namespace dormivo

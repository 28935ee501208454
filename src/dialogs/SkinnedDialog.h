#pragma once

#include "shell/SkinnedWindow.h"

namespace dormivo {

// The common face of the program's dialogs: a skinned window covered by the shared background
// stretched over it, a title that moves it when pressed, a close glyph and a "Close" picture,
// and Esc to unload it. Unloading closes it and says so once.
class SkinnedDialog : public SkinnedWindow {
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
    // The title in the title band, in bold; it moves the window.
    QLabel* addTitle(const char* name, const QString& text, QRect place);
    // The 16 x 16 cross and the "Close" picture; both unload the window.
    ImageButton* addCloseGlyph(const char* name, QRect place);
    ImageButton* addClosePicture(const char* name, QRect place);
    // For windows with nothing to type into or choose: no control takes the keyboard focus,
    // so no key can press a picture by accident; Esc closes the window, and the mouse or a
    // screen reader presses the pictures.
    void keepFocusOffControls();

    void closeEvent(QCloseEvent* event) override;

private:
    void onKeyPress(int characterCode);
    bool unloaded_ = false;
};

} // namespace dormivo

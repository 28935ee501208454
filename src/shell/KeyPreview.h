#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace dormivo {

// The character code of a typed key, as characterCode() gives it and Form_KeyPress takes it.
enum CharacterCode : int {
    kEnter = 13, // Ctrl+M types it too
    kCtrlO = 15,
    kCtrlS = 19,
    kCtrlT = 20,
    kCtrlX = 24,
    kEsc = 27,
};

// The key code of a key, as keyCode() gives it and Form_KeyUp takes it; F2 to F12 follow F1.
enum KeyCode : int { kF1 = 112 };

// Lets a window see every key typed in it before the control that has the focus, without
// taking the key away from that control, and every key released in it.
class KeyPreview final : public QObject {
    Q_OBJECT
public:
    explicit KeyPreview(QWidget* window);

    // The character code a key press types: kEnter for Enter, 1 to 26 for Ctrl with a letter
    // (Ctrl+M is kEnter as well), otherwise the first character of its text; 0 for none.
    static int characterCode(const QKeyEvent* event);
    // The desktop-neutral key code of a key: kF1 and the eleven codes after it for F1 to F12,
    // the capital letter or digit for letter and digit keys, 0 for the others.
    static int keyCode(const QKeyEvent* event);

signals:
    void keyPress(int characterCode);
    void keyRelease(int keyCode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
};

} // namespace dormivo

#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace dormivo {

// Lets a window see every key typed in it before the control that has the focus, without
// taking the key away from that control, and every key released in it.
class KeyPreview final : public QObject {
    Q_OBJECT
public:
    explicit KeyPreview(QWidget* window);

    // The character code a key press types: 13 for Enter, 1 to 26 for Ctrl with a letter
    // (Ctrl+M is 13 as well), otherwise the first character of its text; 0 for none.
    static int characterCode(const QKeyEvent* event);
    // The desktop-neutral key code of a key: 112 to 123 for F1 to F12, the capital letter or
    // digit for letter and digit keys, 0 for the others.
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

#pragma once

#include <QLabel>

namespace dormivo {

// A picture or caption that acts as a button: it reports the press, the release and, when
// the release happens over it, the click. Screen readers see it as a push button or a menu
// button under its accessible name; a caption drawn over another button is part of that
// button and is neither a stop of Tab nor an object of its own for them.
class ImageButton final : public QLabel {
    Q_OBJECT
public:
    enum class Role { PushButton, MenuButton, Caption };

    explicit ImageButton(QWidget* parent = nullptr);

    Role role() const { return role_; }
    void setRole(Role role);
    // Press, release and click at once: what Space and a screen reader's press do.
    void click();

signals:
    void pressed();
    void released();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Role role_ = Role::PushButton;
};

// The colour a label, such as a caption or a menu title, writes its text in.
void setTextColour(QLabel* label, QColor colour);

} // namespace dormivo

#pragma once

#include <QLabel>

namespace dormivo {

// A picture or caption that acts as a button: it reports the press, the release and, when
// the release happens over it, the click.
class ImageButton final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void pressed();
    void released();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace dormivo

#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

#include <optional>

namespace dormivo {

// The window skin: the shared background and the eight button pictures (ImageList1),
// drawn from vector sources at the screen's pixel density.
namespace SkinPictures {

inline constexpr QSize kBackgroundSize{301, 225};

// The eight pictures by position: the minimize bar, the down arrow and the cross, each lit
// (shown while pressed) and then normal; then the raised and the flat button face.
enum Face : int {
    kMinimizeBarLit = 1,
    kMinimizeBar,
    kDownArrowLit,
    kDownArrow,
    kCrossLit,
    kCross,
    kRaisedButton,
    kFlatButton,
};

QPixmap picture(int position, qreal devicePixelRatio = 1.0);
QSize pictureSize(int position);
// The shared background at a size: the panel and its frame stretch to it, and so does the
// title band, unless it is given a height of its own in pixels (down to its edge line).
QPixmap background(QSize size, qreal devicePixelRatio = 1.0, std::optional<int> bandHeight = {});
// The raised button face stretched to a size, with a caption in white across it.
QPixmap captionedButton(QSize size, const QString& caption, qreal devicePixelRatio = 1.0);
QIcon applicationIcon();

} // namespace SkinPictures
} // namespace dormivo

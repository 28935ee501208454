#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

#include <optional>

namespace dormivo {

// The window skin: the shared background and the eight button pictures (ImageList1),
// drawn from vector sources at the screen's pixel density.
namespace SkinPictures {

inline constexpr int kCount = 8;
inline constexpr QSize kBackgroundSize{301, 225};

// Picture at position 1..8: minimize bar, down arrow and cross (each highlighted, then
// normal), then the raised and the flat button face.
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

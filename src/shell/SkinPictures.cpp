#include "shell/SkinPictures.h"

#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace dormivo::SkinPictures {
namespace {

QPixmap render(const QString& resource, QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace

QSize pictureSize(int position) {
    return position >= kRaisedButton ? QSize(104, 36) : QSize(16, 16);
}

QPixmap picture(int position, qreal devicePixelRatio) {
    Q_ASSERT(position >= kMinimizeBarLit && position <= kFlatButton);
    // The buttons swap pictures on every press: draw each one once per pixel density.
    const QString key = QStringLiteral("dormivo-skin-%1@%2").arg(position).arg(devicePixelRatio);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = render(QStringLiteral(":/skin/picture%1.svg").arg(position), pictureSize(position),
                        devicePixelRatio);
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

QPixmap background(QSize size, qreal devicePixelRatio, std::optional<int> bandHeight) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/skin/background.svg"));
    const qreal sx = size.width() / renderer.viewBoxF().width();
    const qreal sy = size.height() / renderer.viewBoxF().height();
    const QRectF band = renderer.boundsOnElement(QStringLiteral("band"));
    const qreal bandBottom = bandHeight ? *bandHeight : band.bottom() * sy;
    const auto stretched = [&](const QString& part) {
        const QRectF bounds = renderer.boundsOnElement(part);
        return QRectF(bounds.x() * sx, bounds.y() * sy, bounds.width() * sx, bounds.height() * sy);
    };
    QPainter painter(&pixmap);
    painter.scale(devicePixelRatio, devicePixelRatio);
    renderer.render(&painter, QStringLiteral("panel"), stretched(QStringLiteral("panel")));
    renderer.render(&painter, QStringLiteral("band"), QRectF(0, 0, size.width(), bandBottom));
    // The edge line under the band keeps its thickness wherever the band ends.
    renderer.render(&painter, QStringLiteral("edge"),
                    QRectF(0, bandBottom, size.width(),
                           renderer.boundsOnElement(QStringLiteral("edge")).height()));
    renderer.render(&painter, QStringLiteral("frame"), stretched(QStringLiteral("frame")));
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QPixmap captionedButton(QSize size, const QString& caption, qreal devicePixelRatio) {
    QPixmap pixmap =
        render(QStringLiteral(":/skin/picture%1.svg").arg(kRaisedButton), size, devicePixelRatio);
    QPainter painter(&pixmap);
    QFont font = painter.font();
    font.setPointSizeF(8);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, caption);
    return pixmap;
}

QIcon applicationIcon() {
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128})
        icon.addPixmap(render(QStringLiteral(":/skin/icon.svg"), QSize(side, side), 1.0));
    return icon;
}

} // namespace dormivo::SkinPictures

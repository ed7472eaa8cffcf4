#include "ui/qt/pictures.h"

#include <QPainter>
#include <QPixmapCache>
#include <QString>
#include <QSvgRenderer>
#include <array>
#include <optional>

// The artwork is compiled into this static library; its registration must be referenced from
// code that is linked, or the linker drops it. Q_INIT_RESOURCE works only outside namespaces.
static void register_assets() {
    Q_INIT_RESOURCE(assets);
}

namespace ui::qt {

namespace {
QString resource_path(Picture picture) {
    static const bool registered = (register_assets(), true);
    (void)registered;
    return QStringLiteral(":/assets/%1.svg").arg(QLatin1StringView(picture_name(picture)));
}
}  // namespace

QSize natural_size(Picture picture) {
    if (picture == Picture::none) return {};
    // Asked at every paint of a background; parse each file once.
    static std::array<std::optional<QSize>, kPictureCount> sizes;
    auto& size = sizes.at(static_cast<std::size_t>(picture));
    if (!size) size = QSvgRenderer(resource_path(picture)).defaultSize();
    return *size;
}

QPixmap picture_pixmap(Picture picture, QSize device_size, qreal dpr) {
    if (picture == Picture::none || device_size.isEmpty()) return {};
    // QPixmapCache lives and dies with the application, unlike a static map of pixmaps.
    const QString key = QStringLiteral("%1@%2x%3@%4")
                            .arg(QLatin1StringView(picture_name(picture)))
                            .arg(device_size.width())
                            .arg(device_size.height())
                            .arg(dpr);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) return pixmap;

    pixmap = QPixmap(device_size);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        QSvgRenderer(resource_path(picture)).render(&painter, QRectF(QPointF(), device_size));
    }
    pixmap.setDevicePixelRatio(dpr);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QIcon picture_icon(Picture picture) {
    QIcon icon;
    if (picture == Picture::none) return icon;
    for (const int side : {16, 32, 48}) icon.addPixmap(picture_pixmap(picture, {side, side}, 1.0));
    return icon;
}

}  // namespace ui::qt

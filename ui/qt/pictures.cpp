#include "ui/qt/pictures.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QString>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

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

// The width and height attributes of the root element, in pixels; empty when they are not
// plain numbers. Reads no further than that element: parsing the whole background for its size
// costs as much as a few milliseconds at start-up.
QSize size_attributes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != QLatin1StringView("svg")) return {};
    bool width_ok = false;
    bool height_ok = false;
    const int width = xml.attributes().value(QLatin1StringView("width")).toInt(&width_ok);
    const int height = xml.attributes().value(QLatin1StringView("height")).toInt(&height_ok);
    return width_ok && height_ok ? QSize(width, height) : QSize();
}
}  // namespace

QSize natural_size(Picture picture) {
    if (picture == Picture::none) return {};
    // Asked at every paint of a background; read each file once.
    static std::array<std::optional<QSize>, kPictureCount> sizes;
    auto& size = sizes.at(static_cast<std::size_t>(picture));
    if (!size) size = size_attributes(resource_path(picture));
    // Sizes in other units, or none: ask the full parser.
    if (size->isEmpty()) size = QSvgRenderer(resource_path(picture)).defaultSize();
    return *size;
}

namespace {
// Alpha only where the picture has translucent pixels: an opaque one (the background) is then
// copied, not blended, at every paint.
QImage without_needless_alpha(QImage image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 255) return image;
        }
    }
    image.convertTo(QImage::Format_RGB32);  // in place: same depth
    return image;
}

QPixmap render(Picture picture, QSize device_size, qreal dpr, QSize part) {
    QImage image(part, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        QSvgRenderer(resource_path(picture)).render(&painter, QRectF(QPointF(), device_size));
    }
    QPixmap pixmap = QPixmap::fromImage(without_needless_alpha(std::move(image)));
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}
}  // namespace

QPixmap picture_pixmap(Picture picture, QSize device_size, qreal dpr) {
    return picture_pixmap(picture, device_size, dpr, device_size);
}

QPixmap picture_pixmap(Picture picture, QSize device_size, qreal dpr, QSize part) {
    part = part.boundedTo(device_size);
    if (picture == Picture::none || part.isEmpty()) return {};
    // Asked for every sprite at every paint: the pixmaps live in QPixmapCache (which lives and
    // dies with the application, unlike a static map of pixmaps); here only their keys, so that
    // a look-up formats no text.
    struct Entry {
        Picture picture;
        QSize size;
        QSize part;
        qreal dpr;
        QPixmapCache::Key key;
    };
    static std::vector<Entry> entries;
    auto entry = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) {
        return e.picture == picture && e.size == device_size && e.part == part && e.dpr == dpr;
    });
    QPixmap pixmap;
    if (entry != entries.end() && QPixmapCache::find(entry->key, &pixmap)) return pixmap;

    pixmap = render(picture, device_size, dpr, part);
    const QPixmapCache::Key key = QPixmapCache::insert(pixmap);
    if (entry != entries.end()) {
        entry->key = key;
    } else {
        entries.push_back({picture, device_size, part, dpr, key});
    }
    return pixmap;
}

QIcon picture_icon(Picture picture) {
    QIcon icon;
    if (picture == Picture::none) return icon;
    for (const int side : {16, 32, 48}) icon.addPixmap(picture_pixmap(picture, {side, side}, 1.0));
    return icon;
}

}  // namespace ui::qt

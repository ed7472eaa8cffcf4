#include "ui/qt/form_view.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "ui/qt/pictures.h"

namespace ui::qt {

namespace {
constexpr double kTwipsPerPixel = 15.0;

// Edges on whole device pixels, so that a pixmap rendered at the rectangle's device size is
// blitted one to one and all sprites of one size get the same pixmap.
QRectF snap(const QRectF& rect, qreal dpr) {
    const auto on_grid = [dpr](qreal v) { return std::round(v * dpr) / dpr; };
    return {on_grid(rect.left()), on_grid(rect.top()), on_grid(rect.width()),
            on_grid(rect.height())};
}

QSize device_size(const QSizeF& logical, qreal dpr) {
    return {static_cast<int>(std::lround(logical.width() * dpr)),
            static_cast<int>(std::lround(logical.height() * dpr))};
}

// Laying a text out shapes it, the dearest step of a paint; the counters are laid out at every
// paint and every change, nearly always with the text they had. So each layout is remembered
// by everything it depends on (a pure function of these values; no pointers kept).
struct TextLayoutKey {
    std::string family;
    Single points = 0;
    bool bold = false;
    bool italic = false;
    int flags = 0;
    bool auto_size = false;
    Alignment alignment = Alignment::left;
    QRectF box;
    QString text;
    bool operator==(const TextLayoutKey&) const = default;
};

struct TextLayout {
    QRectF box;
    QRectF text;
};

class TextLayoutCache {
  public:
    const TextLayout* find(const TextLayoutKey& key) const {
        for (const auto& [k, layout] : entries_) {
            if (k == key) return &layout;
        }
        return nullptr;
    }
    const TextLayout& insert(TextLayoutKey key, TextLayout layout) {
        // A handful of labels per form: when the texts keep changing, start afresh.
        if (entries_.size() >= kCapacity) entries_.clear();
        entries_.emplace_back(std::move(key), layout);
        return entries_.back().second;
    }

  private:
    static constexpr std::size_t kCapacity = 64;
    std::vector<std::pair<TextLayoutKey, TextLayout>> entries_;
};

TextLayoutCache& text_layouts() {
    static TextLayoutCache cache;
    return cache;
}

int horizontal_flag(Alignment alignment) {
    switch (alignment) {
        case Alignment::right:
            return Qt::AlignRight;
        case Alignment::center:
            return Qt::AlignHCenter;
        case Alignment::left:
            break;
    }
    return Qt::AlignLeft;
}
}  // namespace

QColor to_qcolor(Color color, const QPalette& palette) {
    // The only system colour the forms use is the window background (0x80000005).
    if (is_system_color(color)) return palette.color(QPalette::Base);
    return {red(color), green(color), blue(color)};
}

QFont to_qfont(const Font& font) {
    const bool sans = font.family == "Sans Serif";
    QFont qfont(sans ? QString::fromLatin1(kSansFamily) : QString::fromStdString(font.family));
    qfont.setStyleHint(QFont::SansSerif);
    // 9.75 pt is 13 pixels at 96 dpi: every size the forms use is a whole number of pixels.
    qfont.setPixelSize(std::max(1, static_cast<int>(std::lround(font.points * 96.0 / 72.0))));
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    if (sans) {
        // Said once: a face that stands in has other widths, and texts may not fit.
        [[maybe_unused]] static const bool missing = [&qfont] {
            const bool stand_in = QFontInfo(qfont).family() != QLatin1String(kSansFamily);
            if (stand_in) qWarning("%s not found (Debian: fonts-liberation2)", kSansFamily);
            return stand_in;
        }();
    }
    return qfont;
}

QSize FormView::client_size() const {
    const FormDesign& design = form_.design();
    return {static_cast<int>(std::lround(design.client_width_twips / kTwipsPerPixel)),
            static_cast<int>(std::lround(design.client_height_twips / kTwipsPerPixel))};
}

QRectF FormView::to_pixels(const Rect& rect) const {
    const FormDesign& design = form_.design();
    if (form_.scale_width() == 0 || form_.scale_height() == 0) return {};
    const double sx = design.client_width_twips / kTwipsPerPixel / form_.scale_width();
    const double sy = design.client_height_twips / kTwipsPerPixel / form_.scale_height();
    return {(rect.left - form_.scale_left()) * sx, (rect.top - form_.scale_top()) * sy,
            rect.width * sx, rect.height * sy};
}

QRectF FormView::sprite_rect(const Image& image, qreal dpr) const {
    return snap(to_pixels(image.rect()), dpr);
}

QRectF FormView::shape_rect(const Shape& shape, qreal dpr) const {
    return snap(to_pixels(shape.rect()), dpr);
}

FormView::LabelLayout FormView::layout_label(const Label& label) const {
    const LabelStyle& style = label.style();
    LabelLayout layout;
    layout.font = to_qfont(style.font);
    layout.flags = horizontal_flag(style.alignment) | Qt::AlignTop | Qt::TextDontClip |
                   (style.word_wrap ? Qt::TextWordWrap : 0);
    const QString text = QString::fromStdString(label.caption());
    QRectF box = to_pixels(label.rect());
    TextLayoutKey key{style.font.family,
                      style.font.points,
                      style.font.bold,
                      style.font.italic,
                      layout.flags,
                      style.auto_size,
                      style.alignment,
                      box,
                      text};
    if (const TextLayout* known = text_layouts().find(key)) {
        layout.box = known->box;
        layout.text = known->text;
        return layout;
    }
    const QFontMetricsF metrics(layout.font);
    if (style.auto_size && style.word_wrap) {
        // Grows downwards within its width.
        box.setHeight(
            metrics
                .boundingRect(QRectF(box.left(), box.top(), box.width(), 1e6), layout.flags, text)
                .height());
    } else if (style.auto_size) {
        const qreal width = metrics.horizontalAdvance(text);
        qreal left = box.left();
        if (style.alignment == Alignment::right) left = box.right() - width;
        if (style.alignment == Alignment::center) left = box.center().x() - width / 2;
        box = QRectF(left, box.top(), width, metrics.height());
    }
    layout.box = box;
    layout.text = metrics.boundingRect(box, layout.flags, text);
    text_layouts().insert(std::move(key), TextLayout{layout.box, layout.text});
    return layout;
}

QRect FormView::covered(const Control& control, qreal dpr) const {
    // One pixel of margin: antialiased glyphs and edges may reach beyond the box, and a
    // rectangle remembered at another device pixel ratio may differ by a fraction of a pixel.
    switch (control.kind()) {
        case ControlKind::image: {
            const auto& image = static_cast<const Image&>(control);
            if (!image.visible() || image.picture() == Picture::none) return {};
            return sprite_rect(image, dpr).toAlignedRect().adjusted(-1, -1, 1, 1);
        }
        case ControlKind::shape: {
            const auto& shape = static_cast<const Shape&>(control);
            if (!shape.visible()) return {};
            return shape_rect(shape, dpr).toAlignedRect().adjusted(-1, -1, 1, 1);
        }
        case ControlKind::label: {
            const auto& label = static_cast<const Label&>(control);
            if (!label.visible()) return {};
            const LabelLayout layout = layout_label(label);
            return layout.box.united(layout.text).toAlignedRect().adjusted(-1, -1, 1, 1);
        }
        case ControlKind::timer:
        case ControlKind::menu:
        case ControlKind::button:
            break;
    }
    return {};
}

void FormView::paint(QPainter& painter, const QRegion& dirty, qreal dpr, const QPalette& palette,
                     const std::map<const Control*, QRect>* known) const {
    const FormDesign& design = form_.design();
    const QSize client = client_size();
    QPixmap background;
    if (design.background != Picture::none) {
        // Unscaled from the top-left corner; the client area shows as much as fits, and only
        // that much is rendered.
        const QSize natural = natural_size(design.background);
        background = picture_pixmap(design.background, device_size(natural, dpr), dpr,
                                    device_size(client, dpr));
    }
    // An opaque background over the whole client area hides the back colour.
    const QSizeF shown = background.deviceIndependentSize();
    if (background.isNull() || background.hasAlphaChannel() || shown.width() < client.width() ||
        shown.height() < client.height()) {
        const QColor back_color = to_qcolor(design.back_color, palette);
        for (const QRect& rect : dirty) painter.fillRect(rect, back_color);
    }
    if (!background.isNull()) {
        // Rectangle by rectangle: one copy of each, where the whole picture through the
        // region's clip runs span by span (and on threads of the pool for tall regions).
        const QRect shown_rect(QPoint(0, 0), shown.toSize());
        for (const QRect& rect : dirty) {
            const QRect part = rect.intersected(shown_rect);
            if (part.isEmpty()) continue;
            painter.drawPixmap(part, background,
                               QRectF(part.topLeft() * dpr, QSizeF(part.size()) * dpr));
        }
    }

    const auto covers = [&](const Control& control) {
        if (known != nullptr) {
            if (const auto it = known->find(&control); it != known->end()) return it->second;
        }
        return covered(control, dpr);
    };
    for (const VisualControl* control : form_.paint_order()) {
        if (!dirty.intersects(covers(*control))) continue;
        switch (control->kind()) {
            case ControlKind::image:
                paint_image(painter, *static_cast<const Image*>(control), dpr);
                break;
            case ControlKind::shape:
                paint_shape(painter, *static_cast<const Shape*>(control), dpr, palette);
                break;
            case ControlKind::label:
                paint_label(painter, *static_cast<const Label*>(control), palette);
                break;
            case ControlKind::timer:
            case ControlKind::menu:
            case ControlKind::button:
                break;
        }
    }
}

void FormView::paint_image(QPainter& painter, const Image& image, qreal dpr) const {
    const QRectF rect = sprite_rect(image, dpr);
    painter.drawPixmap(rect.topLeft(),
                       picture_pixmap(image.picture(), device_size(rect.size(), dpr), dpr));
}

void FormView::paint_shape(QPainter& painter, const Shape& shape, qreal dpr,
                           const QPalette& palette) const {
    const ShapeStyle& style = shape.style();
    const QRectF rect = shape_rect(shape, dpr);
    if (rect.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, style.type == ShapeType::circle);
    painter.setBrush(style.filled ? QBrush(to_qcolor(style.fill_color, palette)) : QBrush());
    if (style.bordered) {
        QPen pen(to_qcolor(style.border_color, palette), 1.0);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
    } else {
        painter.setPen(Qt::NoPen);
    }
    // A 1 pixel border lies inside the box.
    const QRectF path = style.bordered ? rect.adjusted(0.5, 0.5, -0.5, -0.5) : rect;
    if (style.type == ShapeType::circle) {
        // A circle fills the shorter side of its box, centred in it.
        const qreal diameter = std::min(path.width(), path.height());
        QRectF circle(0, 0, diameter, diameter);
        circle.moveCenter(path.center());
        painter.drawEllipse(circle);
    } else {
        painter.drawRect(path);
    }
    painter.restore();
}

void FormView::paint_label(QPainter& painter, const Label& label, const QPalette& palette) const {
    const LabelStyle& style = label.style();
    const LabelLayout layout = layout_label(label);
    if (!style.transparent) painter.fillRect(layout.box, to_qcolor(style.back_color, palette));
    painter.setFont(layout.font);
    painter.setPen(to_qcolor(style.fore_color, palette));
    painter.drawText(layout.box, layout.flags, QString::fromStdString(label.caption()));
}

}  // namespace ui::qt

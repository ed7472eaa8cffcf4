// Draws a form's model with QPainter. The model is in the form's units; the client area is
// twips / 15 logical pixels (96 dpi), and art is rendered at the device pixel ratio so that it
// stays crisp on high-density screens. Widgets (menus, buttons) are FormWindow's business.
#pragma once

#include <QFont>
#include <QPalette>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QSize>
#include <map>

#include "ui/controls.h"
#include "ui/form.h"

class QPainter;

namespace ui::qt {

// A colour of the form descriptions; the system window background (0x80000005) comes from the
// palette.
QColor to_qcolor(Color color, const QPalette& palette);

// The face of the forms' "Sans Serif": its widths suit the boxes the forms were laid out with.
inline constexpr const char* kSansFamily = "Liberation Sans";

// The font of a label or button: "Sans Serif" is Liberation Sans at the described size. Sized
// in pixels at 96 dpi, the resolution the forms were laid out at, so text fits its box whatever
// the screen's dpi. Warns once when the face is missing and another stands in.
QFont to_qfont(const Font& font);

class FormView {
  public:
    explicit FormView(const Form& form) : form_(form) {}

    // Client area in logical pixels.
    QSize client_size() const;
    // A rectangle in the form's units to logical pixels of the client area.
    QRectF to_pixels(const Rect& rect) const;
    // Logical pixels that the control paints, aligned outward to whole pixels; empty when it
    // is hidden or draws nothing. Buttons are widgets and paint nothing here.
    QRect covered(const Control& control, qreal dpr) const;

    // Background colour and picture, then the images (higher layer above), the shapes and
    // the labels, each in creation order, restricted to the controls that `dirty` touches.
    // Pixels outside `dirty` are left to the painter's clip (a paint event's region). `known`
    // holds what each control covered when it was last drawn, so that a paint need not lay
    // out every label again; a control not in it is measured.
    void paint(QPainter& painter, const QRegion& dirty, qreal dpr, const QPalette& palette,
               const std::map<const Control*, QRect>* known = nullptr) const;

    struct LabelLayout {
        QFont font;
        QRectF box;   // the label's box, grown to its text when auto-sized
        QRectF text;  // where the text lands; may spill out of a box that is too small
        int flags = 0;
    };
    LabelLayout layout_label(const Label& label) const;

  private:
    QRectF sprite_rect(const Image& image, qreal dpr) const;
    QRectF shape_rect(const Shape& shape, qreal dpr) const;

    void paint_image(QPainter& painter, const Image& image, qreal dpr) const;
    void paint_shape(QPainter& painter, const Shape& shape, qreal dpr,
                     const QPalette& palette) const;
    void paint_label(QPainter& painter, const Label& label, const QPalette& palette) const;

    const Form& form_;
};

}  // namespace ui::qt

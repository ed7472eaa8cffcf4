// The pictures as pixmaps: each is an SVG in the resources (":/assets/NAME.svg"), rendered at
// the size it is shown and cached, so sprites stay crisp at any device pixel ratio.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

#include "ui/types.h"

namespace ui::qt {

// The picture's own size in logical pixels (the background's 577 x 485); empty for none.
QSize natural_size(Picture picture);

// The picture rendered to device_size device pixels, tagged with the device pixel ratio so that
// it paints at device_size / dpr logical pixels. Null for Picture::none or an empty size.
QPixmap picture_pixmap(Picture picture, QSize device_size, qreal dpr);
// Only the top-left `part` (device pixels) of that rendering: what a picture drawn unscaled
// from the corner of a smaller area shows (a form's background).
QPixmap picture_pixmap(Picture picture, QSize device_size, qreal dpr, QSize part);

// A window icon holding the picture at 16, 32 and 48 pixels; null for Picture::none.
QIcon picture_icon(Picture picture);

}  // namespace ui::qt

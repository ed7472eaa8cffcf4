// The playfield both game forms share: the client area, its scale of -60..+60 units on both
// axes with the origin in the centre, the background, the sprites' size and the styles of the
// counters and the air gauges.
#pragma once

#include <string>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/types.h"

namespace games {

// The game forms' frame, with the given caption.
ui::FormDesign playfield_design(std::string caption);

// A sprite's box at a design position (every game sprite is 480 x 480 twips).
ui::Rect sprite_at(const ui::FormDesign& design, ui::Single left, ui::Single top);

// The balls are drawn above every other sprite.
inline constexpr int kBallLayer = 1;

// The counters: transparent, bold 9.75 pt, light cyan; value labels size themselves.
ui::LabelStyle counter_style(bool auto_size);

// The air gauge: the bar, its frame, and the single-player game's bubble.
ui::ShapeStyle air_bar_style();
ui::ShapeStyle air_frame_style();
ui::ShapeStyle bubble_style();

}  // namespace games

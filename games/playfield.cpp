#include "games/playfield.h"

#include <utility>

namespace games {

namespace {
constexpr ui::Single kSpriteWidth = 8.51f;
constexpr ui::Single kSpriteHeight = 10.27f;
}  // namespace

ui::FormDesign playfield_design(std::string caption) {
    ui::FormDesign d;
    d.caption = std::move(caption);
    d.border = ui::BorderStyle::fixed_single;
    d.client_width_twips = 6765;
    d.client_height_twips = 5610;
    d.back_color = 0x00C00000;
    d.background = ui::Picture::underwater;
    d.icon = ui::Picture::fish_purple;
    d.scale_left = -60;
    d.scale_top = -60;
    d.scale_width = 120;
    d.scale_height = 120;
    return d;
}

ui::Rect sprite_at(const ui::FormDesign& design, ui::Single left, ui::Single top) {
    return design.exact_rect(left, top, kSpriteWidth, kSpriteHeight);
}

ui::LabelStyle counter_style(bool auto_size) {
    ui::LabelStyle s;
    s.font = ui::Font{"Sans Serif", 9.75f, true, false};
    s.fore_color = 0x00FFFF80;
    s.transparent = true;
    s.auto_size = auto_size;
    return s;
}

ui::ShapeStyle air_bar_style() {
    return ui::ShapeStyle{ui::ShapeType::rectangle, true, 0x00FF8080, true, 0x00FF8080};
}

ui::ShapeStyle air_frame_style() {
    return ui::ShapeStyle{ui::ShapeType::rectangle, false, 0, true, ui::kSystemWindowBackground};
}

ui::ShapeStyle bubble_style() {
    return ui::ShapeStyle{ui::ShapeType::circle, true, 0x00FFFFC0, false, 0};
}

}  // namespace games

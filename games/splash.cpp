#include "games/splash.h"

#include <utility>

#include "ui/runtime.h"

namespace games {

ui::FormDesign splash_design() {
    ui::FormDesign d;
    d.caption = "Muranko";
    d.border = ui::BorderStyle::none;
    d.show_in_taskbar = false;
    d.client_width_twips = 3750;
    d.client_height_twips = 2490;
    d.back_color = 0x00FF8080;
    return d;
}

ui::LabelStyle splash_label_style(ui::Single points, ui::Alignment alignment) {
    ui::LabelStyle s;
    s.font = ui::Font{"Sans Serif", points, true, false};
    s.fore_color = 0x00000000;
    s.transparent = true;
    s.alignment = alignment;
    s.auto_size = true;
    return s;
}

Splash::Splash(ui::Runtime& runtime, std::string name, std::string game_form, int design_interval)
    : ui::Form(runtime, std::move(name), splash_design()),
      tmr_Start(*this, "tmr_Start", design_interval, true),
      game_form_(std::move(game_form)) {
    tmr_Start.on_timer = [this] { tmr_Start_Timer(); };
}

void Splash::Form_Load() {
    tmr_Start.set_interval(kDelay);
    tmr_Start.set_enabled(true);
}

void Splash::tmr_Start_Timer() {
    runtime().show(game_form_);
    runtime().unload(*this);
}

}  // namespace games

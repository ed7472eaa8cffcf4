// The single-player splash: the game's title, version and date for three seconds, then the
// game form.
#pragma once

#include <array>

#include "games/splash.h"
#include "ui/controls.h"

namespace single_player {

class frm_start : public games::Splash {
  public:
    static constexpr const char* kName = "frm_start";
    explicit frm_start(ui::Runtime& runtime);

    ui::Label lbl_text2;
    // Version line, credit line, date.
    std::array<ui::Label, 3> lbl_1;
    ui::Image img_Fisch;
};

}  // namespace single_player

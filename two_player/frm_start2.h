// The two-player splash: the game's title, version and date beside two fish for three seconds,
// then the two-player game form.
#pragma once

#include <array>

#include "games/splash.h"
#include "ui/controls.h"

namespace two_player {

class frm_start2 : public games::Splash {
  public:
    static constexpr const char* kName = "frm_start2";
    explicit frm_start2(ui::Runtime& runtime);

    // 0 the inflated pufferfish, lying over 1, the deflated one.
    std::array<ui::Image, 2> img_fisch;
    ui::Label lbl_text2;
    // Version line, credit line, date.
    std::array<ui::Label, 3> lbl_1;
};

}  // namespace two_player

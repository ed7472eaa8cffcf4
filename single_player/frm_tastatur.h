// The single-player key list. It names the letter keys only, as the game always did; the
// arrow keys steer the ball as well.
#pragma once

#include <array>

#include "games/dialogs.h"
#include "ui/controls.h"

namespace single_player {

class frm_Tastatur : public games::Dialog {
  public:
    static constexpr const char* kName = "frm_Tastatur";
    explicit frm_Tastatur(ui::Runtime& runtime);

    std::array<ui::Label, 12> Label1;
};

}  // namespace single_player

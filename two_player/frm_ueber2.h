// The two-player about form: two pufferfish over left-aligned lines.
#pragma once

#include <array>

#include "games/dialogs.h"
#include "ui/controls.h"

namespace two_player {

class frm_ueber2 : public games::AboutForm {
  public:
    static constexpr const char* kName = "frm_ueber2";
    explicit frm_ueber2(ui::Runtime& runtime);

    // The inflated fish (0) overlaps the deflated one (1).
    std::array<ui::Image, 2> img_fisch;
};

}  // namespace two_player

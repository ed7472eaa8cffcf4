// The two-player key list, in dark blue under black player headings.
#pragma once

#include <array>

#include "games/dialogs.h"
#include "ui/controls.h"

namespace two_player {

class frm_Tastatur2 : public games::Dialog {
  public:
    static constexpr const char* kName = "frm_Tastatur2";
    explicit frm_Tastatur2(ui::Runtime& runtime);

    std::array<ui::Label, 16> Label1;
};

}  // namespace two_player

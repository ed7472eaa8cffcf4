// The single-player about form: the pufferfish over centred lines.
#pragma once

#include "games/dialogs.h"
#include "ui/controls.h"

namespace single_player {

class frm_ueber : public games::AboutForm {
  public:
    static constexpr const char* kName = "frm_ueber";
    explicit frm_ueber(ui::Runtime& runtime);

    ui::Image img_Fisch;
};

}  // namespace single_player

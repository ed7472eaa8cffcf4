// The help form: a short text and a shell that opens and closes. The two-player game shows
// the same form under the name frm_hilfe2; each name is a form of its own.
#pragma once

#include <string>

#include "games/dialogs.h"
#include "ui/controls.h"
#include "ui/types.h"

namespace single_player {

class frm_hilfe : public games::Dialog {
  public:
    static constexpr const char* kName = "frm_hilfe";
    explicit frm_hilfe(ui::Runtime& runtime, std::string name = kName);

    void Form_Load() override;
    void tmr_muschel_Timer();
    void Animation_muschel();

    ui::Timer tmr_muschel;
    ui::Label lbl_titel;
    ui::Label lbl_text;
    ui::Image img_muschelbild2;
    ui::Image img_muschelbild1;
    ui::Image img_muschel;

    // Which shell the next step shows: 0 the closed one, 1 the open one.
    ui::Integer Muschel_Zustand = 0;
};

}  // namespace single_player

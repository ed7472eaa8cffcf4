// The launcher, the form the program starts on: a pufferfish steered up and down the left side
// fires a shot to the right at three entries; the entry it reaches opens a game's splash or
// ends the program. Form units: the client area spans -50..+49.77 across and -50..+49.75 down,
// y downwards. The launcher never hides or unloads itself.
#pragma once

#include <array>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/types.h"

namespace launcher {

class frm_menu : public ui::Form {
  public:
    static constexpr const char* kName = "frm_menu";
    explicit frm_menu(ui::Runtime& runtime);

    void Form_Load() override;
    void Form_KeyDown(ui::Integer KeyCode, ui::Integer Shift) override;
    void tmr_schuss_Timer();
    // One step of the shot: edges, move, entries, catch, then the chosen entry's action.
    void Schuss_bewegen();

    // Entry `index` (1 to 3, top to bottom) of the control array lbl_menu1.
    ui::Label& lbl_menu1_at(ui::Integer index);

    ui::Timer tmr_schuss;
    // Has no handler: its ticks do nothing.
    ui::Timer tmr_SchlangeBewegen;
    ui::Image img_menuUFO;
    ui::Label lbl_text1;
    // Hidden holders of the two pictures of the sprite.
    ui::Image img_bild2;
    ui::Image img_bild1;
    // lbl_menu1(1) to lbl_menu1(3) at [0] to [2]: "Muranko Singleplayer", "Muranko
    // Multyplayer", "Beenden".
    std::array<ui::Label, 3> lbl_menu1;
    ui::Shape shp_schuss;

    // --- Form-level variables ---
    // The sprite's direction code: 0 still, 1 down, 2 up.
    ui::Integer UFO_Richtung = 0;
    // The shot's own codes: 1 right (outbound), 2 left (returning).
    ui::Integer Schuss_Richtung = 0;
    // Step of the sprite and the shot, in form units.
    ui::Integer Schritt = 0;
    // 1 while a shot is in flight or parked: no new shot.
    ui::Integer Schuss_aktiv = 0;

  private:
    void UFO_bewegen();
    void Schuss_abfeuern();
};

}  // namespace launcher

// The splash forms of both games: a borderless card that shows the game's title for a while
// after it was loaded. Its one tick shows the game form and unloads the splash. Each game's
// splash adds only its own captions and pictures.
#pragma once

#include <string>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/types.h"

namespace games {

// The frame both splash forms share: caption "Muranko" (never shown), no border, not in the
// task bar, 3750 x 2490 twips (250 x 166 pixels), light violet blue, scale in twips.
ui::FormDesign splash_design();

// The splash captions: bold "Sans Serif" at the given size in black on the form's colour,
// auto-sized to their text.
ui::LabelStyle splash_label_style(ui::Single points, ui::Alignment alignment);

class Splash : public ui::Form {
  public:
    // How long the splash stays, in milliseconds from its load.
    static constexpr int kDelay = 3000;

    // Arms tmr_Start for kDelay. A splash shown again while loaded runs no Form_Load, so its
    // delay is not restarted.
    void Form_Load() override;
    // Shows the game form (loading it only if it is not loaded, so an open game comes to the
    // front unchanged), then unloads the splash: one tick per load.
    void tmr_Start_Timer();

    const std::string& game_form() const { return game_form_; }

    // First of the form's controls.
    ui::Timer tmr_Start;

  protected:
    // `design_interval` is tmr_Start's Interval in the form description (enabled either way).
    Splash(ui::Runtime& runtime, std::string name, std::string game_form, int design_interval);

  private:
    std::string game_form_;
};

}  // namespace games

#include "single_player/frm_ueber.h"

namespace single_player {

namespace {
const games::AboutLayout kLayout = {
    {1320, 2400, 1212, 372},
    {1200, 360, 1980, 348},
    {{{720, 960, 2532, 240}, {1080, 1920, 1716, 240}, {1320, 1560, 1260, 240}}},
    "Singleplayer Version 2.1.0",
    ui::Alignment::center,
};
}  // namespace

frm_ueber::frm_ueber(ui::Runtime& runtime)
    : games::AboutForm(runtime, kName,
                       games::dialog_design("Info", 3855, 3060, ui::Picture::icon_info), kLayout),
      img_Fisch(*this, "img_Fisch", design().exact_rect(600, 360, 480, 480),
                ui::Picture::puffer_inflated) {}

}  // namespace single_player

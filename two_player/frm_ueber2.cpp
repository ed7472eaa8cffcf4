#include "two_player/frm_ueber2.h"

namespace two_player {

namespace {
const games::AboutLayout kLayout = {
    {1200, 2280, 1212, 372},
    {1080, 360, 1968, 348},
    {{{600, 960, 2376, 240}, {960, 1920, 1704, 240}, {1200, 1320, 1236, 240}}},
    "Multiplayer Version 2.1.0",
    ui::Alignment::left,
};
}  // namespace

frm_ueber2::frm_ueber2(ui::Runtime& runtime)
    : games::AboutForm(runtime, kName,
                       games::dialog_design("Info", 3675, 2925, ui::Picture::icon_info), kLayout),
      img_fisch(ui::make_array<2>([this](int i) {
          const bool inflated = i == 0;
          // The inflated fish lies over the deflated one.
          return ui::Image(*this, ui::indexed("img_fisch", i),
                           inflated ? design().exact_rect(600, 240, 480, 480)
                                    : design().exact_rect(360, 360, 480, 480),
                           inflated ? ui::Picture::puffer_inflated : ui::Picture::puffer_deflated,
                           true, inflated ? 1 : 0);
      })) {}

}  // namespace two_player

#include "single_player/frm_tastatur.h"

namespace single_player {

namespace {
using games::KeyListRow;

// Keys at Left 360, meanings at Left 1440.
constexpr std::array<KeyListRow, 6> kRows = {{
    {240, {0, 360, 732, "Esc"}, {3, 1440, 2052, "Abbruch"}},
    {600, {2, 360, 732, "P"}, {1, 1440, 732, "Pause"}},
    {960, {5, 360, 732, "A"}, {4, 1440, 1332, "Nach Links"}},
    {1320, {6, 360, 252, "D"}, {7, 1440, 1332, "Nach Rechts"}},
    {1680, {8, 360, 252, "S"}, {9, 1440, 1332, "Nach Unten"}},
    {2040, {10, 360, 372, "W"}, {11, 1440, 1332, "Nach Oben"}},
}};
}  // namespace

frm_Tastatur::frm_Tastatur(ui::Runtime& runtime)
    : games::Dialog(
          runtime, kName,
          games::dialog_design("Tastaturbelegung", 2955, 3225, ui::Picture::puffer_inflated),
          {840, 2520, 1212, 372}),
      Label1(games::key_list_labels<12>(*this, kRows, 0x00000000)) {}

}  // namespace single_player

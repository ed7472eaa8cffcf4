#include "two_player/frm_tastatur2.h"

namespace two_player {

namespace {
using games::KeyListRow;

constexpr ui::Color kDarkBlue = 0x00800000;

// The list's own words: "Spieler 1" heads the letter keys, "Spieler 2" the arrow keys.
constexpr std::array<KeyListRow, 9> kRows = {{
    {240, {0, 360, 732, "Esc"}, {3, 1200, 852, "Abbruch"}},
    {600, {2, 360, 732, "P"}, {1, 1200, 732, "Pause"}},
    {1080, {12, 840, 972, "Spieler 1"}, {}},
    {1440, {5, 360, 732, "A"}, {4, 1200, 1212, "Nach Links"}},
    {1800, {6, 360, 252, "D"}, {7, 1200, 1332, "Nach Rechts"}},
    {2160, {8, 360, 252, "S"}, {9, 1200, 1212, "Nach Unten"}},
    {2520, {10, 360, 372, "W"}, {11, 1200, 1212, "Nach Oben"}},
    {3000, {15, 840, 972, "Spieler 2"}, {}},
    {3360, {13, 360, 1212, "Pfeiltasten"}, {14, 1560, 1212, "Steuerung"}},
}};
}  // namespace

frm_Tastatur2::frm_Tastatur2(ui::Runtime& runtime)
    : games::Dialog(
          runtime, kName,
          games::dialog_design("Tastaturbelegung", 2790, 4440, ui::Picture::puffer_inflated),
          {720, 3840, 1212, 372}),
      Label1(games::key_list_labels<16>(*this, kRows, kDarkBlue)) {}

}  // namespace two_player

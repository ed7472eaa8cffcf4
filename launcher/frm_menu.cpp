#include "launcher/frm_menu.h"

#include "ui/keys.h"
#include "ui/runtime.h"

namespace launcher {

namespace {

using ui::Integer;
using ui::Picture;
using ui::Single;
namespace keys = ui::keys;

// Shot directions.
constexpr Integer kOutbound = 1;
constexpr Integer kReturning = 2;
// Sprite directions (the shared direction codes).
constexpr Integer kDown = 1;
constexpr Integer kUp = 2;

// Where a shot that hit or was caught waits, outside the client area, until the next tick.
constexpr Single kParked = -55;
// Sprite turning points, and the shot's.
constexpr Single kTopMost = -50;
constexpr Single kBottomMost = 50;
constexpr Single kRightEdge = 50;
constexpr Single kLeftEdge = -50;

constexpr const char* kEntryCaptions[] = {"Muranko Singleplayer", "Muranko Multyplayer", "Beenden"};
constexpr Single kEntryLeft[] = {-14.57f, -14.57f, -12.70f};
constexpr Single kEntryTop[] = {-21.50f, -9.29f, 29.39f};

ui::FormDesign menu_design() {
    ui::FormDesign d;
    d.caption = "Menu";
    d.border = ui::BorderStyle::fixed_dialog;
    d.show_in_taskbar = false;
    d.client_width_twips = 6420;
    d.client_height_twips = 5880;
    d.back_color = 0x00C00000;
    d.icon = Picture::fish_purple;
    // 64.34994 twips per unit across, 58.94973 down.
    d.scale_left = -50;
    d.scale_top = -50;
    d.scale_width = 99.767f;
    d.scale_height = 99.746f;
    return d;
}

ui::LabelStyle hint_style() {
    ui::LabelStyle s;
    s.font = ui::Font{"Sans Serif", 12, true, true};
    s.fore_color = 0x0000FF00;
    s.transparent = true;
    s.word_wrap = true;
    return s;
}

ui::LabelStyle entry_style() {
    ui::LabelStyle s;
    s.font = ui::Font{"Sans Serif", 12, true, false};
    s.fore_color = 0x0000FFFF;
    s.transparent = true;
    s.back_color = 0x00000000;
    s.auto_size = true;
    return s;
}

ui::Rect sprite_at(const ui::FormDesign& design, Single left, Single top) {
    return design.exact_rect(left, top, 7.46f, 8.14f);
}

}  // namespace

frm_menu::frm_menu(ui::Runtime& runtime)
    : ui::Form(runtime, kName, menu_design()),
      tmr_schuss(*this, "tmr_schuss", 50, false),
      tmr_SchlangeBewegen(*this, "tmr_SchlangeBewegen", 25, true),
      img_menuUFO(*this, "img_menuUFO", sprite_at(design(), -40.68f, 2.93f),
                  Picture::puffer_inflated),
      lbl_text1(*this, "lbl_text1", design().exact_rect(-44.41f, -43.89f, 87.88f, 18.58f),
                "Menu mit nach Oben- und Unten Taste auswählen und mit der Leertaste bestätigen.",
                hint_style()),
      img_bild2(*this, "img_bild2", sprite_at(design(), -29.49f, 17.18f), Picture::puffer_deflated,
                false),
      img_bild1(*this, "img_bild1", sprite_at(design(), -40.68f, 17.18f), Picture::puffer_inflated,
                false),
      lbl_menu1(ui::make_array<3>([this](int i) {
          // Auto-sized: the backend measures the width; the hit test reads only Left and Top.
          const auto at = static_cast<std::size_t>(i);
          return ui::Label(*this, ui::indexed("lbl_menu1", i + 1),
                           design().exact_rect(kEntryLeft[at], kEntryTop[at], 0, 5.09f),
                           kEntryCaptions[at], entry_style());
      })),
      shp_schuss(*this, "shp_schuss", design().exact_rect(-27.62f, 7.00f, 2.10f, 1.53f),
                 ui::ShapeStyle{ui::ShapeType::circle, true, 0x00000000, true, 0x00000000}, false) {
    tmr_schuss.on_timer = [this] { tmr_schuss_Timer(); };

    declare("UFO_Richtung", UFO_Richtung);
    declare("Schuss_Richtung", Schuss_Richtung);
    declare("Schritt", Schritt);
    declare("Schuss_aktiv", Schuss_aktiv);
}

ui::Label& frm_menu::lbl_menu1_at(Integer index) {
    return lbl_menu1[static_cast<std::size_t>(index - 1)];
}

void frm_menu::Form_Load() {
    Schritt = 1;
    set_key_preview(true);
    img_menuUFO.move(-45, -25);
    Schuss_aktiv = 0;
}

void frm_menu::Form_KeyDown(Integer KeyCode, Integer Shift) {
    (void)Shift;
    // Every key first steps the sprite the way it already goes; the key only steers the next
    // step.
    UFO_bewegen();
    switch (KeyCode) {
        case keys::kDown:
        case keys::kS:
            UFO_Richtung = kDown;
            break;
        case keys::kUp:
        case keys::kW:
            UFO_Richtung = kUp;
            break;
        // The game's rule: Right and A steer down, Left and D up.
        case keys::kRight:
        case keys::kA:
            UFO_Richtung = kDown;
            break;
        case keys::kLeft:
        case keys::kD:
            UFO_Richtung = kUp;
            break;
        case keys::kSpace:
            Schuss_abfeuern();
            break;
        default:
            break;
    }
}

void frm_menu::UFO_bewegen() {
    if (img_menuUFO.top() <= kTopMost) UFO_Richtung = kDown;
    // At the lower turning point the sprite lies one unit below the visible area: the game's
    // rule.
    if (img_menuUFO.top() >= kBottomMost) UFO_Richtung = kUp;
    const Single schritt = Schritt;
    if (UFO_Richtung == kDown) img_menuUFO.set_top(img_menuUFO.top() + schritt);
    if (UFO_Richtung == kUp) img_menuUFO.set_top(img_menuUFO.top() - schritt);
}

void frm_menu::Schuss_abfeuern() {
    if (Schuss_aktiv != 0) return;
    Schuss_aktiv = 1;
    shp_schuss.move(img_menuUFO.left() + 6, img_menuUFO.top() + 3);
    img_menuUFO.set_picture(img_bild2.picture());
    shp_schuss.set_visible(true);
    tmr_schuss.set_enabled(true);
    Schuss_Richtung = kOutbound;
    // The first step at once, before the first tick.
    Schuss_bewegen();
}

void frm_menu::tmr_schuss_Timer() {
    Schuss_bewegen();
}

void frm_menu::Schuss_bewegen() {
    Integer Auswahl = 0;
    // Both edge tests see the position before this step's move.
    if (shp_schuss.left() >= kRightEdge) Schuss_Richtung = kReturning;
    if (shp_schuss.left() <= kLeftEdge) {
        // The flight is over, but this step still moves the shot: a shot lost at the left edge
        // stays visible at -51.
        tmr_schuss.set_enabled(false);
        Schuss_aktiv = 0;
    }
    const Single schritt = Schritt;
    if (Schuss_Richtung == kOutbound) shp_schuss.set_left(shp_schuss.left() + schritt);
    if (Schuss_Richtung == kReturning) shp_schuss.set_left(shp_schuss.left() - schritt);

    // Only the entries' Left and Top count, not their size nor the shot's direction. A hit
    // parks the shot, so a later entry cannot be hit in the same step.
    for (Integer i = 1; i <= 3; ++i) {
        const ui::Label& entry = lbl_menu1_at(i);
        if (shp_schuss.left() >= entry.left() && shp_schuss.top() <= entry.top() + Single{4} &&
            shp_schuss.top() >= entry.top() - Single{3}) {
            shp_schuss.move(kParked, kParked);
            Auswahl = i;
        }
    }

    // The catch line lies one unit short of where a shot starts, so only a returning shot
    // is caught.
    if (shp_schuss.left() <= img_menuUFO.left() + Single{5} &&
        shp_schuss.top() <= img_menuUFO.top() + Single{4} &&
        shp_schuss.top() >= img_menuUFO.top() - Single{4}) {
        shp_schuss.move(kParked, kParked);
        img_menuUFO.set_picture(img_bild1.picture());
    }

    switch (Auswahl) {
        case 1:
            runtime().show("frm_start");
            break;
        case 2:
            runtime().show("frm_start2");
            break;
        case 3:
            runtime().end();
            break;
        default:
            break;
    }
}

}  // namespace launcher

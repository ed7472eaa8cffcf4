#include "tests/fuzz/invariants.h"

#include <utility>

#include "launcher/frm_menu.h"
#include "single_player/frm_main.h"
#include "two_player/frm_main2.h"
#include "ui/keys.h"

namespace fuzz {

namespace {

using ui::Form;
using Memory = std::array<float, 2>;
namespace keys = ui::keys;
constexpr bool kWhole = true;

// Both games on their -60..60 field: a sprite steered by a direction code stays within
// -60..52; pearls and the extra-life item are placed at -48..51; each air gauge is a bar of
// Height 0..30 standing on the line 55, in a frame of 30. (Hidden sprites are exempt.)
constexpr Range kRanges[] = {
    {"frm_menu", "img_menuUFO", Prop::left, -45, -45},
    {"frm_menu", "img_menuUFO", Prop::top, -50, 50, kWhole},
    {"frm_menu", "shp_schuss", Prop::left, -56, 50},
    {"frm_menu", "*_Richtung", Prop::value, 0, 2},
    {"frm_menu", "Schritt", Prop::value, 1, 1},
    {"frm_hilfe*", "Muschel_Zustand", Prop::value, 0, 1},

    {"frm_main*", "Img_ball*", Prop::left, -60, 52, kWhole},
    {"frm_main*", "Img_ball*", Prop::top, -60, 52, kWhole},
    {"frm_main*", "img_feind(*", Prop::left, -60, 52, kWhole},
    {"frm_main*", "img_feind(*", Prop::top, -60, 52, kWhole},
    {"frm_main*", "img_futter", Prop::left, -48, 51, kWhole},
    {"frm_main*", "img_futter", Prop::top, -48, 51, kWhole},
    {"frm_main*", "shp_luftIst*", Prop::height, 0, 30, kWhole},
    {"frm_main*", "shp_lu*", Prop::bottom, 55, 55},
    {"frm_main*", "shp_luftmax*", Prop::height, 30, 30},
    {"frm_main*", "*Richtung*", Prop::value, 0, 4},
    {"frm_main*", "Zeit_laeuft", Prop::value, 0, 1},
    {"frm_main*", "Spiel_aktiv", Prop::value, 0, 1},

    // Second-kind fish enter at Left 60 and drift left while they wait, hidden; a preset between
    // games shows them wherever they stand.
    {"frm_main", "img_Feind2(*)", Prop::left, -1e9f, 60, kWhole},
    {"frm_main", "img_Feind2(*)", Prop::top, -59, 60, kWhole},
    {"frm_main", "Feind2_Hoehe(*)", Prop::value, -59, 60, kWhole},
    {"frm_main", "tmr_feind2Starten(*)", Prop::interval, 0, 9000},
    {"frm_main", "shp_lu*", Prop::left, 52, 52},
    {"frm_main", "shp_Blater", Prop::top, 0.01f, 55},
    {"frm_main", "Level", Prop::value, 0, 7},
    {"frm_main", "Zaehler", Prop::value, 0, 9},
    // Three at a start, one more per level; a game ends at the step that takes it below 0.
    {"frm_main", "Leben", Prop::value, -1, 10},
    {"frm_main", "Anzahl_Feind2", Prop::value, 2, 6},
    {"frm_main", "Luftverbrauch", Prop::value, 1, 3},
    {"frm_main", "Ball_Bild", Prop::value, 0, 1},

    {"frm_main2", "img_leben", Prop::left, -48, 51, kWhole, -70},
    {"frm_main2", "img_leben", Prop::top, -48, 51, kWhole, -70},
    {"frm_main2", "shp_lu*(0)", Prop::left, 52, 52},
    {"frm_main2", "shp_lu*(1)", Prop::left, -55, -55},
    {"frm_main2", "Zaehler(*)", Prop::value, 0, 32767},
    {"frm_main2", "Leben(*)", Prop::value, -1, 32767},
    {"frm_main2", "Banane_*", Prop::value, 0, 101},
    {"frm_main2", "tmr_leben", Prop::interval, 1000, 60000},
};

template <typename F>
const F* as(const Form& form) {
    return dynamic_cast<const F*>(&form);
}

// One shot at a time: in flight exactly while its timer runs, with the Top it was fired at
// until it is parked (at Top -55).
std::optional<std::string> launcher_shot(const Form& form, Memory& was) {
    const auto* f = as<launcher::frm_menu>(form);
    if (f == nullptr) return std::nullopt;
    const Memory now = {static_cast<float>(f->Schuss_aktiv), f->shp_schuss.top()};
    const bool moved =
        was[0] == 1 && now[0] == 1 && was[1] != -55 && now[1] != -55 && now[1] != was[1];
    const std::string from = ui::format_single(std::exchange(was, now)[1]);
    if (f->Schuss_aktiv != (f->tmr_schuss.enabled() ? 1 : 0))
        return "Schuss_aktiv=" + ui::text_of(f->Schuss_aktiv) +
               " but tmr_schuss enabled=" + std::to_string(f->tmr_schuss.enabled());
    if (moved)
        return "the shot in flight went from Top " + from + " to " + ui::format_single(now[1]);
    return std::nullopt;
}

// Stopped or paused, a game's timers are all off (but the single-player fish's entry timers).
std::optional<std::string> timers_off(const Form& form, Memory&) {
    const auto* one = as<single_player::frm_main>(form);
    const auto* two = as<two_player::frm_main2>(form);
    if (one ? one->Spiel_aktiv & one->Zeit_laeuft : two->Spiel_aktiv & two->Zeit_laeuft) return {};
    for (const ui::Control* c : form.controls()) {
        const auto* t = dynamic_cast<const ui::Timer*>(c);
        if (t != nullptr && t->enabled() && !matches("tmr_feind2Starten(*)", t->name()))
            return t->name() + " runs while the game is stopped or paused";
    }
    return std::nullopt;
}

constexpr Rule kRules[] = {
    {"frm_menu", "launcher-shot", launcher_shot},
    {"frm_main*", "timers-stopped", timers_off},
};

Play launcher_state(const Form& form) {
    return as<launcher::frm_menu>(form)->Schuss_aktiv == 1 ? Play::waiting : Play::playing;
}

Play single_player_state(const Form& form) {
    const auto* f = as<single_player::frm_main>(form);
    if (f->Spiel_aktiv == 0 || f->Level == 0) return Play::idle;
    return f->Zeit_laeuft == 1 ? Play::playing : Play::waiting;
}

Play two_player_state(const Form& form) {
    const auto* f = as<two_player::frm_main2>(form);
    if (f->Spiel_aktiv == 0 || !f->img_futter.visible()) return Play::idle;
    return f->Zeit_laeuft == 1 ? Play::playing : Play::waiting;
}

constexpr std::array<int, 4> kArrows = {keys::kRight, keys::kLeft, keys::kDown, keys::kUp};
constexpr std::array<int, 4> kLetters = {keys::kD, keys::kA, keys::kS, keys::kW};

// The launcher's shot hits an entry when the sprite's Top lies within -6..+1 of the entry's.
const Pilot kPilots[] = {
    {"frm_menu",
     launcher_state,
     "img_menuUFO",
     {0, 0, keys::kDown, keys::kUp},
     "lbl_menu1(*)",
     -3,
     keys::kSpace},
    {"frm_start*", [](const Form&) { return Play::waiting; }},
    {"frm_main", single_player_state, "Img_ball", kArrows, "img_futter", 0, 0, "img_luft",
     "shp_luftIst", "img_*eind*", "mnu_start", keys::kP, "mnu_beenden"},
    {"frm_main2", two_player_state, "Img_ball(0)", kArrows, "img_futter", 0, 0, "img_luft",
     "shp_luftIst(0)", "img_feind(*", "mnu_start", keys::kP, "mnu_beenden"},
    {"frm_main2", two_player_state, "Img_ball(1)", kLetters, "img_futter", 0, 0, "img_luft",
     "shp_luftIst(1)", "img_feind(*", "mnu_start", keys::kP, "mnu_beenden"},
};

}  // namespace

bool matches(std::string_view pattern, std::string_view name) {
    const auto star = pattern.find('*');
    if (star == std::string_view::npos) return pattern == name;
    return name.size() + 1 >= pattern.size() && name.starts_with(pattern.substr(0, star)) &&
           name.ends_with(pattern.substr(star + 1));
}

std::span<const Range> ranges() {
    return kRanges;
}
std::span<const Rule> rules() {
    return kRules;
}
std::span<const Pilot> pilots() {
    return kPilots;
}

}  // namespace fuzz

#include "bench/scenario.h"

#include "single_player/frm_main.h"
#include "two_player/frm_main2.h"
#include "ui/keys.h"

namespace bench {

namespace {

namespace keys = ui::keys;

// The ball moves one unit per 50 ms tick on a field about 120 units wide and high.
const KeySet kSingleKeys = {
    // Arrows and their letter twins, so that both paths of the key handler are taken.
    {keys::kLeft, keys::kUp, keys::kRight, keys::kDown, keys::kA, keys::kW, keys::kD, keys::kS},
    // Left to the border (where it turns back a little), then down along the tanks.
    {{keys::kLeft, 3500}, {keys::kDown, 3000}}};
// Two players, from their homes low on either side, to the air spot at the top centre.
const KeySet kArrowKeys = {{keys::kLeft, keys::kUp, keys::kRight, keys::kDown},
                           {{keys::kUp, 4000}, {keys::kLeft, 1300}}};
const KeySet kLetterKeys = {{keys::kA, keys::kW, keys::kD, keys::kS},
                            {{keys::kW, 4000}, {keys::kD, 1300}}};

GameSetup single_game() {
    return {single_player::frm_main::kName,
            {"mnu_freak", "mnu_start"},
            "mnu_start",
            "tmr_timer1",
            [](const ui::Form& form) {
                return static_cast<const single_player::frm_main&>(form).Spiel_aktiv != 0;
            },
            {kSingleKeys}};
}

GameSetup two_player_game() {
    return {two_player::frm_main2::kName,
            {"mnu_start"},
            "mnu_start",
            "tmr_ball0",
            [](const ui::Form& form) {
                return static_cast<const two_player::frm_main2&>(form).Spiel_aktiv != 0;
            },
            {kArrowKeys, kLetterKeys}};
}

const std::vector<Scenario>& all_scenarios() {
    static const std::vector<Scenario> scenarios = {
        {"single", {"frm_main"}, {single_game()}},
        {"two", {"frm_main2"}, {two_player_game()}},
        {"all",
         {"frm_menu", "frm_main", "frm_main2", "frm_hilfe", "frm_ueber2"},
         {single_game(), two_player_game()}},
    };
    return scenarios;
}

}  // namespace

const Scenario* find_scenario(std::string_view name) {
    for (const Scenario& scenario : all_scenarios()) {
        if (scenario.name == name) return &scenario;
    }
    return nullptr;
}

}  // namespace bench

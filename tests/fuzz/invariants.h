// The rules of the single-player game form that hold between any two events, whatever the
// player did: sprites inside their ranges and moving no faster than their timers allow,
// counters inside their ranges, the air gauge standing on its bottom line, one difficulty
// checked and the values of that preset in force, the timers that each state of the game has.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "launcher/frm_menu.h"
#include "single_player/frm_main.h"

namespace fuzz {

using Report = std::function<void(std::string check, std::string detail)>;

// Where the moving sprites of one loaded frm_main stood at the previous check.
struct SinglePlayerTracks {
    bool valid = false;
    struct At {
        float left = 0;
        float top = 0;
    };
    At ball;
    std::array<At, 7> fish{};
    std::array<At, 6> fish2{};
    // The lowest Left of a second-kind fish seen so far.
    float lowest_fish2_left = 0;
};

// Checks a loaded frm_main between events. `ticks` is the most steps a 50 ms timer can have
// made since the previous check (see Session). Reports each broken rule.
void check_single_player(const single_player::frm_main& form, SinglePlayerTracks& tracks,
                         std::int64_t ticks, const Report& report);

// Checks the launcher between events: the sprite on its column within -50..50, the shot
// within -56..50, a shot in flight exactly while its timer runs, the codes in their ranges.
void check_launcher(const launcher::frm_menu& form, const Report& report);

// The difficulty entry that carries the check mark, or nullptr when not exactly one does.
const ui::MenuItem* checked_difficulty(const single_player::frm_main& form);

}  // namespace fuzz

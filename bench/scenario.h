// What a benchmark runs: the forms it opens and the games it plays. A scenario is a list of
// forms to show and, for each game among them, how to start it and which keys its players
// press; the Qt modes and the headless mode run the same scenarios.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "bench/key_script.h"
#include "ui/form.h"

namespace bench {

struct GameSetup {
    const char* form;
    std::vector<const char*> start_entries;  // menu entries chosen, in order, for the first game
    const char* restart_entry;               // chosen again when a game has ended
    const char* tick_timer;                  // the timer whose ticks are timed
    std::function<bool(const ui::Form&)> running;  // a game is on (not ended or aborted)
    std::vector<KeySet> players;
};

struct Scenario {
    const char* name;
    std::vector<const char*> forms;  // shown in this order; the last one is in front
    std::vector<GameSetup> games;
};

// "single": the single-player game (Freaks); "two": the two-player game, one script per
// player; "all": the launcher, both games running and two dialogs open.
const Scenario* find_scenario(std::string_view name);

}  // namespace bench

// A scenario on the test runtime's virtual clock, run as fast as it goes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include "app/forms.h"
#include "bench/key_script.h"
#include "bench/modes.h"
#include "bench/scenario.h"
#include "bench/stats.h"
#include "ui/controls.h"
#include "ui/test_runtime.h"

namespace bench {

namespace {
// The longest step of the virtual clock between two looks at the games (has one ended?) and
// at the wall clock.
constexpr std::int64_t kStepMs = 250;

struct Player {
    std::size_t game;
    KeyScript script;
    std::int64_t next_ms = 0;  // virtual time of its next press
};
}  // namespace

int run_headless(const Scenario& scenario, double seconds) {
    ui::TestRuntime runtime;
    app::register_forms(runtime);
    for (const char* name : scenario.forms) runtime.show(name);
    std::int64_t ticks = 0;
    std::vector<ui::Form*> games;
    std::vector<Player> players;
    for (const GameSetup& setup : scenario.games) {
        ui::Form* form = runtime.form(setup.form);
        auto* timer = form != nullptr
                          ? dynamic_cast<ui::Timer*>(form->find_control(setup.tick_timer))
                          : nullptr;
        if (timer == nullptr) {
            std::fprintf(stderr, "muranko-bench: %s did not open\n", setup.form);
            return EXIT_FAILURE;
        }
        auto tick = timer->on_timer;
        timer->on_timer = [&ticks, tick] {
            ++ticks;
            tick();
        };
        for (const char* entry : setup.start_entries) runtime.click(setup.form, entry);
        for (std::size_t p = 0; p < setup.players.size(); ++p) {
            players.push_back(
                {games.size(), KeyScript(setup.players[p], 0x2545F4914F6CDD1DULL + p)});
        }
        games.push_back(form);
    }
    int fish_hits = 0;
    int out_of_air = 0;
    runtime.on_box = [&](const ui::BoxRecord& box) {
        if (box.title.starts_with("Vorsicht") && box.text != "Ihnen ist die Luft ausgegangen!")
            ++fish_hits;
        if (box.text == "Ihnen ist die Luft ausgegangen!") ++out_of_air;
    };

    int restarts = 0;
    const std::int64_t start_ns = monotonic_ns();
    const std::int64_t end_ns = start_ns + static_cast<std::int64_t>(seconds * 1e9);
    const std::int64_t game_start_ms = runtime.now();
    for (Player& player : players) player.next_ms = game_start_ms;
    std::int64_t now_ns = start_ns;
    while (now_ns < end_ns) {
        std::int64_t next_ms = std::numeric_limits<std::int64_t>::max();
        for (Player& player : players) {
            if (player.next_ms <= runtime.now()) {
                const KeyPress press = player.script.next();
                runtime.key(scenario.games[player.game].form, press.key_code);
                player.next_ms = runtime.now() + press.hold_ms;
            }
            next_ms = std::min(next_ms, player.next_ms);
        }
        runtime.advance(std::min(kStepMs, next_ms - runtime.now()));
        for (std::size_t g = 0; g < games.size(); ++g) {
            const GameSetup& setup = scenario.games[g];
            if (!setup.running(*games[g])) {
                runtime.click(setup.form, setup.restart_entry);
                ++restarts;
            }
        }
        now_ns = monotonic_ns();
    }
    const double wall_s = static_cast<double>(now_ns - start_ns) / 1e9;
    const double game_s = static_cast<double>(runtime.now() - game_start_ms) / 1000.0;
    report("wall_s", wall_s);
    report("game_s", game_s);
    report("speed", game_s / wall_s);
    report("ticks", static_cast<double>(ticks));
    report("restarts", restarts);
    report("fish_hits", fish_hits);
    report("out_of_air", out_of_air);
    report("boxes", static_cast<double>(runtime.boxes().size()));
    std::fflush(stdout);
    return EXIT_SUCCESS;
}

}  // namespace bench

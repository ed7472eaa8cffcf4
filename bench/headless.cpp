// The game on the test runtime's virtual clock, run as fast as it goes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/forms.h"
#include "bench/key_script.h"
#include "bench/modes.h"
#include "bench/stats.h"
#include "single_player/frm_main.h"
#include "ui/test_runtime.h"

namespace bench {

namespace {
// The longest step of the virtual clock between two looks at the game (has it ended?) and at
// the wall clock.
constexpr std::int64_t kStepMs = 250;
}  // namespace

int run_headless(double seconds) {
    ui::TestRuntime runtime;
    app::register_forms(runtime);
    auto* game = dynamic_cast<single_player::frm_main*>(runtime.show(app::kStartForm));
    if (game == nullptr) {
        std::fprintf(stderr, "muranko-bench: the game form did not open\n");
        return EXIT_FAILURE;
    }
    std::int64_t ticks = 0;
    auto tick = game->tmr_timer1.on_timer;
    game->tmr_timer1.on_timer = [&ticks, tick] {
        ++ticks;
        tick();
    };
    int fish_hits = 0;
    int out_of_air = 0;
    runtime.on_box = [&](const ui::BoxRecord& box) {
        if (box.title == "Vorsicht!") ++fish_hits;
        if (box.text == "Ihnen ist die Luft ausgegangen!") ++out_of_air;
    };

    runtime.click("frm_main", "mnu_freak");
    runtime.click("frm_main", "mnu_start");
    KeyScript script;
    int games = 1;
    const std::int64_t start_ns = monotonic_ns();
    const std::int64_t end_ns = start_ns + static_cast<std::int64_t>(seconds * 1e9);
    const std::int64_t game_start_ms = runtime.now();
    std::int64_t now_ns = start_ns;
    while (now_ns < end_ns) {
        const KeyPress press = script.next();
        runtime.key("frm_main", press.key_code);
        for (std::int64_t held = 0; held < press.hold_ms && now_ns < end_ns;) {
            const std::int64_t step = std::min(kStepMs, press.hold_ms - held);
            runtime.advance(step);
            held += step;
            if (game->Spiel_aktiv == 0) {
                runtime.click("frm_main", "mnu_start");
                ++games;
            }
            now_ns = monotonic_ns();
        }
    }
    const double wall_s = static_cast<double>(now_ns - start_ns) / 1e9;
    const double game_s = static_cast<double>(runtime.now() - game_start_ms) / 1000.0;
    report("wall_s", wall_s);
    report("game_s", game_s);
    report("speed", game_s / wall_s);
    report("ticks", static_cast<double>(ticks));
    report("games", games);
    report("fish_hits", fish_hits);
    report("out_of_air", out_of_air);
    report("boxes", static_cast<double>(runtime.boxes().size()));
    std::fflush(stdout);
    return EXIT_SUCCESS;
}

}  // namespace bench

// The harness's own tests: a fault planted in the game form is found, and its run is shrunk
// to the one event that causes it.
#include "tests/fuzz/fuzz.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "app/forms.h"
#include "single_player/frm_main.h"

namespace fuzz {
namespace {

// The game form with one planted fault: Enter throws the ball off the field.
class ThrowingBall : public single_player::frm_main {
  public:
    using frm_main::frm_main;
    void Form_KeyDown(ui::Integer key_code, ui::Integer shift) override {
        if (key_code == 13) return Img_ball.move(61, 0);
        frm_main::Form_KeyDown(key_code, shift);
    }
};

Config planted() {
    Config config;
    config.start_form = "frm_main";
    config.register_forms = [](ui::Runtime& rt) {
        app::register_forms(rt);
        rt.register_form("frm_main",
                         [](ui::Runtime& r) { return std::make_unique<ThrowingBall>(r); });
    };
    return config;
}

const auto kEnter = parse("key frm_main 13\n");

TEST(FuzzMinimiser, ShrinksAPlantedFaultToTheOneEventThatCausesIt) {
    // A game with steering, a held key, a pause and a box held open around the fatal Enter.
    const auto events = parse(
        "click frm_main mnu_freak\nclick frm_main mnu_start\nkey frm_main 38 x9\nadvance 700\n"
        "key frm_main 80\nadvance 3000\nkey frm_main 80\nadvance 9000 boxes 1500 0\n"
        "key frm_main 13\nkey frm_main 39\nadvance 400\nclick frm_main mnu_abbrechen\n");
    ASSERT_TRUE(events.has_value());
    EXPECT_EQ(parse(format(*events)), events);
    const auto failure = replay(*events, planted());
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->check, "Img_ball* out of range");
    EXPECT_EQ(failure->event, 8u);
    EXPECT_FALSE(replay(*events).has_value());  // the real form breaks nothing
    EXPECT_EQ(minimise(*events, planted()), kEnter);
}

TEST(FuzzRun, FindsThePlantedFaultAndPrintsItsOneEventReadyToReplay) {
    Options options;
    options.seed = 5;
    options.events = 3000;
    options.quiet = true;
    options.config = planted();
    std::ostringstream out;
    const Summary summary = run(options, out);
    ASSERT_EQ(summary.faults.size(), 1u) << out.str();
    EXPECT_EQ(summary.faults[0].events, kEnter) << out.str();
    EXPECT_EQ(parse(out.str()), kEnter);

    std::string error;
    EXPECT_FALSE(parse("advance soon\n", &error).has_value());
    EXPECT_EQ(error, "line 1: unreadable event: advance soon");
}

}  // namespace
}  // namespace fuzz

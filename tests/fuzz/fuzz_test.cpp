// The harness's own test: a fault planted in the game form is found and shrunk to its one event.
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

TEST(FuzzRun, FindsAPlantedFaultAndShrinksItToItsOneEventReadyToReplay) {
    Config planted;
    planted.start_form = "frm_main";
    planted.register_forms = [](ui::Runtime& rt) {
        app::register_forms(rt);
        rt.register_form("frm_main",
                         [](ui::Runtime& r) { return std::make_unique<ThrowingBall>(r); });
    };
    std::ostringstream out;
    const auto faults = run(5, 3000, planted, out);
    const auto enter = parse("key frm_main 13 # the planted fault\n");
    ASSERT_EQ(faults.size(), 1u) << out.str();
    EXPECT_EQ(faults[0].failure.check, "Img_ball* out of range");
    EXPECT_EQ(faults[0].events, enter) << out.str();
    EXPECT_EQ(parse(out.str()), enter);
    EXPECT_FALSE(replay(*enter).has_value());  // the real form breaks nothing
}

}  // namespace
}  // namespace fuzz

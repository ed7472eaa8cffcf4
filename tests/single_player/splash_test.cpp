// The single-player splash: one tick 3000 ms after its load shows the game and unloads the
// splash; showing it again meanwhile does not restart the delay.
#include <gtest/gtest.h>

#include "app/forms.h"
#include "single_player/frm_main.h"
#include "single_player/frm_start.h"
#include "ui/test_runtime.h"

namespace single_player {
namespace {

class Splash : public ::testing::Test {
  protected:
    Splash() {
        app::register_forms(rt);
        rt.show("frm_menu");
    }
    ui::TestRuntime rt;
};

TEST_F(Splash, ShowsTheGameAfterThreeSecondsAndGoes) {
    auto* splash = dynamic_cast<frm_start*>(rt.show(frm_start::kName));
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->tmr_Start.interval(), 3000);
    rt.advance(2999);
    EXPECT_EQ(rt.form(frm_main::kName), nullptr);
    rt.advance(1);
    EXPECT_NE(rt.form(frm_main::kName), nullptr);
    EXPECT_EQ(rt.form(frm_start::kName), nullptr);
    EXPECT_NE(rt.form("frm_menu"), nullptr);
    EXPECT_EQ(rt.log(),
              (std::vector<std::string>{"@0 load frm_menu", "@0 load frm_start",
                                        "@3000 load frm_main", "@3000 unload frm_start"}));
    // One tick per load: nothing more comes.
    rt.advance(10000);
    EXPECT_EQ(rt.log().size(), 4u);
}

TEST_F(Splash, ShowingItAgainDoesNotRestartTheDelay) {
    rt.show(frm_start::kName);
    rt.advance(2000);
    rt.show(frm_start::kName);
    rt.advance(1000);
    EXPECT_NE(rt.form(frm_main::kName), nullptr);
    EXPECT_EQ(rt.form(frm_start::kName), nullptr);

    // Loaded afresh, it waits the whole delay again.
    rt.show(frm_start::kName);
    rt.advance(2999);
    EXPECT_NE(rt.form(frm_start::kName), nullptr);
    rt.advance(1);
    EXPECT_EQ(rt.form(frm_start::kName), nullptr);
}

TEST_F(Splash, ItsTickBringsAnOpenGameForwardUnchanged) {
    auto* game = dynamic_cast<frm_main*>(rt.show(frm_main::kName));
    ASSERT_TRUE(rt.click(frm_main::kName, "mnu_Profis"));
    rt.show(frm_start::kName);
    rt.advance(3000);
    EXPECT_EQ(rt.form(frm_main::kName), game);
    EXPECT_TRUE(game->mnu_Profis.checked());
    EXPECT_EQ(std::count(rt.log().begin(), rt.log().end(), "@0 load frm_main"), 1);
    EXPECT_EQ(rt.log().back(), "@3000 unload frm_start");
}

}  // namespace
}  // namespace single_player

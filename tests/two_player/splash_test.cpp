// The two-player splash: its one tick, 3000 ms after its load, shows the two-player game and
// unloads the splash.
#include <gtest/gtest.h>

#include "app/forms.h"
#include "two_player/frm_main2.h"
#include "two_player/frm_start2.h"
#include "ui/test_runtime.h"

namespace two_player {
namespace {

TEST(TwoPlayerSplash, OneTickAfterThreeSecondsShowsTheGameLoadingItOnlyOnce) {
    ui::TestRuntime rt;
    app::register_forms(rt);
    rt.show("frm_menu");
    rt.show(frm_start2::kName);
    rt.advance(2999);
    EXPECT_EQ(rt.form(frm_main2::kName), nullptr);
    rt.advance(1);
    auto* game = dynamic_cast<frm_main2*>(rt.form(frm_main2::kName));
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(rt.form(frm_start2::kName), nullptr);

    // With the game open, the next splash brings it forward unchanged.
    rt.key(frm_main2::kName, 'P');
    rt.show(frm_start2::kName);
    rt.advance(3000);
    EXPECT_EQ(rt.form(frm_main2::kName), game);
    EXPECT_EQ(game->Zeit_laeuft, 0);
    EXPECT_EQ(std::count(rt.log().begin(), rt.log().end(), "@3000 load frm_main2"), 1);
    EXPECT_EQ(rt.log().back(), "@6000 unload frm_start2");
}

}  // namespace
}  // namespace two_player

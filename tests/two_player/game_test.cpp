// Rules of the two-player game at their edges; whole games are golden scenarios.
#include <memory>

#include "tests/single_player/game_fixture.h"
#include "two_player/frm_main2.h"

namespace games::testing {
namespace {

using two_player::frm_main2;

// A started game on its own runtime; of Start's two pearl placements the second puts the pearl
// at (left, top). The fish stay where a test puts them: no turns.
struct Started {
    explicit Started(int left = 40, int top = -40) {
        app::register_forms(rt);
        form = dynamic_cast<frm_main2*>(rt.show("frm_main2"));
        rt.queue_random(pearl_at(0, 0));
        rt.queue_random(pearl_at(left, top));
        rt.click("frm_main2", "mnu_start");
        form->tmr_feind.set_enabled(false);
    }
    ui::TestRuntime rt;
    frm_main2* form = nullptr;
};

TEST(TwoPlayers, EachKeySetSteersOnlyItsBallAndOnlyWhileAGameRuns) {
    struct Case {
        int key;
        ui::Integer richtung0, richtung1;
    };
    const Case cases[] = {
        {keys::kDown, kDown, kStill}, {keys::kUp, kUp, kStill},  {keys::kRight, kRight, kStill},
        {keys::kLeft, kLeft, kStill}, {keys::kS, kStill, kDown}, {keys::kW, kStill, kUp},
        {keys::kD, kStill, kRight},   {keys::kA, kStill, kLeft}, {keys::kSpace, kStill, kStill}};
    Started game;
    for (const Case& c : cases) {
        game.form->Richtung0 = game.form->Richtung1 = kStill;
        game.rt.key("frm_main2", c.key);
        EXPECT_EQ(game.form->Richtung0, c.richtung0) << c.key;
        EXPECT_EQ(game.form->Richtung1, c.richtung1) << c.key;
    }
    for (const int key : {keys::kP, keys::kUp, keys::kEsc, keys::kW}) game.rt.key("frm_main2", key);
    EXPECT_EQ(game.form->Richtung0, kStill);  // paused, then aborted while paused
    EXPECT_EQ(game.form->Richtung1, kStill);
}

TEST(TwoPlayers, ThePearlCountsBeforeTheFishAndBonusLivesComeAt30And60Only) {
    for (const int player : {0, 1}) {
        for (const int before : {29, 59, 89}) {
            const auto k = static_cast<std::size_t>(player);
            Started game(0, 0);
            frm_main2& f = *game.form;
            f.Img_ball[k].move(0, 0);
            f.img_feind[1].move(3, -3);  // a hit in the same step
            f.Zaehler[k] = static_cast<ui::Integer>(before);
            f.Leben[k] = 1;
            game.rt.queue_random(pearl_at(30, 30));
            game.rt.queue_random(pearl_at(-20, 40));
            std::string pearls_during_box = "none";
            game.rt.on_box = [&](const ui::BoxRecord&) {
                pearls_during_box = f.lbl_zaehler[k].caption();
            };
            player == 0 ? f.tmr_ball0_Timer() : f.tmr_ball1_Timer();
            // A bonus sends the fish home before the fish are tested.
            const bool bonus = before != 89;
            EXPECT_EQ(f.Leben[k], bonus ? 2 : 0) << player << " " << before;
            EXPECT_EQ(pearls_during_box, bonus ? "none" : "90") << player << " " << before;
        }
    }
}

TEST(TwoPlayers, WhenPlayerOneLosesOnAirPlayerTwoGetsNoAirStepInThatTick) {
    for (const ui::Integer lives : {1, 0}) {
        Started game;
        game.form->Leben = {lives, lives};
        set_air(game.form->shp_luftIst[0], 1);
        set_air(game.form->shp_luftIst[1], 1);
        game.rt.advance(5000);
        ASSERT_EQ(game.rt.boxes().size(), 2u);
        EXPECT_EQ(game.rt.boxes()[1].text,
                  lives == 0 ? "Schade, schade" : "Ihnen ist die Luft ausgegangen!");
        EXPECT_EQ(game.form->shp_luftIst[1].height(), lives == 0 ? 1 : 30);
    }
}

}  // namespace
}  // namespace games::testing

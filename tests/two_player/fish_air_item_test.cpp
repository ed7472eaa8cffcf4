// The fish, the air gauges and the extra-life item of the two-player game.
#include <gtest/gtest.h>

#include "tests/two_player/game_fixture.h"

namespace two_player::testing {
namespace {

TEST_F(TwoPlayers, FishTakeTwoStepsPerCallAndTurnWithinOne) {
    struct Case {
        ui::Single left, top;
        ui::Integer direction;
        ui::Single left_after, top_after;
        ui::Integer direction_after;
    };
    const Case cases[] = {
        {-30, -59, kUp, -30, -59, kDown},      // -60, then turned and back
        {-60, -60, kLeft, -59, -59, kDown},    // the Left test wins the corner, then the Top test
        {-30, -30, kStill, -30, -30, kStill},  // no border, no move
    };
    for (const auto& c : cases) {
        for (std::size_t f = 0; f < 3; ++f) {
            form->img_feind[f].move(c.left, c.top);
            form->Feind_Richtung[f] = c.direction;
        }
        form->feind_aktiv();
        for (std::size_t f = 0; f < 3; ++f) {
            EXPECT_EQ(form->img_feind[f].left(), c.left_after) << c.left << ", " << c.top;
            EXPECT_EQ(form->img_feind[f].top(), c.top_after) << c.left << ", " << c.top;
            EXPECT_EQ(form->Feind_Richtung[f], c.direction_after);
        }
    }
}

TEST_F(TwoPlayers, OutOfAirCostsALifeAndPutsTheBallInTheCentre) {
    start();
    hold_the_fish();
    form->tmr_leben.set_enabled(false);
    lives(1) = 1;
    set_air(bar(1), 1);
    form->img_feind[0].move(10, 10);
    form->img_feind[2].move(-30, -30);
    rt.advance(5000);
    ASSERT_EQ(rt.boxes().size(), 1u);
    EXPECT_EQ(rt.boxes()[0].text, "Ihnen ist die Luft ausgegangen!");
    EXPECT_EQ(rt.boxes()[0].title, "Vorsicht!");
    EXPECT_EQ(lives(1), 0);
    EXPECT_EQ(ball(1).left(), 0);
    EXPECT_EQ(ball(1).top(), 0);
    EXPECT_EQ(form->img_feind[0].left(), -50);
    EXPECT_EQ(form->img_feind[2].left(), -30);  // fish 2 stays
    EXPECT_EQ(bar(1).top(), 25);
    EXPECT_EQ(bar(0).height(), 29);
}

TEST_F(TwoPlayers, BothGaugesOutInOneTick) {
    struct Case {
        ui::Integer lives;
        std::vector<std::string> boxes;
        ui::Single player2_bar;
    };
    const Case cases[] = {
        {1, {"Ihnen ist die Luft ausgegangen!", "Ihnen ist die Luft ausgegangen!"}, 30},
        // Player 1 loses: the game ends before player 2's share of the tick.
        {0, {"Ihnen ist die Luft ausgegangen!", "Schade, schade"}, 1},
    };
    for (const auto& c : cases) {
        ui::TestRuntime local;
        app::register_forms(local);
        auto* f = dynamic_cast<frm_main2*>(local.show(kForm));
        local.queue_random(pearl_at(0, 0));
        local.queue_random(pearl_at(40, -40));
        ASSERT_TRUE(local.click(kForm, "mnu_start"));
        f->tmr_feind.set_enabled(false);
        f->Leben = {c.lives, c.lives};
        set_air(f->shp_luftIst[0], 1);
        set_air(f->shp_luftIst[1], 1);
        local.advance(5000);
        std::vector<std::string> texts;
        for (const auto& box : local.boxes()) texts.push_back(box.text);
        EXPECT_EQ(texts, c.boxes) << c.lives;
        EXPECT_EQ(f->shp_luftIst[1].height(), c.player2_bar) << c.lives;
        EXPECT_EQ(f->Spiel_aktiv, c.lives == 0 ? 0 : 1);
        if (c.lives == 1) {
            EXPECT_EQ(f->Img_ball[0].left(), 0);
            EXPECT_EQ(f->Img_ball[1].left(), 0);
        }
    }
}

TEST_F(TwoPlayers, AnOutOfAirBoxHeldOpenCostsOneLifeAndOpensNoOtherBox) {
    start();
    hold_the_fish();
    form->tmr_leben.set_enabled(false);
    lives(0) = 1;
    set_air(bar(0), 1);
    rt.on_box = [&](const ui::BoxRecord&) { rt.advance(20000); };
    rt.advance(5000);
    EXPECT_EQ(rt.boxes().size(), 1u);
    EXPECT_EQ(lives(0), 0);
    // Refilled when the box closed; the air tick that fell due meanwhile came once.
    EXPECT_EQ(bar(0).height(), 29);
    EXPECT_EQ(rt.now(), 25000);
    rt.on_box = nullptr;
    rt.advance(4999);
    EXPECT_EQ(bar(0).height(), 29);
    rt.advance(1);
    EXPECT_EQ(bar(0).height(), 28);
}

TEST_F(TwoPlayers, ItemWaitsAWholeNumberOfSecondsFrom1To60AndLandsFromMinus48To51) {
    start();
    hold_the_fish();
    struct Case {
        ui::Single r;
        int interval;
        ui::Single place;
    };
    const Case cases[] = {{0.0f, 1000, -48}, {0.99999994f, 60000, 51}, {0.5f, 31000, 2}};
    for (const auto& c : cases) {
        rt.queue_random({c.r, c.r, c.r});
        form->tmr_leben_Timer();
        EXPECT_EQ(form->tmr_leben.interval(), c.interval) << c.r;
        EXPECT_TRUE(form->tmr_leben.enabled());
        EXPECT_TRUE(form->img_leben.visible());
        EXPECT_EQ(form->img_leben.left(), c.place) << c.r;
        EXPECT_EQ(form->img_leben.top(), c.place) << c.r;
    }
}

TEST_F(TwoPlayers, ACaughtItemGivesALifeAndComesBackAtTheNextTick) {
    start();
    hold_the_fish();
    // The first tick, 5000 ms after Start: the next in 2 s, the item at (10, -20).
    rt.queue_random({draw_for(2, 60, 1), draw_for(30, 100, 2), draw_for(60, 100, 2)});
    rt.advance(4999);
    EXPECT_FALSE(form->img_leben.visible());
    rt.advance(1);
    EXPECT_TRUE(form->img_leben.visible());
    ball(0).move(10, -20);
    rt.advance(50);
    EXPECT_FALSE(form->img_leben.visible());
    EXPECT_EQ(lives_label(0).caption(), "1");
    rt.queue_random({draw_for(1, 60, 1), draw_for(90, 100, 2), draw_for(5, 100, 2)});
    rt.advance(1950);
    EXPECT_TRUE(form->img_leben.visible());
    EXPECT_EQ(form->img_leben.left(), -45);
    EXPECT_EQ(form->img_leben.top(), 40);
}

}  // namespace
}  // namespace two_player::testing

// Each player's evaluation step: pearls and bonus lives, fish hits, the air spot, the item, the
// loss.
#include <gtest/gtest.h>

#include "tests/two_player/game_fixture.h"

namespace two_player::testing {
namespace {

class TwoPlayerEvaluation : public EachPlayer {};

TEST_P(TwoPlayerEvaluation, AirSpotIsTouchedExactlyFromLeftMinus8To5AndTopMinus60ToMinus48) {
    start();
    for (int left = -10; left <= 7; ++left) {
        for (int top = -60; top <= -46; ++top) {
            refill_timer(player()).set_enabled(false);
            ball(player()).move(static_cast<ui::Single>(left), static_cast<ui::Single>(top));
            player() == 0 ? form->Auswerten0() : form->Auswerten1();
            const bool inside = left >= -8 && left <= 5 && top <= -48;
            EXPECT_EQ(refill_timer(player()).enabled(), inside) << left << ", " << top;
            EXPECT_FALSE(refill_timer(other()).enabled());
        }
    }
}

TEST_P(TwoPlayerEvaluation, PearlIsTakenBeforeTheFishInTheSameStep) {
    start(0, 0);
    hold_the_fish();
    lives(player()) = 2;
    ball(player()).move(0, 0);
    form->img_feind[1].move(3, -3);
    rt.queue_random(pearl_at(-40, 40));
    std::string pearls_during_box;
    rt.on_box = [&](const ui::BoxRecord&) {
        pearls_during_box = form->lbl_zaehler[static_cast<std::size_t>(player())].caption();
    };
    tick(player());
    EXPECT_EQ(pearls_during_box, "1");
    EXPECT_EQ(lives(player()), 1);
}

TEST_P(TwoPlayerEvaluation, BonusLifeAtThe30thAnd60thPearlButNotThe90th) {
    for (const int before : {29, 59, 89}) {
        start(0, 0);
        hold_the_fish();
        ball(player()).move(0, 0);
        form->img_feind[2].move(10, 10);
        pearls(player()) = static_cast<ui::Integer>(before);
        lives(player()) = 1;
        rt.queue_random(pearl_at(30, 30));
        rt.queue_random(pearl_at(-20, 40));
        tick(player());
        const bool bonus = before != 89;
        EXPECT_EQ(lives(player()), bonus ? 2 : 1) << before;
        EXPECT_EQ(lives_label(player()).caption(), "1") << "shown at the next step only";
        EXPECT_EQ(form->img_futter.left(), bonus ? -20 : 30) << before;
        EXPECT_EQ(form->img_feind[2].left(), bonus ? -50 : 10) << before;
        tick(player());
        EXPECT_EQ(lives_label(player()).caption(), bonus ? "2" : "1") << before;
    }
    EXPECT_TRUE(rt.boxes().empty());
}

TEST_P(TwoPlayerEvaluation, FishHitPutsBothBallsAndAllFishBackAndEndsBothRefills) {
    start();
    hold_the_fish();
    lives(player()) = 1;
    form->Richtung0 = kUp;
    ball(0).move(10, 10);
    ball(1).move(-10, -10);
    form->img_feind[2].move(ball(player()).left() + 7, ball(player()).top());
    form->img_feind[0].move(30, 30);
    form->tmr_auffuellen0.set_enabled(true);
    form->tmr_auffuellen1.set_enabled(true);
    bool paused_during_box = false;
    rt.on_box = [&](const ui::BoxRecord&) { paused_during_box = form->Zeit_laeuft == 0; };
    tick(player());
    ASSERT_EQ(rt.boxes().size(), 1u);
    EXPECT_EQ(rt.boxes()[0].text, player() == 0
                                      ? "Spieler 1 sollte etwas mehr auf die Fische achten."
                                      : "Spieler 2 sollte etwas mehr acht geben.");
    EXPECT_EQ(rt.boxes()[0].title, "Vorsicht");
    EXPECT_TRUE(paused_during_box);
    EXPECT_EQ(lives(player()), 0);
    EXPECT_EQ(ball(0).left(), 25);
    EXPECT_EQ(ball(1).left(), -25);
    for (const auto& fish : form->img_feind) EXPECT_EQ(fish.top(), -50);
    EXPECT_EQ(form->Zeit_laeuft, 1);
    EXPECT_FALSE(form->tmr_auffuellen0.enabled());
    EXPECT_FALSE(form->tmr_auffuellen1.enabled());
}

TEST_P(TwoPlayerEvaluation, FishHitAndTheItemAtTheStartPlaceLeaveTheLivesAsTheyWere) {
    start();
    hold_the_fish();
    ball(player()).move(0, 0);
    form->img_feind[0].move(0, 0);
    form->img_leben.move(player() == 0 ? 25 : -25, 25);
    tick(player());
    EXPECT_EQ(lives(player()), 0);
    EXPECT_EQ(rt.boxes().size(), 1u);
    EXPECT_EQ(form->Spiel_aktiv, 1);
}

TEST_P(TwoPlayerEvaluation, FishHitWithNoLivesLosesTheGameNamingTheOtherPlayer) {
    start();
    hold_the_fish();
    ball(player()).move(-45, -45);
    tick(player());
    EXPECT_EQ(box_texts().size(), 2u);
    EXPECT_EQ(box_texts().back(),
              player() == 0 ? "Spieler 2 hat gewonnen!" : "Spieler 1 hat gewonnen!");
    EXPECT_EQ(rt.boxes().back().title, "Game Over");
    EXPECT_EQ(lives_label(player()).caption(), "-1");
    EXPECT_EQ(form->Spiel_aktiv, 0);
    EXPECT_FALSE(ball(other()).visible());
}

TEST_P(TwoPlayerEvaluation, CountersSaturateInsteadOfOverflowing) {
    start(0, 0);
    hold_the_fish();
    ball(player()).move(0, 0);
    pearls(player()) = 32767;
    lives(player()) = 32767;
    form->img_leben.move(0, 0);
    rt.queue_random(pearl_at(-40, 40));
    tick(player());
    EXPECT_EQ(pearls(player()), 32767);
    EXPECT_EQ(lives(player()), 32767);
    EXPECT_TRUE(rt.boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Players, TwoPlayerEvaluation, ::testing::Values(0, 1));

}  // namespace
}  // namespace two_player::testing

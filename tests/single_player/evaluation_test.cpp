// Touching, pearls, levels, fish hits and the win.
#include <gtest/gtest.h>

#include "games/rules.h"
#include "tests/single_player/game_fixture.h"

namespace single_player::testing {
namespace {

TEST_F(Game, TouchingIncludesSevenUnitsInEveryDirectionAndNoMore) {
    struct Case {
        ui::Single dx, dy;
        bool touches;
    };
    const Case cases[] = {
        {7, -7, true},      {-7, 7, true},     {7, 7, true},       {-7, -7, true},
        {0, 0, true},       {7.01f, 0, false}, {-7.01f, 0, false}, {0, 7.01f, false},
        {0, -7.01f, false}, {8, 0, false},     {0, -8, false},
    };
    for (const auto& c : cases) {
        for (const ui::Single base : {0.0f, -60.0f, 51.0f}) {
            form->Img_ball.move(base, base);
            form->img_futter.move(base + c.dx, base + c.dy);
            EXPECT_EQ(touches(form->img_futter, form->Img_ball), c.touches)
                << "dx " << c.dx << " dy " << c.dy << " at " << base;
        }
    }
    // Visibility is not consulted.
    form->img_futter.set_visible(false);
    form->img_futter.move(3, 3);
    form->Img_ball.move(0, 0);
    EXPECT_TRUE(touches(form->img_futter, form->Img_ball));
}

TEST_F(Game, NoPearlCountsBeforeTheFirstStart) {
    form->img_futter.move(0, 0);
    rt.advance(500);
    EXPECT_EQ(form->Zaehler, 0);
}

TEST_F(Game, APearlCountsAndMovesToItsNewPlace) {
    start(0, 0);
    rt.queue_random(pearl_at(-30, 25));
    rt.advance(50);
    EXPECT_EQ(form->Zaehler, 1);
    EXPECT_EQ(form->lbl_zaehler.caption(), "1");
    EXPECT_EQ(form->img_futter.left(), -30);
    EXPECT_EQ(form->img_futter.top(), 25);
}

TEST_F(Game, APearlPlacedWithinReachCountsAgainAtTheNextPassFromLevelTwo) {
    start(0, 0);
    form->Level = 3;
    // Each new place is again on the ball: three passes, three pearls in one step.
    for (int i = 0; i < 3; ++i) rt.queue_random(pearl_at(i, -i));
    rt.advance(50);
    EXPECT_EQ(form->Zaehler, 3);
    EXPECT_EQ(form->img_futter.left(), 2);
}

TEST_F(Game, LevelUpAddsALifeAndAFishAndShowsBravoWithTheOldCounters) {
    start(0, 0);
    form->Zaehler = 9;
    rt.queue_random(pearl_at(30, 30));   // the placement after the pearl
    rt.queue_random(pearl_at(-20, 40));  // the level-up's own placement, which stays
    std::string lives_during_box, pearls_during_box;
    bool fish_shown_during_box = false;
    rt.on_box = [&](const ui::BoxRecord&) {
        lives_during_box = form->lbl_leben.caption();
        pearls_during_box = form->lbl_zaehler.caption();
        fish_shown_during_box = form->img_feind[1].visible();
        EXPECT_EQ(form->Zeit_laeuft, 0);
    };
    rt.advance(50);
    ASSERT_EQ(rt.boxes().size(), 1u);
    EXPECT_EQ(rt.boxes()[0].text, "Bravo, Sie sind ein Level weiter!");
    EXPECT_EQ(rt.boxes()[0].title, "Bravo!");
    EXPECT_EQ(rt.boxes()[0].style, ui::kBoxRightAligned);
    EXPECT_EQ(lives_during_box, "3");
    EXPECT_EQ(pearls_during_box, "10");
    EXPECT_TRUE(fish_shown_during_box);
    EXPECT_EQ(form->Level, 2);
    EXPECT_EQ(form->Leben, 4);
    EXPECT_EQ(form->Zaehler, 0);
    EXPECT_EQ(form->lbl_level.caption(), "2");
    EXPECT_EQ(form->img_futter.left(), -20);
    EXPECT_EQ(form->img_futter.top(), 40);
    EXPECT_EQ(form->img_feind[1].left(), -50);
    EXPECT_EQ(form->img_feind[1].top(), -50);
    EXPECT_EQ(form->Zeit_laeuft, 1);
    rt.advance(50);
    EXPECT_EQ(form->lbl_leben.caption(), "4");
    EXPECT_EQ(form->lbl_zaehler.caption(), "0");
}

TEST_F(Game, ALevelUpDoesNotLengthenTheRunningLoop) {
    start(0, 0);
    form->Zaehler = 9;
    rt.queue_random(pearl_at(30, 30));
    rt.queue_random(pearl_at(30, 30));
    // The new fish is parked at home by the level-up; put it on the ball right after the box.
    rt.on_box = [&](const ui::BoxRecord&) { form->img_feind[1].move(0, 0); };
    rt.advance(50);
    EXPECT_EQ(form->Leben, 4);  // not tested in this step
    rt.on_box = nullptr;
    rt.advance(50);
    EXPECT_EQ(form->Leben, 3);  // the next step tests it
}

TEST_F(Game, TwoFishOnTheBallInOneStepCostOneLife) {
    start();
    form->Level = 2;
    form->img_feind[0].move(3, 0);
    form->img_feind[1].move(-3, 0);
    rt.advance(50);
    EXPECT_EQ(form->Leben, 2);
    ASSERT_EQ(rt.boxes().size(), 1u);
    EXPECT_EQ(rt.boxes()[0].text, "Passen Sie ein wenig auf sich auf!");
    EXPECT_EQ(rt.boxes()[0].title, "Vorsicht!");
    EXPECT_EQ(rt.beeps(), 1);
    EXPECT_EQ(form->img_feind[1].left(), -50);
    EXPECT_EQ(form->Img_ball.left(), 0);
}

TEST_F(Game, AFishHitResetsPositionsAndTheBallKeepsItsDirection) {
    start();
    rt.key("frm_main", kRightKey);
    rt.advance(100);
    form->img_Feind2[1].set_visible(true);
    form->img_Feind2[1].move(5, 3);
    rt.advance(50);
    EXPECT_EQ(form->Leben, 2);
    EXPECT_EQ(form->Img_ball.left(), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(form->img_Feind2[static_cast<std::size_t>(i)].left(), -65);
    rt.advance(50);
    EXPECT_EQ(form->Img_ball.left(), 1);
}

TEST_F(Game, AHiddenSecondKindFishJustOffTheFieldStillTouches) {
    start();
    form->Img_ball.move(-60, 10);
    form->img_Feind2[0].move(-66, 14);
    form->Richtung = kStill;
    // The second-kind fish step runs after the ball's tick and will move it to -67.
    rt.advance(50);
    EXPECT_EQ(form->Leben, 2);
}

TEST_F(Game, SixthLevelsTenthPearlOpensTheSeventhWithItsSeventhFish) {
    start(0, 0);
    form->Level = 6;
    form->Zaehler = 9;
    rt.queue_random(pearl_at(30, 30));
    rt.queue_random(pearl_at(30, 30));
    rt.advance(50);
    ASSERT_EQ(box_texts(), std::vector<std::string>{"Bravo, Sie sind ein Level weiter!"});
    EXPECT_EQ(form->Level, 7);
    EXPECT_TRUE(form->img_feind[6].visible());
    EXPECT_EQ(form->Spiel_aktiv, 1);
}

TEST_F(Game, SeventhLevelsTenthPearlWinsAndEndsTheStep) {
    start(0, 0);
    form->Level = 7;
    form->Zaehler = 9;
    for (std::size_t i = 1; i < 7; ++i) form->img_feind[i].move(0, 0);  // ignored after the win
    rt.queue_random(pearl_at(0, 0));
    rt.queue_random(pearl_at(0, 0));
    rt.advance(50);
    ASSERT_EQ(rt.boxes().size(), 1u);
    EXPECT_EQ(rt.boxes()[0].text, "Super, sie haben es geschaft!");
    EXPECT_EQ(rt.boxes()[0].title, "Super!");
    EXPECT_EQ(rt.boxes()[0].style, ui::kBoxOk);
    EXPECT_EQ(form->Level, 1);
    EXPECT_EQ(form->Leben, 4);
    EXPECT_EQ(form->lbl_level.caption(), "8");
    EXPECT_EQ(form->lbl_zaehler.caption(), "10");
    EXPECT_EQ(form->Spiel_aktiv, 0);
    EXPECT_FALSE(form->Img_ball.visible());
    EXPECT_EQ(rt.beeps(), 0);
}

TEST_F(Game, TheAirSpotStartsARefillExactlyInItsReach) {
    start();
    empty_the_field();
    struct Case {
        ui::Single left, top;
        bool refills;
    };
    const Case cases[] = {
        {-60, 44, true}, {-49, 52, true}, {-48, 50, false}, {-55, 43, false}, {-60, 52, true}};
    for (const auto& c : cases) {
        form->tmr_auffuellen.set_enabled(false);
        form->Img_ball.move(c.left, c.top);
        form->Richtung = kStill;
        rt.advance(50);
        // The bounce may step the ball off a bound; judge by where it was evaluated.
        EXPECT_EQ(form->tmr_auffuellen.enabled(), c.refills) << c.left << "," << c.top;
    }
}

}  // namespace
}  // namespace single_player::testing

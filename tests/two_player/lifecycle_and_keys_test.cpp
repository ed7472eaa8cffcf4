// Loading, starting, pausing and aborting the two-player game; the keys and the ball steps.
#include <gtest/gtest.h>

#include "tests/two_player/game_fixture.h"
#include "ui/keys.h"

namespace two_player::testing {
namespace {

namespace keys = ui::keys;

class TwoPlayerBall : public EachPlayer {};

TEST_F(TwoPlayers, LoadedFormSteersAndEvaluatesBothBallsBeforeAnyStart) {
    EXPECT_EQ(ball(1).left(), -25);
    EXPECT_EQ(form->shp_luftmax[1].left(), -55);
    EXPECT_EQ(form->img_leben.left(), -70);
    EXPECT_FALSE(form->tmr_leben.enabled());
    // A ball steered onto the hidden purple fish at its design place costs the game.
    ball(1).move(40, -44);
    form->Richtung1 = kStill;
    rt.advance(50);
    EXPECT_EQ(box_texts(), (std::vector<std::string>{"Spieler 2 sollte etwas mehr acht geben.",
                                                     "Spieler 1 hat gewonnen!"}));
    EXPECT_EQ(form->Spiel_aktiv, 0);
    EXPECT_EQ(lives_label(1).caption(), "-1");
}

TEST_F(TwoPlayers, StartPlacesThePearlTwiceAndGivesEachPlayerNoLives) {
    form->Richtung0 = kUp;
    start(12, -20);
    EXPECT_EQ(rt.queued_random_count(), 0u);
    EXPECT_EQ(form->img_futter.left(), 12);
    EXPECT_EQ(lives(0), 0);
    EXPECT_EQ(lives(1), 0);
    EXPECT_EQ(form->Richtung0, kUp);  // the balls keep their directions
    EXPECT_TRUE(form->img_feind[2].visible());
    EXPECT_TRUE(form->tmr_leben.enabled());
}

TEST_F(TwoPlayers, KeysOfOnePlayerNeverChangeTheOtherPlayersDirection) {
    struct Case {
        int key;
        ui::Integer richtung0, richtung1;
    };
    const Case cases[] = {
        {keys::kDown, kDown, kStill}, {keys::kUp, kUp, kStill},  {keys::kRight, kRight, kStill},
        {keys::kLeft, kLeft, kStill}, {keys::kS, kStill, kDown}, {keys::kW, kStill, kUp},
        {keys::kD, kStill, kRight},   {keys::kA, kStill, kLeft}, {keys::kSpace, kStill, kStill},
    };
    for (const auto& c : cases) {
        form->Richtung0 = kStill;
        form->Richtung1 = kStill;
        rt.key(kForm, c.key);
        EXPECT_EQ(form->Richtung0, c.richtung0) << c.key;
        EXPECT_EQ(form->Richtung1, c.richtung1) << c.key;
    }
    // Both players pressing in the same instant.
    rt.key(kForm, keys::kUp);
    rt.key(kForm, keys::kD);
    rt.key(kForm, keys::kLeft);
    EXPECT_EQ(form->Richtung0, kLeft);
    EXPECT_EQ(form->Richtung1, kRight);
}

TEST_F(TwoPlayers, SteeringKeysAreIgnoredWhilePausedOrAbortedButPAndEscAct) {
    start();
    rt.key(kForm, keys::kRight);
    rt.key(kForm, keys::kP);
    rt.key(kForm, keys::kUp);
    rt.key(kForm, keys::kW);
    EXPECT_EQ(form->Richtung0, kRight);
    EXPECT_EQ(form->Richtung1, kStill);
    rt.key(kForm, keys::kP);
    rt.advance(50);
    EXPECT_EQ(ball(0).left(), 26);

    rt.key(kForm, keys::kP);
    rt.key(kForm, keys::kEsc);  // an abort while paused keeps Zeit_laeuft at 0
    EXPECT_EQ(form->Zeit_laeuft, 0);
    EXPECT_FALSE(ball(0).visible());
    rt.key(kForm, keys::kP);
    rt.key(kForm, keys::kDown);
    EXPECT_EQ(form->Zeit_laeuft, 0);
    EXPECT_EQ(form->Richtung0, kRight);
    start();
    EXPECT_EQ(form->Zeit_laeuft, 1);
    EXPECT_TRUE(form->tmr_ball1.enabled());
}

TEST_P(TwoPlayerBall, BallRunsToTheBorderAndTurnsBackOnTheNextTick) {
    // Player 1 runs right from 25 to 52 in 27 ticks; player 2 left from -25 to -60 in 35.
    const int key = player() == 0 ? keys::kRight : keys::kA;
    const ui::Single bound = player() == 0 ? 52 : -60;
    const int ticks = player() == 0 ? 27 : 35;
    start();
    hold_the_fish();
    rt.key(kForm, key);
    rt.advance(ticks * 50);
    EXPECT_EQ(ball(player()).left(), bound);
    EXPECT_EQ(ball(other()).left(), player() == 0 ? -25 : 25);
    rt.advance(50);
    EXPECT_EQ(ball(player()).left(), player() == 0 ? 51 : -59);
}

TEST_F(TwoPlayers, PlayerOnesStepComesFirstWhenBothAreDue) {
    // Both balls on the pearl in the same 50 ms: player 1 takes it.
    start(0, 0);
    ball(0).move(0, 0);
    ball(1).move(0, 0);
    form->Richtung0 = form->Richtung1 = kStill;
    rt.queue_random(pearl_at(-40, 40));
    rt.advance(50);
    EXPECT_EQ(pearls(0), 1);
    EXPECT_EQ(pearls(1), 0);
}

TEST_F(TwoPlayers, PauseBeforeTheFirstStartThenResumeStartsAirAndItem) {
    rt.key(kForm, keys::kP);
    EXPECT_FALSE(form->tmr_ball0.enabled());
    rt.key(kForm, keys::kP);
    hold_the_fish();
    rt.queue_random({0.0f, draw_for(10, 100, 2), draw_for(20, 100, 2)});
    rt.advance(5000);
    EXPECT_EQ(bar(0).height(), 29);
    EXPECT_EQ(bar(1).height(), 29);
    EXPECT_TRUE(form->img_leben.visible());
    EXPECT_EQ(form->img_leben.left(), 20 - 50);
    EXPECT_FALSE(form->img_feind[0].visible());
}

INSTANTIATE_TEST_SUITE_P(Players, TwoPlayerBall, ::testing::Values(0, 1));

}  // namespace
}  // namespace two_player::testing

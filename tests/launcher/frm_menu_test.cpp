// The launcher: steering the sprite, the shot's flight, its hits and its catch, and what each
// entry opens.
#include "launcher/frm_menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "app/forms.h"
#include "single_player/frm_main.h"
#include "ui/keys.h"
#include "ui/test_runtime.h"

namespace launcher {
namespace {

namespace keys = ui::keys;
using ui::Picture;
using ui::Single;

constexpr int kTickMs = 50;

class Launcher : public ::testing::Test {
  protected:
    Launcher() { load(); }

    // A fresh program on the launcher.
    void load() {
        runtime = std::make_unique<ui::TestRuntime>();
        app::register_forms(*runtime);
        menu = dynamic_cast<frm_menu*>(runtime->show(app::kStartForm));
        ASSERT_NE(menu, nullptr);
    }

    void key(int code) { ASSERT_TRUE(runtime->key(frm_menu::kName, code)); }
    Single ufo_top() const { return menu->img_menuUFO.top(); }

    // Puts the sprite at `top`, still, and fires.
    void fire_from(Single top) {
        menu->img_menuUFO.move(-45, top);
        menu->UFO_Richtung = 0;
        key(keys::kSpace);
    }

    // The entry chosen so far: 1 opened the single-player splash, 2 the two-player splash,
    // 3 ended the program, 0 none.
    int chosen() const {
        if (runtime->ended()) return 3;
        if (runtime->form("frm_start2") != nullptr) return 2;
        if (runtime->form("frm_start") != nullptr) return 1;
        return 0;
    }

    int loads(const std::string& form) const {
        return static_cast<int>(std::count_if(
            runtime->log().begin(), runtime->log().end(),
            [&](const std::string& line) { return line.ends_with(" load " + form); }));
    }

    std::unique_ptr<ui::TestRuntime> runtime;
    frm_menu* menu = nullptr;
};

TEST_F(Launcher, EveryKeyStepsFirstAndTheTableSetsTheNextStep) {
    struct Case {
        int code;
        Single after_three;  // Top after three presses from the start
    };
    // The first press only sets the direction: three presses make two steps.
    // Right and A steer down, Left and D up: the game's rule. Other keys only step.
    const Case cases[] = {{keys::kDown, -23}, {keys::kS, -23},  {keys::kRight, -23},
                          {keys::kA, -23},    {keys::kUp, -27}, {keys::kW, -27},
                          {keys::kLeft, -27}, {keys::kD, -27},  {keys::kEnter, -25},
                          {keys::kP, -25},    {keys::kEsc, -25}};
    for (const Case& c : cases) {
        menu->img_menuUFO.move(-45, -25);
        menu->UFO_Richtung = 0;
        for (int i = 0; i < 3; ++i) key(c.code);
        EXPECT_EQ(ufo_top(), c.after_three) << "key " << c.code;
    }
    // A key outside the table keeps the direction going.
    key(keys::kDown);
    key(keys::kEnter);
    EXPECT_EQ(ufo_top(), -24);
}

TEST_F(Launcher, UpWhileMovingDownStepsDownOnceMoreThenTurns) {
    key(keys::kDown);
    key(keys::kDown);
    ASSERT_EQ(ufo_top(), -24);
    key(keys::kUp);
    EXPECT_EQ(ufo_top(), -23);
    key(keys::kUp);
    EXPECT_EQ(ufo_top(), -24);
}

TEST_F(Launcher, TheSpriteTurnsAtBothEndsAndCanSitOneUnitBelowTheArea) {
    menu->img_menuUFO.move(-45, 49);
    menu->UFO_Richtung = 1;
    // Held Down at the bottom: 50, then the turn sends it up to 49, the key down again.
    key(keys::kDown);
    EXPECT_EQ(ufo_top(), 50);
    key(keys::kDown);
    EXPECT_EQ(ufo_top(), 49);
    key(keys::kDown);
    EXPECT_EQ(ufo_top(), 50);

    menu->img_menuUFO.move(-45, -49);
    menu->UFO_Richtung = 2;
    key(keys::kUp);
    EXPECT_EQ(ufo_top(), -50);
    key(keys::kUp);
    EXPECT_EQ(ufo_top(), -49);
}

TEST_F(Launcher, TheShotHitsAnEntryOnlyFromItsBandOfHeights) {
    struct Case {
        Single top;  // the sprite's Top when it fires
        int entry;
    };
    // The bands run from -27 to -21, -15 to -9 and 24 to 30; one unit outside each misses.
    const Case cases[] = {{-28, 0}, {-27, 1}, {-21, 1}, {-20, 0}, {-16, 0}, {-15, 2},
                          {-9, 2},  {-8, 0},  {23, 0},  {24, 3},  {30, 3},  {31, 0}};
    for (const Case& c : cases) {
        load();
        fire_from(c.top);
        // Past the last entry's step (27 steps).
        runtime->advance(30 * kTickMs);
        EXPECT_EQ(chosen(), c.entry) << "fired from " << c.top;
        if (c.entry == 0) {
            EXPECT_EQ(menu->shp_schuss.top(), c.top + 3) << "fired from " << c.top;
        }
    }
}

TEST_F(Launcher, EntriesOneAndTwoTakeTwentyFiveStepsAndEntryThreeTwentySeven) {
    struct Case {
        Single top;
        int entry;
        int steps;
    };
    const Case cases[] = {{-25, 1, 25}, {-12, 2, 25}, {27, 3, 27}};
    for (const Case& c : cases) {
        load();
        fire_from(c.top);
        // The first step comes with the key, the others with the ticks.
        EXPECT_EQ(menu->shp_schuss.left(), -38);
        runtime->advance((c.steps - 2) * kTickMs);
        EXPECT_EQ(chosen(), 0) << "entry " << c.entry;
        runtime->advance(kTickMs);
        EXPECT_EQ(chosen(), c.entry);
        if (c.entry == 3) continue;
        // Parked outside, the sprite still deflated; the next tick ends the flight.
        EXPECT_EQ(menu->shp_schuss.left(), -55);
        EXPECT_EQ(menu->shp_schuss.top(), -55);
        EXPECT_EQ(menu->img_menuUFO.picture(), Picture::puffer_deflated);
        EXPECT_EQ(menu->Schuss_aktiv, 1);
        runtime->advance(kTickMs);
        EXPECT_EQ(menu->shp_schuss.left(), -54);
        EXPECT_EQ(menu->Schuss_aktiv, 0);
        EXPECT_FALSE(menu->tmr_schuss.enabled());
    }
}

TEST_F(Launcher, AMissTurnsAtTheRightEdgeAndIsCaughtOnItsWayBack) {
    fire_from(0);
    EXPECT_EQ(menu->img_menuUFO.picture(), Picture::puffer_deflated);
    // 88 ticks to Left 50, the turn, then 89 ticks back to the catch line at -40.
    runtime->advance(88 * kTickMs);
    EXPECT_EQ(menu->shp_schuss.left(), 50);
    runtime->advance(kTickMs);
    EXPECT_EQ(menu->shp_schuss.left(), 49);
    EXPECT_EQ(menu->Schuss_Richtung, 2);
    runtime->advance(88 * kTickMs);
    EXPECT_EQ(menu->shp_schuss.left(), -39);
    EXPECT_EQ(menu->img_menuUFO.picture(), Picture::puffer_deflated);
    runtime->advance(kTickMs);
    EXPECT_EQ(menu->shp_schuss.left(), -55);
    EXPECT_EQ(menu->img_menuUFO.picture(), Picture::puffer_inflated);
    runtime->advance(kTickMs);
    EXPECT_EQ(menu->shp_schuss.left(), -56);
    EXPECT_EQ(menu->Schuss_aktiv, 0);
    EXPECT_EQ(chosen(), 0);
}

TEST_F(Launcher, AShotThatIsNotCaughtStaysVisibleAtTheLeftEdge) {
    fire_from(0);
    // Out of the catch band (-1 to 7) before the shot comes back.
    for (int i = 0; i < 12; ++i) key(keys::kDown);
    ASSERT_EQ(ufo_top(), 11);
    runtime->advance(200 * kTickMs);
    EXPECT_EQ(menu->shp_schuss.left(), -51);
    EXPECT_EQ(menu->shp_schuss.top(), 3);
    EXPECT_TRUE(menu->shp_schuss.visible());
    EXPECT_FALSE(menu->tmr_schuss.enabled());
    EXPECT_EQ(menu->img_menuUFO.picture(), Picture::puffer_deflated);
    // The next shot starts beside the sprite again, after the Space's own step.
    key(keys::kSpace);
    EXPECT_EQ(menu->shp_schuss.left(), -38);
    EXPECT_EQ(menu->shp_schuss.top(), 15);
}

TEST_F(Launcher, SpaceDuringAFlightOrWhileParkedFiresNothingButStillSteps) {
    fire_from(-25);
    runtime->advance(10 * kTickMs);
    ASSERT_EQ(menu->shp_schuss.left(), -28);
    key(keys::kDown);
    key(keys::kSpace);
    EXPECT_EQ(ufo_top(), -24);
    EXPECT_EQ(menu->shp_schuss.left(), -28);
    EXPECT_EQ(menu->shp_schuss.top(), -22);

    runtime->advance(14 * kTickMs);
    ASSERT_EQ(chosen(), 1);
    key(keys::kSpace);
    EXPECT_EQ(ufo_top(), -23);
    EXPECT_EQ(menu->shp_schuss.left(), -55);
    EXPECT_EQ(menu->shp_schuss.top(), -55);
}

TEST_F(Launcher, BeendenEndsTheProgramAlsoWithAGameOpen) {
    auto* game = dynamic_cast<single_player::frm_main*>(runtime->show("frm_main"));
    ASSERT_NE(game, nullptr);
    runtime->queue_random({0.3f, 0.6f, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(runtime->click("frm_main", "mnu_start"));
    fire_from(27);
    runtime->advance(26 * kTickMs);
    ASSERT_TRUE(runtime->ended());
    EXPECT_EQ(runtime->log().back(), "@1300 end");
    // Nothing runs any more: neither the game's timers nor a key.
    const Single ball_left = game->Img_ball.left();
    runtime->advance(1000);
    EXPECT_FALSE(runtime->key(frm_menu::kName, keys::kDown));
    EXPECT_EQ(game->Img_ball.left(), ball_left);
}

TEST_F(Launcher, StaysUsableWhileAGameRunsAndBringsTheOpenGameForward) {
    fire_from(-25);
    runtime->advance(24 * kTickMs + 3000);
    auto* game = dynamic_cast<single_player::frm_main*>(runtime->form("frm_main"));
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(runtime->form("frm_start"), nullptr);
    runtime->queue_random({0.3f, 0.6f, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(runtime->click("frm_main", "mnu_start"));

    // Entry 1 again while the game runs: the splash comes back, then the same game.
    fire_from(-25);
    runtime->advance(24 * kTickMs);
    ASSERT_NE(runtime->form("frm_start"), nullptr);
    runtime->advance(3000);
    EXPECT_EQ(runtime->form("frm_start"), nullptr);
    EXPECT_EQ(runtime->form("frm_main"), game);
    EXPECT_EQ(loads("frm_main"), 1);
    EXPECT_EQ(loads("frm_start"), 2);
    // Still the started game: a fresh load would have switched the air timer off.
    EXPECT_TRUE(game->tmr_luft.enabled());
}

TEST(LauncherWithGames, TheSecondEntryOpensTheTwoPlayerSplashAndThenTheGame) {
    ui::TestRuntime rt;
    app::register_forms(rt);
    auto* menu = dynamic_cast<frm_menu*>(rt.show(frm_menu::kName));
    menu->img_menuUFO.move(-45, -12);
    rt.key(frm_menu::kName, keys::kSpace);
    rt.advance(30 * kTickMs);
    EXPECT_NE(rt.form("frm_start2"), nullptr);
    rt.advance(3000);
    EXPECT_EQ(rt.form("frm_start2"), nullptr);
    EXPECT_NE(rt.form("frm_main2"), nullptr);
    EXPECT_NE(rt.form(frm_menu::kName), nullptr);
}

}  // namespace
}  // namespace launcher

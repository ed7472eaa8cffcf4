// The fish, the second-kind fish, the air gauge, the bubble and the refill.
#include <gtest/gtest.h>

#include <array>

#include "games/rules.h"
#include "tests/single_player/game_fixture.h"

namespace single_player::testing {
namespace {

TEST_F(Game, OnlyTheFishOfTheLevelMoveAndTurn) {
    start();
    form->Level = 3;
    form->Anzahl_Feind2 = 0;  // their delays would take the queued draws
    for (std::size_t i = 0; i < 7; ++i) {
        form->img_feind[i].move(-40, -40);
        form->Feind_Richtung[i] = kRight;
    }
    rt.queue_random({0.0f, 0.3f, 0.9f});  // down, up, left at the turn
    rt.advance(2000);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(form->img_feind[i].left(), i < 3 ? 0 : -40) << i;
    }
    EXPECT_EQ((std::array<ui::Integer, 4>{form->Feind_Richtung[0], form->Feind_Richtung[1],
                                          form->Feind_Richtung[2], form->Feind_Richtung[3]}),
              (std::array<ui::Integer, 4>{kDown, kUp, kLeft, kRight}));
}

TEST_F(Game, TurnsOfOneTickDoNotAllComeOutAlike) {
    form->Level = 7;
    int all_alike = 0;
    std::array<int, 5> seen{};
    for (int turn = 0; turn < 300; ++turn) {
        form->tmr_feind_Timer();
        bool alike = true;
        for (const auto direction : form->Feind_Richtung) {
            ASSERT_GE(direction, 1);
            ASSERT_LE(direction, 4);
            ++seen[static_cast<std::size_t>(direction)];
            alike = alike && direction == form->Feind_Richtung[0];
        }
        all_alike += alike ? 1 : 0;
    }
    EXPECT_LE(all_alike, 3);  // about one in 4096 turns by chance
    for (int d = 1; d <= 4; ++d) EXPECT_GT(seen[static_cast<std::size_t>(d)], 400) << d;
}

TEST_F(Game, AFishOnABorderIsSentAwayAndNeverLeavesTheField) {
    start();
    form->img_feind[0].move(-30, -59);
    form->Feind_Richtung[0] = kUp;
    rt.advance(50);
    EXPECT_EQ(form->img_feind[0].top(), -60);
    rt.advance(50);
    EXPECT_EQ(form->img_feind[0].top(), -59);
    EXPECT_EQ(form->Feind_Richtung[0], kDown);
}

TEST_F(Game, ASecondKindFishEntersAfterItsDelayAndCrossesIn125Steps) {
    start(40, -40, 1);
    // Waiting fish 0..2 re-draw their delay at every step; keep it at one second.
    rt.queue_random(std::vector<ui::Single>(20 * 3, draw_for(1, 10, 0)));
    // Entry heights away from the ball; fish 3 to 5 are out of play but enter too.
    rt.queue_random({draw_for(-59, 120, -59), draw_for(60, 120, -59), draw_for(40, 120, -59)});
    rt.queue_random({0.5f, 0.5f, 0.5f});
    rt.queue_random({0.0f, 0.0f, 0.0f});  // the fish turns send fish 0 down its column

    rt.advance(50);
    EXPECT_EQ(form->img_Feind2[0].left(), -66);
    EXPECT_FALSE(form->img_Feind2[0].visible());
    EXPECT_EQ(form->tmr_feind2Starten[0].interval(), 1000);
    rt.advance(949);
    EXPECT_FALSE(form->img_Feind2[0].visible());
    rt.advance(1);
    EXPECT_TRUE(form->img_Feind2[0].visible());
    EXPECT_EQ(form->img_Feind2[0].left(), 60);
    EXPECT_EQ(form->img_Feind2[0].top(), -59);
    EXPECT_EQ(form->Feind2_Hoehe[0], -59);
    EXPECT_EQ(form->img_Feind2[2].top(), 40);
    EXPECT_FALSE(form->tmr_feind2Starten[0].enabled());

    rt.advance(124 * 50);
    EXPECT_EQ(form->img_Feind2[0].left(), -64);
    EXPECT_TRUE(form->img_Feind2[0].visible());
    rt.advance(50);
    EXPECT_EQ(form->img_Feind2[0].left(), -65);
    EXPECT_FALSE(form->img_Feind2[0].visible());
    EXPECT_TRUE(form->tmr_feind2Starten[0].enabled());
    EXPECT_EQ(form->Feind2_Hoehe[0], -59);  // kept while it waits
    EXPECT_EQ(form->Leben, 3);
}

TEST_F(Game, ADrawnDelayOfZeroNeverFiresUntilTheNextDraw) {
    start(40, -40, 1);
    rt.queue_random(std::vector<ui::Single>(3, 0.0f));
    rt.advance(50);
    EXPECT_FALSE(form->tmr_feind2Starten[0].armed());
    EXPECT_EQ(form->Feind2_Startzeit[0], 0);
}

TEST_F(Game, SecondKindFishOutOfPlayEnterOnceAndStayBeyondTheRightEdge) {
    start(40, -40, 2);
    rt.advance(2000);
    EXPECT_TRUE(form->img_Feind2[5].visible());
    EXPECT_EQ(form->img_Feind2[5].left(), 60);
    rt.advance(5000);
    EXPECT_EQ(form->img_Feind2[5].left(), 60);
    EXPECT_FALSE(form->tmr_feind2Starten[5].enabled());
}

TEST_F(Game, AfterAnAbortAnArmedEntryTimerFiresOnceMore) {
    start(40, -40, 3);
    rt.advance(50);
    rt.key("frm_main", kEscKey);
    const std::int64_t due = 3000;
    rt.advance(due - 50);
    EXPECT_TRUE(form->img_Feind2[4].visible());
    EXPECT_EQ(form->img_Feind2[4].left(), 60);
    EXPECT_FALSE(form->tmr_feind2Starten[4].enabled());
}

TEST_F(Game, TheBubbleRisesToTheMiddleAndParksAtTheBarsTop) {
    start();
    empty_the_field();
    rt.advance(5000);
    EXPECT_EQ(form->shp_luftIst.height(), 29);
    EXPECT_EQ(form->shp_luftIst.top(), 26);
    EXPECT_TRUE(form->shp_Blater.visible());
    EXPECT_FLOAT_EQ(form->shp_Blater.top(), form->design().exact_top(24.71f));  // parked by loading
    rt.advance(24 * 50);
    EXPECT_TRUE(form->shp_Blater.visible());
    EXPECT_NEAR(form->shp_Blater.top(), form->design().exact_top(24.71f) - 24, 1e-4f);
    rt.advance(50);
    EXPECT_FALSE(form->shp_Blater.visible());
    EXPECT_FALSE(form->tmr_Blater.enabled());
    EXPECT_EQ(form->shp_Blater.top(), 26);
    // The next rise starts one loss above the bar's new top.
    rt.advance(5000 - 25 * 50);
    EXPECT_EQ(form->shp_luftIst.top(), 27);
    EXPECT_EQ(form->shp_Blater.top(), 26);
    rt.advance(26 * 50);
    EXPECT_EQ(form->shp_Blater.top(), 27);
    EXPECT_FALSE(form->shp_Blater.visible());
}

TEST_F(Game, RefillAddsAUnitEveryQuarterSecondAndStopsOneTickAfterFull) {
    start();
    empty_the_field();
    set_air(form->shp_luftIst, 28);
    form->tmr_auffuellen.set_enabled(true);
    rt.advance(250);
    EXPECT_EQ(form->shp_luftIst.height(), 29);
    rt.advance(250);
    EXPECT_EQ(form->shp_luftIst.height(), 30);
    EXPECT_EQ(form->shp_luftIst.top(), 25);
    EXPECT_TRUE(form->tmr_auffuellen.enabled());
    rt.advance(250);
    EXPECT_FALSE(form->tmr_auffuellen.enabled());
    EXPECT_EQ(form->shp_luftIst.height(), 30);
}

TEST_F(Game, StayingOnTheAirSpotKeepsTheRefillTicking) {
    start();
    empty_the_field();
    set_air(form->shp_luftIst, 10);
    form->Img_ball.move(-55, 48);
    rt.advance(1000);
    EXPECT_EQ(form->shp_luftIst.height(), 13);  // touched at 50 ms; ticks at 300, 550, 800
}

TEST_F(Game, AFishHitEndsARunningRefill) {
    start();
    set_air(form->shp_luftIst, 10);
    form->tmr_auffuellen.set_enabled(true);
    form->img_feind[0].move(0, 0);
    rt.advance(50);
    EXPECT_FALSE(form->tmr_auffuellen.enabled());
    rt.advance(1000);
    EXPECT_EQ(form->shp_luftIst.height(), 10);
}

TEST_F(Game, AirLossNeverGoesBelowZero) {
    struct Case {
        const char* preset;
        ui::Single level;
        ui::Single after;
        bool runs_out;
    };
    const Case cases[] = {{"mnu_freak", 2, 0, true},
                          {"mnu_freak", 4, 1, true},
                          {"mnu_freak", 5, 2, false},
                          {"mnu_Profis", 3, 1, true},
                          {"mnu_Anfanger", 2, 1, true}};
    for (const auto& c : cases) {
        ui::TestRuntime local;
        app::register_forms(local);
        auto* f = dynamic_cast<frm_main*>(local.show("frm_main"));
        ASSERT_TRUE(local.click("frm_main", c.preset));
        local.queue_random(pearl_at(40, -40));
        ASSERT_TRUE(local.click("frm_main", "mnu_start"));
        f->Level = 0;
        f->Anzahl_Feind2 = 0;
        set_air(f->shp_luftIst, c.level);
        local.advance(f->tmr_luft.interval());
        EXPECT_EQ(f->shp_luftIst.height(), c.after) << c.preset << " " << c.level;
        EXPECT_EQ(local.boxes().size(), c.runs_out ? 1u : 0u) << c.preset << " " << c.level;
    }
}

}  // namespace
}  // namespace single_player::testing

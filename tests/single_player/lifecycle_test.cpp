// Loading, starting, pausing, aborting and ending a single-player game.
#include <gtest/gtest.h>

#include "games/rules.h"
#include "tests/single_player/game_fixture.h"

namespace single_player::testing {
namespace {

struct TimerState {
    const char* name;
    bool enabled;
};

void expect_timers(const frm_main& f, std::initializer_list<TimerState> expected) {
    for (const auto& [name, enabled] : expected) {
        const auto* timer = dynamic_cast<const ui::Timer*>(f.find_control(name));
        ASSERT_NE(timer, nullptr) << name;
        EXPECT_EQ(timer->enabled(), enabled) << name;
    }
}

TEST_F(Game, LoadedFormIsALivePlayfieldWithTheIntermediatePreset) {
    EXPECT_TRUE(form->mnu_Fortgeschrittene.checked());
    EXPECT_FALSE(form->mnu_Anfanger.checked());
    EXPECT_EQ(form->lbl_leben.caption(), "3");
    EXPECT_EQ(form->lbl_level.caption(), "0");
    EXPECT_EQ(form->Img_ball.left(), 0);
    EXPECT_EQ(form->Img_ball.top(), 0);
    EXPECT_TRUE(form->Img_ball.visible());
    EXPECT_EQ(form->Anzahl_Feind2, 3);
    EXPECT_EQ(form->Level, 0);
    EXPECT_EQ(form->Spiel_aktiv, 1);
    EXPECT_EQ(form->Zeit_laeuft, 1);
    expect_timers(*form, {{"tmr_timer1", true},
                          {"tmr_ball", true},
                          {"tmr_feindbewegen", true},
                          {"tmr_feind", true},
                          {"tmr_luft", false},
                          {"tmr_auffuellen", false},
                          {"tmr_Blater", false},
                          {"tmr_feind2Bewegen", false}});
    for (const auto& timer : form->tmr_feind2Starten) {
        EXPECT_TRUE(timer.enabled());
        EXPECT_FALSE(timer.armed());
    }
    for (const auto& fish : form->img_Feind2) {
        EXPECT_FALSE(fish.visible());
        EXPECT_EQ(fish.left(), -70);
    }
    // The bubble is parked at the bar's design top, before the bar was set.
    EXPECT_FLOAT_EQ(form->shp_Blater.top(), form->design().exact_top(24.71f));
    EXPECT_EQ(form->shp_luftIst.height(), 30);
    EXPECT_EQ(form->shp_luftIst.top(), 25);

    // Steerable before any start.
    rt.key("frm_main", kRightKey);
    rt.advance(100);
    EXPECT_EQ(form->Img_ball.left(), 2);
}

TEST_F(Game, StartResetsCountersAndPlacesBallFishAndPearl) {
    form->Richtung = kDown;
    form->img_feind[3].set_visible(true);
    start(12, -20, 2);
    EXPECT_EQ(form->lbl_leben.caption(), "3");
    EXPECT_EQ(form->lbl_zaehler.caption(), "0");
    EXPECT_EQ(form->lbl_level.caption(), "1");
    EXPECT_EQ(form->Level, 1);
    EXPECT_EQ(form->Richtung, kDown);  // the ball leaves the centre in its old direction
    EXPECT_EQ(form->img_futter.left(), 12);
    EXPECT_EQ(form->img_futter.top(), -20);
    EXPECT_TRUE(form->img_futter.visible());
    EXPECT_TRUE(form->img_feind[0].visible());
    EXPECT_FALSE(form->img_feind[3].visible());
    EXPECT_EQ(form->img_feind[0].left(), -50);
    EXPECT_EQ(form->img_feind[0].top(), -50);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_FALSE(form->img_Feind2[i].visible());
        EXPECT_EQ(form->tmr_feind2Starten[i].interval(), 2000);
        EXPECT_EQ(form->img_Feind2[i].left(), i < 3 ? -65 : -70) << i;
    }
    for (const auto* entry :
         {&form->mnu_Anfanger, &form->mnu_Fortgeschrittene, &form->mnu_Profis, &form->mnu_freak}) {
        EXPECT_FALSE(entry->enabled());
        EXPECT_FALSE(rt.click("frm_main", entry->name()));
    }
    expect_timers(*form, {{"tmr_luft", true}, {"tmr_feind2Bewegen", true}, {"tmr_Blater", false}});
    rt.advance(50);
    EXPECT_EQ(form->Img_ball.top(), 1);
}

TEST_F(Game, StartInARunningGameKeepsARefillGoingUntilItsNextTick) {
    start();
    empty_the_field();
    set_air(form->shp_luftIst, 20);
    form->tmr_auffuellen.set_enabled(true);
    rt.advance(240);
    start();
    EXPECT_EQ(form->shp_luftIst.height(), 30);
    EXPECT_TRUE(form->tmr_auffuellen.enabled());
    rt.advance(10);  // the refill's tick finds the bar full
    EXPECT_FALSE(form->tmr_auffuellen.enabled());
    EXPECT_EQ(form->shp_luftIst.height(), 30);
}

TEST_F(Game, PauseStopsTheGameTimersAndResumeLeavesTheRefillOff) {
    start();
    form->tmr_auffuellen.set_enabled(true);
    ASSERT_TRUE(rt.click("frm_main", "mnu_Pause"));
    EXPECT_EQ(form->Zeit_laeuft, 0);
    expect_timers(*form, {{"tmr_timer1", false},
                          {"tmr_ball", false},
                          {"tmr_feindbewegen", false},
                          {"tmr_feind", false},
                          {"tmr_luft", false},
                          {"tmr_auffuellen", false},
                          {"tmr_Blater", false},
                          {"tmr_feind2Bewegen", false}});
    // The entry timers go on through a pause.
    EXPECT_TRUE(form->tmr_feind2Starten[0].armed());
    const ui::Single ball_top = form->Img_ball.top();
    rt.advance(1000);
    EXPECT_EQ(form->Img_ball.top(), ball_top);

    rt.key("frm_main", 'P');
    EXPECT_EQ(form->Zeit_laeuft, 1);
    expect_timers(*form, {{"tmr_timer1", true},
                          {"tmr_ball", true},
                          {"tmr_feindbewegen", true},
                          {"tmr_feind", true},
                          {"tmr_luft", true},
                          {"tmr_auffuellen", false},
                          {"tmr_Blater", true},
                          {"tmr_feind2Bewegen", true}});
}

TEST_F(Game, AnEntryTimerBringsItsFishInDuringAPause) {
    start(40, -40, 1);
    rt.key("frm_main", 'P');
    rt.queue_random({draw_for(20, 120, -59)});
    rt.advance(1000);
    EXPECT_TRUE(form->img_Feind2[0].visible());
    EXPECT_EQ(form->img_Feind2[0].left(), 60);
    EXPECT_EQ(form->img_Feind2[0].top(), 20);
    EXPECT_FALSE(form->tmr_feind2Starten[0].enabled());
}

TEST_F(Game, AbortStopsTheGameButKeepsTheLastPicture) {
    start();
    rt.advance(50);
    form->Level = 3;
    form->lbl_level.set_caption("3");
    rt.key("frm_main", kEscKey);
    EXPECT_EQ(form->Level, 1);
    EXPECT_EQ(form->Spiel_aktiv, 0);
    EXPECT_EQ(form->Zeit_laeuft, 1);
    EXPECT_FALSE(form->Img_ball.visible());
    EXPECT_TRUE(form->img_futter.visible());
    EXPECT_EQ(form->lbl_level.caption(), "3");
    EXPECT_TRUE(form->mnu_Profis.enabled());
    expect_timers(*form, {{"tmr_timer1", false}, {"tmr_luft", false}, {"tmr_feind", false}});

    // P does nothing now; the presets can be chosen again.
    rt.key("frm_main", 'P');
    EXPECT_EQ(form->Zeit_laeuft, 1);
    EXPECT_FALSE(form->tmr_timer1.enabled());
    EXPECT_TRUE(rt.click("frm_main", "mnu_Profis"));
    EXPECT_TRUE(form->mnu_Profis.checked());
}

TEST_F(Game, AbortWhilePausedKeepsZeitLaeuftUntilTheNextStart) {
    start();
    rt.key("frm_main", 'P');
    rt.key("frm_main", kEscKey);
    EXPECT_EQ(form->Zeit_laeuft, 0);
    start();
    EXPECT_EQ(form->Zeit_laeuft, 1);
    EXPECT_TRUE(form->tmr_timer1.enabled());
}

TEST_F(Game, StartAfterAnAbortMovesOnlyTheFirstFishHome) {
    start();
    form->Level = 2;
    form->img_feind[1].move(10, 10);
    rt.key("frm_main", kEscKey);
    start();
    EXPECT_EQ(form->img_feind[1].left(), 10);
    EXPECT_EQ(form->img_feind[0].left(), -50);
}

TEST_F(Game, PausingBeforeTheFirstStartSetsTheAirDraining) {
    rt.key("frm_main", 'P');
    rt.key("frm_main", 'P');
    EXPECT_TRUE(form->tmr_luft.enabled());
    EXPECT_TRUE(form->tmr_feind2Bewegen.enabled());
    rt.advance(5000);
    EXPECT_EQ(form->shp_luftIst.height(), 29);
    EXPECT_EQ(form->Level, 0);
    EXPECT_EQ(form->Zaehler, 0);
}

TEST_F(Game, GameOverBeepsShowsItsBoxAndStopsTheGame) {
    start();
    form->Leben = 0;
    form->img_feind[0].move(0, 0);
    rt.advance(50);
    EXPECT_EQ(box_texts(),
              (std::vector<std::string>{"Passen Sie ein wenig auf sich auf!", "Schade, schade"}));
    const auto& over = rt.boxes().back();
    EXPECT_EQ(over.title, "Game Over");
    EXPECT_EQ(over.style, ui::kBoxRightAligned);
    EXPECT_EQ(rt.beeps(), 2);
    EXPECT_EQ(form->lbl_leben.caption(), "-1");
    EXPECT_EQ(form->Spiel_aktiv, 0);
    EXPECT_EQ(form->Zeit_laeuft, 0);
    EXPECT_FALSE(form->tmr_timer1.enabled());
    EXPECT_TRUE(form->mnu_freak.enabled());
}

TEST_F(Game, NoGameTimerRunsWhileTheGameOverBoxIsOpen) {
    start();
    form->Leben = 0;
    form->img_feind[0].move(0, 0);
    std::vector<bool> armed;
    rt.on_box = [&](const ui::BoxRecord& box) {
        if (box.text != "Schade, schade") return;
        for (const auto* timer : {&form->tmr_timer1, &form->tmr_ball, &form->tmr_feindbewegen,
                                  &form->tmr_feind, &form->tmr_luft, &form->tmr_auffuellen,
                                  &form->tmr_Blater, &form->tmr_feind2Bewegen}) {
            armed.push_back(timer->armed());
        }
    };
    rt.advance(50);
    EXPECT_EQ(armed, std::vector<bool>(8, false));
}

TEST_F(Game, BeendenEndsTheProgramAtOnce) {
    start();
    ASSERT_TRUE(rt.click("frm_main", "mnu_beenden"));
    EXPECT_TRUE(rt.ended());
    const auto top = form->Img_ball.top();
    rt.advance(1000);
    EXPECT_EQ(form->Img_ball.top(), top);
    EXPECT_FALSE(rt.key("frm_main", kUpKey));
}

TEST_F(Game, ClosingTheLastWindowUnloadsItAndEndsTheProgram) {
    start();
    ASSERT_TRUE(rt.close("frm_main"));
    EXPECT_EQ(rt.form("frm_main"), nullptr);
    EXPECT_TRUE(rt.ended());  // it was the last window
}

}  // namespace
}  // namespace single_player::testing

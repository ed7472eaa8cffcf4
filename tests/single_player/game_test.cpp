// Rules of the single-player game at their edges; whole games are golden scenarios.
#include "single_player/frm_main.h"
#include "tests/single_player/game_fixture.h"

namespace games::testing {
namespace {

class Game : public GameTest<single_player::frm_main> {
  protected:
    // Starts a game with the pearl at (left, top) and every entry delay at `delay_s` seconds.
    void start(int left = 40, int top = -40, int delay_s = 5) {
        rt.queue_random(pearl_at(left, top));
        rt.queue_random(std::vector<ui::Single>(6, draw_for(delay_s, 5, 1)));
        ASSERT_TRUE(rt.click("frm_main", "mnu_start"));
    }
    // No fish of either kind in play: the air and ball rules alone.
    void empty_the_field() {
        form->Level = 0;
        form->Anzahl_Feind2 = 0;
    }
};

TEST_F(Game, BothKeySetsSteerTheBallInEveryStateAndOtherKeysDoNot) {
    const std::vector<std::pair<int, ui::Integer>> cases = {
        {keys::kDown, kDown}, {keys::kUp, kUp}, {keys::kRight, kRight}, {keys::kLeft, kLeft},
        {keys::kS, kDown},    {keys::kW, kUp},  {keys::kD, kRight},     {keys::kA, kLeft},
        {'Q', kLeft},         {'s', kLeft},
    };
    for (const auto& [key, direction] : cases) {
        rt.key("frm_main", key);
        EXPECT_EQ(form->Richtung, direction) << key;
    }
    start();
    rt.key("frm_main", keys::kP);
    rt.key("frm_main", keys::kUp);
    EXPECT_EQ(form->Richtung, kUp);
}

TEST_F(Game, AtACornerTheSideBorderWinsAndAKeyAgainstABorderIsOverruled) {
    struct Case {
        ui::Single left, top;
        int key;
        ui::Single left1, top1, left2, top2;  // after one and two ticks
    };
    const Case cases[] = {
        {-60, -60, keys::kUp, -59, -60, -59, -59},
        {52, 52, keys::kDown, 51, 52, 51, 51},
        {-60, 52, keys::kLeft, -59, 52, -59, 51},
        {10, -60, keys::kLeft, 10, -59, 10, -58},
    };
    for (const Case& c : cases) {
        form->Img_ball.move(c.left, c.top);
        rt.key("frm_main", c.key);
        rt.advance(50);
        EXPECT_EQ(form->Img_ball.left(), c.left1) << c.left << "," << c.top;
        EXPECT_EQ(form->Img_ball.top(), c.top1) << c.left << "," << c.top;
        rt.advance(50);
        EXPECT_EQ(form->Img_ball.left(), c.left2) << c.left << "," << c.top;
        EXPECT_EQ(form->Img_ball.top(), c.top2) << c.left << "," << c.top;
    }
}

TEST_F(Game, TouchingReachesSevenUnitsEachWayWithSinglePrecisionSums) {
    struct Case {
        ui::Single dx, dy;
        bool touches;
    };
    const Case cases[] = {{7, -7, true},     {-7, 7, true},      {0, 0, true},
                          {7.01f, 0, false}, {0, -7.01f, false}, {8, 0, false}};
    for (const Case& c : cases) {
        for (const ui::Single base : {-60.0f, 8.0f, 51.0f}) {
            form->Img_ball.move(base, base);
            form->img_futter.move(base + c.dx, base + c.dy);
            EXPECT_EQ(touches(form->img_futter, form->Img_ball), c.touches)
                << c.dx << "," << c.dy << " at " << base;
        }
    }
    // 0.99999994 + 7 is 8 in single precision.
    form->Img_ball.move(8, 0);
    form->img_futter.move(0.99999994f, 0);
    EXPECT_TRUE(touches(form->img_futter, form->Img_ball));
}

TEST_F(Game, ALevelUpInTheFishLoopNeitherLengthensItNorCountsTheNewFish) {
    start(0, 0);
    form->Zaehler = 9;
    rt.queue_random(pearl_at(30, 30));
    rt.queue_random(pearl_at(30, 30));
    rt.on_box = [&](const ui::BoxRecord&) { form->img_feind[1].move(0, 0); };
    rt.advance(50);
    EXPECT_EQ(form->Leben, 4);
    rt.on_box = nullptr;
    rt.advance(50);
    EXPECT_EQ(form->Leben, 3);  // the next step tests the new fish
}

TEST_F(Game, EachPresetSetsItsAirAndRunsOutOnItsTickNeverBelowZero) {
    struct Case {
        const char* entry;
        int interval;
        ui::Single level;  // set just before the tick
        ui::Single after;
        bool runs_out;
    };
    const Case cases[] = {
        {"mnu_Anfanger", 6000, 3, 2, false},        {"mnu_Anfanger", 6000, 2, 1, true},
        {"mnu_Fortgeschrittene", 5000, 2, 1, true}, {"mnu_Profis", 5000, 3, 1, true},
        {"mnu_freak", 5000, 5, 2, false},           {"mnu_freak", 5000, 2, 0, true},
    };
    for (const Case& c : cases) {
        ui::TestRuntime local;
        app::register_forms(local);
        auto* f = dynamic_cast<single_player::frm_main*>(local.show("frm_main"));
        ASSERT_TRUE(local.click("frm_main", c.entry));
        ASSERT_TRUE(local.click("frm_main", "mnu_start"));
        f->Level = 0;
        f->Anzahl_Feind2 = 0;
        local.advance(c.interval - 1);
        set_air(f->shp_luftIst, c.level);
        local.advance(1);
        EXPECT_EQ(f->shp_luftIst.height(), c.after) << c.entry << " " << c.level;
        EXPECT_EQ(local.boxes().size(), c.runs_out ? 1u : 0u) << c.entry << " " << c.level;
    }
}

TEST_F(Game, ARefillAddsAUnitAQuarterSecondStopsOneTickAfterFullAndEndsWithAPause) {
    start();
    empty_the_field();
    set_air(form->shp_luftIst, 28);
    form->tmr_auffuellen.set_enabled(true);
    rt.advance(500);
    EXPECT_EQ(form->shp_luftIst.height(), 30);
    EXPECT_TRUE(form->tmr_auffuellen.enabled());
    rt.advance(250);
    EXPECT_FALSE(form->tmr_auffuellen.enabled());
    EXPECT_EQ(form->shp_luftIst.height(), 30);

    // A fish hit pauses and resumes the game: the refill it cut short stays off.
    set_air(form->shp_luftIst, 10);
    form->tmr_auffuellen.set_enabled(true);
    form->Level = 1;
    form->img_feind[0].move(form->Img_ball.left(), form->Img_ball.top());
    rt.advance(1000);
    EXPECT_EQ(form->Leben, 2);
    EXPECT_EQ(form->shp_luftIst.height(), 10);
}

TEST_F(Game, TheBubbleRisesFromTheBarToTheTopAndParksAtTheBarsTop) {
    start();
    empty_the_field();
    rt.advance(5000 + 25 * 50);  // the first rise starts from the bar's design top
    EXPECT_FALSE(form->shp_Blater.visible());
    EXPECT_EQ(form->shp_Blater.top(), 26);
    rt.advance(5000 - 25 * 50 + 25 * 50);  // the next from the bar's top before that loss
    EXPECT_TRUE(form->shp_Blater.visible());
    EXPECT_EQ(form->shp_Blater.top(), 1);
    rt.advance(50);
    EXPECT_FALSE(form->shp_Blater.visible());
    EXPECT_EQ(form->shp_Blater.top(), 27);
}

}  // namespace
}  // namespace games::testing

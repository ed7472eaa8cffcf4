// Rules of the single-player game at their edges; whole games are golden scenarios.
#include "single_player/frm_main.h"
#include "tests/single_player/game_fixture.h"

namespace games::testing {
namespace {

class Game : public GameTest<single_player::frm_main> {
  protected:
    // Starts a game with the pearl at (40, -40) and every entry delay at 5 seconds.
    void start() {
        rt.queue_random(pearl_at(40, -40));
        rt.queue_random(std::vector<ui::Single>(6, draw_for(5, 5, 1)));
        ASSERT_TRUE(rt.click("frm_main", "mnu_start"));
    }
    // No fish of either kind in play: the air and ball rules alone.
    void empty_the_field() {
        form->Level = 0;
        form->Anzahl_Feind2 = 0;
    }
    std::pair<ui::Single, ui::Single> place() const {
        return {form->Img_ball.left(), form->Img_ball.top()};
    }
};

TEST_F(Game, TheArrowsAndTheLettersBothSteerTheBall) {
    start();
    empty_the_field();
    // Each key turns the ball: a key that did nothing would leave the last direction.
    const std::vector<std::tuple<int, ui::Single, ui::Single>> steps = {
        {keys::kDown, 0, 1}, {keys::kW, 0, -1}, {keys::kRight, 1, 0}, {keys::kA, -1, 0},
        {keys::kUp, 0, -1},  {keys::kS, 0, 1},  {keys::kLeft, -1, 0}, {keys::kD, 1, 0}};
    for (const auto& [key, dx, dy] : steps) {
        const auto [left, top] = place();
        rt.key("frm_main", key);
        rt.advance(50);
        EXPECT_EQ(place(), std::make_pair(left + dx, top + dy)) << key;
    }
}

TEST_F(Game, TouchingReachesSevenUnitsEachWayWithSinglePrecisionSums) {
    struct Case {
        ui::Single dx, dy;
        bool touches;
    };
    const Case cases[] = {{7, -7, true}, {-7, 7, true}, {7.01f, 0, false}, {0, -7.01f, false}};
    for (const Case& c : cases) {
        form->Img_ball.move(8, 8);
        form->img_futter.move(8 + c.dx, 8 + c.dy);
        EXPECT_EQ(touches(form->img_futter, form->Img_ball), c.touches) << c.dx << "," << c.dy;
    }
    // 0.99999994 + 7 is 8 in single precision.
    form->Img_ball.move(8, 0);
    form->img_futter.move(0.99999994f, 0);
    EXPECT_TRUE(touches(form->img_futter, form->Img_ball));
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
        {"mnu_Anfanger", 6000, 3, 2, false},
        {"mnu_Anfanger", 6000, 2, 1, true},
        {"mnu_Profis", 5000, 3, 1, true},
        {"mnu_freak", 5000, 2, 0, true},
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
    form->Img_ball.move(form->img_luft.left(), form->img_luft.top());
    rt.advance(50);
    EXPECT_TRUE(form->tmr_auffuellen.enabled()) << "the air tanks start no refill";
    form->Img_ball.move(0, 0);
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

}  // namespace
}  // namespace games::testing

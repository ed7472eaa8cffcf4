// The ball's keys, step, bounce and animation, and the four difficulty presets.
#include <gtest/gtest.h>

#include "games/rules.h"
#include "tests/single_player/game_fixture.h"

namespace single_player::testing {
namespace {

TEST_F(Game, KeyTableSetsTheDirectionInEveryStateAndIgnoresOtherKeys) {
    struct Case {
        int key;
        ui::Integer direction;
    };
    const Case cases[] = {{kDownKey, kDown}, {kUpKey, kUp}, {kRightKey, kRight}, {kLeftKey, kLeft},
                          {'S', kDown},      {'W', kUp},    {'D', kRight},       {'A', kLeft},
                          {'Q', kLeft},      {13, kLeft},   {32, kLeft},         {'S' + 32, kLeft}};
    for (const auto& c : cases) {
        rt.key("frm_main", c.key);
        EXPECT_EQ(form->Richtung, c.direction) << "key " << c.key;
    }
    // Paused and aborted games take steering keys too.
    start();
    rt.key("frm_main", 'P');
    rt.key("frm_main", kUpKey);
    EXPECT_EQ(form->Richtung, kUp);
    rt.key("frm_main", kEscKey);
    rt.key("frm_main", 'D');
    EXPECT_EQ(form->Richtung, kRight);
}

TEST_F(Game, BallRunsToTheTopBoundTurnsAndRunsToTheBottomBound) {
    empty_the_field();
    rt.key("frm_main", kUpKey);
    rt.advance(60 * 50);
    EXPECT_EQ(form->Img_ball.top(), -60);
    rt.advance(50);
    EXPECT_EQ(form->Img_ball.top(), -59);
    EXPECT_EQ(form->Richtung, kDown);
    rt.advance(111 * 50);
    EXPECT_EQ(form->Img_ball.top(), 52);
    rt.advance(50);
    EXPECT_EQ(form->Img_ball.top(), 51);
}

TEST_F(Game, BounceAtACornerLetsTheSideBorderWin) {
    struct Case {
        ui::Single left, top;
        ui::Integer pressed;
        ui::Single left_after_one, top_after_one;
        ui::Single left_after_two, top_after_two;
    };
    const Case cases[] = {
        {-60, -60, kUpKey, -59, -60, -59, -59},
        {52, 52, kDownKey, 51, 52, 51, 51},
        {-60, 52, kLeftKey, -59, 52, -59, 51},
        {52, -60, kUpKey, 51, -60, 51, -59},
        // A key against the top border is overruled at the next tick.
        {10, -60, kLeftKey, 10, -59, 10, -58},
    };
    for (const auto& c : cases) {
        form->Img_ball.move(c.left, c.top);
        rt.key("frm_main", c.pressed);
        rt.advance(50);
        EXPECT_EQ(form->Img_ball.left(), c.left_after_one) << c.left << "," << c.top;
        EXPECT_EQ(form->Img_ball.top(), c.top_after_one) << c.left << "," << c.top;
        rt.advance(50);
        EXPECT_EQ(form->Img_ball.left(), c.left_after_two) << c.left << "," << c.top;
        EXPECT_EQ(form->Img_ball.top(), c.top_after_two) << c.left << "," << c.top;
    }
}

TEST_F(Game, BallAnimatesEveryHalfSecondWhetherItMovesOrNot) {
    EXPECT_EQ(form->Img_ball.picture(), ui::Picture::smiley_closed);
    rt.advance(499);
    EXPECT_EQ(form->Img_ball.picture(), ui::Picture::smiley_closed);
    rt.advance(1);
    EXPECT_EQ(form->Img_ball.picture(), ui::Picture::smiley_open);
    rt.advance(500);
    EXPECT_EQ(form->Img_ball.picture(), ui::Picture::smiley_closed);
    EXPECT_EQ(form->Img_ball.left(), 0);
}

TEST_F(Game, CounterLabelsCatchUpAtTheNextTick) {
    start();
    empty_the_field();
    form->Leben = 7;
    form->Zaehler = 4;
    rt.advance(49);
    EXPECT_EQ(form->lbl_leben.caption(), "3");
    rt.advance(1);
    EXPECT_EQ(form->lbl_leben.caption(), "7");
    EXPECT_EQ(form->lbl_zaehler.caption(), "4");
}

struct PresetCase {
    const char* entry;
    ui::Integer second_kind_fish;
    int air_interval;
    ui::Integer air_loss;
    int ticks_to_run_out;
};

class Presets : public Game, public ::testing::WithParamInterface<PresetCase> {};

TEST_P(Presets, SetTheirConstantsAndRunOutOfAirOnTheirTick) {
    const PresetCase& p = GetParam();
    form->Leben = -1;
    form->img_Feind2[5].move(5, 5);
    ASSERT_TRUE(rt.click("frm_main", p.entry));
    EXPECT_EQ(form->lbl_leben.caption(), "3");
    EXPECT_EQ(form->Anzahl_Feind2, p.second_kind_fish);
    EXPECT_EQ(form->tmr_luft.interval(), p.air_interval);
    EXPECT_EQ(form->Luftverbrauch, p.air_loss);
    EXPECT_EQ(form->tmr_auffuellen.interval(), 250);
    EXPECT_EQ(form->tmr_feind.interval(), 2000);
    EXPECT_EQ(form->img_Feind2[5].visible(), p.second_kind_fish == 6);
    EXPECT_EQ(form->img_Feind2[5].left(), 5);  // shown or hidden where it stands
    int checked = 0;
    for (const auto* entry :
         {&form->mnu_Anfanger, &form->mnu_Fortgeschrittene, &form->mnu_Profis, &form->mnu_freak}) {
        checked += entry->checked() ? 1 : 0;
        EXPECT_EQ(entry->checked(), entry->name() == p.entry) << entry->name();
    }
    EXPECT_EQ(checked, 1);

    start();
    empty_the_field();
    rt.advance(static_cast<std::int64_t>(p.ticks_to_run_out) * p.air_interval - 1);
    EXPECT_TRUE(rt.boxes().empty());
    EXPECT_GT(form->shp_luftIst.height(), 1);
    rt.advance(1);
    ASSERT_EQ(rt.boxes().size(), 1u);
    EXPECT_EQ(rt.boxes()[0].text, "Ihnen ist die Luft ausgegangen!");
    EXPECT_EQ(rt.boxes()[0].title, "Game Over");
    EXPECT_EQ(rt.boxes()[0].style, ui::kBoxRightAligned);
    EXPECT_EQ(rt.boxes()[0].time, static_cast<std::int64_t>(p.ticks_to_run_out) * p.air_interval);
    EXPECT_EQ(rt.beeps(), 1);
    EXPECT_LE(form->shp_luftIst.height(), 1);
    EXPECT_GE(form->shp_luftIst.height(), 0);
    EXPECT_EQ(form->shp_luftIst.top() + form->shp_luftIst.height(), 55);
    EXPECT_EQ(form->Spiel_aktiv, 0);
    EXPECT_EQ(form->Leben, 3);  // running out of air costs no life
    // The bubble launched in that tick stays where it is.
    EXPECT_TRUE(form->shp_Blater.visible());
}

INSTANTIATE_TEST_SUITE_P(Single, Presets,
                         ::testing::Values(PresetCase{"mnu_Anfanger", 2, 6000, 1, 29},
                                           PresetCase{"mnu_Fortgeschrittene", 3, 5000, 1, 29},
                                           PresetCase{"mnu_Profis", 4, 5000, 2, 15},
                                           PresetCase{"mnu_freak", 6, 5000, 3, 10}));

TEST_F(Game, ChoosingTheCheckedPresetAgainAppliesIt) {
    form->Leben = -1;
    ASSERT_TRUE(rt.click("frm_main", "mnu_Fortgeschrittene"));
    EXPECT_EQ(form->Leben, 3);
    EXPECT_TRUE(form->mnu_Fortgeschrittene.checked());
}

}  // namespace
}  // namespace single_player::testing

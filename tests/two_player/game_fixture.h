// A loaded two-player form on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/forms.h"
#include "games/rules.h"
#include "tests/single_player/game_fixture.h"
#include "two_player/frm_main2.h"
#include "ui/test_runtime.h"

namespace two_player::testing {

using namespace games;
using single_player::testing::draw_for;
using single_player::testing::pearl_at;

inline constexpr const char* kForm = "frm_main2";

class TwoPlayers : public ::testing::Test {
  protected:
    TwoPlayers() {
        app::register_forms(rt);
        form = dynamic_cast<frm_main2*>(rt.show(kForm));
    }

    // Starts a game; of Start's two pearl placements the second puts it at (left, top).
    void start(int pearl_left = 40, int pearl_top = -40) {
        rt.queue_random(pearl_at(0, 0));
        rt.queue_random(pearl_at(pearl_left, pearl_top));
        ASSERT_TRUE(rt.click(kForm, "mnu_start"));
    }

    // The fish stay where the test puts them: no turns.
    void hold_the_fish() { form->tmr_feind.set_enabled(false); }

    // One tick of a player: the ball step, then the evaluation step.
    void tick(int player) { player == 0 ? form->tmr_ball0_Timer() : form->tmr_ball1_Timer(); }

    ui::Image& ball(int player) { return form->Img_ball[static_cast<std::size_t>(player)]; }
    ui::Integer& lives(int player) { return form->Leben[static_cast<std::size_t>(player)]; }
    ui::Integer& pearls(int player) { return form->Zaehler[static_cast<std::size_t>(player)]; }
    ui::Shape& bar(int player) { return form->shp_luftIst[static_cast<std::size_t>(player)]; }
    ui::Label& lives_label(int player) { return form->lbl_leben[static_cast<std::size_t>(player)]; }
    ui::Timer& refill_timer(int player) {
        return player == 0 ? form->tmr_auffuellen0 : form->tmr_auffuellen1;
    }

    std::vector<std::string> box_texts() const {
        std::vector<std::string> texts;
        for (const auto& box : rt.boxes()) texts.push_back(box.text);
        return texts;
    }

    ui::TestRuntime rt;
    frm_main2* form = nullptr;
};

// The same case for player 1 (index 0) and player 2 (index 1).
class EachPlayer : public TwoPlayers, public ::testing::WithParamInterface<int> {
  protected:
    int player() const { return GetParam(); }
    int other() const { return 1 - GetParam(); }
};

}  // namespace two_player::testing

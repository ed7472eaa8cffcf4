// A loaded single-player form on the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/forms.h"
#include "games/rules.h"
#include "single_player/frm_main.h"
#include "ui/test_runtime.h"

namespace single_player::testing {

using namespace games;

// Virtual key codes.
inline constexpr int kLeftKey = 37;
inline constexpr int kUpKey = 38;
inline constexpr int kRightKey = 39;
inline constexpr int kDownKey = 40;
inline constexpr int kEscKey = 27;

// random_next values that Int(v * n) + c turns into the wanted whole number.
inline ui::Single draw_for(int wanted, int n, int c) {
    return (static_cast<ui::Single>(wanted - c) + 0.5f) / static_cast<ui::Single>(n);
}
// The two draws of a pearl placement that put the pearl at (left, top).
inline std::vector<ui::Single> pearl_at(int left, int top) {
    return {draw_for(top + 50, 100, 2), draw_for(left + 50, 100, 2)};
}

class Game : public ::testing::Test {
  protected:
    Game() {
        app::register_forms(rt);
        form = dynamic_cast<frm_main*>(rt.show("frm_main"));
    }

    // Starts a game with the pearl at (left, top) and every entry delay at `delay_s` seconds.
    void start(int pearl_left = 40, int pearl_top = -40, int delay_s = 5) {
        rt.queue_random(pearl_at(pearl_left, pearl_top));
        rt.queue_random(std::vector<ui::Single>(6, draw_for(delay_s, 5, 1)));
        ASSERT_TRUE(rt.click("frm_main", "mnu_start"));
    }

    // No fish and no second-kind fish in play: the air and ball rules alone.
    void empty_the_field() {
        form->Level = 0;
        form->Anzahl_Feind2 = 0;
    }

    std::vector<std::string> box_texts() const {
        std::vector<std::string> texts;
        for (const auto& box : rt.boxes()) texts.push_back(box.text);
        return texts;
    }

    ui::TestRuntime rt;
    frm_main* form = nullptr;
};

}  // namespace single_player::testing

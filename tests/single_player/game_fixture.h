// A loaded game form on the virtual clock, and the random draws that place things where a test
// wants them.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "app/forms.h"
#include "games/rules.h"
#include "ui/keys.h"
#include "ui/test_runtime.h"

namespace games::testing {

namespace keys = ui::keys;

// The random_next value that Int(v * n) + c turns into `wanted`.
inline ui::Single draw_for(int wanted, int n, int c) {
    return (static_cast<ui::Single>(wanted - c) + 0.5f) / static_cast<ui::Single>(n);
}
// The two draws of a pearl placement that put the pearl at (left, top).
inline std::vector<ui::Single> pearl_at(int left, int top) {
    return {draw_for(top + 50, 100, 2), draw_for(left + 50, 100, 2)};
}

template <typename F>
class GameTest : public ::testing::Test {
  protected:
    GameTest() {
        app::register_forms(rt);
        form = dynamic_cast<F*>(rt.show(F::kName));
    }
    ui::TestRuntime rt;
    F* form = nullptr;
};

}  // namespace games::testing

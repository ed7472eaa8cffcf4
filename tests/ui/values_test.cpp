// The services and values the game code relies on: random numbers and Integer stores and counters.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <vector>

#include "ui/test_runtime.h"

namespace {

TEST(Random, RandomizeMixesTheClockInSoDrawsAfterEachReseedDifferAndSpreadEvenly) {
    // As a start draws its entry delays: a reseed before each of six draws, in one millisecond.
    ui::TestRuntime rt;
    std::map<int, int> counts;
    for (int i = 0; i < 6000; ++i) {
        rt.randomize();
        ++counts[static_cast<int>(ui::Int(rt.random_next() * 5) + 1)];
    }
    ASSERT_EQ(counts.size(), 5u);
    EXPECT_EQ(counts.begin()->first, 1);
    for (const auto& [value, count] : counts) EXPECT_NEAR(count, 1200, 150) << value;
}

TEST(Integers, StoringAFloatRoundsHalfToEvenAndClampsAndCountersSaturate) {
    const std::vector<std::pair<double, int>> stores = {
        {0.5, 0},         {1.5, 2},         {2.5, 2},           {-2.5, -2},      {0.50001, 1},
        {32767.5, 32767}, {40000.0, 32767}, {-32768.5, -32768}, {-1.0e9, -32768}};
    for (const auto& [value, expected] : stores)
        EXPECT_EQ(ui::to_integer(value), expected) << value;
    const std::vector<std::array<int, 3>> sums = {
        {32767, 1, 32767}, {-32768, -1, -32768}, {100, -200, -100}, {0, 70000, 32767}};
    for (const auto& [value, delta, expected] : sums) {
        EXPECT_EQ(ui::add_saturated(static_cast<ui::Integer>(value), delta), expected)
            << value << " + " << delta;
    }
}

}  // namespace

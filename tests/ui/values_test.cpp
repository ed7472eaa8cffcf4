// The services and values the game code relies on: random numbers, Integer stores and counters,
// and the test runtime's log.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "probe_form.h"
#include "ui/test_runtime.h"

namespace {

TEST(Random, RandomizeMixesTheClockInSoDrawsAfterEachReseedDifferAndSpreadEvenly) {
    // As a start draws its entry delays: a reseed before each of six draws per event, several
    // events in the same millisecond or a second apart.
    for (const int ms_between_events : {0, 1000}) {
        ui::TestRuntime rt;
        std::map<int, int> counts;
        for (int event = 0; event < 1000; ++event) {
            rt.advance(ms_between_events);
            for (int i = 0; i < 6; ++i) {
                rt.randomize();
                ++counts[static_cast<int>(ui::Int(rt.random_next() * 5) + 1)];
            }
        }
        ASSERT_EQ(counts.size(), 5u);
        EXPECT_EQ(counts.begin()->first, 1);
        for (const auto& [value, count] : counts) EXPECT_NEAR(count, 1200, 150) << value;
    }
}

TEST(Integers, StoringAFloatRoundsHalfToEvenAndClampsAndCountersSaturate) {
    const std::vector<std::pair<double, int>> stores = {
        {0.5, 0},         {1.5, 2},         {2.5, 2},           {-0.5, 0},
        {-1.5, -2},       {-2.5, -2},       {0.50001, 1},       {24.71, 25},
        {32767.5, 32767}, {40000.0, 32767}, {-32768.5, -32768}, {-1.0e9, -32768},
    };
    for (const auto& [value, expected] : stores)
        EXPECT_EQ(ui::to_integer(value), expected) << value;
    const std::vector<std::array<int, 3>> sums = {
        {32766, 1, 32767}, {32767, 1, 32767}, {-32768, -1, -32768},
        {100, -200, -100}, {0, 70000, 32767}, {0, -70000, -32768},
    };
    for (const auto& [value, delta, expected] : sums) {
        EXPECT_EQ(ui::add_saturated(static_cast<ui::Integer>(value), delta), expected)
            << value << " + " << delta;
    }
}

TEST(TestRuntimeLog, EachEventIsOneLineWithItsTimeAndQuotedTexts) {
    test::Journal journal;
    ui::TestRuntime rt;
    test::register_probe(rt, "frm_a", journal, [&](test::ProbeForm& f) {
        f.on_key = [&] {
            rt.beep();
            rt.msg_box("Er sagt \"Hallo\" \\ tsch\xC3\xBC\xC3\x9F", ui::kBoxRightAligned,
                       "Game Over");
        };
    });
    rt.show("frm_a");
    rt.advance(120);
    rt.key("frm_a", 80);
    rt.close("frm_a");
    EXPECT_EQ(rt.log(), (std::vector<std::string>{
                            "@0 load frm_a", "@120 beep",
                            "@120 box \"Er sagt \\\"Hallo\\\" \\\\ tsch\xC3\xBC\xC3\x9F\" 524288 "
                            "\"Game Over\"",
                            "@120 unload frm_a", "@120 end"}));
}

}  // namespace

// The services the game code calls: random numbers, Integer conversions, the number format of
// the dumps, and the test runtime's log of boxes, beeps, loads, unloads and the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "probe_form.h"
#include "ui/test_runtime.h"
#include "ui/types.h"

namespace {

constexpr ui::Single kLargestRandom = 1.0f - 1.0f / 16777216.0f;  // 1 - 2^-24

TEST(Random, ValuesLieInTheUnitIntervalOnA24BitGrid) {
    ui::TestRuntime rt;
    bool odd_seen = false;
    ui::Single lowest = 1;
    ui::Single highest = 0;
    for (int i = 0; i < 100'000; ++i) {
        const ui::Single value = rt.random_next();
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
        const ui::Single steps = value * 16777216.0f;
        ASSERT_EQ(steps, std::floor(steps)) << value;
        odd_seen = odd_seen || std::fmod(steps, 2.0f) == 1.0f;
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    EXPECT_TRUE(odd_seen) << "the lowest of the 24 bits never varies";
    EXPECT_LT(lowest, 0.001f);
    EXPECT_GT(highest, 0.999f);
}

TEST(Random, RandomizeMixesTheClockIntoTheStateWithoutReplacingIt) {
    // Two reseeds at the same clock reading still give different draws.
    ui::TestRuntime same_tick;
    same_tick.randomize();
    const ui::Single first = same_tick.random_next();
    same_tick.randomize();
    EXPECT_NE(same_tick.random_next(), first);

    // The state before the reseed counts...
    ui::TestRuntime drawn_before;
    drawn_before.random_next();
    drawn_before.randomize();
    EXPECT_NE(drawn_before.random_next(), first);

    // ...and so does the clock.
    ui::TestRuntime later;
    later.advance(1000);
    later.randomize();
    EXPECT_NE(later.random_next(), first);
}

TEST(Random, WholeNumbersDrawnAfterEachReseedCoverTheirRangeEvenly) {
    // As a start draws its entry delays: a reseed before each draw, six draws per event.
    for (const int ms_between_events : {0, 1, 1000}) {
        SCOPED_TRACE(ms_between_events);
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
        EXPECT_EQ(counts.rbegin()->first, 5);
        for (const auto& [value, count] : counts) {
            EXPECT_NEAR(count, 1200, 150) << "value " << value;
        }
    }
}

TEST(Random, QueuedValuesComeFirstAndLeaveTheSequenceAlone) {
    ui::TestRuntime plain;
    const ui::Single a = plain.random_next();
    const ui::Single b = plain.random_next();

    ui::TestRuntime queued;
    queued.queue_random({0.5f, 0.25f});
    queued.queue_random({0.75f});
    EXPECT_EQ(queued.random_next(), 0.5f);
    EXPECT_EQ(queued.random_next(), 0.25f);
    EXPECT_EQ(queued.random_next(), 0.75f);
    EXPECT_EQ(queued.queued_random_count(), 0u);
    EXPECT_EQ(queued.random_next(), a);
    EXPECT_EQ(queued.random_next(), b);
}

TEST(Random, AWholeNumberDrawStaysWithinItsRange) {
    struct Case {
        int n;
        int c;
    };
    const std::vector<Case> cases = {{4, 1}, {5, 1}, {10, 0}, {100, -50}, {120, -60}, {7, 0}};
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.n) + ", " + std::to_string(k.c));
        ui::TestRuntime rt;
        rt.queue_random({0.0f, kLargestRandom});
        const ui::Integer n = static_cast<ui::Integer>(k.n);
        const ui::Integer lowest = ui::to_integer(ui::Int(rt.random_next() * n) + k.c);
        const ui::Integer highest = ui::to_integer(ui::Int(rt.random_next() * n) + k.c);
        EXPECT_EQ(lowest, k.c);
        EXPECT_EQ(highest, k.n - 1 + k.c);
    }
}

TEST(Integers, StoringAFloatRoundsHalfToEvenAndClamps) {
    struct Case {
        double value;
        int expected;
    };
    const std::vector<Case> cases = {
        {0.5, 0},           {1.5, 2},         {2.5, 2},         {3.5, 4},
        {-0.5, 0},          {-1.5, -2},       {-2.5, -2},       {0.49999, 0},
        {0.50001, 1},       {-0.50001, -1},   {24.71, 25},      {32767.0, 32767},
        {32767.49, 32767},  {32767.5, 32767}, {40000.0, 32767}, {-32768.0, -32768},
        {-32768.5, -32768}, {-1.0e9, -32768},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::to_integer(c.value), c.expected) << c.value;
    }
}

TEST(Integers, ACounterSaturatesInsteadOfOverflowing) {
    struct Case {
        int value;
        int delta;
        int expected;
    };
    const std::vector<Case> cases = {
        {32766, 1, 32767},    {32767, 1, 32767}, {32767, -1, 32766}, {-32767, -1, -32768},
        {-32768, -1, -32768}, {100, -200, -100}, {0, 70000, 32767},  {0, -70000, -32768},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::add_saturated(static_cast<ui::Integer>(c.value), c.delta), c.expected)
            << c.value << " + " << c.delta;
    }
}

TEST(Numbers, ASingleIsWrittenInTheShortestFormThatReadsBack) {
    struct Case {
        ui::Single value;
        const char* text;
    };
    const std::vector<Case> cases = {
        {0.0f, "0"},
        {25.0f, "25"},
        {-60.0f, "-60"},
        {8.51f, "8.51"},
        {10.27f, "10.27"},
        {-51.49f, "-51.49"},
        {24.71f, "24.71"},
        {0.1f, "0.1"},
        {1.0f / 3, "0.33333334"},
        {kLargestRandom, "0.99999994"},
    };
    for (const Case& c : cases) {
        const std::string text = ui::format_single(c.value);
        EXPECT_EQ(text, c.text);
        ui::Single back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(back, c.value) << text;
    }
}

TEST(TestRuntimeLog, EachEventIsOneLineWithItsTime) {
    test::Journal journal;
    ui::TestRuntime rt;
    std::vector<std::string> lines;
    rt.on_log = [&](const std::string& line) { lines.push_back(line); };
    test::register_probe(rt, "frm_a", journal, [&](test::ProbeForm& f) {
        f.on_key = [&](int) {
            rt.beep();
            rt.msg_box("Er sagt \"Hallo\" \\ tsch\xC3\xBC\xC3\x9F", ui::kBoxRightAligned,
                       "Game Over");
        };
    });
    rt.show("frm_a");
    rt.advance(120);
    rt.key("frm_a", 80);
    rt.advance(30);
    rt.close("frm_a");
    const std::vector<std::string> expected = {
        "@0 load frm_a",
        "@120 beep",
        "@120 box \"Er sagt \\\"Hallo\\\" \\\\ tsch\xC3\xBC\xC3\x9F\" 524288 \"Game Over\"",
        "@150 unload frm_a",
        "@150 end",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(rt.log(), expected);
    EXPECT_EQ(rt.beeps(), 1);
}

}  // namespace

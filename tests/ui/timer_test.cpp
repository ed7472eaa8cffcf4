// The timer rules on the virtual clock: when a countdown starts, what reassigning does, the
// absolute schedule, message boxes and the order of due timers.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "probe_form.h"
#include "ui/test_runtime.h"

namespace {

using Entries = std::vector<std::string>;

TEST(Timers, CountdownStartsWhenArmedAndReassigningAnArmedTimerKeepsIt) {
    struct Case {
        const char* how;
        bool enabled;                            // by design, Interval 100
        std::function<void(ui::Timer&)> change;  // at 70 ms
        Entries expected;                        // up to 400 ms
    };
    const auto set = [](int ms) { return [ms](ui::Timer& t) { t.set_interval(ms); }; };
    const Case cases[] = {
        {"Enabled set",
         false,
         [](ui::Timer& t) { t.set_enabled(true); },
         {"t@170", "t@270", "t@370"}},
        {"Enabled again",
         true,
         [](ui::Timer& t) { t.set_enabled(true); },
         {"t@100", "t@200", "t@300", "t@400"}},
        {"a longer Interval", true, set(150), {"t@150", "t@300"}},
        {"an Interval below the time run",
         true,
         set(50),
         {"t@70", "t@100", "t@150", "t@200", "t@250", "t@300", "t@350", "t@400"}},
        {"off and on: a fresh countdown",
         true,
         [](ui::Timer& t) {
             t.set_enabled(false);
             t.set_enabled(true);
         },
         {"t@170", "t@270", "t@370"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        test::Journal journal;
        ui::TestRuntime rt;
        test::register_probe(rt, "frm_a", journal,
                             [&](test::ProbeForm& f) { f.timer("t", 100, c.enabled); });
        rt.show("frm_a");
        rt.advance(70);
        c.change(*rt.find<ui::Timer>("frm_a", "t"));
        rt.advance(330);
        EXPECT_EQ(Entries(journal.begin() + 1, journal.end()), c.expected);
    }
}

TEST(Timers, LateTicksKeepTheAbsoluteScheduleAndATimerFarBehindFiresOnce) {
    test::Journal journal;
    test::ManualRuntime rt;
    test::register_probe(rt, "frm_a", journal, [](test::ProbeForm& f) { f.timer("t", 50, true); });
    rt.show("frm_a");
    for (int k = 1; k <= 100; ++k) {  // late by up to 44 ms at every tick: no drift
        rt.clock = 50 * k + (k * 7) % 45;
        rt.run_due_timers();
        ASSERT_EQ(rt.scheduler().next_due(), 50 * (k + 1)) << "at " << rt.clock;
    }
    rt.clock = 5000 + 1184;
    rt.run_due_timers();
    EXPECT_EQ(journal.size(), 102u);
    EXPECT_EQ(rt.scheduler().next_due(), 6234);
}

class TimerPass : public ::testing::Test {
  protected:
    void load(test::ProbeForm::Build build) {
        test::register_probe(rt, "frm_a", journal, std::move(build));
        rt.show("frm_a");
        journal.clear();
    }
    test::Journal journal;
    ui::TestRuntime rt;
};

TEST_F(TimerPass, NoTimerFiresWhileABoxIsOpenAndEachDueOneFiresOnceAfterIt) {
    load([&](test::ProbeForm& f) {
        f.timer("A", 50, true);
        f.timer("B", 100, true, [&] {
            if (rt.now() == 100) rt.msg_box("wait", ui::kBoxOk, "B");
        });
    });
    rt.on_box = [&](const ui::BoxRecord&) {
        rt.advance(500);
        EXPECT_FALSE(rt.fire_next_due()) << "fired inside the box";
    };
    rt.advance(700);
    EXPECT_EQ(journal,
              (Entries{"A@50", "A@100", "B@100", "A@600", "B@600", "A@650", "A@700", "B@700"}));
    // A box opened outside any handler holds them just the same.
    journal.clear();
    rt.msg_box("top level", ui::kBoxOk, "t");
    rt.advance(0);
    EXPECT_EQ(journal, (Entries{"A@1200", "B@1200"}));
}

TEST_F(TimerPass, TimersDueAtOnceFireInCreationOrder) {
    load([](test::ProbeForm& f) {
        f.timer("P", 50, false);
        f.timer("Q", 100, true);
        f.timer("R", 100, true);
    });
    rt.advance(50);
    rt.find<ui::Timer>("frm_a", "P")->set_enabled(true);  // armed last, created first
    rt.advance(50);
    EXPECT_EQ(journal, (Entries{"P@100", "Q@100", "R@100"}));
}

}  // namespace

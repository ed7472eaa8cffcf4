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
using Change = std::function<void(ui::Timer&)>;

Change enable(bool on) {
    return [on](ui::Timer& t) { t.set_enabled(on); };
}
Change interval(int ms) {
    return [ms](ui::Timer& t) { t.set_interval(ms); };
}

TEST(Timers, CountdownStartsWhenArmedAndReassigningAnArmedTimerKeepsIt) {
    struct Case {
        const char* how;
        int interval;
        bool enabled;
        std::int64_t when;  // of the changes; the form loads at 0
        std::vector<Change> changes;
        Entries expected;  // up to 400 ms
    };
    const std::vector<Case> cases = {
        {"armed by design", 100, true, 0, {}, {"t@100", "t@200", "t@300", "t@400"}},
        {"Enabled set", 100, false, 60, {enable(true)}, {"t@160", "t@260", "t@360"}},
        {"Interval set", 0, true, 60, {interval(100)}, {"t@160", "t@260", "t@360"}},
        {"Interval while off, then Enabled",
         100,
         false,
         60,
         {interval(40), enable(true)},
         {"t@100", "t@140", "t@180", "t@220", "t@260", "t@300", "t@340", "t@380"}},
        {"Enabled again", 100, true, 70, {enable(true)}, {"t@100", "t@200", "t@300", "t@400"}},
        {"the same Interval", 100, true, 70, {interval(100)}, {"t@100", "t@200", "t@300", "t@400"}},
        {"a longer Interval", 100, true, 70, {interval(150)}, {"t@150", "t@300"}},
        {"an Interval below the time run",
         100,
         true,
         70,
         {interval(50)},
         {"t@70", "t@100", "t@150", "t@200", "t@250", "t@300", "t@350", "t@400"}},
        {"counted from the last tick",
         100,
         true,
         130,
         {interval(60)},
         {"t@100", "t@160", "t@220", "t@280", "t@340", "t@400"}},
        {"off and on: a fresh countdown",
         100,
         true,
         70,
         {enable(false), enable(true)},
         {"t@170", "t@270", "t@370"}},
        {"Interval 0 and back",
         100,
         true,
         70,
         {interval(0), interval(100)},
         {"t@170", "t@270", "t@370"}},
        {"a negative Interval disarms", 100, true, 70, {interval(-5)}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        test::Journal journal;
        ui::TestRuntime rt;
        test::register_probe(rt, "frm_a", journal,
                             [&](test::ProbeForm& f) { f.timer("t", c.interval, c.enabled); });
        rt.show("frm_a");
        rt.advance(c.when);
        for (const Change& change : c.changes) change(*rt.find<ui::Timer>("frm_a", "t"));
        rt.advance(400 - c.when);
        EXPECT_EQ(Entries(journal.begin() + 1, journal.end()), c.expected);
    }
}

TEST(Timers, LateTicksKeepTheAbsoluteScheduleAndATimerFarBehindFiresOnce) {
    struct Case {
        std::int64_t late;  // after each due time
        std::int64_t next_due_after_first;
    };
    for (const Case c : {Case{0, 100}, Case{49, 100}, Case{51, 151}, Case{1184, 1284}}) {
        test::Journal journal;
        test::ManualRuntime rt;
        test::register_probe(rt, "frm_a", journal,
                             [](test::ProbeForm& f) { f.timer("t", 50, true); });
        rt.show("frm_a");
        rt.clock = 50 + c.late;
        rt.run_due_timers();
        EXPECT_EQ(journal.size(), 2u) << c.late;
        EXPECT_EQ(rt.scheduler().next_due(), c.next_due_after_first) << c.late;
    }
    // Late by up to 44 ms at every tick, a thousand times: no drift.
    test::Journal journal;
    test::ManualRuntime rt;
    test::register_probe(rt, "frm_a", journal, [](test::ProbeForm& f) { f.timer("t", 50, true); });
    rt.show("frm_a");
    for (int k = 1; k <= 1000; ++k) {
        rt.clock = 50 * k + (k * 7) % 45;
        rt.run_due_timers();
        ASSERT_EQ(rt.scheduler().next_due(), 50 * (k + 1)) << "at " << rt.clock;
    }
}

class TimerPass : public ::testing::Test {
  protected:
    test::ProbeForm& load(test::ProbeForm::Build build) {
        test::register_probe(rt, "frm_a", journal, std::move(build));
        auto& form = static_cast<test::ProbeForm&>(*rt.show("frm_a"));
        journal.clear();
        return form;
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
        if (rt.fire_next_due()) journal.push_back("fired inside the box");
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

TEST_F(TimerPass, TimersDueTogetherFireInTheOrderOfTheirDueTimes) {
    load([&](test::ProbeForm& f) {
        f.timer("X", 90, true);
        f.timer("Y", 40, true);
        f.timer("Z", 60, true);
        f.on_key = [&] { rt.msg_box("wait", ui::kBoxOk, "t"); };
    });
    rt.on_box = [&](const ui::BoxRecord&) { rt.advance(200); };
    rt.key("frm_a", 32);  // all three fall due while the box is open
    rt.advance(100);
    EXPECT_EQ(journal,
              (Entries{"key 32", "Y@200", "Z@200", "X@200", "Y@240", "Z@260", "Y@280", "X@290"}));
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

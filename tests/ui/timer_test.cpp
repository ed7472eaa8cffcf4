// The timer rules on the virtual clock: when a countdown starts, what reassigning does, the
// absolute schedule, catching up after a message box, the order of due timers, and timers that
// an earlier handler of the same pass switched off or destroyed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "probe_form.h"
#include "ui/test_runtime.h"

namespace {

using Entries = std::vector<std::string>;

// A fresh runtime whose form frm_a holds the one timer "tmr", its journal cleared after loading.
template <typename Runtime = ui::TestRuntime>
struct OneTimer {
    explicit OneTimer(int interval) {
        test::register_probe(rt, "frm_a", journal,
                             [interval](test::ProbeForm& f) { f.timer("tmr", interval, true); });
        rt.show("frm_a");
        journal.entries.clear();
    }

    test::Journal journal;
    Runtime rt;
};

class Timers : public ::testing::Test {
  protected:
    test::ProbeForm& load(const std::string& name, test::ProbeForm::Build build) {
        test::register_probe(rt, name, journal, std::move(build));
        return static_cast<test::ProbeForm&>(*rt.show(name));
    }
    // The journal without the Form_Load entries.
    Entries fired() const {
        Entries result;
        for (const auto& entry : journal.entries) {
            if (!entry.starts_with("Form_Load")) result.push_back(entry);
        }
        return result;
    }

    test::Journal journal;
    ui::TestRuntime rt;
};

TEST_F(Timers, ArmingStartsTheCountdown) {
    struct Case {
        const char* how;
        int interval;
        bool enabled;
        std::function<void(ui::Timer&)> at_60;  // runs at 60 ms; the form loads at 30 ms
        Entries expected;
    };
    const std::vector<Case> cases = {
        {"armed by the form's design", 100, true, {}, {"tmr@130", "tmr@230"}},
        {"Enabled set",
         100,
         false,
         [](ui::Timer& t) { t.set_enabled(true); },
         {"tmr@160", "tmr@260"}},
        {"Interval set",
         0,
         true,
         [](ui::Timer& t) { t.set_interval(100); },
         {"tmr@160", "tmr@260"}},
        {"Interval set while off, then Enabled",
         100,
         false,
         [](ui::Timer& t) {
             t.set_interval(40);
             t.set_enabled(true);
         },
         {"tmr@100", "tmr@140", "tmr@180", "tmr@220", "tmr@260"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        test::Journal journal;
        ui::TestRuntime rt;
        ui::Timer* timer = nullptr;
        test::register_probe(rt, "frm_a", journal, [&](test::ProbeForm& f) {
            timer = &f.timer("tmr", c.interval, c.enabled);
        });
        rt.advance(30);
        rt.show("frm_a");
        rt.advance(30);
        if (c.at_60) c.at_60(*timer);
        rt.advance(210);
        journal.entries.erase(journal.entries.begin());  // Form_Load
        EXPECT_EQ(journal.entries, c.expected);
    }
}

TEST_F(Timers, ReassigningAnArmedTimerKeepsTheCountdown) {
    struct Case {
        const char* how;
        std::int64_t when;
        std::function<void(ui::Timer&)> change;
        Entries expected;  // up to 400 ms; the timer runs every 100 ms from 0
    };
    const std::vector<Case> cases = {
        {"Enabled again",
         70,
         [](ui::Timer& t) { t.set_enabled(true); },
         {"tmr@100", "tmr@200", "tmr@300", "tmr@400"}},
        {"the same Interval",
         70,
         [](ui::Timer& t) { t.set_interval(100); },
         {"tmr@100", "tmr@200", "tmr@300", "tmr@400"}},
        {"a longer Interval",
         70,
         [](ui::Timer& t) { t.set_interval(150); },
         {"tmr@150", "tmr@300"}},
        {"a shorter Interval",
         70,
         [](ui::Timer& t) { t.set_interval(80); },
         {"tmr@80", "tmr@160", "tmr@240", "tmr@320", "tmr@400"}},
        {"an Interval below the time already run fires at once",
         70,
         [](ui::Timer& t) { t.set_interval(50); },
         {"tmr@70", "tmr@100", "tmr@150", "tmr@200", "tmr@250", "tmr@300", "tmr@350", "tmr@400"}},
        {"a new Interval counts from the last tick",
         130,
         [](ui::Timer& t) { t.set_interval(60); },
         {"tmr@100", "tmr@160", "tmr@220", "tmr@280", "tmr@340", "tmr@400"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        OneTimer one(100);
        auto& journal = one.journal;
        auto& rt = one.rt;
        rt.advance(c.when);
        c.change(*rt.find<ui::Timer>("frm_a", "tmr"));
        rt.advance(400 - c.when);
        EXPECT_EQ(journal.entries, c.expected);
    }
}

TEST_F(Timers, DisarmingStopsTheTimerAndRearmingStartsAFreshCountdown) {
    struct Case {
        const char* how;
        std::function<void(ui::Timer&)> disarm;
        std::function<void(ui::Timer&)> rearm;
    };
    const std::vector<Case> cases = {
        {"Enabled", [](ui::Timer& t) { t.set_enabled(false); },
         [](ui::Timer& t) { t.set_enabled(true); }},
        {"Interval 0", [](ui::Timer& t) { t.set_interval(0); },
         [](ui::Timer& t) { t.set_interval(100); }},
        {"a negative Interval", [](ui::Timer& t) { t.set_interval(-5); },
         [](ui::Timer& t) { t.set_interval(100); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        OneTimer one(100);
        auto& journal = one.journal;
        auto& rt = one.rt;
        auto& timer = *rt.find<ui::Timer>("frm_a", "tmr");
        rt.advance(70);
        c.disarm(timer);
        rt.advance(50);
        c.rearm(timer);
        rt.advance(230);
        EXPECT_EQ(journal.entries, (Entries{"tmr@220", "tmr@320"}));
    }
}

TEST_F(Timers, TicksKeepAnAbsoluteScheduleWhileHandlersTakeTime) {
    load("frm_a", [&](test::ProbeForm& f) {
        // Each tick's work takes 3 ms of the clock.
        f.timer("tmr", 50, true, [&] { rt.advance(3); });
    });
    rt.advance(50'000);
    const Entries entries = fired();
    ASSERT_EQ(entries.size(), 1000u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ASSERT_EQ(entries[i], "tmr@" + std::to_string(50 * (i + 1)));
    }
}

TEST(TimerSchedule, ABackendThatRunsTimersLateKeepsTheAbsoluteSchedule) {
    OneTimer<test::ManualRuntime> one(50);
    auto& journal = one.journal;
    auto& rt = one.rt;
    for (int k = 1; k <= 1000; ++k) {
        // Late by 0 to 44 ms, never by a whole interval.
        rt.clock = 50 * k + (k * 7) % 45;
        rt.run_due_timers();
        ASSERT_EQ(journal.entries.size(), static_cast<std::size_t>(k)) << "at " << rt.clock;
        ASSERT_EQ(rt.scheduler().next_due(), 50 * (k + 1));
    }
}

TEST(TimerSchedule, ATimerFarBehindFiresOnceAndTakesUpItsScheduleFromThePresent) {
    struct Case {
        std::int64_t clock;  // the timer was due at 50
        std::int64_t next_due;
    };
    const std::vector<Case> cases = {
        {50, 100},
        {99, 100},   // less than one interval late: the schedule holds
        {101, 151},  // more than one interval late: from the present
        {1234, 1284},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clock);
        OneTimer<test::ManualRuntime> one(50);
        auto& journal = one.journal;
        auto& rt = one.rt;
        rt.clock = c.clock;
        rt.run_due_timers();
        EXPECT_EQ(journal.entries, Entries{"tmr@" + std::to_string(c.clock)});
        EXPECT_EQ(rt.scheduler().next_due(), c.next_due);
    }
}

TEST_F(Timers, NoTimerFiresWhileABoxIsOpenAndEachFiresOnceAfterIt) {
    bool first = true;
    load("frm_a", [&](test::ProbeForm& f) {
        f.timer("A", 50, true);
        f.timer("B", 100, true, [&] {
            if (!first) return;
            first = false;
            rt.msg_box("wait", ui::kBoxOk, "B");
        });
    });
    rt.on_box = [&](const ui::BoxRecord&) {
        journal.note("box@" + std::to_string(rt.now()));
        rt.advance(500);
        if (rt.fire_next_due()) journal.note("fired inside the box");
        journal.note("closed@" + std::to_string(rt.now()));
    };
    rt.advance(700);
    EXPECT_EQ(fired(), (Entries{"A@50", "A@100", "B@100", "box@100", "closed@600", "A@600", "B@600",
                                "A@650", "A@700", "B@700"}));

    // A box opened outside any handler holds the timers just the same. A falls more than one
    // interval behind and starts afresh from the present; B, 20 ms late, keeps its schedule.
    journal.entries.clear();
    rt.on_box = [&](const ui::BoxRecord&) {
        rt.advance(120);
        if (rt.fire_next_due()) journal.note("fired inside the box");
    };
    rt.msg_box("top level", ui::kBoxOk, "t");
    rt.advance(80);
    EXPECT_EQ(fired(), (Entries{"A@820", "B@820", "A@870", "B@900"}));
}

TEST_F(Timers, AHandlerRunsToItsEndBeforeTheNextTimerFires) {
    load("frm_a", [&](test::ProbeForm& f) {
        f.timer("A", 100, true, [&] {
            rt.advance(30);
            journal.note("A done@" + std::to_string(rt.now()));
        });
        f.timer("B", 110, true);
    });
    rt.advance(230);
    EXPECT_EQ(fired(), (Entries{"A@100", "A done@130", "B@130", "A@200", "A done@230", "B@230"}));
}

TEST_F(Timers, TimersDueTogetherFireInTheOrderOfTheirDueTimes) {
    auto& form = load("frm_a", [&](test::ProbeForm& f) {
        f.timer("X", 90, true);
        f.timer("Y", 40, true);
        f.timer("Z", 60, true);
        f.on_key = [&](int) { rt.msg_box("wait", ui::kBoxOk, "t"); };
    });
    rt.on_box = [&](const ui::BoxRecord&) { rt.advance(200); };
    rt.key_down(form, 32);
    rt.advance(100);
    EXPECT_EQ(fired(),
              (Entries{"key 32", "Y@200", "Z@200", "X@200", "Y@240", "Z@260", "Y@280", "X@290"}));
}

TEST_F(Timers, TimersDueAtTheSameTimeFireInTheOrderTheyWereCreated) {
    auto& form = load("frm_a", [&](test::ProbeForm& f) {
        f.timer("P", 50, false);
        f.timer("Q", 100, true);
        f.timer("R", 100, true);
    });
    rt.advance(50);
    // Armed last, created first: P comes first when all three are due at 100.
    static_cast<ui::Timer*>(form.find_control("P"))->set_enabled(true);
    rt.advance(50);
    EXPECT_EQ(fired(), (Entries{"P@100", "Q@100", "R@100"}));
}

TEST_F(Timers, ATimerSwitchedOffOrDestroyedByAnEarlierHandlerOfThePassDoesNotFire) {
    struct Case {
        const char* how;
        std::function<void(ui::TestRuntime&)> in_a;  // run by A's first tick, at 100
        Entries expected;                            // up to 250 ms
    };
    const auto timer_b = [](ui::TestRuntime& rt) -> ui::Timer& {
        return *rt.find<ui::Timer>("frm_b", "B");
    };
    const std::vector<Case> cases = {
        {"Enabled false",
         [&](ui::TestRuntime& rt) { timer_b(rt).set_enabled(false); },
         {"A@100", "A@200"}},
        {"Interval 0",
         [&](ui::TestRuntime& rt) { timer_b(rt).set_interval(0); },
         {"A@100", "A@200"}},
        {"its form unloaded",
         [&](ui::TestRuntime& rt) { rt.unload(*rt.form("frm_b")); },
         {"A@100", "A@200"}},
        {"switched off and on: a fresh countdown",
         [&](ui::TestRuntime& rt) {
             timer_b(rt).set_enabled(false);
             timer_b(rt).set_enabled(true);
         },
         {"A@100", "A@200", "B@200"}},
        {"the program ended", [](ui::TestRuntime& rt) { rt.end(); }, {"A@100"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        test::Journal journal;
        ui::TestRuntime rt;
        test::register_probe(rt, "frm_a", journal, [&](test::ProbeForm& f) {
            f.timer("A", 100, true, [&] {
                if (rt.now() == 100) c.in_a(rt);
            });
        });
        test::register_probe(rt, "frm_b", journal,
                             [](test::ProbeForm& f) { f.timer("B", 100, true); });
        rt.show("frm_a");
        rt.show("frm_b");
        journal.entries.clear();
        rt.advance(250);
        EXPECT_EQ(journal.entries, c.expected);
    }
}

TEST_F(Timers, UnloadingAFormStopsItsTimersAtOnce) {
    load("frm_a", [](test::ProbeForm& f) { f.timer("A", 100, true); });
    rt.advance(150);
    rt.unload(*rt.form("frm_a"));
    EXPECT_EQ(rt.scheduler().armed_count(), 0u);
    rt.advance(500);
    EXPECT_EQ(fired(), Entries{"A@100"});
}

}  // namespace

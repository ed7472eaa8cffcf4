// Forms and their entry points: loading and showing, unloading inside a handler, the close box,
// End, message boxes, and which keys and clicks reach a form.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "probe_form.h"
#include "ui/test_runtime.h"

namespace {

using Entries = std::vector<std::string>;

class Forms : public ::testing::Test {
  protected:
    Forms() {
        rt.on_log = [this](const std::string& line) { journal.push_back(line); };
    }
    void add(const std::string& name, test::ProbeForm::Build build = {}) {
        test::register_probe(rt, name, journal, std::move(build));
    }
    test::Journal journal;
    ui::TestRuntime rt;
};

TEST_F(Forms, UnloadInAHandlerDestroysTheFormAfterItAndTheNextShowLoadsItAfresh) {
    add("frm_a", [&](test::ProbeForm& f) {
        auto& caption = f.add<ui::Label>("lbl_text", ui::Rect{}, "design");
        f.timer("tmr", 100, true, [&] {
            caption.set_caption("changed");
            f.counter = 5;
            rt.unload(f);
            journal.push_back("armed " + std::to_string(rt.scheduler().armed_count()) + " " +
                              caption.caption() + " " + std::to_string(f.counter));
        });
    });
    add("frm_b");  // keeps the program running
    rt.show("frm_b");
    rt.show("frm_a");
    rt.show("frm_a");  // shown again while loaded: no second Form_Load
    rt.advance(300);
    EXPECT_EQ(journal,
              (Entries{"@0 load frm_b", "Form_Load frm_b", "@0 load frm_a", "Form_Load frm_a",
                       "tmr@100", "armed 0 changed 5", "@100 unload frm_a"}));
    auto& again = static_cast<test::ProbeForm&>(*rt.show("frm_a"));
    EXPECT_EQ(rt.find<ui::Label>("frm_a", "lbl_text")->caption(), "design");
    EXPECT_EQ(again.counter, 0);
}

TEST_F(Forms, TheCloseBoxOrAnUnloadByCodeEndsTheProgramOnlyWithTheLastForm) {
    add("frm_a", [&](test::ProbeForm& f) {
        // Like a splash: shows the next form, then unloads itself.
        f.timer("tmr", 100, true, [&] {
            rt.show("frm_b");
            rt.unload(f);
        });
    });
    add("frm_b");
    rt.show("frm_a");
    rt.advance(100);
    EXPECT_FALSE(rt.ended());
    EXPECT_FALSE(rt.key("frm_a", 32));
    EXPECT_TRUE(rt.close("frm_b"));
    EXPECT_TRUE(rt.ended());
    EXPECT_EQ(rt.show("frm_a"), nullptr);
    EXPECT_EQ(Entries(journal.end() - 2, journal.end()),
              (Entries{"@100 unload frm_b", "@100 end"}));
}

TEST_F(Forms, EndStopsEverythingThatWouldFollowAndShowingAnUnknownFormIsAFault) {
    add("frm_a", [&](test::ProbeForm& f) {
        f.timer("A", 100, true, [&] {
            rt.end();
            rt.msg_box("after the end", ui::kBoxOk, "t");
            rt.beep();
            rt.show("frm_a");
            journal.push_back("A returned");
        });
        f.timer("B", 100, true);
    });
    EXPECT_THROW(rt.show("frm_nirgends"), ui::UnknownForm);
    rt.show("frm_a");
    rt.advance(500);
    EXPECT_EQ(Entries(journal.begin() + 2, journal.end()),
              (Entries{"A@100", "@100 end", "A returned"}));
    EXPECT_TRUE(rt.boxes().empty());
    EXPECT_EQ(rt.beeps(), 0);

    ui::TestRuntime lenient;
    lenient.set_strict(false);
    EXPECT_EQ(lenient.show("frm_nirgends"), nullptr);
    EXPECT_EQ(lenient.faults().size(), 1u);
}

TEST_F(Forms, ABoxBelongsToTheRunningFormAndABoxInsideABoxIsAFault) {
    add("frm_b", [&](test::ProbeForm& f) { f.on_load = [&] { rt.msg_box("b", 0, "t"); }; });
    add("frm_a", [&](test::ProbeForm& f) {
        f.on_key = [&] {
            rt.show("frm_b");
            rt.msg_box("a", ui::kBoxRightAligned, "t");
        };
    });
    rt.on_box = [&](const ui::BoxRecord& box) {
        rt.msg_box("inside", ui::kBoxOk, "t");
        journal.push_back(box.text + " from " + rt.running_form()->name());
    };
    rt.show("frm_a");
    rt.key("frm_a", 13);
    EXPECT_EQ(rt.running_form(), nullptr);
    EXPECT_EQ(Entries(journal.end() - 3, journal.end()),
              (Entries{"b from frm_b", "@0 box \"a\" 524288 \"t\"", "a from frm_a"}));
    EXPECT_EQ(rt.boxes().size(), 2u);
    EXPECT_EQ(rt.faults().size(), 2u);
}

TEST(FormEntries, KeysClicksAndClosesAreRefusedWhileABoxIsOpenOrAfterTheEnd) {
    const std::vector<std::function<bool(ui::TestRuntime&)>> attempts = {
        [](ui::TestRuntime& rt) { return rt.key("frm_a", 37); },
        [](ui::TestRuntime& rt) { return rt.click("frm_a", "mnu_a"); },
        [](ui::TestRuntime& rt) { return rt.click("frm_a", "cmd_ok"); },
        [](ui::TestRuntime& rt) { return rt.close("frm_a"); },
    };
    for (const bool in_box : {true, false}) {
        for (std::size_t i = 0; i < attempts.size(); ++i) {
            test::Journal journal;
            ui::TestRuntime rt;
            test::register_probe(rt, "frm_a", journal, [](test::ProbeForm& f) {
                f.menu("mnu_a");
                f.button("cmd_ok");
            });
            rt.show("frm_a");
            journal.clear();
            bool accepted = true;
            if (in_box) {
                rt.on_box = [&](const ui::BoxRecord&) { accepted = attempts[i](rt); };
                rt.msg_box("open", ui::kBoxOk, "t");
            } else {
                rt.end();
                accepted = attempts[i](rt);
            }
            EXPECT_FALSE(accepted) << i << (in_box ? " in a box" : " after End");
            EXPECT_TRUE(journal.empty()) << i;
            EXPECT_NE(rt.form("frm_a"), nullptr) << i;
        }
    }
}

TEST(FormEntries, AClickRunsOnlyAnEnabledEntryUnderEnabledMenusOrAVisibleButton) {
    struct Case {
        const char* greyed;  // a menu entry greyed first
        const char* target;
        bool runs;
    };
    const Case cases[] = {
        {nullptr, "mnu_item", true},     {"mnu_item", "mnu_item", false},
        {"mnu_sub", "mnu_item", false},  {"mnu_top", "mnu_item", false},
        {"mnu_other", "mnu_item", true}, {nullptr, "mnu_line", false},
        {nullptr, "cmd_ok", true},       {nullptr, "cmd_hidden", false},
        {nullptr, "lbl_a", false},       {nullptr, "mnu_none", false},
    };
    for (const Case& c : cases) {
        test::Journal journal;
        ui::TestRuntime rt;
        test::register_probe(rt, "frm_a", journal, [](test::ProbeForm& f) {
            auto& top = f.menu("mnu_top");
            auto& sub = f.menu("mnu_sub", &top);
            f.menu("mnu_item", &sub);
            f.menu("mnu_other", &sub);
            f.menu("mnu_line", &top, "-");
            f.button("cmd_ok");
            f.button("cmd_hidden").set_visible(false);
            f.add<ui::Label>("lbl_a", ui::Rect{}, "a");
        });
        rt.show("frm_a");
        journal.clear();
        if (c.greyed) rt.find<ui::MenuItem>("frm_a", c.greyed)->set_enabled(false);
        EXPECT_EQ(rt.click("frm_a", c.target), c.runs) << c.target;
        EXPECT_EQ(journal, c.runs ? Entries{c.target} : Entries{}) << c.target;
    }
}

TEST(Controls, AShapeRefusesANegativeHeightLoudlyWhenStrictElseKeepsZero) {
    for (const bool strict : {true, false}) {
        test::Journal journal;
        ui::TestRuntime rt;
        rt.set_strict(strict);
        test::register_probe(rt, "frm_a", journal, [](test::ProbeForm& f) {
            f.add<ui::Shape>("shp_bar", ui::Rect{52, 25, 3, 12}, ui::ShapeStyle{});
        });
        rt.show("frm_a");
        auto& bar = *rt.find<ui::Shape>("frm_a", "shp_bar");
        if (strict) {
            EXPECT_THROW(bar.set_height(-0.25f), std::invalid_argument);
            EXPECT_EQ(bar.height(), 12);
        } else {
            bar.set_height(-30);
            EXPECT_EQ(bar.height(), 0);
        }
    }
}

TEST(Controls, AChangeMarksItsFormOnceUntilTheBackendTakesTheChanges) {
    test::Journal journal;
    test::ManualRuntime rt;
    test::register_probe(rt, "frm_a", journal, [](test::ProbeForm& f) {
        f.add<ui::Image>("img_a", ui::Rect{0, 0, 8, 10}, ui::Picture::smiley_closed);
        f.add<ui::Label>("lbl_a", ui::Rect{}, "0");
    });
    ui::Form& form = *rt.show("frm_a");
    auto* image = static_cast<ui::Image*>(form.find_control("img_a"));
    auto* label = static_cast<ui::Label*>(form.find_control("lbl_a"));
    form.take_changes();
    rt.forms_changed = 0;
    image->move(0, 0);  // the values it has: no change
    label->set_caption("0");
    EXPECT_FALSE(form.has_changes());
    label->set_caption("1");
    image->set_left(5);
    label->set_caption("2");
    EXPECT_EQ(rt.forms_changed, 1);
    EXPECT_EQ(form.take_changes(), (std::vector<ui::Control*>{label, image}));
    image->set_visible(false);
    EXPECT_EQ(rt.forms_changed, 2);
}

}  // namespace

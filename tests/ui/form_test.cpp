// Forms and their entry points: loading and showing, unloading inside a handler, the close box,
// End, and which clicks reach a form. (While a box is open no form takes input: the fuzz
// harness checks that after every box.)
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "probe_form.h"
#include "ui/test_runtime.h"

namespace {

using Entries = std::vector<std::string>;

class Forms : public ::testing::Test {
  protected:
    void add(const std::string& name, test::ProbeForm::Build build = {}) {
        test::register_probe(rt, name, journal, std::move(build));
    }
    test::Journal journal;
    ui::TestRuntime rt;
};

TEST_F(Forms, UnloadInAHandlerDestroysTheFormAfterItAndTheNextShowLoadsItAfresh) {
    add("frm_a", [&](test::ProbeForm& f) {
        f.timer("tmr", 100, true, [&] {
            f.counter = 5;
            rt.unload(f);
            journal.push_back("counter " + std::to_string(f.counter));
        });
    });
    add("frm_b");  // keeps the program running
    rt.show("frm_b");
    rt.show("frm_a");
    rt.show("frm_a");  // shown again while loaded: no second Form_Load
    rt.advance(300);
    EXPECT_EQ(journal, (Entries{"Form_Load frm_b", "Form_Load frm_a", "tmr@100", "counter 5"}));
    EXPECT_EQ(static_cast<test::ProbeForm*>(rt.show("frm_a"))->counter, 0);
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
    EXPECT_TRUE(rt.close("frm_b"));
    EXPECT_EQ(rt.form("frm_b"), nullptr);
    EXPECT_TRUE(rt.ended());
    rt.show("frm_a");
    EXPECT_EQ(rt.form("frm_a"), nullptr) << "loaded after the end";
}

TEST_F(Forms, AClickRunsOnlyAnEnabledEntryUnderEnabledMenusOrAVisibleButton) {
    add("frm_a", [](test::ProbeForm& f) {
        auto& top = f.menu("mnu_top");
        f.menu("mnu_item", &f.menu("mnu_sub", &top));
        f.menu("mnu_off", &top).set_enabled(false);
        f.menu("mnu_under_off", &f.menu("mnu_sub_off", &top));
        f.menu("mnu_line", &top, "-");
        f.button("cmd_hidden").set_visible(false);
    });
    rt.show("frm_a");
    rt.find<ui::MenuItem>("frm_a", "mnu_sub_off")->set_enabled(false);
    for (const char* target : {"mnu_off", "mnu_under_off", "mnu_line", "cmd_hidden", "mnu_item"})
        EXPECT_EQ(rt.click("frm_a", target), target == std::string("mnu_item")) << target;
    EXPECT_EQ(journal.back(), "mnu_item");
}

TEST(Registry, ShowingAFormNobodyRegisteredIsAFault) {
    ui::TestRuntime rt;  // strict
    EXPECT_THROW(rt.show("frm_nirgends"), ui::UnknownForm);
    rt.set_strict(false);
    EXPECT_EQ(rt.show("frm_nirgends"), nullptr);
    EXPECT_EQ(rt.faults().size(), 1u);
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
        } else {
            bar.set_height(-30);
        }
        EXPECT_EQ(bar.height(), strict ? 12 : 0);
    }
}

TEST(Controls, AChangeMarksItsFormOnceUntilTheBackendTakesTheChanges) {
    test::Journal journal;
    test::ManualRuntime rt;
    test::register_probe(rt, "frm_a", journal, [](test::ProbeForm& f) {
        f.add<ui::Label>("lbl_a", ui::Rect{}, "0");
        f.add<ui::Image>("img_a", ui::Rect{0, 0, 8, 10}, ui::Picture::smiley_closed);
    });
    ui::Form& form = *rt.show("frm_a");
    auto* label = static_cast<ui::Label*>(form.find_control("lbl_a"));
    auto* image = static_cast<ui::Image*>(form.find_control("img_a"));
    form.take_changes();
    rt.forms_changed = 0;
    label->set_caption("0");  // the value it has: no change
    EXPECT_FALSE(form.has_changes());
    label->set_caption("1");
    image->set_left(5);
    label->set_caption("2");
    EXPECT_EQ(rt.forms_changed, 1);
    EXPECT_EQ(form.take_changes(), (std::vector<ui::Control*>{label, image}));
    label->set_visible(false);
    EXPECT_EQ(rt.forms_changed, 2);
}

}  // namespace

// Forms and their entry points: loading and showing, unloading from inside a handler, the close
// box, End, message boxes, and which keys and clicks reach a form.
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
    void SetUp() override {
        rt.on_log = [this](const std::string& line) { journal.note(line); };
    }
    void add(const std::string& name, test::ProbeForm::Build build = {}) {
        test::register_probe(rt, name, journal, std::move(build));
    }

    test::Journal journal;
    ui::TestRuntime rt;
};

TEST_F(Forms, ShowingALoadedFormRunsNoSecondFormLoad) {
    add("frm_a");
    add("frm_b");
    rt.show("frm_a");
    rt.show("frm_b");
    rt.advance(10);
    rt.show("frm_a");
    EXPECT_EQ(journal.entries,
              (Entries{"@0 load frm_a", "Form_Load frm_a", "@0 load frm_b", "Form_Load frm_b"}));
}

TEST_F(Forms, UnloadInsideAHandlerDestroysTheFormOnlyWhenTheHandlerReturns) {
    add("frm_a", [&](test::ProbeForm& f) {
        auto& caption = f.label("lbl_text", "design");
        f.timer("tmr", 100, true, [&] {
            caption.set_caption("changed");
            f.counter = 5;
            rt.unload(f);
            // Its timers stop at once; the form and its controls live on until this handler
            // returns.
            journal.note("armed " + std::to_string(rt.scheduler().armed_count()));
            journal.note("still " + caption.caption() + " " + std::to_string(f.counter));
        });
    });
    add("frm_b");  // keeps the program running
    rt.show("frm_b");
    rt.show("frm_a");
    rt.advance(300);
    EXPECT_EQ(journal.entries,
              (Entries{"@0 load frm_b", "Form_Load frm_b", "@0 load frm_a", "Form_Load frm_a",
                       "tmr@100", "armed 0", "still changed 5", "@100 unload frm_a"}));
    EXPECT_EQ(rt.form("frm_a"), nullptr);

    // The next show starts from the design values with fresh variables.
    journal.entries.clear();
    auto& again = static_cast<test::ProbeForm&>(*rt.show("frm_a"));
    EXPECT_EQ(rt.find<ui::Label>("frm_a", "lbl_text")->caption(), "design");
    EXPECT_EQ(again.counter, 0);
    rt.advance(100);
    EXPECT_EQ(journal.entries, (Entries{"@300 load frm_a", "Form_Load frm_a", "tmr@400", "armed 0",
                                        "still changed 5", "@400 unload frm_a"}));
}

TEST_F(Forms, TheCloseBoxUnloadsAFormAndTheLastOneEndsTheProgram) {
    add("frm_a", [](test::ProbeForm& f) { f.timer("tmr_a", 100, true); });
    add("frm_b");
    rt.show("frm_a");
    rt.show("frm_b");
    journal.entries.clear();

    rt.advance(50);
    EXPECT_TRUE(rt.close("frm_a"));
    EXPECT_FALSE(rt.ended());
    rt.advance(100);
    EXPECT_FALSE(rt.key("frm_a", 32));
    EXPECT_TRUE(rt.key("frm_b", 32));
    EXPECT_TRUE(rt.close("frm_b"));
    EXPECT_TRUE(rt.ended());
    EXPECT_EQ(rt.show("frm_a"), nullptr);
    EXPECT_EQ(journal.entries,
              (Entries{"@50 unload frm_a", "key 32", "@150 unload frm_b", "@150 end"}));
}

TEST(FormsEnd, AnUnloadByCodeEndsTheProgramOnlyWhenNoFormIsLeft) {
    // A splash's tick: it may show the next form before it unloads itself.
    for (const bool shows_next : {false, true}) {
        SCOPED_TRACE(shows_next ? "shows the next form" : "last form");
        test::Journal journal;
        ui::TestRuntime rt;
        test::register_probe(rt, "frm_next", journal, {});
        test::register_probe(rt, "frm_splash", journal, [&](test::ProbeForm& f) {
            f.timer("tmr_Start", 3000, true, [&] {
                if (shows_next) rt.show("frm_next");
                rt.unload(f);
            });
        });
        rt.show("frm_splash");
        rt.advance(2999);
        EXPECT_FALSE(rt.ended());
        rt.advance(1);
        EXPECT_EQ(rt.ended(), !shows_next);
        EXPECT_EQ(rt.form("frm_next") != nullptr, shows_next);
    }
}

TEST_F(Forms, ShowingAFormNobodyRegisteredIsAFault) {
    EXPECT_THROW(rt.show("frm_nirgends"), ui::UnknownForm);
    ui::TestRuntime lenient;
    lenient.set_strict(false);
    EXPECT_EQ(lenient.show("frm_nirgends"), nullptr);
    EXPECT_EQ(lenient.faults().size(), 1u);
}

TEST_F(Forms, EndStopsEverythingThatWouldFollow) {
    add("frm_a", [&](test::ProbeForm& f) {
        f.timer("A", 100, true, [&] {
            rt.end();
            rt.msg_box("after the end", ui::kBoxOk, "t");
            rt.beep();
            rt.show("frm_b");
            journal.note("A returned");
        });
        f.timer("B", 100, true);
        f.menu("mnu_a");
    });
    add("frm_b");
    rt.show("frm_a");
    journal.entries.clear();
    rt.advance(500);
    EXPECT_FALSE(rt.key("frm_a", 32));
    EXPECT_FALSE(rt.click("frm_a", "mnu_a"));
    EXPECT_EQ(rt.show("frm_b"), nullptr);
    EXPECT_EQ(journal.entries, (Entries{"A@100", "@100 end", "A returned"}));
    EXPECT_TRUE(rt.boxes().empty());
    EXPECT_EQ(rt.beeps(), 0);
}

TEST_F(Forms, ABoxOpenedInsideABoxIsRefusedAsAFault) {
    add("frm_a", [&](test::ProbeForm& f) {
        f.on_key = [&](int) {
            rt.msg_box("first", ui::kBoxOk, "t");
            rt.msg_box("second", ui::kBoxRightAligned, "t");
        };
    });
    rt.on_box = [&](const ui::BoxRecord& box) {
        if (box.text == "first") rt.msg_box("inside", ui::kBoxOk, "t");
    };
    rt.show("frm_a");
    rt.advance(20);
    rt.key("frm_a", 13);
    ASSERT_EQ(rt.boxes().size(), 2u);
    EXPECT_EQ(rt.boxes()[0].text, "first");
    EXPECT_EQ(rt.boxes()[1].text, "second");
    EXPECT_EQ(rt.boxes()[1].time, 20);
    EXPECT_EQ(rt.boxes()[1].style, ui::kBoxRightAligned);
    EXPECT_EQ(rt.faults().size(), 1u);
}

TEST_F(Forms, ABoxBelongsToTheFormWhoseHandlerOpenedIt) {
    // frm_a's key shows frm_b, whose Form_Load opens a box; then frm_a opens one itself.
    Entries owners;
    rt.on_box = [&](const ui::BoxRecord& box) {
        owners.push_back(box.text + " " + rt.running_form()->name());
    };
    add("frm_b",
        [&](test::ProbeForm& f) { f.on_load = [&] { rt.msg_box("b", ui::kBoxOk, "t"); }; });
    add("frm_a", [&](test::ProbeForm& f) {
        f.on_key = [&](int) {
            rt.show("frm_b");
            rt.msg_box("a", ui::kBoxOk, "t");
        };
    });
    rt.show("frm_a");
    rt.key("frm_a", 13);
    EXPECT_EQ(owners, (Entries{"b frm_b", "a frm_a"}));
    EXPECT_EQ(rt.running_form(), nullptr);
}

TEST_F(Forms, KeysClicksAndClosesAreRefusedWhileABoxIsOpenOrAfterTheEnd) {
    struct Entry {
        const char* what;
        std::function<bool(ui::TestRuntime&)> attempt;
    };
    const std::vector<Entry> entries = {
        {"key", [](ui::TestRuntime& rt) { return rt.key("frm_a", 37); }},
        {"menu", [](ui::TestRuntime& rt) { return rt.click("frm_a", "mnu_a"); }},
        {"button", [](ui::TestRuntime& rt) { return rt.click("frm_a", "cmd_ok"); }},
        {"close", [](ui::TestRuntime& rt) { return rt.close("frm_a"); }},
    };
    enum class When { box_open, ended };
    for (const When when : {When::box_open, When::ended}) {
        for (const Entry& entry : entries) {
            SCOPED_TRACE(std::string(entry.what) +
                         (when == When::ended ? " after End" : " in box"));
            test::Journal journal;
            ui::TestRuntime rt;
            test::register_probe(rt, "frm_a", journal, [](test::ProbeForm& f) {
                f.menu("mnu_a");
                f.button("cmd_ok");
            });
            test::register_probe(rt, "frm_b", journal);
            rt.show("frm_a");
            rt.show("frm_b");
            journal.entries.clear();
            bool accepted = true;
            if (when == When::box_open) {
                rt.on_box = [&](const ui::BoxRecord&) { accepted = entry.attempt(rt); };
                rt.msg_box("open", ui::kBoxOk, "t");
            } else {
                rt.end();
                accepted = entry.attempt(rt);
            }
            EXPECT_FALSE(accepted);
            EXPECT_TRUE(journal.entries.empty());
            EXPECT_NE(rt.form("frm_a"), nullptr);
        }
    }
}

TEST_F(Forms, AClickRunsItsHandlerOnlyOnAnEnabledEntryUnderEnabledMenus) {
    struct Case {
        const char* how;
        std::function<void(test::ProbeForm&)> change;
        const char* target;
        bool runs;
    };
    const auto menu = [](test::ProbeForm& f, const char* name) -> ui::MenuItem& {
        return *static_cast<ui::MenuItem*>(f.find_control(name));
    };
    const std::vector<Case> cases = {
        {"all enabled", {}, "mnu_item", true},
        {"the entry greyed", [&](auto& f) { menu(f, "mnu_item").set_enabled(false); }, "mnu_item",
         false},
        {"its submenu greyed", [&](auto& f) { menu(f, "mnu_sub").set_enabled(false); }, "mnu_item",
         false},
        {"its top-level menu greyed", [&](auto& f) { menu(f, "mnu_top").set_enabled(false); },
         "mnu_item", false},
        {"a sibling greyed", [&](auto& f) { menu(f, "mnu_other").set_enabled(false); }, "mnu_item",
         true},
        {"greyed and enabled again",
         [&](auto& f) {
             menu(f, "mnu_item").set_enabled(false);
             menu(f, "mnu_item").set_enabled(true);
         },
         "mnu_item", true},
        {"a separator", {}, "mnu_line", false},
        {"a button", {}, "cmd_ok", true},
        {"a hidden button", {}, "cmd_hidden", false},
        {"an image", {}, "img_a", false},
        {"no such control", {}, "mnu_none", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        test::Journal journal;
        ui::TestRuntime rt;
        test::register_probe(rt, "frm_a", journal, [](test::ProbeForm& f) {
            auto& top = f.menu("mnu_top");
            auto& sub = f.menu("mnu_sub", &top);
            f.menu("mnu_item", &sub);
            f.menu("mnu_other", &sub);
            f.menu("mnu_line", &top, true, "-");
            f.button("cmd_ok");
            f.button("cmd_hidden").set_visible(false);
            f.image("img_a", {}, ui::Picture::shell_open);
        });
        auto& form = static_cast<test::ProbeForm&>(*rt.show("frm_a"));
        journal.entries.clear();
        if (c.change) c.change(form);
        EXPECT_EQ(rt.click("frm_a", c.target), c.runs);
        EXPECT_EQ(journal.entries, c.runs ? Entries{c.target} : Entries{});
    }
}

TEST_F(Forms, AShapeRefusesANegativeHeight) {
    struct Case {
        bool strict;
        ui::Single height;
        bool throws;
        ui::Single result;
    };
    const std::vector<Case> cases = {
        {true, -1, true, 12},       {true, -0.25f, true, 12}, {true, 0, false, 0},
        {true, 30, false, 30},      {false, -1, false, 0},    {false, -30, false, 0},
        {false, 7.5f, false, 7.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.strict ? "strict " : "lenient ") + ui::format_single(c.height));
        test::Journal journal;
        ui::TestRuntime rt;
        rt.set_strict(c.strict);
        test::register_probe(rt, "frm_a", journal, [](test::ProbeForm& f) {
            f.shape("shp_bar", {52, 25, 3, 12});
        });
        rt.show("frm_a");
        auto& bar = *rt.find<ui::Shape>("frm_a", "shp_bar");
        if (c.throws) {
            EXPECT_THROW(bar.set_height(c.height), std::invalid_argument);
        } else {
            EXPECT_NO_THROW(bar.set_height(c.height));
        }
        EXPECT_EQ(bar.height(), c.result);
    }
}

TEST_F(Forms, AChangedPropertyMarksItsFormOnceUntilTheBackendTakesTheChanges) {
    test::ManualRuntime mrt;
    test::register_probe(mrt, "frm_a", journal, [](test::ProbeForm& f) {
        f.image("img_a", {0, 0, 8.51f, 10.27f}, ui::Picture::smiley_closed);
        f.label("lbl_a", "0");
        f.menu("mnu_a");
    });
    ui::Form& form = *mrt.show("frm_a");
    auto* image = static_cast<ui::Image*>(form.find_control("img_a"));
    auto* label = static_cast<ui::Label*>(form.find_control("lbl_a"));
    auto* menu = static_cast<ui::MenuItem*>(form.find_control("mnu_a"));
    form.take_changes();
    mrt.forms_changed = 0;

    // Writes of the values a control already has change nothing.
    image->move(0, 0);
    label->set_caption("0");
    menu->set_enabled(true);
    EXPECT_FALSE(form.has_changes());
    EXPECT_EQ(mrt.forms_changed, 0);

    label->set_caption("1");
    image->set_left(5);
    label->set_caption("2");
    menu->set_checked(true);
    image->set_picture(ui::Picture::smiley_open);
    EXPECT_EQ(mrt.forms_changed, 1);
    EXPECT_EQ(form.take_changes(), (std::vector<ui::Control*>{label, image, menu}));
    EXPECT_FALSE(form.has_changes());

    image->set_visible(false);
    EXPECT_EQ(mrt.forms_changed, 2);
    EXPECT_EQ(form.take_changes(), std::vector<ui::Control*>{image});
}

}  // namespace

TEST(FormDesign, ExactPositionsAreThoseOfTheNearestWholePixel) {
    ui::FormDesign game;  // 56.375 twips per unit across, 46.75 down
    game.client_width_twips = 6765;
    game.client_height_twips = 5610;
    game.scale_left = game.scale_top = -60;
    game.scale_width = game.scale_height = 120;
    ui::FormDesign twips;  // no user scale
    twips.client_width_twips = twips.client_height_twips = 3000;
    EXPECT_NEAR(game.exact_left(-2.00f), -1.99557f, 1e-5f);  // pixel 218
    EXPECT_FLOAT_EQ(game.exact_width(8.51f), 480 / 56.375f);
    EXPECT_FLOAT_EQ(game.exact_top(24.71f), -60 + 264 * 15 / 46.75f);
    EXPECT_FLOAT_EQ(game.exact_height(10.27f), 480 / 46.75f);
    EXPECT_EQ(twips.exact_left(1234), 1230);
    EXPECT_EQ(twips.exact_height(1238), 1245);
}

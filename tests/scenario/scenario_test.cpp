// The scenario runner, run in-process on test-only forms: what it prints, how it sorts a
// dump, how it reports a bad script, and the difference listing of a failed golden scenario.
#include "scenario.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "probe_form.h"
#include "ui/test_runtime.h"

namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

class Scenario : public ::testing::Test {
  protected:
    Result run(const std::string& script) {
        std::istringstream in(script);
        std::ostringstream out;
        std::ostringstream err;
        const int code = scenario::run_scenario(in, out, err, "s.script", [this](ui::Runtime& rt) {
            test::register_probe(rt, "frm_a", journal,
                                 [&rt](test::ProbeForm& f) { build_a(rt, f); });
            test::register_probe(rt, "frm_b", journal);
        });
        return {code, out.str(), err.str()};
    }

    // A form with one control of each class, created out of name order.
    static void build_a(ui::Runtime& rt, test::ProbeForm& f) {
        f.timer("tmr_tick", 50, false);
        auto& game = f.menu("mnu_spiel", nullptr, true, "&Spiel");
        f.menu("mnu_start", &game, true, "S&tart");
        f.menu("mnu_grau", &game, false, "Grau");
        f.label("Label1(10)", "W", {360, 2040, 372, 252});
        f.label("Label1(2)", "Er sagt \"P\"", {360, 600, 732, 252});
        f.image("Img_ball", {0, 0, 8.51f, 10.27f}, ui::Picture::smiley_closed);
        f.image("img_feind(0)", {-50, -50, 8.51f, 10.27f}, ui::Picture::puffer_deflated, false);
        auto& bar = f.shape("shp_luftIst", {52, 24.71f, 3, 30});
        f.button("cmd_ok");
        f.declare("Leben", f.counter);
        f.on_key = [&rt, &f, &bar](int key) {
            if (key == 80) rt.msg_box("Pause", ui::kBoxOk, "Muranko");
            if (key == 66) rt.beep();
            if (key == 40) bar.set_height(-1);
            if (key == 13) {
                rt.msg_box("eins", ui::kBoxOk, "t");
                f.counter = ui::add_saturated(f.counter, 1);
            }
            if (key == 27) rt.unload(f);
            if (key == 88) rt.end();
        };
        static_cast<ui::MenuItem*>(f.find_control("mnu_start"))->on_click = [&f] {
            f.counter = 3;
            static_cast<ui::Timer*>(f.find_control("tmr_tick"))->set_enabled(true);
        };
    }

    test::Journal journal;
};

TEST_F(Scenario, DumpListsTheControlsByNameThenTheVariables) {
    const Result r = run("show frm_a\ndump frm_a\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "@0 load frm_a\n"
              "frm_a.Img_ball image left=0 top=0 width=8.51 height=10.27 visible=1 "
              "picture=smiley_closed\n"
              "frm_a.Label1(2) label left=360 top=600 width=732 height=252 visible=1 "
              "caption=\"Er sagt \\\"P\\\"\"\n"
              "frm_a.Label1(10) label left=360 top=2040 width=372 height=252 visible=1 "
              "caption=\"W\"\n"
              "frm_a.cmd_ok button left=0 top=0 width=100 height=30 visible=1 caption=\"OK\"\n"
              "frm_a.img_feind(0) image left=-50 top=-50 width=8.51 height=10.27 visible=0 "
              "picture=puffer_deflated\n"
              "frm_a.mnu_grau menu caption=\"Grau\" checked=0 enabled=0\n"
              "frm_a.mnu_spiel menu caption=\"&Spiel\" checked=0 enabled=1\n"
              "frm_a.mnu_start menu caption=\"S&tart\" checked=0 enabled=1\n"
              "frm_a.shp_luftIst shape left=52 top=24.71 width=3 height=30 visible=1\n"
              "frm_a.tmr_tick timer interval=50 enabled=0\n"
              "frm_a.Leben=0\n");
}

TEST_F(Scenario, EventsPrintAsTheyHappenAndRefusedClicksPrintNothing) {
    const Result r =
        run("# a story\n"
            "show frm_a   # loads it\n"
            "\n"
            "advance 150\n"
            "key frm_a 80\n"
            "click frm_a mnu_grau\n"
            "key frm_a 66\n"
            "click frm_a mnu_start\n"
            "advance 120\n"
            "key frm_a 13\n"
            "dump frm_a\n"
            "show frm_b\n"
            "advance 10\n"
            "close frm_a\n"
            "close frm_b\n");
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string dump_tail = "frm_a.tmr_tick timer interval=50 enabled=1\nfrm_a.Leben=4\n";
    EXPECT_EQ(r.out.substr(0, r.out.find("frm_a.Img_ball")),
              "@0 load frm_a\n"
              "@150 box \"Pause\" 0 \"Muranko\"\n"
              "@150 beep\n"
              "@270 box \"eins\" 0 \"t\"\n");
    const std::size_t tail = r.out.find(dump_tail);
    ASSERT_NE(tail, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(tail + dump_tail.size()),
              "@270 load frm_b\n"
              "@280 unload frm_a\n"
              "@280 unload frm_b\n"
              "@280 end\n");
}

TEST_F(Scenario, HoldKeepsOnlyTheNextBoxOpenForThatLong) {
    const Result r =
        run("show frm_a\nhold 500\nkey frm_a 13\nkey frm_a 66\nkey frm_a 80\nkey frm_a 66\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "@0 load frm_a\n"
              "@0 box \"eins\" 0 \"t\"\n"
              "@500 beep\n"
              "@500 box \"Pause\" 0 \"Muranko\"\n"
              "@500 beep\n");
}

TEST_F(Scenario, ABadScriptStopsWithItsLineNumber) {
    struct Case {
        const char* script;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"show frm_x\n", "s.script:1: unknown form frm_x\n"},
        {"# c\n\nshow frm_a\nclick frm_a mnu_none\n",
         "s.script:4: unknown control frm_a.mnu_none\n"},
        {"show frm_a\nclick frm_a Img_ball\n",
         "s.script:2: frm_a.Img_ball is neither a menu entry nor a button\n"},
        {"show frm_a\nclick frm_b cmd_ok\n", "s.script:2: form frm_b is not loaded\n"},
        {"dump frm_a\n", "s.script:1: form frm_a is not loaded\n"},
        {"show frm_a\nkey frm_a 27\nkey frm_a 32\n", "s.script:3: form frm_a is not loaded\n"},
        {"jump frm_a\n", "s.script:1: unknown command \"jump\"\n"},
        {"show\n", "s.script:1: usage: show FORM\n"},
        {"show frm_a frm_b\n", "s.script:1: usage: show FORM\n"},
        {"show frm_a\nkey frm_a Space\n", "s.script:2: bad key code \"Space\"\n"},
        {"show frm_a\nkey frm_a 65536\n", "s.script:2: key code out of range: 65536\n"},
        {"random 0.5 1\n", "s.script:1: random value out of [0, 1): 1\n"},
        {"random -0.1\n", "s.script:1: random value out of [0, 1): -0.1\n"},
        {"random 0.5 x\n", "s.script:1: bad random value \"x\"\n"},
        {"random\n", "s.script:1: usage: random V ...\n"},
        {"advance 1.5\n", "s.script:1: bad number of milliseconds \"1.5\"\n"},
        {"advance -5\n", "s.script:1: the clock cannot go back: -5\n"},
        {"hold -5\n", "s.script:1: a box cannot be held for -5\n"},
        {"show frm_a\nkey frm_a 40\n", "s.script:2: negative Height for shp_luftIst\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const Result r = run(c.script);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, c.error);
    }
}

TEST_F(Scenario, ABreachOfTheRuntimesRulesStopsTheRun) {
    // The second box opens while the first one is still open.
    std::istringstream in("show frm_a\nkey frm_a 1\nshow frm_b\n");
    std::ostringstream out;
    std::ostringstream err;
    const int code = scenario::run_scenario(in, out, err, "s.script", [this](ui::Runtime& rt) {
        test::register_probe(rt, "frm_a", journal, [&rt](test::ProbeForm& f) {
            f.on_key = [&rt](int) { rt.msg_box("outer", ui::kBoxOk, "t"); };
        });
        test::register_probe(rt, "frm_b", journal);
        static_cast<ui::TestRuntime&>(rt).on_box = [&rt](const ui::BoxRecord& box) {
            if (box.text == "outer") rt.msg_box("inner", ui::kBoxOk, "t");
        };
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(err.str(), "s.script:2: runtime fault: message box opened while another was open\n");
    EXPECT_EQ(out.str(), "@0 load frm_a\n@0 box \"outer\" 0 \"t\"\n");
}

TEST_F(Scenario, LinesAfterTheErrorDoNotRun) {
    const Result r = run("show frm_a\nbogus\nclose frm_a\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "@0 load frm_a\n");
}

TEST_F(Scenario, AfterTheEndEveryEventIsRefusedQuietly) {
    const Result r =
        run("show frm_a\nkey frm_a 88\nkey frm_a 80\nclick frm_a mnu_start\n"
            "show frm_b\nclose frm_a\nadvance 100\ndump frm_a\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("frm_a.Img_ball")), "@0 load frm_a\n@0 end\n");
    EXPECT_NE(r.out.find("frm_a.tmr_tick timer interval=50 enabled=0\nfrm_a.Leben=0\n"),
              std::string::npos);
}

TEST(ScenarioDump, ControlsSortByNameAndArrayMembersByIndex) {
    struct Case {
        const char* a;
        const char* b;
    };
    const std::vector<Case> ordered = {
        {"Img_ball", "img_feind(0)"},   {"Label1(2)", "Label1(10)"},
        {"img_feind(6)", "img_futter"}, {"img_Feind2(5)", "img_feind(0)"},
        {"lbl_leben", "lbl_level"},     {"tmr_feind2Starten(1)", "tmr_feind2Starten(11)"},
        {"shp_luft", "shp_luft(0)"},
    };
    for (const Case& c : ordered) {
        EXPECT_TRUE(scenario::dump_order(c.a, c.b)) << c.a << " / " << c.b;
        EXPECT_FALSE(scenario::dump_order(c.b, c.a)) << c.b << " / " << c.a;
    }
}

TEST(ScenarioDiff, ListsTheChangedLinesWithTheirContext) {
    struct Case {
        const char* expected;
        const char* actual;
        const char* diff;
    };
    const std::vector<Case> cases = {
        {"a\nb\n", "a\nb\n", ""},
        {"1\n2\n3\n4\n5\n6\n7\n8\n", "1\n2\n3\n4\nfive\n6\n7\n8\n",
         "--- want\n+++ got\n@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n"},
        {"b\nc\n", "a\nb\nc\n", "--- want\n+++ got\n@@ -1,2 +1,3 @@\n+a\n b\n c\n"},
        {"a\nb\nc\n", "a\nc\n", "--- want\n+++ got\n@@ -1,3 +1,2 @@\n a\n-b\n c\n"},
        {"1\nx\n3\n4\n5\n6\n7\n8\n9\n10\ny\n12\n", "1\nX\n3\n4\n5\n6\n7\n8\n9\n10\nY\n12\n",
         "--- want\n+++ got\n@@ -1,5 +1,5 @@\n 1\n-x\n+X\n 3\n 4\n 5\n"
         "@@ -8,5 +8,5 @@\n 8\n 9\n 10\n-y\n+Y\n 12\n"},
        {"a\nb\n", "a\nb", "--- want\n+++ got\n(the two differ only in the newline at the end)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.actual);
        EXPECT_EQ(scenario::line_diff(c.expected, c.actual, "want", "got"), c.diff);
    }
}

}  // namespace

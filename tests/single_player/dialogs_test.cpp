// The help, key-list and about forms of both games, on the virtual clock beside a game.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "single_player/frm_hilfe.h"
#include "tests/single_player/game_fixture.h"

namespace single_player::testing {
namespace {

using ui::Picture;

struct DialogCase {
    const char* name;
    const char* caption;
    int width_twips, height_twips;
    Picture icon;
};
constexpr DialogCase kDialogs[] = {
    {"frm_hilfe", "Hilfe", 4035, 3150, Picture::icon_question},
    {"frm_Tastatur", "Tastaturbelegung", 2955, 3225, Picture::puffer_inflated},
    {"frm_ueber", "Info", 3855, 3060, Picture::icon_info},
    {"frm_hilfe2", "Hilfe", 4035, 3150, Picture::icon_question},
    {"frm_Tastatur2", "Tastaturbelegung", 2790, 4440, Picture::puffer_inflated},
    {"frm_ueber2", "Info", 3675, 2925, Picture::icon_info},
};

using Dialogs = Game;

TEST_F(Dialogs, EachIsAFixedWindowWhoseOkUnloadsOnlyItself) {
    for (const DialogCase& d : kDialogs) ASSERT_NE(rt.show(d.name), nullptr) << d.name;
    for (std::size_t i = 0; i < std::size(kDialogs); ++i) {
        const DialogCase& d = kDialogs[i];
        SCOPED_TRACE(d.name);
        const ui::Form* dialog = rt.form(d.name);
        ASSERT_NE(dialog, nullptr);
        const ui::FormDesign& design = dialog->design();
        EXPECT_EQ(design.caption, d.caption);
        EXPECT_EQ(design.border, ui::BorderStyle::fixed_single);
        EXPECT_TRUE(design.show_in_taskbar);
        EXPECT_EQ(design.client_width_twips, d.width_twips);
        EXPECT_EQ(design.client_height_twips, d.height_twips);
        EXPECT_EQ(design.icon, d.icon);
        EXPECT_EQ(design.back_color, 0x00FF8080u);
        const auto buttons = std::count_if(
            dialog->controls().begin(), dialog->controls().end(),
            [](const ui::Control* c) { return c->kind() == ui::ControlKind::button; });
        EXPECT_EQ(buttons, 1);

        ASSERT_TRUE(rt.click(d.name, "cmd_ok"));
        EXPECT_EQ(rt.form(d.name), nullptr);
        EXPECT_NE(rt.form("frm_main"), nullptr);
        for (std::size_t j = i + 1; j < std::size(kDialogs); ++j) {
            EXPECT_NE(rt.form(kDialogs[j].name), nullptr) << kDialogs[j].name;
        }
    }
    EXPECT_FALSE(rt.ended());
}

// The key list's labels in reading order: rows split by "|", headings in black as "[...]".
std::string reading_order(const ui::Form& form, ui::Color key_color) {
    std::vector<const ui::Label*> labels;
    for (const ui::Control* control : form.controls()) {
        if (control->kind() == ui::ControlKind::label)
            labels.push_back(static_cast<const ui::Label*>(control));
    }
    std::sort(labels.begin(), labels.end(), [](const ui::Label* a, const ui::Label* b) {
        return std::tie(a->rect().top, a->rect().left) < std::tie(b->rect().top, b->rect().left);
    });
    std::string text;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (i > 0) text += labels[i]->top() == labels[i - 1]->top() ? " " : "|";
        const ui::Color color = labels[i]->style().fore_color;
        const std::string& caption = labels[i]->caption();
        text += color == key_color ? caption : color == 0 ? "[" + caption + "]" : "?" + caption;
    }
    return text;
}

TEST_F(Dialogs, KeyListsReadTopToBottomWithTheirHeadingsInBlack) {
    EXPECT_EQ(reading_order(*rt.show("frm_Tastatur"), 0),
              "Esc Abbruch|P Pause|A Nach Links|D Nach Rechts|S Nach Unten|W Nach Oben");
    EXPECT_EQ(reading_order(*rt.show("frm_Tastatur2"), 0x00800000),
              "Esc Abbruch|P Pause|[Spieler 1]|A Nach Links|D Nach Rechts|S Nach Unten|"
              "W Nach Oben|[Spieler 2]|Pfeiltasten Steuerung");
}

// The help form's shell at each time after `start`: "C" closed, "O" open.
std::string shells(ui::TestRuntime& rt, const char* form, std::int64_t start,
                   std::initializer_list<std::int64_t> times) {
    std::string seen;
    for (const std::int64_t at : times) {
        rt.advance(start + at - rt.now());
        const auto* shell = rt.find<ui::Image>(form, "img_muschel");
        seen += shell == nullptr ? '-' : shell->picture() == Picture::shell_open ? 'O' : 'C';
    }
    return seen;
}

TEST_F(Dialogs, HelpShellOpensAfterTenSecondsThenEveryFiveAndClosedAgainAfterReopening) {
    ASSERT_TRUE(rt.click("frm_main", "mnu_hilfe"));
    EXPECT_EQ(shells(rt, "frm_hilfe", 0, {0, 9999, 10000, 14999, 15000, 19999, 20000}), "CCOOCCO");
    ASSERT_TRUE(rt.click("frm_hilfe", "cmd_ok"));
    rt.advance(1000);
    ASSERT_TRUE(rt.click("frm_main", "mnu_hilfe"));
    EXPECT_EQ(shells(rt, "frm_hilfe", 21000, {0, 5000, 9999, 10000}), "CCCO");
}

TEST_F(Dialogs, BothHelpFormsAnimateOnTheirOwn) {
    rt.show("frm_hilfe");
    rt.advance(5000);
    rt.show("frm_hilfe2");
    ASSERT_NE(dynamic_cast<frm_hilfe*>(rt.form("frm_hilfe2")), nullptr);
    EXPECT_EQ(shells(rt, "frm_hilfe", 0, {10000, 15000}), "OC");
    EXPECT_EQ(shells(rt, "frm_hilfe2", 5000, {10000}), "O");
    ASSERT_TRUE(rt.click("frm_hilfe2", "cmd_ok"));
    EXPECT_EQ(shells(rt, "frm_hilfe", 0, {20000}), "O");
}

int armed_timers(const ui::Form& form) {
    return static_cast<int>(
        std::count_if(form.controls().begin(), form.controls().end(), [](const ui::Control* c) {
            const auto* timer = dynamic_cast<const ui::Timer*>(c);
            return timer != nullptr && timer->armed();
        }));
}

constexpr const char* kEntries[] = {"mnu_hilfe", "mnu_Tastaturbelegung", "mnu_ueber"};

TEST_F(Dialogs, ChoosingAnOpenDialogAgainShowsTheSameOne) {
    for (const char* entry : kEntries) ASSERT_TRUE(rt.click("frm_main", entry));
    const std::size_t forms = rt.forms().size();
    rt.advance(7000);
    for (const char* entry : kEntries) ASSERT_TRUE(rt.click("frm_main", entry));
    EXPECT_EQ(rt.forms().size(), forms);
    // Not loaded afresh: the shell opens 10 s after the first choice.
    EXPECT_EQ(shells(rt, "frm_hilfe", 0, {10000}), "O");
    EXPECT_EQ(std::count(rt.log().begin(), rt.log().end(), "@0 load frm_hilfe"), 1);
}

TEST_F(Dialogs, OpeningThemDuringAGameLeavesItRunning) {
    start();
    empty_the_field();
    const int armed = armed_timers(*form);
    rt.key("frm_main", kRightKey);
    for (const char* entry : kEntries) ASSERT_TRUE(rt.click("frm_main", entry));
    rt.advance(100);
    EXPECT_EQ(form->Img_ball.left(), 2) << "the ball stopped";
    EXPECT_EQ(armed_timers(*form), armed);
    EXPECT_EQ(form->Zeit_laeuft, 1);
}

TEST_F(Dialogs, OkOnTheLastWindowEndsTheProgram) {
    rt.show("frm_ueber2");
    ASSERT_TRUE(rt.close("frm_main"));
    EXPECT_FALSE(rt.ended());
    ASSERT_TRUE(rt.click("frm_ueber2", "cmd_ok"));
    EXPECT_TRUE(rt.ended());
    EXPECT_EQ(rt.log().back(), "@0 end");
}

}  // namespace
}  // namespace single_player::testing

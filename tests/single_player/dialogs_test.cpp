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

TEST_F(Dialogs, KeyListsReadTopToBottomWithTheirHeadingsInBlack) {
    struct Line {
        std::string caption;
        ui::Color color;
    };
    constexpr ui::Color kBlack = 0x00000000, kBlue = 0x00800000;
    const struct {
        const char* form;
        std::vector<Line> lines;  // in reading order
    } cases[] = {
        {"frm_Tastatur",
         {{"Esc", kBlack},
          {"Abbruch", kBlack},
          {"P", kBlack},
          {"Pause", kBlack},
          {"A", kBlack},
          {"Nach Links", kBlack},
          {"D", kBlack},
          {"Nach Rechts", kBlack},
          {"S", kBlack},
          {"Nach Unten", kBlack},
          {"W", kBlack},
          {"Nach Oben", kBlack}}},
        {"frm_Tastatur2",
         {{"Esc", kBlue},
          {"Abbruch", kBlue},
          {"P", kBlue},
          {"Pause", kBlue},
          {"Spieler 1", kBlack},
          {"A", kBlue},
          {"Nach Links", kBlue},
          {"D", kBlue},
          {"Nach Rechts", kBlue},
          {"S", kBlue},
          {"Nach Unten", kBlue},
          {"W", kBlue},
          {"Nach Oben", kBlue},
          {"Spieler 2", kBlack},
          {"Pfeiltasten", kBlue},
          {"Steuerung", kBlue}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        std::vector<const ui::Label*> labels;
        for (const ui::Control* control : rt.show(c.form)->controls()) {
            if (control->kind() == ui::ControlKind::label)
                labels.push_back(static_cast<const ui::Label*>(control));
        }
        std::sort(labels.begin(), labels.end(), [](const ui::Label* a, const ui::Label* b) {
            return std::tie(a->rect().top, a->rect().left) <
                   std::tie(b->rect().top, b->rect().left);
        });
        ASSERT_EQ(labels.size(), c.lines.size());
        for (std::size_t i = 0; i < labels.size(); ++i) {
            EXPECT_EQ(labels[i]->caption(), c.lines[i].caption) << i;
            EXPECT_EQ(labels[i]->style().fore_color, c.lines[i].color) << labels[i]->name();
            EXPECT_TRUE(labels[i]->style().font.bold);
        }
    }
}

Picture shell(const ui::TestRuntime& rt, const char* form) {
    const auto* image = rt.find<ui::Image>(form, "img_muschel");
    return image != nullptr ? image->picture() : Picture::none;
}

// Checks the shell at times measured from `start`.
void expect_shell(ui::TestRuntime& rt, const char* form, std::int64_t start,
                  std::initializer_list<std::pair<std::int64_t, Picture>> steps) {
    for (const auto& [at, picture] : steps) {
        rt.advance(start + at - rt.now());
        EXPECT_EQ(shell(rt, form), picture) << form << " at " << at << " ms";
    }
}

TEST_F(Dialogs, HelpShellOpensAfterTenSecondsThenEveryFiveAndClosedAgainAfterReopening) {
    const Picture closed = Picture::shell_closed, open = Picture::shell_open;
    ASSERT_TRUE(rt.click("frm_main", "mnu_hilfe"));
    expect_shell(rt, "frm_hilfe", 0,
                 {{0, closed},
                  {9999, closed},
                  {10000, open},
                  {14999, open},
                  {15000, closed},
                  {19999, closed},
                  {20000, open}});
    ASSERT_TRUE(rt.click("frm_hilfe", "cmd_ok"));
    rt.advance(1000);
    const std::int64_t reopened = rt.now();
    ASSERT_TRUE(rt.click("frm_main", "mnu_hilfe"));
    expect_shell(rt, "frm_hilfe", reopened,
                 {{0, closed}, {5000, closed}, {9999, closed}, {10000, open}});
}

TEST_F(Dialogs, BothHelpFormsAnimateOnTheirOwn) {
    const Picture closed = Picture::shell_closed, open = Picture::shell_open;
    rt.show("frm_hilfe");
    rt.advance(5000);
    rt.show("frm_hilfe2");
    ASSERT_NE(dynamic_cast<frm_hilfe*>(rt.form("frm_hilfe2")), nullptr);
    rt.advance(5000);
    EXPECT_EQ(shell(rt, "frm_hilfe"), open);
    EXPECT_EQ(shell(rt, "frm_hilfe2"), closed);
    rt.advance(5000);
    EXPECT_EQ(shell(rt, "frm_hilfe"), closed);
    EXPECT_EQ(shell(rt, "frm_hilfe2"), open);
    ASSERT_TRUE(rt.click("frm_hilfe2", "cmd_ok"));
    rt.advance(5000);
    EXPECT_EQ(shell(rt, "frm_hilfe"), open);
}

TEST_F(Dialogs, ChoosingAnOpenDialogAgainShowsTheSameOne) {
    for (const char* entry : {"mnu_hilfe", "mnu_Tastaturbelegung", "mnu_ueber"}) {
        ASSERT_TRUE(rt.click("frm_main", entry));
    }
    const std::size_t forms = rt.forms().size();
    const auto* help = rt.form("frm_hilfe");
    rt.advance(7000);
    for (const char* entry : {"mnu_hilfe", "mnu_Tastaturbelegung", "mnu_ueber"}) {
        ASSERT_TRUE(rt.click("frm_main", entry));
    }
    EXPECT_EQ(rt.forms().size(), forms);
    EXPECT_EQ(rt.form("frm_hilfe"), help);
    // Not loaded afresh: the shell opens 10 s after the first choice.
    rt.advance(3000);
    EXPECT_EQ(shell(rt, "frm_hilfe"), Picture::shell_open);
    EXPECT_EQ(std::count(rt.log().begin(), rt.log().end(), "@0 load frm_hilfe"), 1);
}

TEST_F(Dialogs, OpeningThemDuringAGameLeavesItRunning) {
    start();
    empty_the_field();
    std::vector<std::pair<std::string, bool>> armed;
    for (const ui::Control* c : form->controls()) {
        if (c->kind() == ui::ControlKind::timer)
            armed.emplace_back(c->name(), static_cast<const ui::Timer*>(c)->armed());
    }
    rt.key("frm_main", kRightKey);
    for (const char* entry : {"mnu_hilfe", "mnu_Tastaturbelegung", "mnu_ueber"}) {
        ASSERT_TRUE(rt.click("frm_main", entry));
    }
    rt.advance(100);
    EXPECT_EQ(form->Img_ball.left(), 2) << "the ball stopped";
    for (const auto& [name, was_armed] : armed) {
        EXPECT_EQ(dynamic_cast<const ui::Timer*>(form->find_control(name))->armed(), was_armed)
            << name;
    }
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

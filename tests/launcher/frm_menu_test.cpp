// The launcher: steering the sprite, and which entry the shot hits from which height.
#include "launcher/frm_menu.h"

#include <gtest/gtest.h>

#include "app/forms.h"
#include "ui/keys.h"
#include "ui/test_runtime.h"

namespace launcher {
namespace {

namespace keys = ui::keys;
using ui::Single;

class Launcher : public ::testing::Test {
  protected:
    Launcher() {
        app::register_forms(rt);
        menu = dynamic_cast<frm_menu*>(rt.show(app::kStartForm));
    }
    void keys_from(Single top, std::initializer_list<int> codes) {
        menu->img_menuUFO.move(-45, top);
        menu->UFO_Richtung = 0;
        for (const int code : codes) rt.key(frm_menu::kName, code);
    }
    Single top() const { return menu->img_menuUFO.top(); }
    ui::TestRuntime rt;
    frm_menu* menu = nullptr;
};

TEST_F(Launcher, EveryKeyStepsFirstTheTableSetsTheNextStepAndTheSpriteTurnsAtBothEnds) {
    // Right and A steer down, Left and D up: the game's rule. Other keys only step.
    const std::vector<std::pair<int, Single>> three_presses = {
        {keys::kDown, -23}, {keys::kS, -23},  {keys::kRight, -23},
        {keys::kA, -23},    {keys::kUp, -27}, {keys::kW, -27},
        {keys::kLeft, -27}, {keys::kD, -27},  {keys::kEnter, -25}};
    for (const auto& [code, after] : three_presses) {
        keys_from(-25, {code, code, code});
        EXPECT_EQ(top(), after) << code;
    }
    keys_from(49, {keys::kDown, keys::kDown});  // one unit below the area, then back up
    EXPECT_EQ(top(), 50);
    rt.key(frm_menu::kName, keys::kDown);
    EXPECT_EQ(top(), 49);
}

// A hit leaves the sprite deflated; a miss comes back and is caught, and the sprite puffs up.
TEST_F(Launcher, TheShotHitsAnEntryFromItsBandOfHeightsAndOpensIt) {
    // The bands run from -27 to -21, -15 to -9 and 24 to 30; one unit outside each misses.
    const std::vector<std::pair<Single, const char*>> cases = {
        {-28, ""},           {-27, "frm_start"}, {-21, "frm_start"}, {-20, ""},
        {-15, "frm_start2"}, {-9, "frm_start2"}, {-8, ""},           {23, ""},
        {24, "end"},         {30, "end"},        {31, ""},
    };
    for (const auto& [from, opened] : cases) {
        ui::TestRuntime fresh;
        app::register_forms(fresh);
        auto* m = dynamic_cast<frm_menu*>(fresh.show(app::kStartForm));
        fresh.show("frm_main2");  // "Beenden" ends the program, not just the menu
        fresh.show("frm_hilfe2");
        m->img_menuUFO.move(-45, from);
        fresh.key(frm_menu::kName, keys::kSpace);
        fresh.advance(30 * 50);
        const std::string got = fresh.ended()              ? "end"
                                : fresh.form("frm_start2") ? "frm_start2"
                                : fresh.form("frm_start")  ? "frm_start"
                                                           : "";
        EXPECT_EQ(got, opened) << from;
        if (fresh.ended()) continue;
        fresh.advance(9000);
        EXPECT_EQ(m->img_menuUFO.picture(),
                  *opened ? ui::Picture::puffer_deflated : ui::Picture::puffer_inflated)
            << from;
    }
}

}  // namespace
}  // namespace launcher

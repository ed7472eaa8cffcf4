// Every registered form loads with its design: caption, border, task-bar entry, client area
// and number of controls. A form registered without a row here fails the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/forms.h"
#include "ui/test_runtime.h"

namespace {

struct Row {
    const char* name;
    const char* caption;
    ui::BorderStyle border;
    bool in_taskbar;
    int width_twips;
    int height_twips;
    std::size_t controls;
};

using ui::BorderStyle;

const Row kRows[] = {
    {"frm_menu", "Menu", BorderStyle::fixed_dialog, false, 6420, 5880, 10},
    {"frm_start", "Muranko", BorderStyle::none, false, 3750, 2490, 6},
    {"frm_main", "Muranko", BorderStyle::fixed_single, true, 6765, 5610, 56},
    {"frm_hilfe", "Hilfe", BorderStyle::fixed_single, true, 4035, 3150, 7},
    {"frm_Tastatur", "Tastaturbelegung", BorderStyle::fixed_single, true, 2955, 3225, 13},
    {"frm_ueber", "Info", BorderStyle::fixed_single, true, 3855, 3060, 6},
    {"frm_start2", "Muranko", BorderStyle::none, false, 3750, 2490, 7},
    {"frm_main2", "Muranko", BorderStyle::fixed_single, true, 6765, 5610, 38},
    {"frm_hilfe2", "Hilfe", BorderStyle::fixed_single, true, 4035, 3150, 7},
    {"frm_Tastatur2", "Tastaturbelegung", BorderStyle::fixed_single, true, 2790, 4440, 17},
    {"frm_ueber2", "Info", BorderStyle::fixed_single, true, 3675, 2925, 7},
};

// Every form of the game package, built or not.
const char* const kPackage[] = {"frm_menu",     "frm_start",     "frm_main",   "frm_hilfe",
                                "frm_Tastatur", "frm_ueber",     "frm_start2", "frm_main2",
                                "frm_hilfe2",   "frm_Tastatur2", "frm_ueber2"};

TEST(FormDesigns, EveryRegisteredFormLoadsWithItsDesign) {
    ui::TestRuntime probe;
    app::register_forms(probe);
    for (const char* name : kPackage) {
        if (!probe.knows_form(name)) continue;
        bool has_row = false;
        for (const Row& row : kRows) has_row = has_row || std::string(row.name) == name;
        EXPECT_TRUE(has_row) << name << " is registered but has no row";
    }

    for (const Row& row : kRows) {
        ui::TestRuntime rt;
        app::register_forms(rt);
        ui::Form* form = rt.show(row.name);
        ASSERT_NE(form, nullptr) << row.name;
        const ui::FormDesign& d = form->design();
        EXPECT_EQ(form->name(), row.name);
        EXPECT_EQ(d.caption, row.caption) << row.name;
        EXPECT_EQ(d.border, row.border) << row.name;
        EXPECT_EQ(d.show_in_taskbar, row.in_taskbar) << row.name;
        EXPECT_EQ(d.client_width_twips, row.width_twips) << row.name;
        EXPECT_EQ(d.client_height_twips, row.height_twips) << row.name;
        EXPECT_EQ(form->controls().size(), row.controls) << row.name;
    }
}

}  // namespace

// The two-player key list: the keys in their colour, only the headings in black.
#include <gtest/gtest.h>

#include <string>

#include "app/forms.h"
#include "ui/test_runtime.h"

namespace {

TEST(KeyLists, ShowTheKeysInTheirColourAndOnlyTheHeadingsInBlack) {
    ui::TestRuntime rt;
    app::register_forms(rt);
    std::string not_in_key_colour;
    for (const ui::Control* control : rt.show("frm_Tastatur2")->controls()) {
        const auto* label = dynamic_cast<const ui::Label*>(control);
        if (label == nullptr || label->style().fore_color == 0x00800000) continue;
        not_in_key_colour += (label->style().fore_color == 0 ? "[" : "?") + label->caption() + "]";
    }
    EXPECT_EQ(not_in_key_colour, "[Spieler 1][Spieler 2]");
}

}  // namespace

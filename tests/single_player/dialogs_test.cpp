// The key lists of both games: their labels read top to bottom, keys coloured, headings black.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "app/forms.h"
#include "ui/test_runtime.h"

namespace {

// The labels in reading order: rows split by "|", headings in black as "[...]".
std::string reading_order(const ui::Form& form, ui::Color key_color) {
    std::vector<const ui::Label*> labels;
    for (const ui::Control* control : form.controls()) {
        if (const auto* label = dynamic_cast<const ui::Label*>(control)) labels.push_back(label);
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

TEST(KeyLists, ReadTopToBottomWithTheKeysInTheirColourAndHeadingsInBlack) {
    ui::TestRuntime rt;
    app::register_forms(rt);
    EXPECT_EQ(reading_order(*rt.show("frm_Tastatur"), 0),
              "Esc Abbruch|P Pause|A Nach Links|D Nach Rechts|S Nach Unten|W Nach Oben");
    EXPECT_EQ(reading_order(*rt.show("frm_Tastatur2"), 0x00800000),
              "Esc Abbruch|P Pause|[Spieler 1]|A Nach Links|D Nach Rechts|S Nach Unten|"
              "W Nach Oben|[Spieler 2]|Pfeiltasten Steuerung");
}

}  // namespace

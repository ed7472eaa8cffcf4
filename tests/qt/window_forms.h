// Forms for the window tests: a small playfield on the game's centred scale with a menu like the
// game's, and a dialog-like form with one button. Their handlers record what reached them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/runtime.h"

namespace qt_test {

struct KeyPress {
    int code;
    int shift;
    bool operator==(const KeyPress&) const = default;
};

// 3000 x 1500 twips (200 x 100 pixels), units -60..60 on both axes like the game forms.
inline ui::FormDesign field_design() {
    ui::FormDesign design;
    design.caption = "Feld";
    design.border = ui::BorderStyle::fixed_single;
    design.client_width_twips = 3000;
    design.client_height_twips = 1500;
    design.back_color = 0x00C00000;
    design.scale_left = -60;
    design.scale_top = -60;
    design.scale_width = 120;
    design.scale_height = 120;
    return design;
}

class FieldForm : public ui::Form {
  public:
    explicit FieldForm(ui::Runtime& runtime, std::string name)
        : ui::Form(runtime, std::move(name), field_design()) {
        // Like the difficulty entries: the chosen one carries the check mark.
        mnu_anfanger.on_click = [this] { choose(mnu_anfanger); };
        mnu_profis.on_click = [this] { choose(mnu_profis); };
        mnu_start.on_click = [] {};
        tmr_tick.on_timer = [this, &runtime] {
            if (!hit_on_tick) return;
            // Like a fish hit: a box from a timer's handler.
            hit_on_tick = false;
            runtime.msg_box("Passen Sie auf!", ui::kBoxOk, "Treffer");
            ++hits;
        };
    }

    void Form_KeyDown(ui::Integer key_code, ui::Integer shift) override {
        keys.push_back({key_code, shift});
    }

    void choose(ui::MenuItem& entry) {
        mnu_anfanger.set_checked(&entry == &mnu_anfanger);
        mnu_profis.set_checked(&entry == &mnu_profis);
    }

    ui::MenuItem mnu_spiel{*this, "mnu_spiel", "&Spiel"};
    ui::MenuItem mnu_start{*this, "mnu_start", "S&tart", &mnu_spiel};
    ui::MenuItem mnu_anfanger{*this, "mnu_anfanger", "Anfänger", &mnu_spiel, true};
    ui::MenuItem mnu_profis{*this, "mnu_profis", "Profis", &mnu_spiel};

    // 30 x 30 units at the centre: 50 x 25 pixels from (100, 50).
    ui::Shape shp_feld{*this,
                       "shp_feld",
                       {0, 0, 30, 30},
                       {ui::ShapeType::rectangle, true, 0x000000FF, true, 0x0000FF00}};
    ui::Image img_ball{*this, "img_ball", {-50, -50, 8.51f, 10.27f}, ui::Picture::smiley_closed};
    ui::Timer tmr_tick{*this, "tmr_tick", 0, true};

    std::vector<KeyPress> keys;
    bool hit_on_tick = false;
    int hits = 0;
};

// A 4035 x 3150 twips form with one button, like the help and about forms.
class ButtonForm : public ui::Form {
  public:
    ButtonForm(ui::Runtime& runtime, ui::BorderStyle border)
        : ui::Form(runtime, "frm_knopf", design(border)) {
        cmd_ok.on_click = [this] { ++clicks; };
    }
    static ui::FormDesign design(ui::BorderStyle border) {
        ui::FormDesign design;
        design.caption = "Knopf";
        design.border = border;
        design.client_width_twips = 4035;
        design.client_height_twips = 3150;
        return design;
    }

    void Form_KeyDown(ui::Integer key_code, ui::Integer shift) override {
        keys.push_back({key_code, shift});
    }

    ui::Button cmd_ok{*this, "cmd_ok", {1440, 2520, 1332, 372}, "OK"};
    std::vector<KeyPress> keys;
    int clicks = 0;
};

}  // namespace qt_test

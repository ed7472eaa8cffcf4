#include "single_player/frm_hilfe.h"

namespace single_player {

namespace {
ui::LabelStyle title_style() {
    ui::LabelStyle style;
    style.font.points = 12;
    style.font.bold = true;
    return style;
}

ui::LabelStyle text_style() {
    ui::LabelStyle style;
    style.word_wrap = true;
    return style;
}
}  // namespace

frm_hilfe::frm_hilfe(ui::Runtime& runtime, std::string name)
    : games::Dialog(runtime, std::move(name),
                    games::dialog_design("Hilfe", 4035, 3150, ui::Picture::icon_question),
                    {1440, 2520, 1332, 372}),
      tmr_muschel(*this, "tmr_muschel", 100, true),
      lbl_titel(*this, "lbl_titel", design().exact_rect(1320, 360, 1812, 372), "Muranko",
                title_style()),
      lbl_text(*this, "lbl_text", design().exact_rect(1320, 840, 2532, 1452),
               "In diesem Speil geht es darum soviele Perlen wie möglich zu Sammeln. Dabei "
               "sollte man den Fischen nich zu nahe kommen , sonst verliert man einen "
               "Lebenspunkt. Vorsicht sie haben nur einen kleinen Luftvorat.",
               text_style()),
      img_muschelbild2(*this, "img_muschelbild2", design().exact_rect(720, 2400, 480, 480),
                       ui::Picture::shell_open, false),
      img_muschelbild1(*this, "img_muschelbild1", design().exact_rect(240, 2400, 480, 480),
                       ui::Picture::shell_closed, false),
      img_muschel(*this, "img_muschel", design().exact_rect(360, 360, 480, 480),
                  ui::Picture::shell_closed) {
    tmr_muschel.on_timer = [this] { tmr_muschel_Timer(); };
    declare("Muschel_Zustand", Muschel_Zustand);
}

void frm_hilfe::Form_Load() {
    // The countdown started when the timer was made: the first tick comes 5 s after loading.
    tmr_muschel.set_interval(5000);
}

void frm_hilfe::tmr_muschel_Timer() {
    Animation_muschel();
}

// The first step shows the closed shell once more, so the shell first opens after 10 s.
void frm_hilfe::Animation_muschel() {
    if (Muschel_Zustand == 0) {
        img_muschel.set_picture(img_muschelbild1.picture());
        Muschel_Zustand = 1;
    } else {
        img_muschel.set_picture(img_muschelbild2.picture());
        Muschel_Zustand = 0;
    }
}

}  // namespace single_player

#include "single_player/frm_main.h"

#include <algorithm>
#include <cmath>

#include "games/playfield.h"
#include "games/rules.h"
#include "ui/keys.h"
#include "ui/runtime.h"

namespace single_player {

namespace {

using ui::Image;
using ui::Integer;
using ui::Picture;
using ui::Rect;
using ui::Single;

using namespace games;
namespace keys = ui::keys;

// Where the fish start and are put back, and where the second-kind fish wait.
constexpr Single kFishHomeLeft = -50;
constexpr Single kFishHomeTop = -50;
constexpr Single kWaitLeft = -65;
constexpr Single kParkLeft = -70;
constexpr Single kEntryLeft = 60;

constexpr int kLevels = 7;
constexpr int kPearlsPerLevel = 10;

constexpr std::array<std::array<Single, 2>, 7> kFishDesign = {{
    {33.66f, -54.87f},
    {42.17f, -54.87f},
    {33.66f, -44.60f},
    {42.17f, -44.60f},
    {33.66f, -34.33f},
    {42.17f, -34.33f},
    {50.69f, -34.33f},
}};
constexpr std::array<Single, 6> kFish2DesignLeft = {-23.81f, 1.73f,  -15.30f,
                                                    -6.78f,  18.76f, 10.24f};

// Whole milliseconds for a timer from a drawn delay.
int milliseconds(Single value) {
    return static_cast<int>(std::lrint(value));
}

}  // namespace

namespace {
// "Anfänger", "Fortgeschrittene", "Profis", "Freaks".
constexpr std::array<frm_main::Preset, 4> kPresets = {{
    {2, 6000, 1},
    {3, 5000, 1},
    {4, 5000, 2},
    {6, 5000, 3},
}};
}  // namespace

frm_main::frm_main(ui::Runtime& runtime)
    : ui::Form(runtime, kName, playfield_design("Muranko")),
      img_luft(*this, "img_luft", design().exact_rect(-55.74f, 50.37f, 7.45f, 7.70f),
               Picture::air_tanks),
      img_futter(*this, "img_futter", sprite_at(design(), -2.53f, -54.87f), Picture::shell_open,
                 false),
      img_feind(ui::make_array<7>([this](int i) {
          const auto& at = kFishDesign[static_cast<std::size_t>(i)];
          return Image(*this, ui::indexed("img_feind", i), sprite_at(design(), at[0], at[1]),
                       i % 2 == 0 && i < 6 ? Picture::puffer_deflated : Picture::puffer_inflated,
                       false);
      })),
      img_Feind2(ui::make_array<6>([this](int i) {
          return Image(*this, ui::indexed("img_Feind2", i),
                       sprite_at(design(), kFish2DesignLeft[static_cast<std::size_t>(i)], 47.81f),
                       Picture::fish_purple, false);
      })),
      img_ballbild1(*this, "img_ballbild1", sprite_at(design(), -42.97f, -34.33f),
                    Picture::smiley_open, false),
      img_ballbild2(*this, "img_ballbild2", sprite_at(design(), -42.97f, -44.60f),
                    Picture::smiley_closed, false),
      Img_ball(*this, "Img_ball", sprite_at(design(), -51.49f, -44.60f), Picture::smiley_closed,
               true, kBallLayer),
      shp_luftIst(*this, "shp_luftIst", design().exact_rect(54.94f, 24.71f, 2.34f, 30.03f),
                  air_bar_style()),
      shp_luftmax(*this, "shp_luftmax", design().exact_rect(50.69f, 24.96f, 2.34f, 30.03f),
                  air_frame_style()),
      shp_Blater(*this, "shp_Blater", design().exact_rect(54.94f, 19.57f, 2.34f, 2.82f),
                 bubble_style()),
      lbl_text3_0(*this, "lbl_text3(0)", design().exact_rect(33.66f, 40.11f, 10.86f, 5.39f),
                  "Level:", counter_style(false)),
      lbl_level(*this, "lbl_level", design().exact_rect(46.43f, 40.11f, 2.34f, 5.13f), "0",
                counter_style(true)),
      lbl_text2(*this, "lbl_text2", design().exact_rect(33.66f, 45.24f, 12.98f, 5.39f),
                "Leben:", counter_style(false)),
      lbl_leben(*this, "lbl_leben", design().exact_rect(46.43f, 45.24f, 2.34f, 5.13f), "0",
                counter_style(true)),
      lbl_text(*this, "lbl_text", design().exact_rect(33.66f, 50.37f, 12.98f, 5.39f),
               "Perlen:", counter_style(false)),
      lbl_zaehler(*this, "lbl_zaehler", design().exact_rect(46.43f, 50.37f, 2.34f, 5.13f), "0",
                  counter_style(true)),
      mnu_Datei(*this, "mnu_Datei", "&Spiel"),
      mnu_start(*this, "mnu_start", "S&tart", &mnu_Datei),
      mnu_abbrechen(*this, "mnu_abbrechen", "Ab&brechen", &mnu_Datei),
      mnu_Pause(*this, "mnu_Pause", "&Pause", &mnu_Datei),
      mnu_strich2(*this, "mnu_strich2", "-", &mnu_Datei),
      mnu_Anfanger(*this, "mnu_Anfanger", "Anfänger", &mnu_Datei, true),
      mnu_Fortgeschrittene(*this, "mnu_Fortgeschrittene", "Fortgeschrittene", &mnu_Datei),
      mnu_Profis(*this, "mnu_Profis", "Profis", &mnu_Datei),
      mnu_freak(*this, "mnu_freak", "Freaks", &mnu_Datei),
      mnu_strich1(*this, "mnu_strich1", "-", &mnu_Datei),
      mnu_beenden(*this, "mnu_beenden", "Be&enden", &mnu_Datei),
      mnu_sonstiges(*this, "mnu_sonstiges", "&?"),
      mnu_hilfe(*this, "mnu_hilfe", "&Hilfe", &mnu_sonstiges),
      mnu_Tastaturbelegung(*this, "mnu_Tastaturbelegung", "Tastaturbelegung", &mnu_sonstiges),
      mnu_ueber(*this, "mnu_ueber", "&Über...", &mnu_sonstiges),
      tmr_timer1(*this, "tmr_timer1", 50, true),
      tmr_ball(*this, "tmr_ball", 500, true),
      tmr_feindbewegen(*this, "tmr_feindbewegen", 50, true),
      tmr_feind(*this, "tmr_feind", 0, true),
      tmr_luft(*this, "tmr_luft", 5000, true),
      tmr_auffuellen(*this, "tmr_auffuellen", 500, true),
      tmr_Blater(*this, "tmr_Blater", 50, false),
      tmr_feind2Bewegen(*this, "tmr_feind2Bewegen", 50, true),
      tmr_feind2Starten(ui::make_array<6>([this](int i) {
          return ui::Timer(*this, ui::indexed("tmr_feind2Starten", i), 0, true);
      })) {
    mnu_start.on_click = [this] { mnu_start_Click(); };
    mnu_abbrechen.on_click = [this] { mnu_abbrechen_Click(); };
    mnu_Pause.on_click = [this] { mnu_Pause_Click(); };
    mnu_Anfanger.on_click = [this] { mnu_Anfanger_Click(); };
    mnu_Fortgeschrittene.on_click = [this] { mnu_Fortgeschrittene_Click(); };
    mnu_Profis.on_click = [this] { mnu_Profis_Click(); };
    mnu_freak.on_click = [this] { mnu_freak_Click(); };
    mnu_beenden.on_click = [this] { mnu_beenden_Click(); };
    // The dialogs are shown modelessly and leave the game running behind them.
    mnu_hilfe.on_click = [this] { this->runtime().show("frm_hilfe"); };
    mnu_Tastaturbelegung.on_click = [this] { this->runtime().show("frm_Tastatur"); };
    mnu_ueber.on_click = [this] { this->runtime().show("frm_ueber"); };

    tmr_timer1.on_timer = [this] { tmr_timer1_Timer(); };
    tmr_ball.on_timer = [this] { Animation_Ball(); };
    tmr_feindbewegen.on_timer = [this] { feind_aktiv(); };
    tmr_feind.on_timer = [this] { tmr_feind_Timer(); };
    tmr_luft.on_timer = [this] { Luft_verbrauchen(); };
    tmr_auffuellen.on_timer = [this] { auffuellen(); };
    tmr_Blater.on_timer = [this] { Blater_bewegen(); };
    tmr_feind2Bewegen.on_timer = [this] { Feind2_Bewegen(); };
    for (int i = 0; i < 6; ++i) {
        tmr_feind2Starten[static_cast<std::size_t>(i)].on_timer = [this, i] {
            Feind2_Startpunkt(static_cast<Integer>(i));
        };
    }

    declare("Richtung", Richtung);
    declare("Feind_Richtung", Feind_Richtung);
    declare("Feind2_Hoehe", Feind2_Hoehe);
    declare("Feind2_Startzeit", Feind2_Startzeit);
    declare("Anzahl_Feind2", Anzahl_Feind2);
    declare("Ball_Bild", Ball_Bild);
    declare("Zaehler", Zaehler);
    declare("Leben", Leben);
    declare("Level", Level);
    declare("Zeit_laeuft", Zeit_laeuft);
    declare("Spiel_aktiv", Spiel_aktiv);
    declare("Luftverbrauch", Luftverbrauch);
}

// ---------------------------------------------------------------------------------------------
// Life cycle

void frm_main::Form_Load() {
    set_key_preview(true);
    Img_ball.move(0, 0);
    tmr_auffuellen.set_enabled(false);
    tmr_luft.set_enabled(false);
    mnu_Fortgeschrittene_Click();
    tmr_feind2Bewegen.set_enabled(false);
    for (int i = 0; i < 3; ++i) img_Feind2[static_cast<std::size_t>(i)].set_visible(false);
    for (auto& fish : img_Feind2) fish.move(kParkLeft, 0);
    tmr_Blater.set_enabled(false);
    shp_Blater.set_visible(false);
    // Parked before the bar is set, so the first rise starts from the bar's design Top.
    shp_Blater.set_top(shp_luftIst.top());
    shp_Blater.set_left(52);
    shp_luftIst.set_height(30);
    shp_luftmax.set_height(30);
    shp_luftIst.set_top(25);
    shp_luftmax.set_top(25);
    shp_luftIst.set_left(52);
    shp_luftmax.set_left(52);
    Zeit_laeuft = 1;
    Spiel_aktiv = 1;
}

void frm_main::mnu_start_Click() {
    // The previous game's fish go home; Level is still the old one here.
    for (int i = 0; i < Level; ++i)
        img_feind[static_cast<std::size_t>(i)].move(kFishHomeLeft, kFishHomeTop);
    Leben = 3;
    Zaehler = 0;
    Level = 1;
    Zeit_laeuft = 1;
    Spiel_aktiv = 1;
    Img_ball.move(0, 0);
    img_feind[0].move(kFishHomeLeft, kFishHomeTop);
    for (int i = 0; i < Anzahl_Feind2; ++i)
        img_Feind2[static_cast<std::size_t>(i)].move(kWaitLeft, 0);
    set_air(shp_luftIst, kAirFull);
    shp_Blater.set_visible(false);
    Futter_anordnen();
    lbl_leben.set_caption(ui::text_of(Leben));
    lbl_zaehler.set_caption(ui::text_of(Zaehler));
    lbl_level.set_caption(ui::text_of(Level));
    tmr_timer1.set_enabled(true);
    tmr_ball.set_enabled(true);
    tmr_feindbewegen.set_enabled(true);
    tmr_luft.set_enabled(true);
    tmr_feind.set_enabled(true);
    tmr_feind2Bewegen.set_enabled(true);
    Img_ball.set_visible(true);
    img_feind[0].set_visible(true);
    for (std::size_t i = 1; i < img_feind.size(); ++i) img_feind[i].set_visible(false);
    ui::Runtime& rt = runtime();
    for (std::size_t i = 0; i < img_Feind2.size(); ++i) {
        img_Feind2[i].set_visible(false);
        rt.randomize();
        Feind2_Startzeit[i] = (ui::Int(rt.random_next() * 5) + 1) * 1000;
        tmr_feind2Starten[i].set_interval(milliseconds(*Feind2_Startzeit[i]));
        tmr_feind2Starten[i].set_enabled(true);
    }
    set_difficulty_enabled(false);
}

void frm_main::switch_game_timers_off() {
    tmr_feind2Bewegen.set_enabled(false);
    tmr_luft.set_enabled(false);
    tmr_feindbewegen.set_enabled(false);
    tmr_ball.set_enabled(false);
    tmr_timer1.set_enabled(false);
    tmr_auffuellen.set_enabled(false);
    tmr_Blater.set_enabled(false);
    tmr_feind.set_enabled(false);
}

void frm_main::mnu_abbrechen_Click() {
    Level = 1;
    switch_game_timers_off();
    Img_ball.set_visible(false);
    Spiel_aktiv = 0;
    set_difficulty_enabled(true);
}

void frm_main::Pause() {
    if (Spiel_aktiv != 1) return;
    if (Zeit_laeuft == 1) {
        switch_game_timers_off();
        Zeit_laeuft = 0;
    } else {
        // A refill cut short by the pause starts again only at the next touch of the air spot.
        tmr_feind2Bewegen.set_enabled(true);
        tmr_luft.set_enabled(true);
        tmr_feindbewegen.set_enabled(true);
        tmr_ball.set_enabled(true);
        tmr_timer1.set_enabled(true);
        tmr_Blater.set_enabled(true);
        tmr_feind.set_enabled(true);
        Zeit_laeuft = 1;
    }
}

void frm_main::mnu_Pause_Click() {
    Pause();
}

void frm_main::Game_Over() {
    runtime().beep();
    Pause();
    runtime().msg_box("Schade, schade", ui::kBoxRightAligned, "Game Over");
    mnu_abbrechen_Click();
}

void frm_main::mnu_beenden_Click() {
    runtime().end();
}

void frm_main::tmr_timer1_Timer() {
    Ball_bewegen();
    Auswerten();
}

// ---------------------------------------------------------------------------------------------
// Difficulty presets

void frm_main::Geschwindigkeit(const Preset& preset) {
    Leben = 3;
    lbl_leben.set_caption(ui::text_of(Leben));
    Anzahl_Feind2 = preset.anzahl_feind2;
    tmr_ball.set_interval(500);
    tmr_luft.set_interval(preset.luft_interval);
    tmr_feind.set_interval(2000);
    tmr_feindbewegen.set_interval(50);
    tmr_auffuellen.set_interval(250);
    tmr_Blater.set_interval(50);
    tmr_timer1.set_interval(50);
    Luftverbrauch = preset.luftverbrauch;
    for (std::size_t i = 0; i < img_Feind2.size(); ++i) {
        img_Feind2[i].set_visible(static_cast<int>(i) < Anzahl_Feind2);
    }
}

void frm_main::Geschwindigkeit_1() {
    Geschwindigkeit(kPresets[0]);
}
void frm_main::Geschwindigkeit_2() {
    Geschwindigkeit(kPresets[1]);
}
void frm_main::Geschwindigkeit_3() {
    Geschwindigkeit(kPresets[2]);
}
void frm_main::Geschwindigkeit_4() {
    Geschwindigkeit(kPresets[3]);
}

void frm_main::check_difficulty(const ui::MenuItem& chosen) {
    mnu_Anfanger.set_checked(&chosen == &mnu_Anfanger);
    mnu_Fortgeschrittene.set_checked(&chosen == &mnu_Fortgeschrittene);
    mnu_Profis.set_checked(&chosen == &mnu_Profis);
    mnu_freak.set_checked(&chosen == &mnu_freak);
}

void frm_main::set_difficulty_enabled(bool enabled) {
    mnu_Anfanger.set_enabled(enabled);
    mnu_Fortgeschrittene.set_enabled(enabled);
    mnu_Profis.set_enabled(enabled);
    mnu_freak.set_enabled(enabled);
}

void frm_main::mnu_Anfanger_Click() {
    Geschwindigkeit_1();
    check_difficulty(mnu_Anfanger);
}

void frm_main::mnu_Fortgeschrittene_Click() {
    Geschwindigkeit_2();
    check_difficulty(mnu_Fortgeschrittene);
}

void frm_main::mnu_Profis_Click() {
    Geschwindigkeit_3();
    check_difficulty(mnu_Profis);
}

void frm_main::mnu_freak_Click() {
    Geschwindigkeit_4();
    check_difficulty(mnu_freak);
}

// ---------------------------------------------------------------------------------------------
// Ball and keys

void frm_main::Form_KeyDown(Integer KeyCode, Integer /*Shift*/) {
    // Both key sets steer the one ball, whatever the state of the game.
    if (const auto steer = steering(KeyCode)) {
        Richtung = steer->direction;
    } else if (KeyCode == keys::kP) {
        Pause();
    } else if (KeyCode == keys::kEsc) {
        mnu_abbrechen_Click();
    }
}

void frm_main::Ball_bewegen() {
    ball_step(Img_ball, Richtung, lbl_leben, Leben, lbl_zaehler, Zaehler);
}

void frm_main::Animation_Ball() {
    if (Ball_Bild == 0) {
        Img_ball.set_picture(img_ballbild1.picture());
        Ball_Bild = 1;
    } else {
        Img_ball.set_picture(img_ballbild2.picture());
        Ball_Bild = 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Evaluation

void frm_main::Futter_anordnen() {
    place_pearl(runtime(), img_futter);
}

void frm_main::Auswerten() {
    // The bounds are taken once: a level-up during the loop does not lengthen it.
    const int fish_in_play = Level;
    for (int i = 0; i < fish_in_play; ++i) {
        // The pearl is tested on every pass, so a new pearl placed within reach of the ball
        // counts again at the next pass of the same step.
        if (touches(img_futter, Img_ball)) {
            Futter_anordnen();
            Zaehler = ui::add_saturated(Zaehler, 1);
            lbl_zaehler.set_caption(ui::text_of(Zaehler));
            if (Zaehler == kPearlsPerLevel && level_up()) return;
        }
        if (touches(img_feind[static_cast<std::size_t>(i)], Img_ball)) fish_hit();
    }
    const int fish2_in_play = Anzahl_Feind2;
    for (int i = 0; i < fish2_in_play; ++i) {
        if (touches(img_Feind2[static_cast<std::size_t>(i)], Img_ball)) fish_hit();
    }
    if (touches(img_luft, Img_ball)) tmr_auffuellen.set_enabled(true);
    if (Leben < 0) Game_Over();
}

bool frm_main::level_up() {
    Futter_anordnen();
    Leben = ui::add_saturated(Leben, 1);
    Level = ui::add_saturated(Level, 1);
    Zaehler = ui::add_saturated(Zaehler, -kPearlsPerLevel);
    // The lives and pearls labels catch up at the next ball step.
    lbl_level.set_caption(ui::text_of(Level));
    if (Level <= kLevels) {
        reset_positions();
        img_feind[static_cast<std::size_t>(Level - 1)].set_visible(true);
        Pause();
        runtime().msg_box("Bravo, Sie sind ein Level weiter!", ui::kBoxRightAligned, "Bravo!");
        Pause();
        return false;
    }
    Pause();
    runtime().msg_box("Super, sie haben es geschaft!", ui::kBoxOk, "Super!");
    mnu_abbrechen_Click();
    return true;
}

void frm_main::fish_hit() {
    runtime().beep();
    Leben = ui::add_saturated(Leben, -1);
    lbl_leben.set_caption(ui::text_of(Leben));
    reset_positions();
    Pause();
    runtime().msg_box("Passen Sie ein wenig auf sich auf!", ui::kBoxRightAligned, "Vorsicht!");
    Pause();
}

void frm_main::reset_positions() {
    // The ball keeps its direction and moves on from the centre once the game resumes.
    Img_ball.move(0, 0);
    for (int j = 0; j < Level; ++j)
        img_feind[static_cast<std::size_t>(j)].move(kFishHomeLeft, kFishHomeTop);
    for (int j = 0; j < Anzahl_Feind2; ++j)
        img_Feind2[static_cast<std::size_t>(j)].move(kWaitLeft, 0);
}

// ---------------------------------------------------------------------------------------------
// Fish and second-kind fish

void frm_main::feind_aktiv() {
    move_fish(img_feind, Feind_Richtung, Level);
}

void frm_main::tmr_feind_Timer() {
    turn_fish(runtime(), Feind_Richtung, Level);
}

void frm_main::Feind2_Bewegen() {
    ui::Runtime& rt = runtime();
    const int fish2_in_play = Anzahl_Feind2;
    for (int i = 0; i < fish2_in_play; ++i) {
        const auto k = static_cast<std::size_t>(i);
        Image& fish = img_Feind2[k];
        fish.set_left(fish.left() - 1);
        if (fish.left() <= kWaitLeft) {
            // Waiting beyond the left edge: a new delay is drawn on every step. The timer's
            // countdown runs on from when it was armed, so the fish does enter in time.
            fish.set_visible(false);
            rt.randomize();
            Feind2_Startzeit[k] = ui::Int(rt.random_next() * 10) * 1000;
            tmr_feind2Starten[k].set_interval(milliseconds(*Feind2_Startzeit[k]));
            tmr_feind2Starten[k].set_enabled(true);
        }
    }
}

void frm_main::Feind2_Startpunkt(Integer Index) {
    const auto k = static_cast<std::size_t>(Index);
    ui::Runtime& rt = runtime();
    img_Feind2[k].set_visible(true);
    rt.randomize();
    Feind2_Hoehe[k] = ui::Int(rt.random_next() * 120) + 1 - 60;
    img_Feind2[k].move(kEntryLeft, *Feind2_Hoehe[k]);
    tmr_feind2Starten[k].set_enabled(false);
}

// ---------------------------------------------------------------------------------------------
// Air

void frm_main::Luft_verbrauchen() {
    if (shp_luftIst.height() > 1) {
        set_air(shp_luftIst, std::max<Single>(shp_luftIst.height() - Luftverbrauch, 0));
        shp_Blater.set_visible(true);
        tmr_Blater.set_enabled(true);
    }
    if (shp_luftIst.height() <= 1) {
        runtime().beep();
        Pause();
        runtime().msg_box("Ihnen ist die Luft ausgegangen!", ui::kBoxRightAligned, "Game Over");
        mnu_abbrechen_Click();
    }
}

void frm_main::Blater_bewegen() {
    shp_Blater.set_top(shp_Blater.top() - 1);
    if (shp_Blater.top() <= 0) {
        tmr_Blater.set_enabled(false);
        shp_Blater.set_visible(false);
        shp_Blater.set_top(shp_luftIst.top());
    }
}

void frm_main::auffuellen() {
    refill(shp_luftIst, tmr_auffuellen);
}

}  // namespace single_player

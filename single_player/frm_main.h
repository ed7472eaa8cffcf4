// The single-player game form: the playfield, the counters, the air gauge, the menus and the
// timers that drive a game. Game units: the client area spans -60..+60 on both axes, origin
// in the centre, y downwards.
#pragma once

#include <array>
#include <optional>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/types.h"

namespace single_player {

class frm_main : public ui::Form {
  public:
    static constexpr const char* kName = "frm_main";
    explicit frm_main(ui::Runtime& runtime);

    void Form_Load() override;
    void Form_KeyDown(ui::Integer KeyCode, ui::Integer Shift) override;

    // Game life cycle.
    void mnu_start_Click();
    void mnu_abbrechen_Click();
    void mnu_Pause_Click();
    void Pause();
    void Game_Over();
    void mnu_beenden_Click();
    void tmr_timer1_Timer();

    // Difficulty presets.
    void mnu_Anfanger_Click();
    void mnu_Fortgeschrittene_Click();
    void mnu_Profis_Click();
    void mnu_freak_Click();
    void Geschwindigkeit_1();
    void Geschwindigkeit_2();
    void Geschwindigkeit_3();
    void Geschwindigkeit_4();

    // Ball.
    void Animation_Ball();

    // Evaluation.
    void Futter_anordnen();

    // Fish and second-kind fish.
    void feind_aktiv();
    void tmr_feind_Timer();
    void Feind2_Bewegen();
    void Feind2_Startpunkt(ui::Integer Index);

    // Air.
    void auffuellen();

    // --- Sprites ---
    ui::Image img_luft;
    ui::Image img_futter;
    std::array<ui::Image, 7> img_feind;
    std::array<ui::Image, 6> img_Feind2;
    ui::Image img_ballbild1;
    ui::Image img_ballbild2;
    ui::Image Img_ball;

    // --- Air gauge and bubble ---
    ui::Shape shp_luftIst;
    ui::Shape shp_luftmax;
    ui::Shape shp_Blater;

    // --- Counters ---
    ui::Label lbl_text3_0;
    ui::Label lbl_level;
    ui::Label lbl_text2;
    ui::Label lbl_leben;
    ui::Label lbl_text;
    ui::Label lbl_zaehler;

    // --- Menus ---
    ui::MenuItem mnu_Datei;
    ui::MenuItem mnu_start;
    ui::MenuItem mnu_abbrechen;
    ui::MenuItem mnu_Pause;
    ui::MenuItem mnu_strich2;
    ui::MenuItem mnu_Anfanger;
    ui::MenuItem mnu_Fortgeschrittene;
    ui::MenuItem mnu_Profis;
    ui::MenuItem mnu_freak;
    ui::MenuItem mnu_strich1;
    ui::MenuItem mnu_beenden;
    ui::MenuItem mnu_sonstiges;
    ui::MenuItem mnu_hilfe;
    ui::MenuItem mnu_Tastaturbelegung;
    ui::MenuItem mnu_ueber;

    // --- Timers ---
    ui::Timer tmr_timer1;
    ui::Timer tmr_ball;
    ui::Timer tmr_feindbewegen;
    ui::Timer tmr_feind;
    ui::Timer tmr_luft;
    ui::Timer tmr_auffuellen;
    ui::Timer tmr_Blater;
    ui::Timer tmr_feind2Bewegen;
    std::array<ui::Timer, 6> tmr_feind2Starten;

    // --- Form-level variables ---
    ui::Integer Richtung = 0;
    std::array<ui::Integer, 7> Feind_Richtung{};
    std::array<std::optional<ui::Single>, 6> Feind2_Hoehe{};
    std::array<std::optional<ui::Single>, 6> Feind2_Startzeit{};
    ui::Integer Anzahl_Feind2 = 0;
    ui::Integer Ball_Bild = 0;
    ui::Integer Zaehler = 0;
    ui::Integer Leben = 0;
    ui::Integer Level = 0;
    ui::Integer Zeit_laeuft = 0;
    ui::Integer Spiel_aktiv = 0;
    ui::Integer Luftverbrauch = 0;

    // What sets the four difficulty presets apart.
    struct Preset {
        ui::Integer anzahl_feind2;
        int luft_interval;
        ui::Integer luftverbrauch;
    };

  private:
    void Geschwindigkeit(const Preset& preset);
    void check_difficulty(const ui::MenuItem& chosen);
    void set_difficulty_enabled(bool enabled);
    void switch_game_timers_off();

    void Ball_bewegen();
    void Auswerten();
    // The 10th pearl of a level. Returns true when it won the game, which ends the step.
    bool level_up();
    void fish_hit();
    void reset_positions();

    void Luft_verbrauchen();
    void Blater_bewegen();
};

}  // namespace single_player

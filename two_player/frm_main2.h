// The two-player game form: one playfield on which two players, each with a ball, lives,
// pearls and an air gauge of their own, share one pearl, three fish, the air spot and the
// extra-life item. Player 1 is index 0 (arrow keys, counters and gauge on the right), player 2
// index 1 (W, A, S, D, on the left). Game units: -60..+60 on both axes, origin in the centre.
#pragma once

#include <array>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/types.h"

namespace two_player {

class frm_main2 : public ui::Form {
  public:
    static constexpr const char* kName = "frm_main2";
    static constexpr int kPlayers = 2;

    explicit frm_main2(ui::Runtime& runtime);

    void Form_Load() override;
    void Form_KeyDown(ui::Integer KeyCode, ui::Integer Shift) override;

    // Game life cycle.
    void mnu_start_Click();
    void mnu_abbrechen_Click();
    void mnu_Pause_Click();
    void Pause();
    void mnu_beenden_Click();

    // Each player's tick: the ball step, then the evaluation step.
    void tmr_ball0_Timer();
    void tmr_ball1_Timer();
    void Auswerten0();
    void Auswerten1();
    void Futter_anordnen();

    // Fish.
    void feind_aktiv();
    void tmr_feind_Timer();

    // Air and the extra-life item.
    void tmr_luft_Timer();
    void auffuellen0();
    void auffuellen1();
    void tmr_leben_Timer();
    void Leben_banane();

    // --- Sprites ---
    std::array<ui::Image, kPlayers> Img_ball;
    ui::Image img_futter;
    std::array<ui::Image, 3> img_feind;
    ui::Image img_luft;
    ui::Image img_leben;

    // --- Counters, player 1 on the right and player 2 on the left ---
    std::array<ui::Label, kPlayers> lbl_text2;
    std::array<ui::Label, kPlayers> lbl_leben;
    std::array<ui::Label, kPlayers> lbl_text;
    std::array<ui::Label, kPlayers> lbl_zaehler;

    // --- Air gauges ---
    std::array<ui::Shape, kPlayers> shp_luftIst;
    std::array<ui::Shape, kPlayers> shp_luftmax;

    // --- Menus ---
    ui::MenuItem mnu_Datei;
    ui::MenuItem mnu_start;
    ui::MenuItem mnu_abbrechen;
    ui::MenuItem mnu_Pause;
    ui::MenuItem mnu_strich1;
    ui::MenuItem mnu_beenden;
    ui::MenuItem mnu_sonstiges;
    ui::MenuItem mnu_hilfe;
    ui::MenuItem mnu_Tastaturbelegung;
    ui::MenuItem mnu_ueber;

    // --- Timers; tmr_ball0 is created first, so player 1's tick comes first when both are due.
    ui::Timer tmr_ball0;
    ui::Timer tmr_ball1;
    ui::Timer tmr_feindbewegen;
    ui::Timer tmr_feind;
    ui::Timer tmr_luft;
    ui::Timer tmr_auffuellen0;
    ui::Timer tmr_auffuellen1;
    ui::Timer tmr_leben;

    // --- Form-level variables ---
    ui::Integer Banane_x = 0;
    ui::Integer Banane_y = 0;
    ui::Integer Richtung0 = 0;
    ui::Integer Richtung1 = 0;
    std::array<ui::Integer, 6> Feind_Richtung{};
    std::array<ui::Integer, kPlayers> Zaehler{};
    std::array<ui::Integer, kPlayers> Leben{};
    ui::Integer Zeit_laeuft = 0;
    ui::Integer Spiel_aktiv = 0;

  private:
    // The four counter arrays of the form description, built while the form is constructed.
    std::array<ui::Label, kPlayers> counter_labels(const char* name, ui::Single top,
                                                   const char* text);
    ui::Integer& Richtung(int player);
    ui::Timer& tmr_auffuellen(int player);

    void Ball0_bewegen();
    void Ball1_bewegen();

    // The rules of one player, the same for both.
    void Ball_bewegen(int player);
    void Auswerten(int player);
    void fish_hit(int player);
    void auffuellen(int player);
    // One player's share of an air tick; false when that player lost and the game ended.
    bool Luft_verbrauchen(int player);
    void Luft_verbrauchen();

    void put_balls_home();
    void send_fish_home(int count);
};

}  // namespace two_player

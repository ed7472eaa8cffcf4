#include "two_player/frm_main2.h"

#include "games/playfield.h"
#include "games/rules.h"
#include "ui/keys.h"
#include "ui/runtime.h"

namespace two_player {

namespace {

using ui::Image;
using ui::Integer;
using ui::Picture;
using ui::Single;

using namespace games;
namespace keys = ui::keys;

// What sets the two players apart, by player index.
struct Player {
    Single ball_design_left;
    Picture ball_picture;
    Single home_left;         // where the ball starts and is put back
    Single text_design_left;  // "Leben:" and "Perlen:"
    Single value_design_left;
    Single bar_design_left;
    Single frame_design_left;
    Single gauge_left;
    const char* fish_hit_text;
    const char* loss_text;  // names the other player as the winner
};
constexpr std::array<Player, frm_main2::kPlayers> kPlayer = {{
    {-4.66f, Picture::smiley_closed, 25, 33.66f, 46.43f, 54.94f, 50.69f, 52,
     "Spieler 1 sollte etwas mehr auf die Fische achten.", "Spieler 2 hat gewonnen!"},
    {3.86f, Picture::smiley_nose, -25, -49.36f, -36.59f, -53.61f, -57.87f, -55,
     "Spieler 2 sollte etwas mehr acht geben.", "Spieler 1 hat gewonnen!"},
}};
constexpr Single kBallDesignTop = -0.96f;
constexpr Single kHomeTop = 25;

constexpr Single kFishHome = -50;  // both Left and Top
constexpr int kFish = 3;
constexpr std::array<std::array<Single, 2>, kFish> kFishDesign = {{
    {40.04f, -54.87f},
    {48.56f, -54.87f},
    {40.04f, -44.60f},
}};
constexpr std::array<Picture, kFish> kFishPicture = {
    Picture::puffer_deflated, Picture::puffer_inflated, Picture::fish_purple};

constexpr Single kItemPark = -70;  // both Left and Top: outside the field, out of any reach
// Bonus lives at these pearl counts.
constexpr Integer kFirstBonus = 30;
constexpr Integer kSecondBonus = 60;
// A gauge at or below this level is out of air.
constexpr Single kOutOfAir = 0.9f;

const Player& player_of(int i) {
    return kPlayer[static_cast<std::size_t>(i)];
}

}  // namespace

frm_main2::frm_main2(ui::Runtime& runtime)
    : ui::Form(runtime, kName, playfield_design("Muranko")),
      Img_ball(ui::make_array<kPlayers>([this](int i) {
          const Player& p = player_of(i);
          return Image(*this, ui::indexed("Img_ball", i),
                       sprite_at(design(), p.ball_design_left, kBallDesignTop), p.ball_picture,
                       true, kBallLayer);
      })),
      img_futter(*this, "img_futter", sprite_at(design(), -4.66f, 11.87f), Picture::shell_open,
                 false),
      img_feind(ui::make_array<kFish>([this](int i) {
          const auto k = static_cast<std::size_t>(i);
          return Image(*this, ui::indexed("img_feind", i),
                       sprite_at(design(), kFishDesign[k][0], kFishDesign[k][1]), kFishPicture[k],
                       false);
      })),
      img_luft(*this, "img_luft", design().exact_rect(-2.00f, -54.87f, 7.45f, 7.70f),
               Picture::air_tanks),
      img_leben(*this, "img_leben", sprite_at(design(), -40.84f, -29.20f), Picture::extra_life),
      lbl_text2(counter_labels("lbl_text2", 45.24f, "Leben:")),
      lbl_leben(counter_labels("lbl_leben", 45.24f, nullptr)),
      lbl_text(counter_labels("lbl_text", 50.37f, "Perlen:")),
      lbl_zaehler(counter_labels("lbl_zaehler", 50.37f, nullptr)),
      shp_luftIst(ui::make_array<kPlayers>([this](int i) {
          return ui::Shape(*this, ui::indexed("shp_luftIst", i),
                           design().exact_rect(player_of(i).bar_design_left, 24.71f, 2.34f, 30.03f),
                           air_bar_style());
      })),
      shp_luftmax(ui::make_array<kPlayers>([this](int i) {
          return ui::Shape(
              *this, ui::indexed("shp_luftmax", i),
              design().exact_rect(player_of(i).frame_design_left, 24.96f, 2.34f, 30.03f),
              air_frame_style());
      })),
      mnu_Datei(*this, "mnu_Datei", "&Spiel"),
      mnu_start(*this, "mnu_start", "S&tart", &mnu_Datei),
      mnu_abbrechen(*this, "mnu_abbrechen", "Ab&brechen", &mnu_Datei),
      mnu_Pause(*this, "mnu_Pause", "&Pause", &mnu_Datei),
      mnu_strich1(*this, "mnu_strich1", "-", &mnu_Datei),
      mnu_beenden(*this, "mnu_beenden", "Be&enden", &mnu_Datei),
      mnu_sonstiges(*this, "mnu_sonstiges", "&?"),
      mnu_hilfe(*this, "mnu_hilfe", "&Hilfe", &mnu_sonstiges),
      mnu_Tastaturbelegung(*this, "mnu_Tastaturbelegung", "Tastaturbelegung", &mnu_sonstiges),
      mnu_ueber(*this, "mnu_ueber", "&Über...", &mnu_sonstiges),
      tmr_ball0(*this, "tmr_ball0", 50, true),
      tmr_ball1(*this, "tmr_ball1", 50, true),
      tmr_feindbewegen(*this, "tmr_feindbewegen", 50, true),
      tmr_feind(*this, "tmr_feind", 0, true),
      tmr_luft(*this, "tmr_luft", 0, true),
      tmr_auffuellen0(*this, "tmr_auffuellen0", 500, true),
      tmr_auffuellen1(*this, "tmr_auffuellen1", 500, true),
      tmr_leben(*this, "tmr_leben", 5000, true) {
    mnu_start.on_click = [this] { mnu_start_Click(); };
    mnu_abbrechen.on_click = [this] { mnu_abbrechen_Click(); };
    mnu_Pause.on_click = [this] { mnu_Pause_Click(); };
    mnu_beenden.on_click = [this] { mnu_beenden_Click(); };
    // The dialogs are shown modelessly and leave the game running behind them.
    mnu_hilfe.on_click = [this] { this->runtime().show("frm_hilfe2"); };
    mnu_Tastaturbelegung.on_click = [this] { this->runtime().show("frm_Tastatur2"); };
    mnu_ueber.on_click = [this] { this->runtime().show("frm_ueber2"); };

    tmr_ball0.on_timer = [this] { tmr_ball0_Timer(); };
    tmr_ball1.on_timer = [this] { tmr_ball1_Timer(); };
    tmr_feindbewegen.on_timer = [this] { feind_aktiv(); };
    tmr_feind.on_timer = [this] { tmr_feind_Timer(); };
    tmr_luft.on_timer = [this] { tmr_luft_Timer(); };
    tmr_auffuellen0.on_timer = [this] { auffuellen0(); };
    tmr_auffuellen1.on_timer = [this] { auffuellen1(); };
    tmr_leben.on_timer = [this] { tmr_leben_Timer(); };

    declare("Banane_x", Banane_x);
    declare("Banane_y", Banane_y);
    declare("Richtung0", Richtung0);
    declare("Richtung1", Richtung1);
    declare("Feind_Richtung", Feind_Richtung);
    declare("Zaehler", Zaehler);
    declare("Leben", Leben);
    declare("Zeit_laeuft", Zeit_laeuft);
    declare("Spiel_aktiv", Spiel_aktiv);
}

Integer& frm_main2::Richtung(int player) {
    return player == 0 ? Richtung0 : Richtung1;
}

ui::Timer& frm_main2::tmr_auffuellen(int player) {
    return player == 0 ? tmr_auffuellen0 : tmr_auffuellen1;
}

std::array<ui::Label, frm_main2::kPlayers> frm_main2::counter_labels(const char* name, Single top,
                                                                     const char* text) {
    // A text label ("Leben:", "Perlen:") or, without a text, the value label beside it.
    return ui::make_array<kPlayers>([&](int i) {
        const Player& p = player_of(i);
        return text != nullptr
                   ? ui::Label(*this, ui::indexed(name, i),
                               design().exact_rect(p.text_design_left, top, 12.98f, 5.39f), text,
                               counter_style(false))
                   : ui::Label(*this, ui::indexed(name, i),
                               design().exact_rect(p.value_design_left, top, 2.34f, 5.13f), "0",
                               counter_style(true));
    });
}

// ---------------------------------------------------------------------------------------------
// Life cycle

void frm_main2::Form_Load() {
    put_balls_home();
    tmr_ball0.set_interval(50);
    tmr_ball1.set_interval(50);
    tmr_luft.set_interval(5000);
    tmr_feind.set_interval(2000);
    tmr_feindbewegen.set_interval(100);
    tmr_auffuellen0.set_interval(250);
    tmr_auffuellen0.set_enabled(false);
    tmr_auffuellen1.set_interval(250);
    tmr_auffuellen1.set_enabled(false);
    tmr_luft.set_enabled(false);
    tmr_feindbewegen.set_enabled(false);
    tmr_feind.set_enabled(false);
    set_key_preview(true);
    for (int i = 0; i < kPlayers; ++i) {
        const auto k = static_cast<std::size_t>(i);
        for (ui::Shape* shape : {&shp_luftIst[k], &shp_luftmax[k]}) shape->set_height(kAirFull);
        for (ui::Shape* shape : {&shp_luftIst[k], &shp_luftmax[k]}) shape->set_top(25);
        for (ui::Shape* shape : {&shp_luftIst[k], &shp_luftmax[k]})
            shape->set_left(player_of(i).gauge_left);
    }
    tmr_leben.set_enabled(false);
    img_leben.set_visible(false);
    img_leben.move(kItemPark, kItemPark);
    Zeit_laeuft = 1;
    Spiel_aktiv = 1;
    // The ball timers keep running: both balls can be steered, and are evaluated, before any
    // Start.
}

void frm_main2::mnu_start_Click() {
    // The whole body runs once per player; the shared steps run twice, so the pearl is placed
    // twice and only the second place is seen.
    for (int i = 0; i < kPlayers; ++i) {
        const auto k = static_cast<std::size_t>(i);
        send_fish_home(kFish);
        Zaehler[k] = 0;
        Leben[k] = 0;
        Zeit_laeuft = 1;
        Spiel_aktiv = 1;
        put_balls_home();
        img_feind[0].move(kFishHome, kFishHome);
        set_air(shp_luftIst[k], kAirFull);
        Futter_anordnen();
        lbl_leben[k].set_caption(ui::text_of(Leben[k]));
        lbl_zaehler[k].set_caption(ui::text_of(Zaehler[k]));
        tmr_ball0.set_enabled(true);
        tmr_ball1.set_enabled(true);
        tmr_feindbewegen.set_enabled(true);
        tmr_luft.set_enabled(true);
        tmr_feind.set_enabled(true);
        tmr_leben.set_enabled(true);
        Img_ball[k].set_visible(true);
        for (auto& fish : img_feind) fish.set_visible(true);
    }
}

void frm_main2::mnu_abbrechen_Click() {
    tmr_leben.set_enabled(false);
    tmr_luft.set_enabled(false);
    tmr_feindbewegen.set_enabled(false);
    tmr_ball0.set_enabled(false);
    tmr_ball1.set_enabled(false);
    tmr_auffuellen0.set_enabled(false);
    tmr_auffuellen1.set_enabled(false);
    tmr_feind.set_enabled(false);
    for (auto& ball : Img_ball) ball.set_visible(false);
    Spiel_aktiv = 0;
}

void frm_main2::Pause() {
    if (Spiel_aktiv != 1) return;
    if (Zeit_laeuft == 1) {
        tmr_luft.set_enabled(false);
        tmr_feindbewegen.set_enabled(false);
        tmr_ball0.set_enabled(false);
        tmr_ball1.set_enabled(false);
        tmr_auffuellen0.set_enabled(false);
        tmr_auffuellen1.set_enabled(false);
        tmr_feind.set_enabled(false);
        tmr_leben.set_enabled(false);
        Zeit_laeuft = 0;
    } else {
        // A refill cut short by the pause starts again only at the next touch of the air spot.
        tmr_luft.set_enabled(true);
        tmr_feindbewegen.set_enabled(true);
        tmr_ball0.set_enabled(true);
        tmr_ball1.set_enabled(true);
        tmr_feind.set_enabled(true);
        tmr_leben.set_enabled(true);
        Zeit_laeuft = 1;
    }
}

void frm_main2::mnu_Pause_Click() {
    Pause();
}

void frm_main2::mnu_beenden_Click() {
    runtime().end();
}

void frm_main2::put_balls_home() {
    for (int i = 0; i < kPlayers; ++i)
        Img_ball[static_cast<std::size_t>(i)].move(player_of(i).home_left, kHomeTop);
}

void frm_main2::send_fish_home(int count) {
    for (int f = 0; f < count; ++f)
        img_feind[static_cast<std::size_t>(f)].move(kFishHome, kFishHome);
}

// ---------------------------------------------------------------------------------------------
// Balls and keys

void frm_main2::Form_KeyDown(Integer KeyCode, Integer /*Shift*/) {
    // Steering only while a game may run and is not paused; P and Esc act in every state.
    if (Spiel_aktiv == 1 && Zeit_laeuft == 1) {
        if (const auto steer = steering(KeyCode)) Richtung(steer->key_set) = steer->direction;
    }
    if (KeyCode == keys::kP) {
        Pause();
    } else if (KeyCode == keys::kEsc) {
        mnu_abbrechen_Click();
    }
}

void frm_main2::tmr_ball0_Timer() {
    Ball0_bewegen();
    Auswerten0();
}

void frm_main2::tmr_ball1_Timer() {
    Ball1_bewegen();
    Auswerten1();
}

void frm_main2::Ball0_bewegen() {
    Ball_bewegen(0);
}

void frm_main2::Ball1_bewegen() {
    Ball_bewegen(1);
}

void frm_main2::Ball_bewegen(int player) {
    // Each ball minds only its own player's labels and direction: the balls pass over each
    // other.
    const auto k = static_cast<std::size_t>(player);
    ball_step(Img_ball[k], Richtung(player), lbl_leben[k], Leben[k], lbl_zaehler[k], Zaehler[k]);
}

// ---------------------------------------------------------------------------------------------
// Evaluation

void frm_main2::Auswerten0() {
    Auswerten(0);
}

void frm_main2::Auswerten1() {
    Auswerten(1);
}

void frm_main2::Futter_anordnen() {
    place_pearl(runtime(), img_futter);
}

void frm_main2::Auswerten(int player) {
    const auto k = static_cast<std::size_t>(player);
    const Image& ball = Img_ball[k];

    if (touches(img_futter, ball)) {
        Futter_anordnen();
        Zaehler[k] = ui::add_saturated(Zaehler[k], 1);
        lbl_zaehler[k].set_caption(ui::text_of(Zaehler[k]));
        if (Zaehler[k] == kFirstBonus || Zaehler[k] == kSecondBonus) {
            // No message: the lives label catches up at the player's next ball step.
            Futter_anordnen();
            Leben[k] = ui::add_saturated(Leben[k], 1);
            send_fish_home(kFish);
        }
    }

    // A hit sends every fish home, out of reach of both balls, so at most one hit per step.
    for (const Image& fish : img_feind) {
        if (touches(fish, ball)) fish_hit(player);
    }

    if (touches(img_luft, ball)) tmr_auffuellen(player).set_enabled(true);

    if (touches(img_leben, ball)) {
        img_leben.set_visible(false);
        img_leben.move(kItemPark, kItemPark);
        Leben[k] = ui::add_saturated(Leben[k], 1);
        lbl_leben[k].set_caption(ui::text_of(Leben[k]));
    }

    if (Leben[k] < 0) {
        runtime().beep();
        Pause();
        runtime().msg_box(player_of(player).loss_text, ui::kBoxRightAligned, "Game Over");
        mnu_abbrechen_Click();
    }
}

void frm_main2::fish_hit(int player) {
    const auto k = static_cast<std::size_t>(player);
    runtime().beep();
    Leben[k] = ui::add_saturated(Leben[k], -1);
    lbl_leben[k].set_caption(ui::text_of(Leben[k]));
    // Both balls go back, whoever was hit; they keep their directions.
    put_balls_home();
    send_fish_home(kFish);
    Pause();
    runtime().msg_box(player_of(player).fish_hit_text, ui::kBoxRightAligned, "Vorsicht");
    Pause();
}

// ---------------------------------------------------------------------------------------------
// Fish

void frm_main2::feind_aktiv() {
    // Two units per tick, the border tested before each, so a fish can turn within one call.
    move_fish(img_feind, Feind_Richtung, kFish);
    move_fish(img_feind, Feind_Richtung, kFish);
}

void frm_main2::tmr_feind_Timer() {
    turn_fish(runtime(), Feind_Richtung, kFish);
}

// ---------------------------------------------------------------------------------------------
// Air and the extra-life item

void frm_main2::tmr_luft_Timer() {
    Luft_verbrauchen();
}

void frm_main2::Luft_verbrauchen() {
    // Player 1 first; when player 1 loses here, player 2 gets no air step in this tick.
    for (int i = 0; i < kPlayers; ++i) {
        if (!Luft_verbrauchen(i)) return;
    }
}

bool frm_main2::Luft_verbrauchen(int player) {
    const auto k = static_cast<std::size_t>(player);
    ui::Shape& bar = shp_luftIst[k];
    if (bar.height() > kOutOfAir) set_air(bar, bar.height() - 1);
    if (bar.height() <= kOutOfAir) {
        runtime().beep();
        Leben[k] = ui::add_saturated(Leben[k], -1);
        lbl_leben[k].set_caption(ui::text_of(Leben[k]));
        // The ball goes to the centre, not to its start; only fish 0 and 1 go home.
        Img_ball[k].move(0, 0);
        send_fish_home(2);
        // No pause around this box: the game's timers stay on. The runtime fires none while the
        // box is open and each one that fell due once afterwards, so a box left open for long
        // costs no further life: the gauge is full again before the next air tick.
        runtime().msg_box("Ihnen ist die Luft ausgegangen!", ui::kBoxRightAligned, "Vorsicht!");
        set_air(bar, kAirFull);
    }
    if (Leben[k] < 0) {
        runtime().beep();
        runtime().msg_box("Schade, schade", ui::kBoxRightAligned, "Game Over");
        mnu_abbrechen_Click();
        return false;
    }
    return true;
}

void frm_main2::auffuellen0() {
    auffuellen(0);
}

void frm_main2::auffuellen1() {
    auffuellen(1);
}

void frm_main2::auffuellen(int player) {
    refill(shp_luftIst[static_cast<std::size_t>(player)], tmr_auffuellen(player));
}

void frm_main2::tmr_leben_Timer() {
    tmr_leben.set_enabled(false);
    ui::Runtime& rt = runtime();
    rt.randomize();
    tmr_leben.set_interval(static_cast<int>(ui::Int(60 * rt.random_next()) + 1) * 1000);
    Leben_banane();
}

void frm_main2::Leben_banane() {
    ui::Runtime& rt = runtime();
    rt.randomize();
    Banane_y = ui::to_integer(ui::Int(100 * rt.random_next()) + 2);
    Banane_x = ui::to_integer(ui::Int(100 * rt.random_next()) + 2);
    img_leben.set_visible(true);
    img_leben.move(static_cast<Single>(Banane_x - 50), static_cast<Single>(Banane_y - 50));
    // The next tick comes after the interval just drawn.
    tmr_leben.set_enabled(true);
}

}  // namespace two_player

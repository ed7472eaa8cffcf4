#include "tests/fuzz/invariants.h"

#include <algorithm>
#include <cmath>

#include "ui/test_runtime.h"

namespace fuzz {

namespace {

using single_player::frm_main;
using ui::format_single;

// The field's bounds for a sprite steered by a direction code, and the fixed places.
constexpr float kLow = -60;
constexpr float kHigh = 52;
constexpr float kFishHome = -50;
constexpr float kFish2Wait = -65;
constexpr float kFish2Entry = 60;
constexpr float kAirBottom = 55;
constexpr float kAirFull = 30;
constexpr float kGaugeLeft = 52;

bool whole(float v) {
    return std::floor(v) == v;
}

std::string at(float left, float top) {
    return "(" + format_single(left) + ", " + format_single(top) + ")";
}

std::string at(const ui::VisualControl& c) {
    return at(c.left(), c.top());
}

double distance(float left, float top, float from_left, float from_top) {
    return std::fabs(static_cast<double>(left) - from_left) +
           std::fabs(static_cast<double>(top) - from_top);
}

bool inside(float v, float low, float high) {
    return v >= low && v <= high;
}

// Where the fish stand in the form description: a fish keeps that place, within the field but
// off the grid, until a start puts it in play.
const std::array<SinglePlayerTracks::At, 7>& fish_design() {
    static const std::array<SinglePlayerTracks::At, 7> places = [] {
        std::array<SinglePlayerTracks::At, 7> result{};
        ui::TestRuntime scratch;
        const frm_main unloaded(scratch);
        for (std::size_t i = 0; i < result.size(); ++i)
            result[i] = {unloaded.img_feind[i].left(), unloaded.img_feind[i].top()};
        return result;
    }();
    return places;
}

struct Preset {
    ui::Integer anzahl_feind2;
    int luft_interval;
    ui::Integer luftverbrauch;
};

Preset preset_of(const frm_main& f, const ui::MenuItem& checked) {
    if (&checked == &f.mnu_Anfanger) return {2, 6000, 1};
    if (&checked == &f.mnu_Fortgeschrittene) return {3, 5000, 1};
    if (&checked == &f.mnu_Profis) return {4, 5000, 2};
    return {6, 5000, 3};
}

void check_counters(const frm_main& f, const Report& report) {
    if (f.Level < 0 || f.Level > 7) report("level-range", "Level=" + ui::text_of(f.Level));
    if (f.Zaehler < 0 || f.Zaehler > 9) report("pearls-range", "Zaehler=" + ui::text_of(f.Zaehler));
    // Three at a start or a preset, one more per level (seven at most), and a game ends at the
    // step that takes it below 0.
    if (f.Leben < -1 || f.Leben > 10) report("lives-range", "Leben=" + ui::text_of(f.Leben));
    if (f.Richtung < 0 || f.Richtung > 4)
        report("direction-range", "Richtung=" + ui::text_of(f.Richtung));
    for (std::size_t i = 0; i < f.Feind_Richtung.size(); ++i) {
        if (f.Feind_Richtung[i] < 0 || f.Feind_Richtung[i] > 4)
            report("direction-range",
                   "Feind_Richtung(" + std::to_string(i) + ")=" + ui::text_of(f.Feind_Richtung[i]));
    }
    const auto flag = [&](const char* name, ui::Integer v) {
        if (v != 0 && v != 1) report("flag-range", std::string(name) + "=" + ui::text_of(v));
    };
    flag("Spiel_aktiv", f.Spiel_aktiv);
    flag("Zeit_laeuft", f.Zeit_laeuft);
    flag("Ball_Bild", f.Ball_Bild);
}

void check_sprites(const frm_main& f, SinglePlayerTracks& t, std::int64_t ticks,
                   const Report& report) {
    const auto n = static_cast<double>(ticks);
    const ui::Image& ball = f.Img_ball;
    if (!inside(ball.left(), kLow, kHigh) || !inside(ball.top(), kLow, kHigh) ||
        !whole(ball.left()) || !whole(ball.top()))
        report("ball-range", "Img_ball at " + at(ball));
    // One unit per main tick, or put back on the centre (and moved on from there).
    if (t.valid && distance(ball.left(), ball.top(), t.ball.left, t.ball.top) > n &&
        distance(ball.left(), ball.top(), 0, 0) > n)
        report("ball-speed", "Img_ball from " + at(t.ball.left, t.ball.top) + " to " + at(ball) +
                                 " in at most " + std::to_string(ticks) + " ticks");
    if (ball.visible() != (f.Spiel_aktiv == 1))
        report("ball-visible", "Img_ball visible=" + std::to_string(ball.visible()) +
                                   " with Spiel_aktiv=" + ui::text_of(f.Spiel_aktiv));

    const auto& design = fish_design();
    for (std::size_t i = 0; i < f.img_feind.size(); ++i) {
        const ui::Image& fish = f.img_feind[i];
        const bool at_design = fish.left() == design[i].left && fish.top() == design[i].top;
        if (static_cast<int>(i) < f.Level &&
            (!inside(fish.left(), kLow, kHigh) || !inside(fish.top(), kLow, kHigh) ||
             (!at_design && (!whole(fish.left()) || !whole(fish.top())))))
            report("fish-range", ui::indexed("img_feind", static_cast<int>(i)) + " at " + at(fish) +
                                     " with Level=" + ui::text_of(f.Level));
        if (t.valid && distance(fish.left(), fish.top(), t.fish[i].left, t.fish[i].top) > n &&
            distance(fish.left(), fish.top(), kFishHome, kFishHome) > n)
            report("fish-speed", ui::indexed("img_feind", static_cast<int>(i)) + " from " +
                                     at(t.fish[i].left, t.fish[i].top) + " to " + at(fish) +
                                     " in at most " + std::to_string(ticks) + " ticks");
        // During a game exactly the fish in play are shown.
        if (f.Spiel_aktiv == 1 && f.Level >= 1 && fish.visible() != (static_cast<int>(i) < f.Level))
            report("fish-visible", ui::indexed("img_feind", static_cast<int>(i)) +
                                       " visible=" + std::to_string(fish.visible()) +
                                       " with Level=" + ui::text_of(f.Level));
    }

    for (std::size_t i = 0; i < f.img_Feind2.size(); ++i) {
        const ui::Image& fish = f.img_Feind2[i];
        const std::string name = ui::indexed("img_Feind2", static_cast<int>(i));
        // Entered at Left 60 and a height of -59..60, parked at (-65, 0) or (-70, 0), and
        // moved one unit to the left per step; a waiting fish drifts on beyond -65 until its
        // entry timer fires, with no bound but the time it waits.
        if (fish.left() > kFish2Entry || !whole(fish.left()) || !whole(fish.top()) ||
            !inside(fish.top(), -59, 60))
            report("fish2-range", name + " at " + at(fish));
        if (t.valid) {
            const auto& was = t.fish2[i];
            const bool drifted =
                fish.top() == was.top && fish.left() <= was.left && fish.left() >= was.left - n;
            const bool parked =
                fish.top() == 0 && fish.left() <= kFish2Wait && fish.left() >= kFish2Wait - n;
            const bool entered = fish.left() <= kFish2Entry && fish.left() >= kFish2Entry - n;
            if (!drifted && !parked && !entered)
                report("fish2-speed", name + " from " + at(was.left, was.top) + " to " + at(fish) +
                                          " in at most " + std::to_string(ticks) + " ticks");
        }
        if (static_cast<int>(i) < f.Anzahl_Feind2) {
            t.lowest_fish2_left = std::min(t.lowest_fish2_left, fish.left());
            // The step that takes a fish beyond -65 hides it, and during a game no preset can
            // show it again.
            if (f.Spiel_aktiv == 1 && f.Level >= 1 && fish.left() < kFish2Wait && fish.visible())
                report("fish2-visible", name + " shown at " + at(fish) + " while waiting");
        }
        if (const auto& h = f.Feind2_Hoehe[i]; h && (!whole(*h) || !inside(*h, -59, 60)))
            report("fish2-height", "Feind2_Hoehe(" + std::to_string(i) + ")=" + format_single(*h));
    }

    // The ball shows the picture its animation last chose.
    const ui::Picture frame =
        f.Ball_Bild == 1 ? f.img_ballbild1.picture() : f.img_ballbild2.picture();
    if (ball.picture() != frame)
        report("ball-picture", "Img_ball shows " + std::string(ui::picture_name(ball.picture())) +
                                   " with Ball_Bild=" + ui::text_of(f.Ball_Bild));
    // The air tanks never move and never hide.
    static const SinglePlayerTracks::At spot = [] {
        ui::TestRuntime scratch;
        const frm_main unloaded(scratch);
        return SinglePlayerTracks::At{unloaded.img_luft.left(), unloaded.img_luft.top()};
    }();
    if (f.img_luft.left() != spot.left || f.img_luft.top() != spot.top || !f.img_luft.visible())
        report("air-spot", "img_luft at " + at(f.img_luft) +
                               " visible=" + std::to_string(f.img_luft.visible()));

    const ui::Image& pearl = f.img_futter;
    if (pearl.visible() && (!whole(pearl.left()) || !whole(pearl.top()) ||
                            !inside(pearl.left(), -48, 51) || !inside(pearl.top(), -48, 51)))
        report("pearl-range", "img_futter at " + at(pearl));

    t.ball = {ball.left(), ball.top()};
    for (std::size_t i = 0; i < f.img_feind.size(); ++i)
        t.fish[i] = {f.img_feind[i].left(), f.img_feind[i].top()};
    for (std::size_t i = 0; i < f.img_Feind2.size(); ++i)
        t.fish2[i] = {f.img_Feind2[i].left(), f.img_Feind2[i].top()};
}

void check_air(const frm_main& f, const Report& report) {
    const ui::Shape& bar = f.shp_luftIst;
    if (bar.height() < 0 || bar.height() > kAirFull || !whole(bar.height()) ||
        bar.top() + bar.height() != kAirBottom || bar.left() != kGaugeLeft)
        report("air-gauge", "shp_luftIst left=" + format_single(bar.left()) +
                                " top=" + format_single(bar.top()) +
                                " height=" + format_single(bar.height()));
    // The tick that takes the air to 1 or less ends the game.
    if (f.Spiel_aktiv == 1 && bar.height() <= 1)
        report("air-while-playing",
               "shp_luftIst height=" + format_single(bar.height()) + " while Spiel_aktiv=1");
    const ui::Shape& frame = f.shp_luftmax;
    if (frame.height() != kAirFull || frame.top() != kAirBottom - kAirFull ||
        frame.left() != kGaugeLeft)
        report("air-frame", "shp_luftmax top=" + format_single(frame.top()) +
                                " height=" + format_single(frame.height()));
    // Parked at the bar's top, rising to 0 and parked again on the step that reaches it.
    const ui::Shape& bubble = f.shp_Blater;
    if (!(bubble.top() > 0 && bubble.top() <= kAirBottom) || bubble.left() != kGaugeLeft)
        report("bubble", "shp_Blater at " + at(bubble));
}

void check_menus_and_timers(const frm_main& f, const Report& report) {
    const ui::MenuItem* checked = checked_difficulty(f);
    if (checked == nullptr) {
        report("difficulty-check", "not exactly one difficulty entry checked");
    } else {
        const Preset p = preset_of(f, *checked);
        if (f.Anzahl_Feind2 != p.anzahl_feind2 || f.tmr_luft.interval() != p.luft_interval ||
            f.Luftverbrauch != p.luftverbrauch)
            report("preset", checked->name() +
                                 " checked with Anzahl_Feind2=" + ui::text_of(f.Anzahl_Feind2) +
                                 " tmr_luft=" + std::to_string(f.tmr_luft.interval()) +
                                 " Luftverbrauch=" + ui::text_of(f.Luftverbrauch));
    }
    const std::array<const ui::MenuItem*, 4> difficulty = {&f.mnu_Anfanger, &f.mnu_Fortgeschrittene,
                                                           &f.mnu_Profis, &f.mnu_freak};
    // Greyed from a start until the game ends.
    const bool choosable = f.Spiel_aktiv == 0 || f.Level == 0;
    for (const ui::MenuItem* m : difficulty) {
        if (m->enabled() != choosable)
            report("difficulty-enabled", m->name() + " enabled=" + std::to_string(m->enabled()) +
                                             " with Spiel_aktiv=" + ui::text_of(f.Spiel_aktiv) +
                                             " Level=" + ui::text_of(f.Level));
    }
    for (const ui::Control* c : f.controls()) {
        const auto* m = dynamic_cast<const ui::MenuItem*>(c);
        if (m == nullptr || std::find(difficulty.begin(), difficulty.end(), m) != difficulty.end())
            continue;
        if (!m->enabled() || m->checked())
            report("menu-state", m->name() + " enabled=" + std::to_string(m->enabled()) +
                                     " checked=" + std::to_string(m->checked()));
    }

    struct Fixed {
        const ui::Timer& timer;
        int interval;
    };
    for (const Fixed& fixed :
         {Fixed{f.tmr_timer1, 50}, Fixed{f.tmr_ball, 500}, Fixed{f.tmr_feindbewegen, 50},
          Fixed{f.tmr_feind, 2000}, Fixed{f.tmr_auffuellen, 250}, Fixed{f.tmr_Blater, 50},
          Fixed{f.tmr_feind2Bewegen, 50}}) {
        if (fixed.timer.interval() != fixed.interval)
            report("timer-interval",
                   fixed.timer.name() + " interval=" + std::to_string(fixed.timer.interval()));
    }
    for (std::size_t i = 0; i < f.tmr_feind2Starten.size(); ++i) {
        const ui::Timer& entry = f.tmr_feind2Starten[i];
        const auto& delay = f.Feind2_Startzeit[i];
        if (entry.interval() % 1000 != 0 || entry.interval() < 0 || entry.interval() > 9000 ||
            (delay && static_cast<float>(entry.interval()) != *delay))
            report("entry-timer", entry.name() + " interval=" + std::to_string(entry.interval()) +
                                      " Feind2_Startzeit=" +
                                      (delay ? format_single(*delay) : std::string("empty")));
    }

    const std::array<const ui::Timer*, 8> game_timers = {
        &f.tmr_timer1, &f.tmr_ball,       &f.tmr_feindbewegen, &f.tmr_feind,
        &f.tmr_luft,   &f.tmr_auffuellen, &f.tmr_Blater,       &f.tmr_feind2Bewegen};
    if (f.Spiel_aktiv == 0 || f.Zeit_laeuft == 0) {
        for (const ui::Timer* timer : game_timers) {
            if (timer->enabled())
                report(f.Spiel_aktiv == 0 ? "timers-stopped" : "timers-paused",
                       timer->name() + " on with Spiel_aktiv=" + ui::text_of(f.Spiel_aktiv) +
                           " Zeit_laeuft=" + ui::text_of(f.Zeit_laeuft));
        }
    } else {
        // Loaded or running: the ball, the fish and the main tick go; the air and the
        // second-kind fish go together (both off only between loading and the first start).
        for (const ui::Timer* timer :
             {&f.tmr_timer1, &f.tmr_ball, &f.tmr_feindbewegen, &f.tmr_feind}) {
            if (!timer->enabled()) report("timers-running", timer->name() + " off while running");
        }
        if (f.tmr_luft.enabled() != f.tmr_feind2Bewegen.enabled())
            report("timers-running", "tmr_luft enabled=" + std::to_string(f.tmr_luft.enabled()) +
                                         " but tmr_feind2Bewegen enabled=" +
                                         std::to_string(f.tmr_feind2Bewegen.enabled()));
    }
    if (f.Spiel_aktiv == 1 && f.Level >= 1 && f.lbl_level.caption() != ui::text_of(f.Level))
        report("level-label", "lbl_level shows \"" + f.lbl_level.caption() +
                                  "\" with Level=" + ui::text_of(f.Level));
}

}  // namespace

const ui::MenuItem* checked_difficulty(const frm_main& f) {
    const ui::MenuItem* found = nullptr;
    for (const ui::MenuItem* m :
         {&f.mnu_Anfanger, &f.mnu_Fortgeschrittene, &f.mnu_Profis, &f.mnu_freak}) {
        if (!m->checked()) continue;
        if (found != nullptr) return nullptr;
        found = m;
    }
    return found;
}

void check_single_player(const frm_main& form, SinglePlayerTracks& tracks, std::int64_t ticks,
                         const Report& report) {
    check_counters(form, report);
    check_sprites(form, tracks, ticks, report);
    check_air(form, report);
    check_menus_and_timers(form, report);
    tracks.valid = true;
}

void check_launcher(const launcher::frm_menu& form, const Report& report) {
    const ui::Image& ufo = form.img_menuUFO;
    if (ufo.left() != -45 || !whole(ufo.top()) || ufo.top() < -50 || ufo.top() > 50)
        report("launcher-sprite", "the sprite stands at " + at(ufo));
    if (ufo.picture() != ui::Picture::puffer_inflated &&
        ufo.picture() != ui::Picture::puffer_deflated)
        report("launcher-sprite", "the sprite shows " + std::string(picture_name(ufo.picture())));
    const ui::Shape& shot = form.shp_schuss;
    if (form.Schuss_aktiv != 0 && (shot.left() < -56 || shot.left() > 50))
        report("launcher-shot", "the shot flies at " + at(shot));
    if (form.Schuss_aktiv != (form.tmr_schuss.enabled() ? 1 : 0))
        report("launcher-shot", "Schuss_aktiv=" + std::to_string(form.Schuss_aktiv) +
                                    " but its timer " +
                                    (form.tmr_schuss.enabled() ? "runs" : "stands"));
    if (form.UFO_Richtung < 0 || form.UFO_Richtung > 2 || form.Schuss_Richtung < 0 ||
        form.Schuss_Richtung > 2 || form.Schritt != 1)
        report("launcher-codes", "UFO_Richtung=" + std::to_string(form.UFO_Richtung) +
                                     " Schuss_Richtung=" + std::to_string(form.Schuss_Richtung) +
                                     " Schritt=" + std::to_string(form.Schritt));
}

}  // namespace fuzz

#include "tests/fuzz/fuzz.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <iomanip>
#include <map>
#include <memory>
#include <ostream>
#include <random>
#include <sstream>
#include <tuple>

#include "app/forms.h"
#include "launcher/frm_menu.h"
#include "single_player/frm_main.h"
#include "two_player/frm_main2.h"
#include "ui/keys.h"
#include "ui/test_runtime.h"

namespace fuzz {

namespace {

using Kind = Event::Kind;
namespace keys = ui::keys;
// A program ends after this many events, so that a failing run replays in bounded time.
constexpr std::size_t kProgramEvents = 5000;
// Keys that the forms read, and Enter, which they ignore.
constexpr int kKeys[] = {37, 38, 39, 40, 65, 68, 83, 87, 80, 32, 27, 13};
constexpr const char* kKinds[] = {"show", "close", "key", "click", "advance"};

// True when `name` matches `pattern`, in which one '*' stands for any text.
bool matches(std::string_view pattern, std::string_view name) {
    const auto star = pattern.find('*');
    if (star == std::string_view::npos) return pattern == name;
    return name.size() + 1 >= pattern.size() && name.starts_with(pattern.substr(0, star)) &&
           name.ends_with(pattern.substr(star + 1));
}

enum class Prop { place, left, top, height, bottom, interval, value, parked };

// Every visible control of a form matching `form` whose name matches `name` keeps `prop` (place:
// Left and Top; parked: those of a hidden one) within low..high (value: every form-level
// variable of that name, but an empty one), a whole number when `whole`.
struct Range {
    const char *form, *name;
    Prop prop;
    float low, high;
    bool whole = false;
};

// Both games on their -60..60 field: a sprite steered by a direction code stays within
// -60..52; pearls and the extra-life item are placed at -48..51; each air gauge is a bar of
// Height 0..30 standing on the line 55, in a frame of 30. Second-kind fish enter at Left 60
// and drift left while they wait, hidden. A game ends at the step that takes Leben below 0.
constexpr Range kRanges[] = {
    {"frm_menu", "img_menuUFO", Prop::left, -45, -45},
    {"frm_menu", "img_menuUFO", Prop::top, -50, 50, true},
    {"frm_menu", "shp_schuss", Prop::left, -56, 50},
    {"frm_menu", "*_Richtung", Prop::value, 0, 2},
    {"frm_menu", "Schritt", Prop::value, 1, 1},
    {"frm_hilfe*", "Muschel_Zustand", Prop::value, 0, 1},
    {"frm_main*", "Img_ball*", Prop::place, -60, 52, true},
    {"frm_main*", "img_feind(*", Prop::place, -60, 52, true},
    {"frm_main*", "img_futter", Prop::place, -48, 51, true},
    {"frm_main*", "shp_luftIst*", Prop::height, 0, 30, true},
    {"frm_main*", "shp_lu*", Prop::bottom, 55, 55},
    {"frm_main*", "shp_luftmax*", Prop::height, 30, 30},
    {"frm_main*", "*Richtung*", Prop::value, 0, 4},
    {"frm_main*", "Zeit_laeuft", Prop::value, 0, 1},
    {"frm_main*", "Spiel_aktiv", Prop::value, 0, 1},
    {"frm_main", "img_Feind2(*)", Prop::left, -1e9f, 60, true},
    {"frm_main", "img_Feind2(*)", Prop::top, -59, 60, true},
    {"frm_main", "Feind2_Hoehe(*)", Prop::value, -59, 60, true},
    {"frm_main", "tmr_feind2Starten(*)", Prop::interval, 0, 9000},
    {"frm_main", "shp_lu*", Prop::left, 52, 52},
    {"frm_main", "shp_Blater", Prop::top, 0.01f, 55},
    {"frm_main", "Level", Prop::value, 0, 7},
    {"frm_main", "Zaehler", Prop::value, 0, 9},
    {"frm_main", "Leben", Prop::value, -1, 10},
    {"frm_main", "Anzahl_Feind2", Prop::value, 2, 6},
    {"frm_main", "Luftverbrauch", Prop::value, 1, 3},
    {"frm_main", "Ball_Bild", Prop::value, 0, 1},
    {"frm_main2", "img_leben", Prop::place, -48, 51, true},
    {"frm_main2", "img_leben", Prop::parked, -70, -70},
    {"frm_main2", "shp_lu*(0)", Prop::left, 52, 52},
    {"frm_main2", "shp_lu*(1)", Prop::left, -55, -55},
    {"frm_main2", "Zaehler(*)", Prop::value, 0, 32767},
    {"frm_main2", "Leben(*)", Prop::value, -1, 32767},
    {"frm_main2", "Banane_*", Prop::value, 0, 101},
    {"frm_main2", "tmr_leben", Prop::interval, 1000, 60000},
};

enum class Play { idle, waiting, playing };

template <typename F>
Play game(const ui::Form& form) {
    const F& f = dynamic_cast<const F&>(form);
    if (f.Spiel_aktiv == 0 || !f.img_futter.visible()) return Play::idle;
    return f.Zeit_laeuft == 1 ? Play::playing : Play::waiting;
}

// A player at a form: it steers `ball` with keys (right, left, down, up; 0: not that way)
// towards a `target` (aiming at its Top + aim) and presses `fire` once aimed. In a game (no
// `fire`) it clicks Start when idle, presses P when paused, and fetches air when low on it.
struct Pilot {
    const char* form;
    Play (*state)(const ui::Form&);
    const char* ball = nullptr;
    std::array<int, 4> keys{};
    const char* target = "img_futter";
    int fire = 0;
    float aim = 0;
};

constexpr std::array<int, 4> kArrows = {keys::kRight, keys::kLeft, keys::kDown, keys::kUp};
constexpr std::array<int, 4> kLetters = {keys::kD, keys::kA, keys::kS, keys::kW};
// The launcher's shot hits an entry when the sprite's Top lies within -6..+1 of the entry's.
const Pilot kPilots[] = {
    {"frm_menu", nullptr, "img_menuUFO", {0, 0, keys::kDown, keys::kUp}, "lbl_menu1(*)", 32, -3},
    {"frm_main", game<single_player::frm_main>, "Img_ball", kArrows},
    {"frm_main2", game<two_player::frm_main2>, "Img_ball(0)", kArrows},
    {"frm_main2", game<two_player::frm_main2>, "Img_ball(1)", kLetters},
};

template <typename T>
bool number(std::string_view text, T& value) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc{} && r.ptr == text.data() + text.size() && value >= 0;
}

std::vector<const ui::Control*> clickables(const ui::Form& form) {
    std::vector<const ui::Control*> out;
    for (const ui::Control* c : form.controls()) {
        if (c->kind() == ui::ControlKind::menu || c->kind() == ui::ControlKind::button)
            out.push_back(c);
    }
    return out;
}

// One program under test, checking its rules after every event.
class Program : public ui::TestRuntime {
  public:
    explicit Program(const Config& config) {
        on_box = [this](const ui::BoxRecord& box) { hold_box(box); };
        config.register_forms(*this);
        Event start{Kind::show, config.start_form};
        run(start, nullptr);
    }

    // Runs one event; a box it opens beyond its recorded holds gets one from `draw`, recorded.
    std::optional<Failure> run(Event& event, const std::function<std::int64_t()>* draw) {
        std::tie(current_, draw_, next_hold_) = std::tuple(&event, draw, 0);
        try {
            execute(event);
        } catch (const std::exception& e) {
            fail("exception", e.what());
        }
        current_ = nullptr;
        return failure_;
    }

    std::int64_t played_ms() const { return now() - idle_ms_; }

  protected:
    void form_unloading(ui::Form& form) override {
        records_.erase(&form);
        shot_top_.reset();
        TestRuntime::form_unloading(form);
    }

  private:
    void fail(std::string check, std::string detail) {
        if (!failure_) failure_ = Failure{std::move(check), std::move(detail), 0};
    }

    // Every property of every control and every variable, the log, the beeps, the next due time.
    std::vector<std::string> snapshot() {
        std::vector<std::string> s;
        for (const ui::Form* form : forms()) {
            for (const ui::Control* c : form->controls()) c->dump(s.emplace_back(c->name()));
            for (std::string& v : form->dump_variables()) s.push_back(form->name() + "." + v);
        }
        s.push_back(std::to_string(log().size()) + " log lines, " + std::to_string(beeps()) +
                    " beeps, next due " + std::to_string(scheduler().next_due().value_or(-1)));
        return s;
    }
    // While a box is open every form refuses input, and no timer fires however long it stays.
    void hold_box(const ui::BoxRecord& box) {
        if (current_ && next_hold_ == current_->holds.size())
            current_->holds.push_back(draw_ ? (*draw_)() : 0);
        const std::int64_t hold = current_ ? current_->holds[next_hold_++] : 0;
        const auto before = snapshot();
        for (const ui::Form* form : forms()) {
            const auto c = clickables(*form);
            const std::string name = form->name();
            if (key(name, 32) || (!c.empty() && click(name, c.front()->name())) || close(name))
                fail("box-not-modal", name + " took input while \"" + box.text + "\" was open");
        }
        advance(hold);
        if (snapshot() != before)
            fail("timer-during-box", "\"" + box.text + "\" open " + std::to_string(hold) + " ms");
    }

    void execute(const Event& e) {
        const bool open = form(e.form) != nullptr && !ended();
        if (e.kind == Kind::show) show(e.form);
        if (e.kind == Kind::advance) advance(e.ms);
        // A closed form takes no close, key or click any more.
        if (e.kind == Kind::close && (close(e.form) != open || (open && close(e.form))))
            fail("close", e.form + (open ? " did not close" : " closed while not open"));
        else if (e.kind == Kind::close && open && (key(e.form, 32) || click(e.form, "mnu_start")))
            fail("closed-form-runs", "a closed " + e.form + " took a key or a click");
        // Held: the first repeat comes after 500 ms, then one each 33 ms.
        for (int i = 0; e.kind == Kind::key && i < e.repeat && !failure_; ++i) {
            if (i > 0) advance(i == 1 ? 500 : 33), check();
            key(e.form, e.code);
        }
        if (e.kind == Kind::click && click(e.form, e.control) && e.control == "mnu_beenden" &&
            !ended())
            fail("end-missed", e.form + "." + e.control + " did not end the program");
        check();
    }

    void check() {
        if (!faults().empty()) fail("runtime-fault", faults().front());
        if (box_open()) fail("box-left-open", "a box is still open between events");
        if (ended()) return check_ended();
        if (forms().empty()) fail("last-window", "the program runs on with no form loaded");
        for (const ui::Form* form : forms()) check_form(*form);
    }

    void check_form(const ui::Form& form) {
        auto [at, fresh] = records_.try_emplace(&form);
        const std::vector<std::string> vars = form.dump_variables();
        for (const Range& row : kRanges) {
            if (!fresh || !matches(row.form, form.name())) continue;
            for (std::size_t i = 0; i < vars.size() && row.prop == Prop::value; ++i) {
                if (matches(row.name, vars[i].substr(0, vars[i].find('='))))
                    at->second.emplace_back(&row, nullptr, i);
            }
            for (const ui::Control* c : form.controls()) {
                if (row.prop != Prop::value && matches(row.name, c->name()))
                    at->second.emplace_back(&row, c, 0);
            }
        }
        for (const auto& [row, c, i] : at->second) {
            const auto* v = dynamic_cast<const ui::VisualControl*>(c);
            const auto* timer = dynamic_cast<const ui::Timer*>(c);
            const std::string name = c ? c->name() : vars[i].substr(0, vars[i].find('='));
            if ((v && v->visible() == (row->prop == Prop::parked)) ||
                (!c && vars[i].ends_with("=empty")))
                continue;
            float x = c ? 0 : std::stof(vars[i].substr(name.size() + 1));
            if (timer) x = static_cast<float>(timer->interval());
            if (v)
                x = row->prop == Prop::height   ? v->height()
                    : row->prop == Prop::bottom ? v->top() + v->height()
                    : row->prop == Prop::top    ? v->top()
                                                : v->left();
            const bool both = row->prop == Prop::place || row->prop == Prop::parked;
            for (const float y : {x, both ? v->top() : x}) {
                if (y < row->low || y > row->high || (row->whole && std::floor(y) != y))
                    fail(std::string(row->name) + " out of range",
                         form.name() + "." + name + " at " + ui::format_single(y));
            }
        }
        // One shot at a time: in flight exactly while its timer runs, with the Top it was fired
        // at until it is parked (at Top -55).
        const auto* menu = dynamic_cast<const launcher::frm_menu*>(&form);
        if (!menu) return;
        const float top = menu->shp_schuss.top();
        const bool flying = menu->Schuss_aktiv == 1 && top != -55;
        if (menu->Schuss_aktiv != (menu->tmr_schuss.enabled() ? 1 : 0))
            fail("launcher-shot", "Schuss_aktiv=" + ui::text_of(menu->Schuss_aktiv));
        if (flying && shot_top_ && *shot_top_ != top)
            fail("launcher-shot", "the shot in flight moved from Top " +
                                      ui::format_single(*shot_top_) + " to " +
                                      ui::format_single(top));
        shot_top_ = flying ? std::optional(top) : std::nullopt;
    }

    // After the end no handler runs: neither the clock nor any input changes anything.
    void check_ended() {
        if (idle_ms_ > 0) return;
        const auto before = snapshot();
        advance(idle_ms_ = 60000);
        for (const std::string& name : registered_forms()) {
            if (key(name, 32) || click(name, "mnu_start") || close(name) || show(name) != nullptr)
                fail("ended-runs", name + " took input after the program ended");
        }
        if (snapshot() != before) fail("ended-runs", "the clock ran on after the end");
    }

    // What the ranges of each form look at: a control, or (nullptr) the variable of that index.
    std::map<const ui::Form*,
             std::vector<std::tuple<const Range*, const ui::Control*, std::size_t>>>
        records_;
    std::optional<float> shot_top_;
    std::optional<Failure> failure_;
    Event* current_ = nullptr;
    const std::function<std::int64_t()>* draw_ = nullptr;
    std::size_t next_hold_ = 0;
    std::int64_t idle_ms_ = 0;
};

// Chooses events from the forms' own controls: keys (held now and then), clicks on menu entries
// and buttons, closes, shows, clock steps, how long boxes stay open; in long stretches a player
// at the form loaded last, as its pilot says.
class Generator {
  public:
    explicit Generator(std::uint64_t seed) : rng_(seed) {}

    Event next(const ui::TestRuntime& rt) {
        if (stretch_-- <= 0) {
            playing_ = chance(0.7);
            stretch_ = static_cast<long>(
                std::exponential_distribution<double>(playing_ ? 1 / 3000. : 1 / 300.)(rng_));
        }
        if (auto e = playing_ ? play(rt) : std::nullopt) return *e;
        return chaos(rt);
    }

    std::int64_t hold() { return chance(0.5) ? 0 : clock(chance(0.7) ? 500 : 20000).ms; }

  private:
    double u() { return std::uniform_real_distribution<double>(0, 1)(rng_); }
    bool chance(double p) { return u() < p; }
    template <typename T>
    const T& pick(const std::vector<T>& v) {
        return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng_)];
    }
    int any_key() {
        if (chance(0.55)) return kKeys[rng_() % std::size(kKeys)];
        // Two draws in two statements: their order is then the same in every build.
        const int range = chance(0.4) ? 256 : 65536;
        return static_cast<int>(rng_() % range);
    }
    // A clock step, log-uniform from 1 ms to most_ms.
    Event clock(std::int64_t most_ms) {
        const auto ms = std::llround(std::pow(static_cast<double>(most_ms), u()));
        return {.ms = std::clamp<std::int64_t>(ms, 1, most_ms)};
    }

    // Anything a loaded form takes, and now and then the same on one that is not loaded.
    Event chaos(const ui::TestRuntime& rt) {
        const auto loaded = rt.forms();
        const auto known = rt.registered_forms();
        const double r = u();
        if (r < 0.3 || loaded.empty()) return clock(chance(0.8) ? 300 : 10000);
        const ui::Form& form = *pick(loaded);
        const std::string name = chance(0.03) ? pick(known) : form.name();
        if (r < 0.68)
            return {Kind::key, name, {}, any_key(), chance(0.15) ? 2 + int(rng_() % 40) : 1};
        auto c = clickables(form);
        if (chance(0.03)) c.assign(form.controls().begin(), form.controls().end());
        if (r < 0.9) return {Kind::click, name, c.empty() ? "nichts" : pick(c)->name()};
        return r < 0.97 ? Event{Kind::show, pick(known)} : Event{Kind::close, name};
    }

    std::optional<Event> play(const ui::TestRuntime& rt) {
        const Pilot* p = nullptr;
        const ui::Form* f = nullptr;
        for (const ui::Form* form : rt.forms()) {
            for (const Pilot& q : kPilots) {  // both players of a game by turns
                if (matches(q.form, form->name()) && (f != form || chance(0.5))) p = &q, f = form;
            }
        }
        if (!p) return std::nullopt;
        const std::string& name = f->name();
        const Play state = p->state ? p->state(*f) : Play::playing;
        const bool game = p->ball && !p->fire;
        if (state == Play::idle) {
            // How low this game's player lets the air run before fetching more (0: never).
            air_low_ = static_cast<float>(rng_() % 5 * 4);
            auto c = clickables(*f);
            std::erase_if(c, [](const ui::Control* x) { return x->name() == "mnu_beenden"; });
            return Event{Kind::click, name, chance(0.2) ? pick(c)->name() : "mnu_start"};
        }
        if (game && chance(state == Play::waiting ? 0.8 : 0.01))
            return Event{Kind::key, name, {}, keys::kP};
        if (state == Play::waiting) return clock(2000);
        if (const int code = any_key(); chance(0.02) && code != 27)  // Esc would end the game
            return Event{Kind::key, name, {}, code};
        std::string& goal = goals_[p->ball];
        std::vector<std::string> targets;
        for (const ui::Control* c : f->controls()) {
            if (goal.empty() && matches(p->target, c->name())) targets.push_back(c->name());
        }
        if (goal.empty()) goal = pick(targets);
        const std::string player = std::string(p->ball).substr(8);  // "(0)" after "Img_ball"
        const auto* gauge = game ? rt.find<ui::Shape>(name, "shp_luftIst" + player) : nullptr;
        const auto* ball = rt.find<ui::Image>(name, p->ball);
        const auto* target = rt.find<ui::VisualControl>(
            name, gauge && gauge->height() <= air_low_ ? "img_luft" : goal);
        const float to_left = target->left() - ball->left();
        const float to_top = target->top() + p->aim - ball->top();
        if (p->fire != 0 && std::fabs(to_top) <= 2) {
            goal.clear();
            return Event{Kind::key, name, {}, p->fire};
        }
        // The way that brings the target nearest (every pilot can steer down).
        const std::array<float, 4> score = {to_left, -to_left, to_top, -to_top};
        std::size_t best = 2;
        for (std::size_t way = 0; way < 4; ++way) {
            if (p->keys[way] != 0 && score[way] > score[best]) best = way;
        }
        int& last = last_way_[p->ball];
        if (static_cast<int>(best) == last && !chance(0.05))
            return clock(score[best] < 8 ? 60 : 400);
        last = static_cast<int>(best);
        return Event{Kind::key, name, {}, p->keys[best]};
    }

    std::mt19937_64 rng_;
    bool playing_ = false;
    long stretch_ = 0;
    float air_low_ = 8;
    std::map<std::string, int> last_way_;
    std::map<std::string, std::string> goals_;
};

}  // namespace

Config::Config() : register_forms(app::register_forms), start_form(app::kStartForm) {}

std::string format(const std::vector<Event>& events) {
    std::ostringstream out;
    for (const Event& e : events) {
        out << kKinds[static_cast<int>(e.kind)] << " ";
        if (e.kind == Kind::advance) out << e.ms;
        if (e.kind != Kind::advance) out << e.form;
        if (e.kind == Kind::key) out << " " << e.code;
        if (e.repeat > 1) out << " x" << e.repeat;
        if (e.kind == Kind::click) out << " " << e.control;
        if (!e.holds.empty()) out << " boxes";
        for (const std::int64_t hold : e.holds) out << " " << hold;
        out << "\n";
    }
    return out.str();
}

std::optional<std::vector<Event>> parse(std::string_view text, std::string* error) {
    std::vector<Event> events;
    std::istringstream lines{std::string(text)};
    std::string line, kind, word;
    for (int n = 1; std::getline(lines, line); ++n) {
        std::istringstream in(line.substr(0, line.find('#')));
        if (!(in >> kind)) continue;
        Event e{static_cast<Kind>(std::ranges::find(kKinds, kind) - std::begin(kKinds))};
        bool good = static_cast<int>(e.kind) < 5 &&
                    (kind == "advance" ? !!(in >> word) && number(word, e.ms) : !!(in >> e.form));
        good = good && (e.kind != Kind::key || (in >> word && number(word, e.code)));
        good = good && (e.kind != Kind::click || in >> e.control);
        for (bool boxes = false; good && in >> word;) {
            if (!boxes && e.kind == Kind::key && word[0] == 'x')
                good = number(word.substr(1), e.repeat);
            else if (!boxes)
                good = boxes = word == "boxes";
            else
                good = number(word, e.holds.emplace_back());
        }
        if (!good) {
            if (error) *error = "line " + std::to_string(n) + ": unreadable event: " + line;
            return std::nullopt;
        }
        events.push_back(std::move(e));
    }
    return events;
}

std::optional<Failure> replay(const std::vector<Event>& events, const Config& config) {
    std::unique_ptr<Program> program;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (!program || program->ended()) program = std::make_unique<Program>(config);
        Event copy = events[i];
        if (auto failure = program->run(copy, nullptr)) {
            failure->event = i;
            return failure;
        }
    }
    return std::nullopt;
}

std::vector<Event> minimise(std::vector<Event> events, const Config& config) {
    const auto first = replay(events, config);
    if (!first) return events;
    events.resize(first->event + 1);
    long budget = 5'000'000;  // events replayed
    // Keeps the changed list when it still breaks the same check.
    const auto keep = [&](std::vector<Event> t) {
        if ((budget -= static_cast<long>(t.size()) + 1) < 0 || t.empty()) return false;
        const auto f = replay(t, config);
        if (!f || f->check != first->check) return false;
        events = std::move(t);
        return true;
    };
    for (bool shrunk = true; shrunk && budget > 0;) {
        shrunk = false;
        for (std::size_t chunk = std::max<std::size_t>(events.size() / 2, 1);; chunk /= 2) {
            for (std::size_t i = 0; i < events.size();) {
                auto t = events;
                t.erase(t.begin() + static_cast<std::ptrdiff_t>(i),
                        t.begin() + static_cast<std::ptrdiff_t>(std::min(i + chunk, t.size())));
                const bool dropped = keep(std::move(t));
                shrunk |= dropped;
                i += dropped ? 0 : chunk;
            }
            if (chunk <= 1) break;
        }
        for (std::size_t i = 0; i < events.size(); ++i) {
            auto t = events;
            if (!t[i].holds.empty()) shrunk |= (t[i].holds.clear(), keep(t));
            if (t = events; t[i].repeat > 1) shrunk |= (t[i].repeat = 1, keep(t));
            // The shortest clock step that still fails, by bisection.
            for (std::int64_t low = 0, high = events[i].ms; high - low > 1;) {
                const std::int64_t mid = low + (high - low) / 2;
                t = events;
                t[i].ms = mid;
                (keep(t) ? high : low) = mid;
            }
        }
    }
    return events;
}

std::vector<Fault> run(std::uint64_t seed, long events, const Config& config, std::ostream& out) {
    std::vector<Fault> faults;
    Generator generator(seed);
    const std::function<std::int64_t()> draw = [&] { return generator.hold(); };
    std::unique_ptr<Program> p;
    std::vector<Event> program;  // the events of the program running
    long programs = 0, count = 0;
    std::int64_t ms = 0;
    // A digest of every event drawn: equal for a seed in every build.
    std::uint64_t stream = 0xCBF29CE484222325ULL;
    for (long n = 0; n < events; ++n) {
        if (!p || p->ended() || program.size() >= kProgramEvents) {
            ms += p ? p->played_ms() : 0;
            p = std::make_unique<Program>(config);
            ++programs;
            program.clear();
        }
        program.push_back(generator.next(*p));
        const auto failure = p->run(program.back(), &draw);
        for (const char c : format({program.back()}))
            stream = (stream ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
        if (!failure) continue;
        ms += p->played_ms();
        p.reset();
        ++count;
        const auto known = std::ranges::find(faults, failure->check,
                                             [](const Fault& f) { return f.failure.check; });
        if (known != faults.end() && ++known->occurrences) continue;
        const Fault& fault = faults.emplace_back(*failure, 1, minimise(program, config));
        out << "# fault " << failure->check << ", seed " << seed << ", event " << program.size() - 1
            << " of program " << programs << ": " << failure->detail << "\n# shortest list ("
            << fault.events.size() << " events), muranko-fuzz --replay FILE replays it:\n"
            << format(fault.events);
    }
    ms += p ? p->played_ms() : 0;
    out << "# muranko-fuzz seed " << seed << ": " << events << " events, " << programs
        << " programs, " << std::fixed << std::setprecision(2) << static_cast<double>(ms) / 3.6e6
        << " virtual hours, stream " << std::hex << std::setw(16) << std::setfill('0') << stream
        << std::dec << ", " << count << " faults";
    for (const Fault& f : faults) out << ", " << f.failure.check << " x" << f.occurrences;
    out << "\n";
    return faults;
}

}  // namespace fuzz

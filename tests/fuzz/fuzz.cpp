#include "tests/fuzz/fuzz.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <iomanip>
#include <memory>
#include <ostream>
#include <random>
#include <sstream>
#include <tuple>

#include "app/forms.h"
#include "tests/fuzz/invariants.h"
#include "ui/test_runtime.h"

namespace fuzz {

namespace {

using Kind = Event::Kind;
// A program ends after this many events, so that a failing run replays in bounded time.
constexpr std::size_t kProgramEvents = 5000;
// A held key: the first repeat comes 500 ms after the press, then one each 33 ms.
constexpr std::int64_t kRepeatDelayMs = 500;
constexpr std::int64_t kRepeatMs = 33;
// Keys that the forms read, and Enter, which they ignore.
constexpr int kKeys[] = {37, 38, 39, 40, 65, 68, 83, 87, 80, 32, 27, 13};
constexpr const char* kKinds[] = {"show", "close", "key", "click", "advance"};

template <typename T>
bool number(std::string_view text, T& value) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc{} && r.ptr == text.data() + text.size() && value >= 0;
}

Event make(Kind kind, std::string form = {}, std::string control = {}, int code = 0) {
    Event e;
    std::tie(e.kind, e.form, e.control, e.code) = std::tuple(kind, form, control, code);
    return e;
}

std::vector<const ui::Control*> clickables(const ui::Form& form) {
    std::vector<const ui::Control*> out;
    for (const ui::Control* c : form.controls()) {
        if (c->kind() == ui::ControlKind::menu || c->kind() == ui::ControlKind::button)
            out.push_back(c);
    }
    return out;
}

bool ends_program(std::string_view form, std::string_view control) {
    return std::ranges::any_of(pilots(), [&](const Pilot& p) {
        return p.ending && matches(p.form, form) && control == p.ending;
    });
}

// One program under test, checking its rules after every event.
class Program : public ui::TestRuntime {
  public:
    Program(const Config& config, std::map<std::string, long>* reached) : reached_(reached) {
        on_log = [this](const std::string& line) {  // "@T load FORM", "@T end"
            const std::string what = line.substr(line.find(' ') + 1);
            if (what.starts_with("load ") || what == "end") count(what);
            if (what.starts_with("load ") && std::ranges::find(seen, what.substr(5)) == seen.end())
                seen.push_back(what.substr(5));
        };
        on_box = [this](const ui::BoxRecord& box) { hold_box(box); };
        Event start = make(Kind::show, config.start_form);
        run(start, {}, [&] { config.register_forms(*this); });
    }

    // Runs one event; a box it opens beyond its recorded holds gets one from `draw`, recorded.
    std::optional<Failure> run(Event& event, const std::function<std::int64_t()>& draw,
                               const std::function<void()>& before = {}) {
        std::tie(current_, draw_, next_hold_) = std::tuple(&event, &draw, 0);
        try {
            if (before) before();
            execute(event);
        } catch (const std::exception& e) {
            fail("exception", e.what());
        }
        current_ = nullptr;
        return failure_;
    }

    std::int64_t played_ms() const { return now() - idle_ms_; }
    std::vector<std::string> seen;  // forms loaded so far

  protected:
    void form_unloading(ui::Form& form) override {
        records_.erase(&form);
        TestRuntime::form_unloading(form);
    }

  private:
    // What each range of a form looks at: controls, or (nullptr) the variables of those indexes.
    struct Record {
        std::vector<std::tuple<const Range*, const ui::Control*, std::size_t>> items;
        std::vector<std::array<float, 2>> memory;  // one per rule
    };

    Record make_record(const ui::Form& form) {
        Record r;
        const std::vector<std::string> vars = form.dump_variables();
        for (const Range& row : ranges()) {
            if (!matches(row.form, form.name())) continue;
            for (std::size_t i = 0; i < vars.size() && row.prop == Prop::value; ++i) {
                if (matches(row.name, vars[i].substr(0, vars[i].find('='))))
                    r.items.emplace_back(&row, nullptr, i);
            }
            for (const ui::Control* c : form.controls()) {
                const bool fits =
                    row.prop == Prop::interval
                        ? c->kind() == ui::ControlKind::timer
                        : dynamic_cast<const ui::VisualControl*>(c) && row.prop != Prop::value;
                if (fits && matches(row.name, c->name())) r.items.emplace_back(&row, c, 0);
            }
        }
        r.memory.resize(rules().size());
        return r;
    }

    void fail(std::string check, std::string detail) {
        if (!failure_) failure_ = Failure{std::move(check), std::move(detail), 0};
    }
    void count(const std::string& what) {
        if (reached_) ++(*reached_)[what];
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
    void compare(const std::vector<std::string>& before, const char* check, std::string when) {
        const auto after = snapshot();
        const auto [x, y] = std::ranges::mismatch(before, after);
        if (x != before.end() || y != after.end())
            fail(check,
                 when + (x == before.end() || y == after.end() ? ": forms changed"
                                                               : ": " + *x + " became " + *y));
    }

    // While a box is open every form refuses input, and no timer fires however long it stays.
    void hold_box(const ui::BoxRecord& box) {
        std::int64_t hold = 0;
        if (current_ && next_hold_ < current_->holds.size()) {
            hold = current_->holds[next_hold_];
        } else if (current_ && *draw_) {
            current_->holds.push_back(hold = (*draw_)());
        }
        ++next_hold_;
        count("box " + box.title);
        if (hold > 0) count("box held open");
        const auto before = snapshot();
        for (const ui::Form* form : forms()) {
            const auto c = clickables(*form);
            const std::string name = form->name();
            if (key(name, 32) || (!c.empty() && click(name, c.front()->name())) || close(name))
                fail("box-not-modal", name + " took input while \"" + box.text + "\" was open");
        }
        advance(hold);
        compare(before, "timer-during-box",
                "\"" + box.text + "\" open " + std::to_string(hold) + " ms");
    }

    void execute(const Event& e) {
        const bool open = form(e.form) != nullptr && !ended();
        switch (e.kind) {
            case Kind::show:
                show(e.form);
                break;
            case Kind::close:  // and a closed form takes no close, key or click any more
                if (close(e.form) != open || (open && close(e.form)))
                    fail("close", e.form + (open ? " did not close" : " closed while not open"));
                else if (open && (key(e.form, 32) || click(e.form, "mnu_start")))
                    fail("closed-form-runs", "a closed " + e.form + " took a key or a click");
                break;
            case Kind::key:
                for (int i = 0; i < e.repeat && !failure_; ++i) {
                    if (i > 0) advance(i == 1 ? kRepeatDelayMs : kRepeatMs), check();
                    key(e.form, e.code);
                }
                break;
            case Kind::click:
                if (click(e.form, e.control) && ends_program(e.form, e.control) && !ended())
                    fail("end-missed", e.form + "." + e.control + " did not end the program");
                break;
            case Kind::advance:
                advance(e.ms);
                break;
        }
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
        Record& r = at->second;
        if (fresh) r = make_record(form);
        std::vector<std::string> vars;
        for (const auto& [row, control, var] : r.items) {
            if (!control && vars.empty()) vars = form.dump_variables();
            const auto* v = dynamic_cast<const ui::VisualControl*>(control);
            if (v && !v->visible()) {
                if (!std::isnan(row->park) && (v->left() != row->park || v->top() != row->park))
                    fail(std::string(row->name) + " not parked",
                         form.name() + "." + control->name() + " hidden off its park");
                continue;
            }
            const std::string& line = control ? control->name() : vars[var];
            const std::string name = line.substr(0, line.find('='));
            if (line.ends_with("=empty")) continue;
            float x = control ? 0 : std::stof(line.substr(name.size() + 1));
            if (row->prop == Prop::interval)
                x = static_cast<float>(static_cast<const ui::Timer*>(control)->interval());
            if (row->prop == Prop::left) x = v->left();
            if (row->prop == Prop::top || row->prop == Prop::bottom) x = v->top();
            if (row->prop == Prop::height || row->prop == Prop::bottom) x += v->height();
            if (x < row->low || x > row->high || (row->whole && std::floor(x) != x))
                fail(std::string(row->name) + " out of range",
                     form.name() + "." + name + " at " + ui::format_single(x) + ", not " +
                         (row->whole ? "whole " : "") + ui::format_single(row->low) + ".." +
                         ui::format_single(row->high));
        }
        for (std::size_t i = 0; i < rules().size(); ++i) {
            const Rule& rule = rules()[i];
            if (!matches(rule.form, form.name())) continue;
            if (auto breach = rule.broken(form, r.memory[i]))
                fail(rule.check, form.name() + ": " + *breach);
        }
    }

    // After the end no handler runs: neither the clock nor any input changes anything.
    void check_ended() {
        if (idle_ms_ > 0) return;
        const auto before = snapshot();
        advance(idle_ms_ = 60000);
        for (const std::string& name : seen) {
            if (key(name, 32) || click(name, "mnu_start") || close(name) || show(name) != nullptr)
                fail("ended-runs", name + " took input after the program ended");
        }
        compare(before, "ended-runs", "after the end");
    }

    std::map<std::string, long>* reached_;
    std::map<const ui::Form*, Record> records_;
    std::optional<Failure> failure_;
    Event* current_ = nullptr;
    const std::function<std::int64_t()>* draw_ = nullptr;
    std::size_t next_hold_ = 0;
    std::int64_t idle_ms_ = 0;
};

// Fresh programs one after another: the next event after an end starts a new one.
struct Programs {
    const Config& config;
    std::map<std::string, long>* reached = nullptr;
    std::unique_ptr<Program> program = nullptr;
    long count = 0;
    std::int64_t ms = 0;

    Program& current() {
        if (!program || program->ended()) {
            restart();
            program = std::make_unique<Program>(config, reached);
            ++count;
        }
        return *program;
    }
    void restart() {
        if (program) ms += program->played_ms();
        program.reset();
    }
};

}  // namespace

Config::Config() : register_forms(app::register_forms), start_form(app::kStartForm) {}

std::string format(const std::vector<Event>& events) {
    std::ostringstream out;
    for (const Event& e : events) {
        out << kKinds[static_cast<int>(e.kind)];
        if (e.kind == Kind::advance) out << " " << e.ms;
        if (e.kind != Kind::advance) out << " " << e.form;
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
        Event e;
        e.kind = static_cast<Kind>(std::ranges::find(kKinds, kind) - std::begin(kKinds));
        bool good = static_cast<int>(e.kind) < 5 &&
                    (kind == "advance" ? !!(in >> word) && number(word, e.ms) : !!(in >> e.form));
        good = good && (e.kind != Kind::key || (in >> word && number(word, e.code)));
        good = good && (e.kind != Kind::click || in >> e.control);
        for (bool boxes = false; good && in >> word;) {
            if (word == "boxes" && !boxes) {
                boxes = true;
            } else if (!boxes && e.kind == Kind::key && word[0] == 'x') {
                good = number(word.substr(1), e.repeat);
            } else {
                good = boxes && number(word, e.holds.emplace_back());
            }
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
    Programs programs{config};
    for (std::size_t i = 0; i < events.size(); ++i) {
        Event copy = events[i];
        if (auto failure = programs.current().run(copy, {})) {
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
    const auto fails = [&](const std::vector<Event>& list) {
        const auto f = replay(list, config);
        return f && f->check == first->check;
    };
    long budget = 5'000'000;  // events replayed
    // Keeps the change to event i (or from i on) when the list still fails.
    const auto attempt = [&](std::size_t i, auto change) {
        std::vector<Event> t = events;
        if (!change(t, t[i]) || (budget -= static_cast<long>(t.size()) + 1) < 0 || t.empty() ||
            !fails(t))
            return false;
        events = std::move(t);
        return true;
    };
    for (bool shrunk = true; shrunk && budget > 0;) {
        shrunk = false;
        for (std::size_t chunk = std::max<std::size_t>(events.size() / 2, 1);; chunk /= 2) {
            for (std::size_t i = 0; i < events.size();) {
                const bool dropped = attempt(i, [&](std::vector<Event>& t, Event&) {
                    const auto at = t.begin() + static_cast<std::ptrdiff_t>(i);
                    t.erase(at, at + static_cast<std::ptrdiff_t>(std::min(chunk, t.size() - i)));
                    return true;
                });
                shrunk |= dropped;
                i += dropped ? 0 : chunk;
            }
            if (chunk <= 1) break;
        }
        for (std::size_t i = 0; i < events.size(); ++i) {
            shrunk |= attempt(
                i, [](auto&, Event& e) { return !e.holds.empty() && (e.holds.clear(), true); });
            shrunk |=
                attempt(i, [](auto&, Event& e) { return e.repeat > 1 && (e.repeat = 1, true); });
            if (events[i].kind != Kind::advance) continue;
            if (i + 1 < events.size() && events[i + 1].kind == Kind::advance)
                shrunk |= attempt(i, [i](std::vector<Event>& t, Event& e) {
                    e.ms += t[i + 1].ms;
                    e.holds.insert(e.holds.end(), t[i + 1].holds.begin(), t[i + 1].holds.end());
                    t.erase(t.begin() + static_cast<std::ptrdiff_t>(i) + 1);
                    return true;
                });
            // The shortest clock step that still fails, by bisection.
            for (std::int64_t low = 0, high = events[i].ms; high - low > 1;) {
                const std::int64_t mid = low + (high - low) / 2;
                (attempt(i, [mid](auto&, Event& e) { return (e.ms = mid, true); }) ? high : low) =
                    mid;
            }
        }
    }
    return events;
}

namespace {

// Chooses events from the forms' own controls: keys (held now and then), clicks on menu entries
// and buttons, closes, shows, clock steps, how long boxes stay open; in long stretches a player
// at the form loaded last, as its pilot says.
class Generator {
  public:
    explicit Generator(std::uint64_t seed) : rng_(seed) {}

    Event next(const Program& rt) {
        for (const std::string& name : rt.seen) {  // forms of earlier programs are shown too
            if (std::ranges::find(known_, name) == known_.end()) known_.push_back(name);
        }
        if (stretch_-- <= 0) {
            playing_ = chance(0.7);
            stretch_ = static_cast<long>(
                std::exponential_distribution<double>(playing_ ? 1 / 3000. : 1 / 300.)(rng_));
        }
        if (auto e = playing_ ? play(rt) : std::nullopt) return *e;
        return chaos(rt);
    }

    std::int64_t hold() { return chance(0.5) ? 0 : clock(chance(0.7) ? 500 : 20000); }

  private:
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    template <typename T>
    const T& pick(const std::vector<T>& v) {
        return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng_)];
    }
    int any_key() {
        if (chance(0.55)) return kKeys[rng_() % std::size(kKeys)];
        return static_cast<int>(rng_() % (chance(0.4) ? 256 : 65536));
    }
    // Log-uniform from 1 ms to most_ms.
    std::int64_t clock(std::int64_t most_ms) {
        const double u = std::uniform_real_distribution<double>(0, 1)(rng_);
        return std::clamp<std::int64_t>(std::llround(std::pow(static_cast<double>(most_ms), u)), 1,
                                        most_ms);
    }
    static Event advance(std::int64_t ms) {
        Event e;
        e.ms = ms;
        return e;
    }

    // Anything a loaded form takes, and now and then the same on one that is not loaded.
    Event chaos(const Program& rt) {
        const auto loaded = rt.forms();
        const double r = std::uniform_real_distribution<double>(0, 1)(rng_);
        if (r < 0.3 || loaded.empty()) return advance(clock(chance(0.8) ? 300 : 10000));
        const ui::Form& form = *pick(loaded);
        const std::string name = chance(0.03) ? pick(known_) : form.name();
        if (r < 0.68) {
            Event e = make(Kind::key, name, {}, any_key());
            if (chance(0.15)) e.repeat = 2 + static_cast<int>(rng_() % 40);
            return e;
        }
        if (r < 0.9) {
            auto c = clickables(form);
            if (chance(0.03)) c.assign(form.controls().begin(), form.controls().end());
            return make(Kind::click, name, c.empty() ? "nichts" : pick(c)->name());
        }
        return r < 0.97 ? make(Kind::show, pick(known_)) : make(Kind::close, name);
    }

    std::optional<Event> play(const ui::TestRuntime& rt) {
        std::vector<const Pilot*> at;
        const auto loaded = rt.forms();
        const ui::Form* f = nullptr;
        for (auto it = loaded.rbegin(); it != loaded.rend() && at.empty(); ++it) {
            f = *it;
            for (const Pilot& p : pilots()) {
                if (matches(p.form, f->name())) at.push_back(&p);
            }
        }
        if (at.empty()) return std::nullopt;
        const Pilot& p = *pick(at);
        const std::string& name = f->name();
        switch (p.state(*f)) {
            case Play::idle: {
                // How low this game's player lets the air run before fetching more (0: never).
                air_low_ = static_cast<float>(rng_() % 5 * 4);
                auto c = clickables(*f);
                std::erase_if(c,
                              [&](const ui::Control* x) { return ends_program(name, x->name()); });
                return make(Kind::click, name,
                            c.empty() || !chance(0.2) ? p.start : pick(c)->name());
            }
            case Play::waiting:
                if (p.pause != 0 && chance(0.8)) return make(Kind::key, name, {}, p.pause);
                return advance(clock(2000));
            case Play::playing:
                break;
        }
        if (p.pause != 0 && chance(0.01)) return make(Kind::key, name, {}, p.pause);
        if (const int code = any_key(); chance(0.02) && code != 27)  // Esc would end the game
            return make(Kind::key, name, {}, code);
        std::string& goal = goals_[p.ball];
        if (!f->find_control(goal) || !matches(p.target, goal)) {
            std::vector<std::string> targets;
            for (const ui::Control* c : f->controls()) {
                if (matches(p.target, c->name())) targets.push_back(c->name());
            }
            goal = pick(targets);
        }
        const auto control = [&](const char* n) {
            return dynamic_cast<const ui::VisualControl*>(n ? f->find_control(n) : nullptr);
        };
        const auto* gauge = control(p.gauge);
        const auto* ball = control(p.ball);
        const auto* target = control(gauge && gauge->height() <= air_low_ ? p.spot : goal.c_str());
        const float to_left = target->left() - ball->left();
        const float to_top = target->top() + p.aim - ball->top();
        if (p.fire != 0 && std::fabs(to_top) <= 2) {
            goal.clear();
            return make(Kind::key, name, {}, p.fire);
        }
        // Each hazard with its speed in units per step, from where it was at the last look.
        std::vector<std::array<float, 4>> hazards;
        for (const ui::Control* c : f->controls()) {
            const auto* h = dynamic_cast<const ui::VisualControl*>(c);
            if (!h || !p.hazards || !h->visible() || !matches(p.hazards, c->name())) continue;
            auto& [l, t, at] = seen_at_[name + c->name()];
            const float steps = static_cast<float>(rt.now() - at) / 50;
            const auto speed = [&](float d) {
                return steps > 0 ? std::clamp(d / steps, -2.f, 2.f) : 0;
            };
            hazards.push_back({h->left(), h->top(), speed(h->left() - l), speed(h->top() - t)});
            std::tie(l, t, at) = std::tuple(h->left(), h->top(), rt.now());
        }
        // Per way: how near a hazard could come within the next steps (the touching distance
        // is 7, and a hazard may turn), then how much nearer the target gets.
        std::array<float, 4> score{};
        for (std::size_t way = 0; way < 4; ++way) {
            const float dl = way == 0 ? 1.f : way == 1 ? -1.f : 0.f;
            const float dt = way == 2 ? 1.f : way == 3 ? -1.f : 0.f;
            float clear = 8;
            for (int k = 1; k <= 10; ++k) {
                const float l = std::clamp(ball->left() + k * dl, -60.f, 52.f);
                const float t = std::clamp(ball->top() + k * dt, -60.f, 52.f);
                for (const auto& [hl, ht, vl, vt] : hazards)
                    clear = std::min(
                        clear,
                        std::max(std::fabs(hl + k * vl - l), std::fabs(ht + k * vt - t)) - k / 2.f);
            }
            score[way] = p.keys[way] == 0 ? -1e9f : clear * 1000 + dl * to_left + dt * to_top;
        }
        const auto best = static_cast<std::size_t>(std::ranges::max_element(score) - score.begin());
        int& last = last_way_[p.ball];
        if (static_cast<int>(best) == last && !chance(0.05))
            return advance(clock(score[best] < 7800 ? 60 : 400));
        last = static_cast<int>(best);
        return make(Kind::key, name, {}, p.keys[best]);
    }

    std::mt19937_64 rng_;
    bool playing_ = false;
    long stretch_ = 0;
    float air_low_ = 8;
    std::vector<std::string> known_;
    std::map<std::string, int> last_way_;
    std::map<std::string, std::string> goals_;
    std::map<std::string, std::tuple<float, float, std::int64_t>> seen_at_;
};

}  // namespace

Summary run(const Options& options, std::ostream& out) {
    Summary s;
    Programs programs{options.config, &s.reached};
    Generator generator(options.seed);
    std::vector<Event> program;
    const std::function<std::int64_t()> draw = [&] { return generator.hold(); };
    for (long number = -1; s.events < options.events; ++s.events) {
        if (program.size() >= kProgramEvents) programs.restart();
        Program& p = programs.current();
        if (programs.count != number) number = programs.count, program.clear();
        program.push_back(generator.next(p));
        const auto failure = p.run(program.back(), draw);
        if (!failure) continue;
        programs.restart();
        const auto known = std::ranges::find(s.faults, failure->check,
                                             [](const Fault& f) { return f.failure.check; });
        if (known != s.faults.end()) {
            ++known->occurrences;
            continue;
        }
        const Fault& fault = s.faults.emplace_back(*failure, 1, minimise(program, options.config));
        out << "# fault " << failure->check << ", seed " << options.seed << ", event "
            << program.size() - 1 << " of program " << number << ": " << failure->detail
            << "\n# shortest list (" << fault.events.size()
            << " events), muranko-fuzz --replay FILE replays it:\n"
            << format(fault.events);
    }
    programs.restart();
    s.programs = programs.count;
    s.virtual_hours = static_cast<double>(programs.ms) / 3.6e6;
    long faults = 0;
    std::ostringstream line;
    for (const Fault& f : s.faults) line << ", " << f.failure.check << " x" << f.occurrences;
    for (const Fault& f : s.faults) faults += f.occurrences;
    out << "# muranko-fuzz seed " << options.seed << ": " << s.events << " events, " << s.programs
        << " programs, " << std::fixed << std::setprecision(2) << s.virtual_hours
        << " virtual hours, " << faults << " faults" << line.str() << "\n";
    if (options.quiet) return s;
    out << "#   reached:";
    for (const auto& [what, n] : s.reached) out << " " << what << " x" << n << ";";
    out << "\n";
    return s;
}

}  // namespace fuzz

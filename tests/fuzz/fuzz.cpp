#include "tests/fuzz/fuzz.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <ostream>
#include <sstream>
#include <thread>

#include "app/forms.h"
#include "single_player/frm_main.h"
#include "tests/fuzz/invariants.h"

namespace fuzz {

namespace {

// The shortest interval of the timers that move sprites, in milliseconds.
constexpr std::int64_t kStepMs = 50;
// Keys the games read: the arrows, A, D, P, S, W, Esc, and two they ignore, Space and Enter.
constexpr std::array<int, 12> kGameKeys = {37, 38, 39, 40, 65, 68, 80, 83, 87, 27, 32, 13};
constexpr const char* kUnknownForm = "frm_nirgends";
constexpr const char* kUnknownControl = "nichts";

std::string poke_words(const Poke& p) {
    switch (p.kind) {
        case Poke::Kind::key:
            return "key " + p.form + " " + std::to_string(p.code);
        case Poke::Kind::click:
            return "click " + p.form + " " + p.control;
        case Poke::Kind::close:
            return "close " + p.form;
    }
    return {};
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

template <typename T>
bool number(std::string_view text, T& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

// True when the runtime should take a click on that control now: a menu entry (not a
// separator) whose menus up to the bar are all enabled, or a visible button.
bool clickable_now(const ui::TestRuntime& rt, std::string_view form, std::string_view control) {
    if (rt.ended() || rt.box_open()) return false;
    const ui::Form* f = rt.form(form);
    if (f == nullptr) return false;
    const ui::Control* c = f->find_control(control);
    if (c == nullptr) return false;
    if (const auto* item = dynamic_cast<const ui::MenuItem*>(c)) {
        for (const ui::MenuItem* m = item; m != nullptr; m = m->parent()) {
            if (!m->enabled()) return false;
        }
        return !item->is_separator();
    }
    if (const auto* button = dynamic_cast<const ui::Button*>(c)) return button->visible();
    return false;
}

bool is_clickable_kind(const ui::Control& c) {
    return c.kind() == ui::ControlKind::menu || c.kind() == ui::ControlKind::button;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Event lists as text

std::string format(const Event& event) {
    std::string line;
    switch (event.kind) {
        case Event::Kind::show:
            line = "show " + event.form;
            break;
        case Event::Kind::close:
            line = "close " + event.form;
            break;
        case Event::Kind::key:
            line = "key " + event.form + " " + std::to_string(event.code);
            break;
        case Event::Kind::click:
            line = "click " + event.form + " " + event.control;
            break;
        case Event::Kind::advance:
            line = "advance " + std::to_string(event.ms);
            break;
    }
    for (const BoxTurn& turn : event.boxes) {
        line += "\n  box " + std::to_string(turn.hold_ms);
        for (const Poke& p : turn.pokes) line += " " + poke_words(p);
    }
    return line;
}

std::string format(const std::vector<Event>& events) {
    std::string text;
    for (const Event& e : events) text += format(e) + "\n";
    return text;
}

std::optional<std::vector<Event>> parse(std::string_view text, std::string* error) {
    std::vector<Event> events;
    int line_number = 0;
    const auto bad = [&](const std::string& why) -> std::optional<std::vector<Event>> {
        if (error) *error = "line " + std::to_string(line_number) + ": " + why;
        return std::nullopt;
    };
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++line_number;
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        const auto w = words(line);
        if (w.empty()) continue;
        const std::string_view command = w[0];
        if (command == "box") {
            if (events.empty()) return bad("box before any event");
            BoxTurn turn;
            if (w.size() < 2 || !number(w[1], turn.hold_ms) || turn.hold_ms < 0)
                return bad("box needs its hold in milliseconds");
            std::size_t i = 2;
            while (i < w.size()) {
                Poke p;
                if (w[i] == "key" && i + 2 < w.size() && number(w[i + 2], p.code)) {
                    p.kind = Poke::Kind::key;
                    p.form = w[i + 1];
                    i += 3;
                } else if (w[i] == "click" && i + 2 < w.size()) {
                    p.kind = Poke::Kind::click;
                    p.form = w[i + 1];
                    p.control = w[i + 2];
                    i += 3;
                } else if (w[i] == "close" && i + 1 < w.size()) {
                    p.kind = Poke::Kind::close;
                    p.form = w[i + 1];
                    i += 2;
                } else {
                    return bad("unreadable input in a box: " + std::string(w[i]));
                }
                turn.pokes.push_back(std::move(p));
            }
            events.back().boxes.push_back(std::move(turn));
            continue;
        }
        Event e;
        if (command == "show" && w.size() == 2) {
            e.kind = Event::Kind::show;
            e.form = w[1];
        } else if (command == "close" && w.size() == 2) {
            e.kind = Event::Kind::close;
            e.form = w[1];
        } else if (command == "key" && w.size() == 3 && number(w[2], e.code)) {
            e.kind = Event::Kind::key;
            e.form = w[1];
        } else if (command == "click" && w.size() == 3) {
            e.kind = Event::Kind::click;
            e.form = w[1];
            e.control = w[2];
        } else if (command == "advance" && w.size() == 2 && number(w[1], e.ms) && e.ms >= 0) {
            e.kind = Event::Kind::advance;
        } else {
            return bad("unreadable event: " + std::string(line));
        }
        events.push_back(std::move(e));
    }
    return events;
}

// ---------------------------------------------------------------------------------------------
// A program under test

Config::Config()
    : register_forms(app::register_forms),
      start_form(app::kStartForm),
      // Every form of the game package; those not registered yet must be refused by show.
      form_names({"frm_menu", "frm_start", "frm_main", "frm_hilfe", "frm_Tastatur", "frm_ueber",
                  "frm_start2", "frm_main2", "frm_hilfe2", "frm_Tastatur2", "frm_ueber2"}) {}

struct Session::Snapshot {
    std::vector<std::string> lines;
    std::size_t log = 0;
    int beeps = 0;
    std::size_t armed = 0;
    std::optional<std::int64_t> next_due;
    bool ended = false;
    bool operator==(const Snapshot&) const = default;
};

namespace {
// What the backend draws of a control, to tell which controls changed between two events.
struct Look {
    ui::Rect rect;
    bool visible = false;
    ui::Picture picture = ui::Picture::none;
    std::string caption;
    bool checked = false;
    bool enabled = false;
    bool operator==(const Look& o) const {
        return rect.left == o.rect.left && rect.top == o.rect.top && rect.width == o.rect.width &&
               rect.height == o.rect.height && visible == o.visible && picture == o.picture &&
               caption == o.caption && checked == o.checked && enabled == o.enabled;
    }
};

Look look_of(const ui::Control& c) {
    Look look;
    switch (c.kind()) {
        case ui::ControlKind::image:
            look.picture = static_cast<const ui::Image&>(c).picture();
            break;
        case ui::ControlKind::label:
            look.caption = static_cast<const ui::Label&>(c).caption();
            break;
        case ui::ControlKind::menu:
            look.checked = static_cast<const ui::MenuItem&>(c).checked();
            look.enabled = static_cast<const ui::MenuItem&>(c).enabled();
            return look;
        case ui::ControlKind::timer:
            return look;
        case ui::ControlKind::shape:
        case ui::ControlKind::button:
            break;
    }
    const auto& v = static_cast<const ui::VisualControl&>(c);
    look.rect = v.rect();
    look.visible = v.visible();
    return look;
}
}  // namespace

struct Session::Tracks {
    int frm_main_load = -1;
    SinglePlayerTracks frm_main;
    // Per form: the load it was taken from and the look of each control.
    std::map<std::string, std::pair<int, std::vector<Look>>, std::less<>> looks;
};

Session::Session(const Config& config, Coverage& coverage)
    : config_(config), coverage_(coverage), tracks_(std::make_unique<Tracks>()) {
    rt_.on_log = [this](const std::string& line) {
        // "@T load FORM"
        const auto w = words(line);
        if (w.size() == 3 && w[1] == "load") {
            const std::string name(w[2]);
            ++loads_[name];
            if (std::find(seen_forms_.begin(), seen_forms_.end(), name) == seen_forms_.end())
                seen_forms_.push_back(name);
        }
    };
    rt_.on_box = [this](const ui::BoxRecord& box) { on_box(box); };
    try {
        if (config_.register_forms) config_.register_forms(rt_);
        if (rt_.show(config_.start_form) == nullptr && !rt_.ended())
            fail("start", "the start form " + config_.start_form + " did not show");
        if (!failure_) check_after(Event{});
    } catch (const std::exception& e) {
        fail("exception", std::string("starting the program: ") + e.what());
    }
}

Session::~Session() = default;

std::vector<std::string> Session::known_forms() const {
    std::vector<std::string> names;
    for (const std::string& name : config_.form_names) {
        if (rt_.knows_form(name)) names.push_back(name);
    }
    if (rt_.knows_form(config_.start_form) &&
        std::find(names.begin(), names.end(), config_.start_form) == names.end())
        names.push_back(config_.start_form);
    for (const std::string& name : seen_forms_) {
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

void Session::fail(std::string check, std::string detail) {
    if (!failure_) failure_ = Failure{std::move(check), std::move(detail), 0};
}

Session::Snapshot Session::snapshot() {
    Snapshot s;
    for (const ui::Form* form : rt_.forms()) {
        for (const ui::Control* c : form->controls()) {
            std::string line = form->name() + "." + c->name();
            c->dump(line);
            s.lines.push_back(std::move(line));
        }
        for (std::string& v : form->dump_variables()) s.lines.push_back(form->name() + "." + v);
    }
    s.log = rt_.log().size();
    s.beeps = rt_.beeps();
    s.armed = rt_.scheduler().armed_count();
    s.next_due = rt_.scheduler().next_due();
    s.ended = rt_.ended();
    return s;
}

namespace {
std::string first_difference(const std::vector<std::string>& before,
                             const std::vector<std::string>& after) {
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        if (before[i] != after[i]) return "\"" + before[i] + "\" became \"" + after[i] + "\"";
    }
    if (before.size() != after.size()) return "the set of controls changed";
    return "the log, the beeps or the timers' schedule changed";
}
}  // namespace

void Session::on_box(const ui::BoxRecord& box) {
    ++coverage_.boxes;
    ++boxes_in_event_;
    if (box.title == "Bravo!") ++coverage_.level_ups;
    if (box.title == "Super!") ++coverage_.wins;
    if (box.title == "Vorsicht!") ++coverage_.fish_hits;
    if (box.title == "Game Over") ++coverage_.game_overs;
    if (box.text == "Ihnen ist die Luft ausgegangen!") ++coverage_.out_of_air;
    if (!rt_.box_open()) fail("box-not-open", "a box ran its turn while the runtime had none open");

    BoxTurn turn;
    if (current_ != nullptr && next_turn_ < current_->boxes.size()) {
        turn = current_->boxes[next_turn_];
    } else if (current_ != nullptr && draw_ != nullptr && *draw_) {
        turn = (*draw_)(*this);
        current_->boxes.push_back(turn);
    }
    ++next_turn_;
    if (turn.pokes.empty() && turn.hold_ms == 0) return;

    const Snapshot before = snapshot();
    for (const Poke& p : turn.pokes) {
        bool taken = false;
        switch (p.kind) {
            case Poke::Kind::key:
                taken = rt_.key(p.form, p.code);
                break;
            case Poke::Kind::click:
                taken = rt_.click(p.form, p.control);
                break;
            case Poke::Kind::close:
                taken = rt_.close(p.form);
                break;
        }
        if (taken) {
            fail("box-not-modal",
                 poke_words(p) + " was taken while the box \"" + box.text + "\" was open");
        } else {
            ++coverage_.refused_pokes;
        }
    }
    if (turn.hold_ms > 0) {
        ++coverage_.held_boxes;
        rt_.advance(turn.hold_ms);
    }
    const Snapshot after = snapshot();
    if (!(after == before))
        fail("timer-during-box", "while the box \"" + box.text + "\" was open for " +
                                     std::to_string(turn.hold_ms) +
                                     " ms: " + first_difference(before.lines, after.lines));
}

std::optional<Failure> Session::run(Event& event, const std::function<BoxTurn(Session&)>& draw) {
    if (failure_) return failure_;
    current_ = &event;
    draw_ = &draw;
    next_turn_ = 0;
    boxes_in_event_ = 0;
    try {
        execute(event);
    } catch (const ui::UnknownForm& e) {
        // A form of the package that is not built yet; any other name is the code's fault.
        if (std::find(config_.form_names.begin(), config_.form_names.end(), e.name()) ==
            config_.form_names.end())
            fail("exception", e.what());
    } catch (const std::exception& e) {
        fail("exception", e.what());
    }
    current_ = nullptr;
    draw_ = nullptr;
    if (!failure_) {
        try {
            check_after(event);
        } catch (const std::exception& e) {
            fail("exception", e.what());
        }
    }
    return failure_;
}

void Session::execute(Event& e) {
    bool refused = false;
    switch (e.kind) {
        case Event::Kind::show: {
            const bool known = rt_.knows_form(e.form) && !rt_.ended();
            ui::Form* before = rt_.form(e.form);
            const int loads_before = loads_[e.form];
            ui::Form* shown = nullptr;
            try {
                shown = rt_.show(e.form);
            } catch (const ui::UnknownForm&) {
            }
            refused = shown == nullptr;
            if (!known && (shown != nullptr || loads_[e.form] != loads_before)) {
                fail("show-unknown", "show " + e.form + " loaded a form nobody registered");
            } else if (before != nullptr && !rt_.ended() &&
                       (shown != before || loads_[e.form] != loads_before)) {
                fail("show-reloaded", "show " + e.form + " loaded the form again");
            } else if (shown != nullptr && rt_.form(e.form) != shown) {
                fail("show-not-loaded", "show " + e.form + " returned a form that is not loaded");
            }
            break;
        }
        case Event::Kind::close: {
            const bool expected = rt_.form(e.form) != nullptr && !rt_.ended();
            const bool taken = rt_.close(e.form);
            refused = !taken;
            if (taken != expected) {
                fail("close-result", "close " + e.form + (taken ? " taken" : " refused"));
            } else if (taken) {
                if (rt_.form(e.form) != nullptr)
                    fail("close-still-loaded", e.form + " still loaded after its window closed");
                else if (rt_.key(e.form, kGameKeys[0]) || rt_.click(e.form, "mnu_start"))
                    fail("closed-form-runs", "a closed " + e.form + " took a key or a click");
                else if (rt_.forms().empty() && !rt_.ended())
                    fail("last-window", "the program runs on with no window left");
            }
            break;
        }
        case Event::Kind::key: {
            const bool expected = rt_.form(e.form) != nullptr && !rt_.ended();
            const bool taken = rt_.key(e.form, e.code);
            refused = !taken;
            if (taken != expected)
                fail("key-result", "key " + e.form + " " + std::to_string(e.code) +
                                       (taken ? " taken" : " refused"));
            break;
        }
        case Event::Kind::click: {
            const bool expected = clickable_now(rt_, e.form, e.control);
            const bool taken = rt_.click(e.form, e.control);
            refused = !taken;
            if (taken != expected)
                fail("click-result",
                     "click " + e.form + " " + e.control + (taken ? " taken" : " refused"));
            if (taken && e.control == "mnu_start") ++coverage_.games;
            break;
        }
        case Event::Kind::advance: {
            rt_.advance(e.ms);
            if (!rt_.ended()) {
                const auto due = rt_.scheduler().next_due();
                if (due && *due <= rt_.now())
                    fail("timer-left-due", "a timer due at " + std::to_string(*due) +
                                               " had not fired when the clock stood at " +
                                               std::to_string(rt_.now()));
            }
            break;
        }
    }
    refused_ = refused;
    if (refused) ++coverage_.refused_events;
}

void Session::check_after(const Event& event) {
    if (!rt_.faults().empty()) fail("runtime-fault", rt_.faults().front());
    if (rt_.box_open()) fail("box-left-open", "a box is still open between events");
    if (rt_.ended()) {
        check_ended();
        return;
    }
    std::size_t armed = 0;
    for (const ui::Form* form : rt_.forms()) {
        for (const ui::Control* c : form->controls()) {
            if (const auto* t = dynamic_cast<const ui::Timer*>(c); t != nullptr && t->armed())
                ++armed;
        }
    }
    if (armed != rt_.scheduler().armed_count())
        fail("timer-schedule", std::to_string(rt_.scheduler().armed_count()) +
                                   " timers scheduled, but the loaded forms have " +
                                   std::to_string(armed) + " armed");
    check_changes();

    // The most steps a 50 ms timer can make in this event: one per 50 ms of clock outside
    // boxes, plus one in each stretch between boxes (a timer that fell behind fires once).
    const std::int64_t outside_boxes = event.kind == Event::Kind::advance ? event.ms : 0;
    const std::int64_t ticks = outside_boxes / kStepMs + boxes_in_event_ + 1;
    const Report report = [this](std::string check, std::string detail) {
        fail(std::move(check), std::move(detail));
    };
    for (const ui::Form* form : rt_.forms()) {
        if (const auto* f = dynamic_cast<const single_player::frm_main*>(form)) {
            Tracks& t = *tracks_;
            const int load = loads_[form->name()];
            if (t.frm_main_load != load) {
                t.frm_main_load = load;
                t.frm_main = SinglePlayerTracks{};
            }
            check_single_player(*f, t.frm_main, ticks, report);
            coverage_.highest_level = std::max<int>(coverage_.highest_level, f->Level);
            coverage_.lowest_fish2_left =
                std::min<double>(coverage_.lowest_fish2_left, t.frm_main.lowest_fish2_left);
        }
        if (const auto* m = dynamic_cast<const launcher::frm_menu*>(form))
            check_launcher(*m, report);
    }
}

void Session::check_changes() {
    // Every control whose look changed was reported to the form, and the form told its
    // backend, so that a window redraws what changed and nothing else needs a full redraw.
    for (ui::Form* form : rt_.forms()) {
        const auto reported = form->take_changes();
        const bool noticed =
            std::find(rt_.noticed.begin(), rt_.noticed.end(), form) != rt_.noticed.end();
        if (!reported.empty() && !noticed)
            fail("unnoticed-change", form->name() + " has changes but did not tell its backend");
        auto& [load, looks] = tracks_->looks[form->name()];
        const auto& controls = form->controls();
        const bool comparable = load == loads_[form->name()] && looks.size() == controls.size();
        for (std::size_t i = 0; i < controls.size(); ++i) {
            // A timer has no look; it keeps its place so that the looks stay in step.
            Look now = look_of(*controls[i]);
            if (comparable && !(now == looks[i]) &&
                std::find(reported.begin(), reported.end(), controls[i]) == reported.end())
                fail("unreported-change", form->name() + "." + controls[i]->name() +
                                              " changed without telling its form");
            if (i < looks.size()) {
                looks[i] = std::move(now);
            } else {
                looks.push_back(std::move(now));
            }
        }
        looks.resize(controls.size());
        load = loads_[form->name()];
    }
    rt_.noticed.clear();
}

void Session::check_ended() {
    // After End no handler runs: neither the clock nor any input changes anything.
    const Snapshot before = snapshot();
    const std::int64_t idle = 60000;
    rt_.advance(idle);
    idle_ms_ += idle;
    for (const std::string& name : known_forms()) {
        if (rt_.key(name, kGameKeys[0]) || rt_.click(name, "mnu_start") || rt_.close(name))
            fail("ended-runs", name + " took input after the program ended");
        if (rt_.show(name) != nullptr) fail("ended-runs", "show " + name + " after the end");
    }
    if (!(snapshot() == before))
        fail("ended-runs", "the program changed after it ended: " +
                               first_difference(before.lines, snapshot().lines));
    if (!rt_.faults().empty()) fail("runtime-fault", rt_.faults().front());
}

// ---------------------------------------------------------------------------------------------
// Replaying

Replayer::Replayer(Config config) : config_(std::move(config)) {}
Replayer::~Replayer() = default;

std::int64_t Replayer::current_ms() const {
    return session_ ? session_->played_ms() : 0;
}

Session& Replayer::session() {
    if (!session_ || session_->ended()) {
        virtual_ms_ += current_ms();
        session_.reset();
        session_ = std::make_unique<Session>(config_, coverage_);
        ++programs_;
    }
    return *session_;
}

void Replayer::restart() {
    virtual_ms_ += current_ms();
    session_.reset();
}

std::optional<Failure> Replayer::run(Event& event, const std::function<BoxTurn(Session&)>& draw) {
    auto failure = session().run(event, draw);
    if (config_.progress) ++*config_.progress;
    return failure;
}

std::optional<Failure> replay(const std::vector<Event>& events, const Config& config,
                              std::vector<bool>* refused) {
    Replayer replayer(config);
    if (refused) refused->clear();
    for (std::size_t i = 0; i < events.size(); ++i) {
        Event copy = events[i];
        auto failure = replayer.run(copy);
        if (refused) refused->push_back(replayer.session().refused());
        if (failure) {
            failure->event = i;
            return failure;
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// Shrinking

namespace {

class Shrinker {
  public:
    Shrinker(const std::function<bool(const std::vector<Event>&)>& fails, long budget)
        : fails_(fails), budget_(budget) {}

    bool test(const std::vector<Event>& events) {
        if (spent_ >= budget_) return false;
        spent_ += static_cast<long>(std::max<std::size_t>(events.size(), 1));
        return fails_(events);
    }

    // Clock steps that follow one another as one: the clock fires the same timers at the
    // same times either way, and the boxes open in the same order.
    void join_clock_steps(std::vector<Event>& events) {
        std::vector<Event> joined;
        for (const Event& e : events) {
            if (!joined.empty() && e.kind == Event::Kind::advance &&
                joined.back().kind == Event::Kind::advance) {
                joined.back().ms += e.ms;
                joined.back().boxes.insert(joined.back().boxes.end(), e.boxes.begin(),
                                           e.boxes.end());
            } else {
                joined.push_back(e);
            }
        }
        if (joined.size() == events.size() || test(joined)) {
            events = std::move(joined);
            return;
        }
        // Some check between two steps sees the fault: join the pairs that still fail.
        for (std::size_t i = events.size() - 1; i-- > 0;) {
            if (events[i].kind != Event::Kind::advance ||
                events[i + 1].kind != Event::Kind::advance)
                continue;
            std::vector<Event> t = events;
            t[i].ms += t[i + 1].ms;
            t[i].boxes.insert(t[i].boxes.end(), t[i + 1].boxes.begin(), t[i + 1].boxes.end());
            t.erase(t.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            if (test(t)) events = std::move(t);
        }
    }

    // The shortest tail of the list that fails on a fresh program, trying lengths 1, 2, 4...
    void tail(std::vector<Event>& events) {
        for (std::size_t m = 1; m < events.size(); m *= 2) {
            std::vector<Event> t(events.end() - static_cast<std::ptrdiff_t>(m), events.end());
            if (test(t)) {
                events = std::move(t);
                return;
            }
        }
    }

    // Zeller's ddmin: drop chunks (or keep one) while the list still fails.
    void ddmin(std::vector<Event>& events) {
        std::size_t n = 2;
        while (events.size() >= 2) {
            const std::size_t size = events.size();
            const std::size_t chunk = (size + n - 1) / n;
            bool reduced = false;
            for (std::size_t start = 0; start < size && !reduced; start += chunk) {
                const auto b = events.begin() + static_cast<std::ptrdiff_t>(start);
                const auto e =
                    events.begin() + static_cast<std::ptrdiff_t>(std::min(start + chunk, size));
                std::vector<Event> only(b, e);
                if (only.size() < size && test(only)) {
                    events = std::move(only);
                    n = 2;
                    reduced = true;
                }
            }
            for (std::size_t start = 0; start < size && !reduced; start += chunk) {
                std::vector<Event> rest(events.begin(),
                                        events.begin() + static_cast<std::ptrdiff_t>(start));
                if (start + chunk < size)
                    rest.insert(rest.end(),
                                events.begin() + static_cast<std::ptrdiff_t>(start + chunk),
                                events.end());
                if (test(rest)) {
                    events = std::move(rest);
                    n = std::max<std::size_t>(n - 1, 2);
                    reduced = true;
                }
            }
            if (!reduced) {
                if (n >= size || spent_ >= budget_) break;
                n = std::min(n * 2, size);
            }
        }
    }

    // Simpler events: no box turns, no input in a box, no hold, shorter clock steps.
    void simplify(std::vector<Event>& events) {
        for (std::size_t i = 0; i < events.size(); ++i) {
            const auto attempt = [&](auto change) {
                std::vector<Event> t = events;
                if (!change(t[i])) return false;
                if (!test(t)) return false;
                events = std::move(t);
                return true;
            };
            if (!events[i].boxes.empty()) {
                attempt([](Event& e) {
                    e.boxes.clear();
                    return true;
                });
                for (std::size_t b = 0; b < events[i].boxes.size(); ++b) {
                    attempt([b](Event& e) {
                        if (e.boxes[b].pokes.empty()) return false;
                        e.boxes[b].pokes.clear();
                        return true;
                    });
                    attempt([b](Event& e) {
                        if (e.boxes[b].hold_ms == 0) return false;
                        e.boxes[b].hold_ms = 0;
                        return true;
                    });
                }
                while (!events[i].boxes.empty() && events[i].boxes.back() == BoxTurn{})
                    events[i].boxes.pop_back();
            }
            if (events[i].kind == Event::Kind::advance) {
                // The shortest step that still fails, by bisection.
                std::int64_t low = 0;
                std::int64_t high = events[i].ms;
                while (high - low > 1) {
                    const std::int64_t mid = low + (high - low) / 2;
                    if (attempt([mid](Event& e) {
                            e.ms = mid;
                            return true;
                        }))
                        high = mid;
                    else
                        low = mid;
                }
            }
        }
    }

    // Drops single events until none can go.
    void one_by_one(std::vector<Event>& events) {
        bool dropped = true;
        while (dropped && spent_ < budget_) {
            dropped = false;
            for (std::size_t i = events.size(); i-- > 0;) {
                std::vector<Event> t = events;
                t.erase(t.begin() + static_cast<std::ptrdiff_t>(i));
                if (!t.empty() && test(t)) {
                    events = std::move(t);
                    dropped = true;
                }
            }
        }
    }

  private:
    const std::function<bool(const std::vector<Event>&)>& fails_;
    long budget_;
    long spent_ = 0;
};

}  // namespace

std::vector<Event> minimise(std::vector<Event> events,
                            const std::function<bool(const std::vector<Event>&)>& fails,
                            long budget) {
    Shrinker shrinker(fails, budget);
    shrinker.join_clock_steps(events);
    shrinker.tail(events);
    shrinker.ddmin(events);
    shrinker.join_clock_steps(events);
    shrinker.simplify(events);
    shrinker.one_by_one(events);
    shrinker.join_clock_steps(events);
    return events;
}

std::vector<Event> minimise(std::vector<Event> events, const Config& config, long budget) {
    std::vector<bool> refused;
    const auto first = replay(events, config, &refused);
    if (!first) return events;
    events.resize(first->event + 1);
    const std::string check = first->check;
    const std::function<bool(const std::vector<Event>&)> fails =
        [&](const std::vector<Event>& list) {
            const auto f = replay(list, config);
            return f && f->check == check;
        };
    // What the program refused changed nothing; the failing event itself stays.
    std::vector<Event> taken;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (!refused[i] || i + 1 == events.size()) taken.push_back(events[i]);
    }
    budget -= static_cast<long>(events.size());
    if (taken.size() < events.size() && fails(taken)) events = std::move(taken);
    budget -= static_cast<long>(events.size());
    return minimise(std::move(events), fails, budget);
}

// ---------------------------------------------------------------------------------------------
// Choosing events

Generator::Generator(std::uint64_t seed) : rng_(seed) {}

bool Generator::chance(double p) {
    return std::uniform_real_distribution<double>(0, 1)(rng_) < p;
}

std::size_t Generator::below(std::size_t n) {
    return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
}

int Generator::key_code() {
    const double r = std::uniform_real_distribution<double>(0, 1)(rng_);
    if (r < 0.55) return kGameKeys[below(kGameKeys.size())];
    if (r < 0.75) return static_cast<int>(below(256));
    return static_cast<int>(below(65536));
}

std::int64_t Generator::clock_step(std::int64_t most_ms) {
    // Log-uniform from 1 ms to most_ms: as many steps of 1-10 ms as of 1-10 s.
    const double u = std::uniform_real_distribution<double>(0, 1)(rng_);
    const auto ms = static_cast<std::int64_t>(std::exp(u * std::log(static_cast<double>(most_ms))));
    return std::clamp<std::int64_t>(ms, 1, most_ms);
}

std::string Generator::pick_form(Session& session, bool loaded_only) {
    const ui::TestRuntime& rt = session.runtime();
    const auto loaded = rt.forms();
    if (!loaded.empty() && (loaded_only || chance(0.95)))
        return loaded[below(loaded.size())]->name();
    auto names = session.known_forms();
    if (chance(0.2) || names.empty()) return kUnknownForm;
    return names[below(names.size())];
}

std::string Generator::pick_control(Session& session, const std::string& form) {
    if (const ui::Form* f = session.runtime().form(form)) {
        auto& names = clickables_[form];
        names.clear();
        for (const ui::Control* c : f->controls()) {
            if (is_clickable_kind(*c)) names.push_back(c->name());
        }
        // Now and then a control that takes no clicks, or none at all.
        if (chance(0.05) && !f->controls().empty())
            return f->controls()[below(f->controls().size())]->name();
    }
    const auto it = clickables_.find(form);
    if (it == clickables_.end() || it->second.empty() || chance(0.02)) return kUnknownControl;
    return it->second[below(it->second.size())];
}

Poke Generator::poke(Session& session) {
    Poke p;
    const double r = std::uniform_real_distribution<double>(0, 1)(rng_);
    p.form = pick_form(session, false);
    if (r < 0.5) {
        p.kind = Poke::Kind::key;
        p.code = key_code();
    } else if (r < 0.85) {
        p.kind = Poke::Kind::click;
        p.control = pick_control(session, p.form);
    } else {
        p.kind = Poke::Kind::close;
    }
    return p;
}

BoxTurn Generator::box_turn(Session& session) {
    BoxTurn turn;
    if (chance(0.5)) turn.hold_ms = clock_step(chance(0.7) ? 500 : 10000);
    if (chance(0.4)) {
        const std::size_t n = 1 + below(3);
        for (std::size_t i = 0; i < n; ++i) turn.pokes.push_back(poke(session));
    }
    return turn;
}

Event Generator::chaos(Session& session) {
    Event e;
    const double r = std::uniform_real_distribution<double>(0, 1)(rng_);
    if (r < 0.33) {
        e.kind = Event::Kind::advance;
        e.ms = clock_step(chance(0.8) ? 200 : 10000);
    } else if (r < 0.72) {
        e.kind = Event::Kind::key;
        e.form = pick_form(session, false);
        e.code = key_code();
    } else if (r < 0.9) {
        e.kind = Event::Kind::click;
        e.form = pick_form(session, false);
        e.control = pick_control(session, e.form);
    } else if (r < 0.98) {
        e.kind = Event::Kind::show;
        const auto names = session.known_forms();
        e.form = names.empty() || chance(0.1) ? kUnknownForm : names[below(names.size())];
    } else {
        e.kind = Event::Kind::close;
        e.form = pick_form(session, false);
    }
    return e;
}

std::optional<Event> Generator::play(Session& session) {
    using single_player::frm_main;
    ui::TestRuntime& rt = session.runtime();
    auto* f = dynamic_cast<frm_main*>(rt.form("frm_main"));
    if (f == nullptr) {
        if (!rt.knows_form("frm_main")) return std::nullopt;
        Event e;
        e.kind = Event::Kind::show;
        e.form = "frm_main";
        return e;
    }
    const auto key = [&](int code) {
        Event e;
        e.kind = Event::Kind::key;
        e.form = f->name();
        e.code = code;
        return e;
    };
    const auto click = [&](std::string control) {
        Event e;
        e.kind = Event::Kind::click;
        e.form = f->name();
        e.control = std::move(control);
        return e;
    };
    if ((f->Spiel_aktiv == 0 || f->Level == 0) && chance(0.5)) {
        if (chance(0.2) && f->mnu_Anfanger.enabled()) {
            // Another difficulty for the next game.
            const std::array<const char*, 4> entries = {"mnu_Anfanger", "mnu_Fortgeschrittene",
                                                        "mnu_Profis", "mnu_freak"};
            return click(entries[below(entries.size())]);
        }
        // How low this game's player lets the air run before fetching more (0: never), so that
        // some games run out of air, from any level the refills leave.
        constexpr std::array<float, 6> kAirThresholds = {0, 2, 4, 7, 12, 12};
        air_threshold_ = kAirThresholds[below(kAirThresholds.size())];
        return click("mnu_start");
    }
    if (f->Spiel_aktiv == 1 && f->Zeit_laeuft == 0 && chance(0.8)) return key(80);
    // Now and then a pause during a refill, which ends it: the air is left at any level.
    if (f->tmr_auffuellen.enabled() && f->Zeit_laeuft == 1 && chance(0.05)) return key(80);

    // The pilot: towards the pearl, or the air tanks when the air runs low, choosing the way
    // on which no fish comes within reach in the next steps (the fish keep their directions,
    // the second-kind fish swim left).
    const ui::Image& ball = f->Img_ball;
    struct Way {
        int code;
        float dl;
        float dt;
    };
    const auto along = [](ui::Integer direction) {
        switch (direction) {
            case 1:
                return Way{0, 0, 1};
            case 2:
                return Way{0, 0, -1};
            case 3:
                return Way{0, 1, 0};
            case 4:
                return Way{0, -1, 0};
            default:
                return Way{0, 0, 0};
        }
    };
    constexpr int kLookAhead = 12;
    // The first step at which a fish would touch the ball going that way; kLookAhead + 1: none.
    const auto danger = [&](const Way& w) {
        for (int k = 1; k <= kLookAhead; ++k) {
            const float bl = std::clamp(ball.left() + static_cast<float>(k) * w.dl, -60.f, 52.f);
            const float bt = std::clamp(ball.top() + static_cast<float>(k) * w.dt, -60.f, 52.f);
            const auto touching = [&](float l, float t) {
                return std::fabs(l - bl) <= 8 && std::fabs(t - bt) <= 8;
            };
            for (int i = 0; i < f->Level && i < 7; ++i) {
                const auto n = static_cast<std::size_t>(i);
                const Way fw = along(f->Feind_Richtung[n]);
                const float fl = std::clamp(f->img_feind[n].left() + k * fw.dl, -60.f, 52.f);
                const float ft = std::clamp(f->img_feind[n].top() + k * fw.dt, -60.f, 52.f);
                if (touching(fl, ft)) return k;
            }
            for (int i = 0; i < f->Anzahl_Feind2 && i < 6; ++i) {
                const ui::Image& fish = f->img_Feind2[static_cast<std::size_t>(i)];
                if (touching(fish.left() - static_cast<float>(k), fish.top())) return k;
            }
        }
        return kLookAhead + 1;
    };
    const bool threatened = danger(along(f->Richtung)) <= kLookAhead;
    const double r = std::uniform_real_distribution<double>(0, 1)(rng_);
    if (r < (threatened ? 0.3 : 0.6)) {
        Event e;
        e.kind = Event::Kind::advance;
        // Short steps while a fish is near, so that the pilot can dodge.
        e.ms = clock_step(threatened ? 60 : 1000);
        return e;
    }
    if (r < 0.96) {
        float to_left = f->img_futter.left();
        float to_top = f->img_futter.top();
        if (f->shp_luftIst.height() <= air_threshold_ && !f->tmr_auffuellen.enabled()) {
            to_left = -55;
            to_top = 48;
        }
        std::array<Way, 4> ways = {{{39, 1, 0}, {37, -1, 0}, {40, 0, 1}, {38, 0, -1}}};
        const float dl = to_left - ball.left();
        const float dt = to_top - ball.top();
        const auto gain = [&](const Way& w) { return w.dl * dl + w.dt * dt; };
        const auto score = [&](const Way& w) { return danger(w) * 1000.f + gain(w); };
        const Way chosen =
            *std::max_element(ways.begin(), ways.end(),
                              [&](const Way& a, const Way& b) { return score(a) < score(b); });
        const ui::Integer direction = chosen.code == 40   ? 1
                                      : chosen.code == 38 ? 2
                                      : chosen.code == 39 ? 3
                                                          : 4;
        if (direction != f->Richtung || chance(0.1)) {
            // The letters steer like the arrows.
            int code = chosen.code;
            if (chance(0.3)) code = code == 39 ? 68 : code == 37 ? 65 : code == 40 ? 83 : 87;
            return key(code);
        }
        Event e;
        e.kind = Event::Kind::advance;
        e.ms = clock_step(threatened ? 60 : 400);
        return e;
    }
    if (r < 0.99) {
        // Any key but Esc, which would end the game.
        const int code = key_code();
        return key(code == 27 ? 32 : code);
    }
    // Any entry or button but those that end the game or the program.
    std::string control = pick_control(session, f->name());
    if (control == "mnu_start" || control == "mnu_abbrechen" || control == "mnu_beenden")
        control = "mnu_Pause";
    return click(control);
}

Event Generator::next(Session& session) {
    if (stretch_ <= 0 && playing_) {
        // A game that got far is played to its end, so that the last levels are reached too.
        const auto* f =
            dynamic_cast<const single_player::frm_main*>(session.runtime().form("frm_main"));
        if (f != nullptr && f->Spiel_aktiv == 1 && f->Level >= 3) stretch_ = 100;
    }
    if (stretch_ <= 0) {
        // Long stretches of play, to get deep into games, between short ones of anything.
        playing_ = chance(0.7);
        const double mean = playing_ ? 3000 : 300;
        stretch_ = 1 + static_cast<long>(std::exponential_distribution<double>(1 / mean)(rng_));
    }
    --stretch_;
    if (playing_) {
        if (auto e = play(session)) return *e;
    }
    return chaos(session);
}

// ---------------------------------------------------------------------------------------------
// A fuzz run

Summary run(const Options& options_in, std::ostream& out) {
    Options options = options_in;
    std::atomic<long> progress{0};
    options.config.progress = &progress;
    Summary summary;
    Replayer replayer(options.config);
    Generator generator(options.seed);
    std::vector<Event> program;
    long program_number = 0;

    // The watchdog: an event that never returns (a handler or the clock in an endless loop)
    // is reported with the events of its program. The run's thread is stuck inside that
    // event then, and touches neither the list nor the stream.
    std::mutex mutex;
    std::condition_variable wake;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        long seen = -1;
        auto since = std::chrono::steady_clock::now();
        while (!wake.wait_for(lock, std::chrono::seconds(1), [&] { return done; })) {
            const auto now = std::chrono::steady_clock::now();
            if (progress != seen) {
                seen = progress;
                since = now;
            } else if (now - since >= std::chrono::seconds(options.hang_seconds)) {
                out << "# fault hang, seed " << options.seed << ": no event finished within "
                    << options.hang_seconds << " s, in program " << program_number
                    << " (or while shrinking its list); its events up to the one that hangs:\n"
                    << format(program) << std::flush;
                std::_Exit(1);
            }
        }
    });
    struct Join {
        std::thread& thread;
        std::mutex& mutex;
        std::condition_variable& wake;
        bool& done;
        ~Join() {
            {
                const std::lock_guard lock(mutex);
                done = true;
            }
            wake.notify_all();
            thread.join();
        }
    } join{watchdog, mutex, wake, done};

    const std::function<BoxTurn(Session&)> draw = [&](Session& s) { return generator.box_turn(s); };
    const long progress_every = std::max<long>(options.events / 10, 1);
    for (long i = 0; i < options.events; ++i) {
        if (static_cast<long>(program.size()) >= options.program_events) replayer.restart();
        Session& session = replayer.session();
        if (replayer.programs() != program_number) {
            program_number = replayer.programs();
            program.clear();
        }
        program.push_back(generator.next(session));
        ++summary.events;
        const auto failure = replayer.run(program.back(), draw);
        if (!options.quiet && (i + 1) % progress_every == 0)
            out << "  " << (i + 1) << " events, " << replayer.programs() << " programs\n"
                << std::flush;
        if (!failure) continue;

        auto known =
            std::find_if(summary.faults.begin(), summary.faults.end(),
                         [&](const Fault& f) { return f.failure.check == failure->check; });
        if (known != summary.faults.end()) {
            ++known->occurrences;
        } else {
            Fault fault;
            fault.failure = *failure;
            fault.failure.event = program.size() - 1;
            fault.occurrences = 1;
            const auto again = replay(program, options.config);
            if (!again || again->check != failure->check) {
                fault.failure.detail +=
                    " (did not happen again when replayed: the run is not "
                    "deterministic)";
                fault.events = program;
            } else {
                fault.events = minimise(program, options.config, options.minimise_budget);
            }
            const auto minimal = replay(fault.events, options.config);
            out << "# fault " << fault.failure.check << ", seed " << options.seed
                << ", after event " << fault.failure.event << " of program " << program_number
                << ": " << fault.failure.detail << "\n";
            if (minimal) out << "# shortest list: " << minimal->detail << "\n";
            out << "# " << fault.events.size()
                << " events; muranko-fuzz --replay FILE replays them:\n"
                << format(fault.events) << std::flush;
            summary.faults.push_back(std::move(fault));
        }
        replayer.restart();
    }
    summary.programs = replayer.programs();
    summary.virtual_hours = static_cast<double>(replayer.virtual_ms()) / 3.6e6;
    summary.coverage = replayer.coverage();
    return summary;
}

void print_summary(const Options& options, const Summary& s, std::ostream& out) {
    long faults = 0;
    for (const Fault& f : s.faults) faults += f.occurrences;
    std::ostringstream hours;
    hours.precision(2);
    hours << std::fixed << s.virtual_hours;
    out << "muranko-fuzz seed " << options.seed << ": " << s.events << " events, " << s.programs
        << " programs, " << hours.str() << " virtual game-hours, " << faults << " faults";
    if (!s.faults.empty()) {
        out << " (";
        for (std::size_t i = 0; i < s.faults.size(); ++i)
            out << (i ? ", " : "") << s.faults[i].failure.check << " x" << s.faults[i].occurrences;
        out << ")";
    }
    out << "\n";
    if (options.quiet) return;
    const Coverage& c = s.coverage;
    out << "  reached: " << c.games << " games, " << c.level_ups << " level-ups (highest level "
        << c.highest_level << "), " << c.wins << " wins, " << c.fish_hits << " fish hits, "
        << c.game_overs << " game overs (" << c.out_of_air << " out of air)\n"
        << "  boxes: " << c.boxes << ", " << c.held_boxes << " held open while the clock ran, "
        << c.refused_pokes << " inputs refused while open; " << c.refused_events
        << " events refused between boxes\n"
        << "  a waiting second-kind fish drifted as far as Left " << c.lowest_fish2_left << "\n";
}

}  // namespace fuzz

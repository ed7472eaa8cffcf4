// The fuzz harness: drives every registered form through the entry points the backend uses
// (keys, clicks, window closes, shows, the clock, message boxes answered at random moments),
// checks after every event the rules that hold in every state, and shrinks a failing run to a
// short list of events that still fails.
//
// An event list is replayable on its own: every value an event needs (key code, control name,
// milliseconds, what the user does while each box is open) is recorded in it, and the runtime
// draws its random numbers from its fixed-seed sequence, so the same list always does the same.
// A list starts on a fresh program (a new ui::TestRuntime with the start form shown); when the
// program ends, the next event starts a fresh one.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ui/test_runtime.h"

namespace fuzz {

// Input tried while a message box is open; the runtime must refuse it.
struct Poke {
    enum class Kind { key, click, close };
    Kind kind = Kind::key;
    std::string form;
    std::string control;  // click
    int code = 0;         // key
    bool operator==(const Poke&) const = default;
};

// What the user does while one box is open: tries the pokes, then leaves the box open for
// hold_ms of the clock, then closes it.
struct BoxTurn {
    std::int64_t hold_ms = 0;
    std::vector<Poke> pokes;
    bool operator==(const BoxTurn&) const = default;
};

struct Event {
    enum class Kind { show, close, key, click, advance };
    Kind kind = Kind::advance;
    std::string form;     // show, close, key, click
    std::string control;  // click
    int code = 0;         // key: a 16-bit virtual-key code
    std::int64_t ms = 0;  // advance
    // The answers to the boxes this event opens, in the order they open. A box beyond the
    // recorded ones is closed at once.
    std::vector<BoxTurn> boxes;
    bool operator==(const Event&) const = default;
};

// One line per event in the scenario runner's words ("key frm_main 38", "advance 120"),
// each box turn on its own indented line below its event ("  box 3000 key frm_main 38").
std::string format(const Event& event);
std::string format(const std::vector<Event>& events);
// Reads what format() writes; '#' starts a comment. On a bad line returns nullopt and says why.
std::optional<std::vector<Event>> parse(std::string_view text, std::string* error = nullptr);

// A broken rule: which check (a short stable name, used to tell faults apart), what was seen,
// and the index of the event after which it was seen.
struct Failure {
    std::string check;
    std::string detail;
    std::size_t event = 0;
};

// How a program is set up.
struct Config {
    // Registers the forms on a fresh runtime (the program's own list by default).
    std::function<void(ui::Runtime&)> register_forms;
    // The form a fresh program shows first.
    std::string start_form;
    // Names that the harness tries to show; those that the runtime does not know are shown too,
    // and must be refused. Names that forms load themselves are learnt as the run goes.
    std::vector<std::string> form_names;
    // Counts every event run, for a watchdog that tells a hang from slow progress.
    std::atomic<long>* progress = nullptr;
    Config();
};

// What the runs reached, to tell whether the fuzzing gets anywhere.
struct Coverage {
    long games = 0;          // accepted clicks on a start entry
    long level_ups = 0;      // "Bravo!" boxes
    long wins = 0;           // "Super!" boxes
    long fish_hits = 0;      // "Vorsicht!" boxes
    long game_overs = 0;     // "Game Over" boxes
    long out_of_air = 0;     // of which the air ran out
    long boxes = 0;          // every box
    long held_boxes = 0;     // boxes during which the clock moved
    long refused_pokes = 0;  // input refused while a box was open
    long refused_events = 0;
    int highest_level = 0;
    double lowest_fish2_left = 0;  // the furthest a waiting second-kind fish drifted
};

class Session;

// The test runtime, noting which forms told their backend that something changed.
class ProbeRuntime : public ui::TestRuntime {
  public:
    // Forms that reported a first change since the harness last took their changes.
    std::vector<const ui::Form*> noticed;

  protected:
    void form_changed(ui::Form& form) override { noticed.push_back(&form); }
};

// Runs events on fresh programs, starting another whenever one ends.
class Replayer {
  public:
    explicit Replayer(Config config);
    ~Replayer();
    // Runs one event. With `draw` set, boxes the event opens beyond its recorded turns get a
    // turn from `draw`, appended to the event. Returns the first broken rule.
    std::optional<Failure> run(Event& event,
                               const std::function<BoxTurn(Session&)>& draw = nullptr);
    Session& session();
    // Ends the current program; the next event starts a fresh one.
    void restart();
    long programs() const { return programs_; }
    std::int64_t virtual_ms() const { return virtual_ms_ + current_ms(); }
    Coverage& coverage() { return coverage_; }

  private:
    std::int64_t current_ms() const;

    Config config_;
    std::unique_ptr<Session> session_;
    long programs_ = 0;
    std::int64_t virtual_ms_ = 0;
    Coverage coverage_;
};

// Replays the list from a fresh program; the first broken rule, with its event index. With
// `refused` set, also says for each event run whether its entry point refused it.
std::optional<Failure> replay(const std::vector<Event>& events, const Config& config = {},
                              std::vector<bool>* refused = nullptr);

// Shrinks a failing list to one that still breaks the same check and from which no single
// event can be dropped: cut after the failing event, drop the refused events, join the clock
// steps that follow one another, keep the shortest failing tail, then delta debugging, then
// simpler events (shorter clock steps, no box turns). `budget` caps the events replayed while
// shrinking; the list is as short as it got by then.
inline constexpr long kMinimiseBudget = 10'000'000;
std::vector<Event> minimise(std::vector<Event> events, const Config& config = {},
                            long budget = kMinimiseBudget);
// The same over any predicate (true: the list still fails).
std::vector<Event> minimise(std::vector<Event> events,
                            const std::function<bool(const std::vector<Event>&)>& fails,
                            long budget = kMinimiseBudget);

struct Options {
    std::uint64_t seed = 1;
    long events = 100000;
    bool quiet = false;
    // A program is ended after this many events, so that a failing run replays in bounded time.
    long program_events = 20000;
    long minimise_budget = kMinimiseBudget;
    // A run in which no event finishes for this long is a hang: it is reported with the events
    // of its program, and the process exits.
    int hang_seconds = 60;
    Config config;
};

struct Fault {
    Failure failure;
    long occurrences = 0;
    std::vector<Event> events;  // the shortest list found that breaks the same check
};

struct Summary {
    long events = 0;
    long programs = 0;
    double virtual_hours = 0;
    std::vector<Fault> faults;  // one per check that broke
    Coverage coverage;
};

// A fuzz run. Writes progress and each fault with its shortest event list to `out` (only the
// faults and the summary when quiet).
Summary run(const Options& options, std::ostream& out);
void print_summary(const Options& options, const Summary& summary, std::ostream& out);

// One program under test: its runtime and what the checks remember between events.
class Session {
  public:
    Session(const Config& config, Coverage& coverage);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ui::TestRuntime& runtime() { return rt_; }
    const Config& config() const { return config_; }
    bool ended() const { return rt_.ended(); }
    // Milliseconds of the program's clock spent playing (not counting the checks after its end).
    std::int64_t played_ms() const { return rt_.now() - idle_ms_; }
    // Form names worth showing: the registered ones and those seen loading.
    std::vector<std::string> known_forms() const;

    std::optional<Failure> run(Event& event, const std::function<BoxTurn(Session&)>& draw);
    // Whether the entry point refused the last event run.
    bool refused() const { return refused_; }

  private:
    struct Snapshot;
    struct Tracks;
    Snapshot snapshot();
    void on_box(const ui::BoxRecord& box);
    void fail(std::string check, std::string detail);
    void execute(Event& event);
    void check_after(const Event& event);
    void check_changes();
    void check_ended();

    const Config& config_;
    Coverage& coverage_;
    ProbeRuntime rt_;
    std::optional<Failure> failure_;
    std::map<std::string, int, std::less<>> loads_;  // "load FORM" lines seen, per form
    std::vector<std::string> seen_forms_;
    // The event running and where its box turns come from.
    Event* current_ = nullptr;
    const std::function<BoxTurn(Session&)>* draw_ = nullptr;
    std::size_t next_turn_ = 0;
    int boxes_in_event_ = 0;
    bool refused_ = false;
    std::int64_t idle_ms_ = 0;
    std::unique_ptr<Tracks> tracks_;
};

// Chooses events at random from a seeded generator, looking at the program to pick names that
// exist and, part of the time, to steer the ball the way a player would.
class Generator {
  public:
    explicit Generator(std::uint64_t seed);
    Event next(Session& session);
    BoxTurn box_turn(Session& session);

  private:
    int key_code();
    std::int64_t clock_step(std::int64_t most_ms);
    Event chaos(Session& session);
    std::optional<Event> play(Session& session);
    std::string pick_form(Session& session, bool loaded_only);
    std::string pick_control(Session& session, const std::string& form);
    Poke poke(Session& session);
    bool chance(double p);
    std::size_t below(std::size_t n);

    std::mt19937_64 rng_;
    bool playing_ = false;
    float air_threshold_ = 12;
    long stretch_ = 0;
    // Menu entries and buttons of every form seen loaded, to click on when it is not.
    std::map<std::string, std::vector<std::string>, std::less<>> clickables_;
};

}  // namespace fuzz

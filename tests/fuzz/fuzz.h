// The fuzz harness: one driver over every registered form. Its events come from the forms' own
// entry points (keys, held keys, clicks on their menu entries and buttons, close boxes, shows,
// the clock, boxes held open); after every event it checks the runtime's rules and each form's
// invariants (invariants.h), and shrinks a failing run to a short event list. A list replays on
// its own (the runtime's random numbers come from a fixed seed), from a fresh program with the
// start form shown; after the program ends, the next event starts a fresh one.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/runtime.h"

namespace fuzz {

struct Event {
    enum class Kind { show, close, key, click, advance };
    Kind kind = Kind::advance;
    std::string form;     // all but advance
    std::string control;  // click
    int code = 0;         // key: a 16-bit virtual-key code
    int repeat = 1;       // key: held for that many key-downs of the auto-repeat
    std::int64_t ms = 0;  // advance
    // How long each box the event opens stays open while the clock moves; more close at once.
    std::vector<std::int64_t> holds;
    bool operator==(const Event&) const = default;
};

// One line per event: "key frm_main 38", "key frm_menu 40 x12", "advance 120 boxes 3000 0".
std::string format(const std::vector<Event>& events);
// Reads what format() writes; '#' starts a comment. On a bad line returns nullopt and says why.
std::optional<std::vector<Event>> parse(std::string_view text, std::string* error = nullptr);

// A broken rule: a short stable name of the check, what was seen, and the event's index.
struct Failure {
    std::string check;
    std::string detail;
    std::size_t event = 0;
};

struct Config {
    std::function<void(ui::Runtime&)> register_forms;  // the program's own forms by default
    std::string start_form;
    Config();
};

// Replays the list on fresh programs; the first broken rule.
std::optional<Failure> replay(const std::vector<Event>& events, const Config& config = {});
// The list cut after its first failure, then shrunk while it breaks the same check: chunks
// and single events dropped, boxes closed at once, keys not held, clock steps shortened.
std::vector<Event> minimise(std::vector<Event> events, const Config& config = {});

struct Options {
    std::uint64_t seed = 1;
    long events = 100000;
    bool quiet = false;
    Config config;
};

// One per check that broke, with the shortest list found that breaks it.
struct Fault {
    Failure failure;
    long occurrences = 0;
    std::vector<Event> events;
};

struct Summary {
    long events = 0, programs = 0;
    double virtual_hours = 0;
    std::vector<Fault> faults;
    std::map<std::string, long> reached;  // "load FORM", "box TITLE", "end", ... counted
};

// A fuzz run; prints each new fault with its shortest event list to `out`, then the summary
// (what the run reached too, unless quiet).
Summary run(const Options& options, std::ostream& out);

}  // namespace fuzz

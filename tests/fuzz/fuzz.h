// The fuzz harness: drives every registered form with events from its own entry points (keys,
// held keys, clicks on menu entries and buttons, close boxes, shows, the clock, boxes held
// open), checks the runtime's rules and each form's invariants after every event, and shrinks a
// failing run to a short event list. A list replays on its own (the random numbers come from a
// fixed seed) from a fresh program with the start form shown; after an end, the next event
// starts a fresh one.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/runtime.h"

namespace fuzz {

struct Event {
    enum class Kind { show, close, key, click, advance };
    Kind kind = Kind::advance;
    std::string form{}, control{};  // control: click
    int code = 0;                   // key: a 16-bit virtual-key code
    int repeat = 1;                 // key: held for that many key-downs of the auto-repeat
    std::int64_t ms = 0;            // advance
    // How long each box the event opens stays open while the clock moves.
    std::vector<std::int64_t> holds{};
    bool operator==(const Event&) const = default;
};

// One line per event: "key frm_main 38", "key frm_menu 40 x12", "advance 120 boxes 3000 0";
// parse() reads that ('#' starts a comment), or says which line it cannot read.
std::string format(const std::vector<Event>& events);
std::optional<std::vector<Event>> parse(std::string_view text, std::string* error = nullptr);

// A broken rule: a short stable name of the check, what was seen, and the event's index.
struct Failure {
    std::string check, detail;
    std::size_t event = 0;
};

struct Config {
    std::function<void(ui::Runtime&)> register_forms;  // the program's own forms by default
    std::string start_form;
    Config();
};

// The first broken rule of the list, replayed on fresh programs.
std::optional<Failure> replay(const std::vector<Event>& events, const Config& config = {});
// The list cut after its first failure and shrunk while it breaks the same check.
std::vector<Event> minimise(std::vector<Event> events, const Config& config = {});

// A check that broke, how often, and the shortest list found that breaks it.
struct Fault {
    Failure failure;
    long occurrences = 0;
    std::vector<Event> events;
};

// Runs `events` random events; prints each new fault with its shortest list, then a summary.
std::vector<Fault> run(std::uint64_t seed, long events, const Config& config, std::ostream& out);

}  // namespace fuzz

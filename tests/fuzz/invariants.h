// What holds on each form between any two events, as data: ranges of the controls' properties
// and of the form-level variables, a few rules that a range cannot say, and how a player uses
// each form, so that runs get deep into games.
#pragma once

#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ui/form.h"

namespace fuzz {

// True when `name` matches `pattern`, in which one '*' stands for any text.
bool matches(std::string_view pattern, std::string_view name);

enum class Prop { left, top, height, bottom, interval, value };

// Every control of a form matching `form` whose name matches `name` keeps `prop` within
// low..high (Prop::value: every form-level variable of that name; an empty one is exempt), a
// whole number when `whole`. A hidden control is exempt, but stands at (park, park) if given.
struct Range {
    const char* form;
    const char* name;
    Prop prop;
    float low, high;
    bool whole = false;
    float park = NAN;
};

// A rule over one form, with two numbers it keeps between checks (zero at load): the breach.
struct Rule {
    const char* form;
    const char* check;
    std::optional<std::string> (*broken)(const ui::Form&, std::array<float, 2>& memory);
};

enum class Play { idle, waiting, playing };

// A player at a form. Idle, it clicks `start`; waiting, it presses `pause` (0: lets the clock
// run); playing, it steers `ball` with keys (right, left, down, up; 0: not that way) towards a
// `target` (aiming at its Top + aim), or the air spot when the gauge runs low, clear of the
// hazards, and presses `fire` once aimed. `ending` ends the program.
struct Pilot {
    const char* form;
    Play (*state)(const ui::Form&);
    const char* ball = nullptr;
    std::array<int, 4> keys{};
    const char* target = nullptr;
    float aim = 0;
    int fire = 0;
    const char *spot = nullptr, *gauge = nullptr, *hazards = nullptr, *start = nullptr;
    int pause = 0;
    const char* ending = nullptr;
};

std::span<const Range> ranges();
std::span<const Rule> rules();
std::span<const Pilot> pilots();

}  // namespace fuzz

// Rules both games share: the border bounce and the one-unit step of every sprite that moves
// by a direction code, the touching test, the pearl placement, the fish, and the air gauge.
// All in game units (the field runs from -60 to +60 on both axes; a position is a sprite's
// top-left corner).
#pragma once

#include <optional>
#include <span>

#include "ui/controls.h"
#include "ui/types.h"

namespace ui {
class Runtime;
}

namespace games {

// Direction codes.
inline constexpr ui::Integer kStill = 0;
inline constexpr ui::Integer kDown = 1;
inline constexpr ui::Integer kUp = 2;
inline constexpr ui::Integer kRight = 3;
inline constexpr ui::Integer kLeft = 4;

// Turns a sprite away from a border it stands on: four tests in this order, each overwriting
// the direction, so at a corner the left/right test wins. Bounds included; the sprite's size
// is not consulted.
void bounce(const ui::Image& sprite, ui::Integer& direction);

// Moves the sprite one unit in its direction; kStill (or any other code) moves nothing.
void step(ui::Image& sprite, ui::Integer direction);

// The bounce, then the step: one move of a sprite steered by a direction code.
inline void bounce_and_step(ui::Image& sprite, ui::Integer& direction) {
    bounce(sprite, direction);
    step(sprite, direction);
}

// The steering keys, the arrows and W, A, S, D, compared in this order: Down, Up, Right, Left,
// then S, W, D, A. Key set 0 is the arrows, set 1 the letters; the single-player game steers its
// one ball with both, the two-player game gives each player one set. nullopt for other keys.
struct Steering {
    int key_set;
    ui::Integer direction;
};
std::optional<Steering> steering(ui::Integer key_code);

// A ball's step on its tick: the lives and pearls labels show their counts first, so a count
// changed elsewhere shows at the next step; then the bounce and the one-unit step.
void ball_step(ui::Image& ball, ui::Integer& direction, ui::Label& lives_label, ui::Integer lives,
               ui::Label& pearls_label, ui::Integer pearls);

// An object touches the ball when their Left values and their Top values each differ by at
// most 7 units. The four comparisons run in this order in single precision, each reading the
// positions afresh; neither size nor visibility counts.
bool touches(const ui::Image& object, const ui::Image& ball);

// Shows the pearl at a new random place: Top from the first draw, Left from the second, each
// a whole number from -48 to 51. The place is not compared with anything on the field.
void place_pearl(ui::Runtime& runtime, ui::Image& pearl);

// One step of each of the first `count` fish, in index order.
void move_fish(std::span<ui::Image> fish, std::span<ui::Integer> directions, int count);

// A new random direction (1 to 4) for each of the first `count` fish, each after its own
// randomize.
void turn_fish(ui::Runtime& runtime, std::span<ui::Integer> directions, int count);

// The air gauge: the bar's Height is the air level (0 to 30, full 30); it grows upwards from
// the line y = 55, so Top is always 55 - Height.
inline constexpr ui::Single kAirFull = 30;
inline constexpr ui::Single kAirBottom = 55;
void set_air(ui::Shape& bar, ui::Single level);

// One refill step: a unit of air while the bar is below full; at full the refill timer stops
// instead, one tick after the bar was filled.
void refill(ui::Shape& bar, ui::Timer& refill_timer);

}  // namespace games

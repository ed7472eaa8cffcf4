#include "games/rules.h"

#include <array>

#include "ui/keys.h"
#include "ui/runtime.h"

namespace games {

namespace {
constexpr ui::Single kLowBound = -60;
constexpr ui::Single kHighBound = 52;
constexpr ui::Single kTouchReach = 7;
}  // namespace

void bounce(const ui::Image& sprite, ui::Integer& direction) {
    if (sprite.top() <= kLowBound) direction = kDown;
    if (sprite.top() >= kHighBound) direction = kUp;
    if (sprite.left() <= kLowBound) direction = kRight;
    if (sprite.left() >= kHighBound) direction = kLeft;
}

void step(ui::Image& sprite, ui::Integer direction) {
    switch (direction) {
        case kDown:
            sprite.set_top(sprite.top() + 1);
            break;
        case kUp:
            sprite.set_top(sprite.top() - 1);
            break;
        case kRight:
            sprite.set_left(sprite.left() + 1);
            break;
        case kLeft:
            sprite.set_left(sprite.left() - 1);
            break;
        default:
            break;
    }
}

std::optional<Steering> steering(ui::Integer key_code) {
    struct Entry {
        ui::Integer key;
        Steering steering;
    };
    static constexpr std::array<Entry, 8> kTable = {{
        {ui::keys::kDown, {0, kDown}},
        {ui::keys::kUp, {0, kUp}},
        {ui::keys::kRight, {0, kRight}},
        {ui::keys::kLeft, {0, kLeft}},
        {ui::keys::kS, {1, kDown}},
        {ui::keys::kW, {1, kUp}},
        {ui::keys::kD, {1, kRight}},
        {ui::keys::kA, {1, kLeft}},
    }};
    for (const Entry& entry : kTable) {
        if (entry.key == key_code) return entry.steering;
    }
    return std::nullopt;
}

void ball_step(ui::Image& ball, ui::Integer& direction, ui::Label& lives_label, ui::Integer lives,
               ui::Label& pearls_label, ui::Integer pearls) {
    lives_label.set_caption(ui::text_of(lives));
    pearls_label.set_caption(ui::text_of(pearls));
    bounce_and_step(ball, direction);
}

bool touches(const ui::Image& object, const ui::Image& ball) {
    // Each sum is taken to single precision before it is compared.
    const auto plus = [](ui::Single v) { return static_cast<ui::Single>(v + kTouchReach); };
    const auto minus = [](ui::Single v) { return static_cast<ui::Single>(v - kTouchReach); };
    return plus(object.left()) >= ball.left() && minus(object.left()) <= ball.left() &&
           plus(object.top()) >= ball.top() && minus(object.top()) <= ball.top();
}

void place_pearl(ui::Runtime& runtime, ui::Image& pearl) {
    runtime.randomize();
    const ui::Single a = ui::Int(runtime.random_next() * 100) + 2;
    const ui::Single b = ui::Int(runtime.random_next() * 100) + 2;
    pearl.set_visible(true);
    pearl.move(b - 50, a - 50);
}

void move_fish(std::span<ui::Image> fish, std::span<ui::Integer> directions, int count) {
    for (int i = 0; i < count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        bounce_and_step(fish[k], directions[k]);
    }
}

void turn_fish(ui::Runtime& runtime, std::span<ui::Integer> directions, int count) {
    for (int i = 0; i < count; ++i) {
        runtime.randomize();
        directions[static_cast<std::size_t>(i)] =
            static_cast<ui::Integer>(ui::Int(runtime.random_next() * 4) + 1);
    }
}

void set_air(ui::Shape& bar, ui::Single level) {
    bar.set_height(level);
    bar.set_top(kAirBottom - bar.height());
}

void refill(ui::Shape& bar, ui::Timer& refill_timer) {
    if (bar.height() < kAirFull) {
        set_air(bar, bar.height() + 1);
    } else {
        refill_timer.set_enabled(false);
    }
}

}  // namespace games

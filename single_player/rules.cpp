#include "single_player/rules.h"

namespace single_player {

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

bool touches(const ui::Image& object, const ui::Image& ball) {
    // Each sum is taken to single precision before it is compared.
    const auto plus = [](ui::Single v) { return static_cast<ui::Single>(v + kTouchReach); };
    const auto minus = [](ui::Single v) { return static_cast<ui::Single>(v - kTouchReach); };
    return plus(object.left()) >= ball.left() && minus(object.left()) <= ball.left() &&
           plus(object.top()) >= ball.top() && minus(object.top()) <= ball.top();
}

void set_air(ui::Shape& bar, ui::Single level) {
    bar.set_height(level);
    bar.set_top(kAirBottom - bar.height());
}

}  // namespace single_player

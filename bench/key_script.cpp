#include "bench/key_script.h"

#include <array>

namespace bench {

namespace {
constexpr int kLeft = 37;
constexpr int kDown = 40;
// Arrows and their letter twins, so that both paths of the key handler are taken.
constexpr std::array<int, 8> kSteering = {37, 38, 39, 40, 65, 87, 68, 83};
}  // namespace

std::uint32_t KeyScript::random_below(std::uint32_t n) {
    // xorshift64*: fixed seed, so every run steers alike.
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<std::uint32_t>(((state_ * 0x2545F4914F6CDD1DULL) >> 32) % n);
}

KeyPress KeyScript::next() {
    if (queued_.empty()) {
        if (++presses_ % 6 == 0) {
            // The ball moves one unit per 50 ms on a field 120 units wide: left to the border
            // (where it turns back a little), then down along the tanks.
            queued_.push_back({kLeft, 3500});
            queued_.push_back({kDown, 3000});
        } else {
            queued_.push_back({kSteering[random_below(kSteering.size())],
                               300 + static_cast<std::int64_t>(random_below(1200))});
        }
    }
    const KeyPress press = queued_.front();
    queued_.pop_front();
    return press;
}

}  // namespace bench

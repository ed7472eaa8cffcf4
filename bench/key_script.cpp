#include "bench/key_script.h"

#include <utility>

namespace bench {

KeyScript::KeyScript(KeySet keys, std::uint64_t seed) : keys_(std::move(keys)), state_(seed) {}

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
            queued_.insert(queued_.end(), keys_.run_to_air.begin(), keys_.run_to_air.end());
        } else {
            const auto count = static_cast<std::uint32_t>(keys_.steering.size());
            queued_.push_back({keys_.steering[random_below(count)],
                               300 + static_cast<std::int64_t>(random_below(1200))});
        }
    }
    const KeyPress press = queued_.front();
    queued_.pop_front();
    return press;
}

}  // namespace bench

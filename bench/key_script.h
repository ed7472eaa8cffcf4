// The steering of a benchmark game: an endless, fixed sequence of key presses, the same on
// every run and for every runtime. Mostly a direction key every 0.3 to 1.5 s, and every sixth
// press a run to the air tanks in the lower left corner, so that the air is refilled now and
// then and games last as they do for a player.
#pragma once

#include <cstdint>
#include <deque>

namespace bench {

struct KeyPress {
    int key_code = 0;          // a virtual-key code (37 Left ... 40 Down, 65 A, 68 D, 83 S, 87 W)
    std::int64_t hold_ms = 0;  // game time until the next press
};

class KeyScript {
  public:
    KeyPress next();

  private:
    std::uint32_t random_below(std::uint32_t n);

    std::uint64_t state_ = 0x2545F4914F6CDD1DULL;
    int presses_ = 0;
    std::deque<KeyPress> queued_;
};

}  // namespace bench

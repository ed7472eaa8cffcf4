// The steering of one benchmark player: an endless, fixed sequence of key presses, the same on
// every run and for every runtime. Mostly a steering key every 0.3 to 1.5 s, and every sixth
// press a run to the air spot, so that the air is refilled now and then and games last as
// they do for a player.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

namespace bench {

struct KeyPress {
    int key_code = 0;          // a virtual-key code (37 Left ... 40 Down, 65 A, 68 D, 83 S, 87 W)
    std::int64_t hold_ms = 0;  // game time until the next press
};

// The keys of one player.
struct KeySet {
    std::vector<int> steering;         // drawn from at random
    std::vector<KeyPress> run_to_air;  // from anywhere to the air spot
};

class KeyScript {
  public:
    KeyScript(KeySet keys, std::uint64_t seed);
    KeyPress next();

  private:
    std::uint32_t random_below(std::uint32_t n);

    KeySet keys_;
    std::uint64_t state_;
    int presses_ = 0;
    std::deque<KeyPress> queued_;
};

}  // namespace bench

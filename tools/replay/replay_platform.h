// The replay's side of the platform and front-end seams: commands are
// recorded, the clocks are the replay's, warnings go to standard error, and
// nothing is shown or played.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace replay {

struct ReplayWorld {
    std::vector<std::string> commands;  // sent since the last take
    int32_t now = 1000;                 // nowSeconds()
    uint64_t nowMs = 1000000;           // nowMilliseconds()
};

extern ReplayWorld world;

}  // namespace replay

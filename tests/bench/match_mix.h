// A realistic mix of game console lines, generated from a seed: other
// players' obituaries, chat, joins and leaves, the player's kills (with hit
// locations), deaths, suicides and bashes, map loads, in-game commands and
// short noise. Lines come without their CR LF, the way the game prints them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

std::vector<std::string> matchMix(size_t count, uint32_t seed, const std::string& player);

}  // namespace bench

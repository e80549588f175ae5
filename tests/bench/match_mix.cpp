#include "bench/match_mix.h"

#include <random>

namespace bench {

namespace {

const char* const kOthers[] = {"Carl", "Dieter", "Hans", "Ivan", "Sgt.Rock", "xX_Sniper_Xx", "Ludwig"};
const char* const kKillPhrases[] = {
    " was shot by ",    " was gunned down by ", " was sniped by ",  " was rifled by ",
    " was machine-gunned by ", " was blown away by ", " was killed by ", " was pumped full of buckshot by ",
};
const char* const kLocations[] = {"head", "helmet", "neck", "upper torso", "pelvis", "upper right arm",
                                  "left hand", "lower right leg", "left foot", "middle torso"};
const char* const kSelfDeaths[] = {"blew himself up", "cratered", "tripped on his own grenade",
                                   "was hoist on his own pitard", "shot himself", "died"};
const char* const kChat[] = {"go go go", "nice shot", "anyone on the bridge?", "lol", "gg", "need backup at B"};
const char* const kNoise[] = {"------- Sound Begin Registration -------", "ok", "Server: map rotation in 5 minutes",
                              "WARNING: snd_restart", "]toggleconsole", "Loading models..."};
// In-game commands, in the order they are typed over a match.
const char* const kInGame[] = {"vorbixoption sounds_off", "vorbixoption displays_off", "vorbixoption sounds_on",
                               "vorbixoption announce_on", "vorbixoption vorbix_off", "vorbixoption vorbix_on",
                               "vorbixoption displays_on", "vorbixoption announce_off"};

}  // namespace

std::vector<std::string> matchMix(size_t count, uint32_t seed, const std::string& player) {
    std::mt19937 random(seed);
    auto pick = [&random](const auto& list) {
        return list[std::uniform_int_distribution<size_t>(0, std::size(list) - 1)(random)];
    };
    auto chance = [&random](int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; };
    auto location = [&]() { return chance(40) ? std::string(" in the ") + pick(kLocations) : std::string(); };
    const std::string tagged = "[GR]" + player;  // another player whose name holds the player's

    std::vector<std::string> lines;
    size_t inGame = 0;
    while (lines.size() < count) {
        int roll = std::uniform_int_distribution<int>(0, 999)(random);
        std::string other = pick(kOthers);
        if (roll < 300) {
            lines.push_back("\x04" + other + pick(kKillPhrases) + (chance(10) ? tagged : pick(kOthers)) + location());
        } else if (roll < 420) {
            lines.push_back("\x04" + other + pick(kKillPhrases) + player + location());
        } else if (roll < 440) {
            lines.push_back("\x05" + other + " tripped on " + player + "'s grenade");
        } else if (roll < 455) {
            lines.push_back("\x04" + other + " was bashed by " + player);
        } else if (roll < 530) {
            lines.push_back("\x04" + player + pick(kKillPhrases) + other + location());
        } else if (roll < 545) {
            lines.push_back("\x04" + player + " " + pick(kSelfDeaths));
        } else if (roll < 555) {
            lines.push_back("\x04" + player + " was clubbed by " + other);
        } else if (roll < 700) {
            const std::string& speaker = chance(20) ? player : other;
            lines.push_back("\x02" + std::string(chance(30) ? "(team) " : "") + speaker + ": " + pick(kChat) +
                            (chance(20) ? " " + player : ""));
        } else if (roll < 800) {
            const char* forms[] = {" is preparing for deployment", " has entered the battle", " has left the battle"};
            lines.push_back("\x03" + other + pick(forms));
        } else if (roll < 820) {
            lines.push_back("\x03You killed " + other);
        } else if (roll < 830) {
            lines.push_back(other + (chance(50) ? " timed out" : " disconnected"));
        } else if (roll < 833) {
            lines.push_back("------- Sound Begin Registration -------");
            lines.push_back("CL_InitCGame:  " + std::to_string(1 + roll % 3) + ".4" + std::to_string(roll % 10) +
                            " seconds");
        } else if (roll < 835) {
            lines.push_back(kInGame[inGame++ % std::size(kInGame)]);
        } else {
            lines.push_back(pick(kNoise));
        }
    }
    lines.resize(count);
    return lines;
}

}  // namespace bench

#include "terminal/run_view.h"

namespace {

struct Happening {
    uint32_t StatsRecord::*field;
    const char* name;
};

// In the order they are told: what the player did, then what befell him.
const Happening kHappenings[] = {
    {&StatsRecord::kills, "kill"},
    {&StatsRecord::headshots_kills, "headshot"},
    {&StatsRecord::bashes_kills, "bash kill"},
    {&StatsRecord::double_kills, "double kill"},
    {&StatsRecord::multi_kills, "multi kill"},
    {&StatsRecord::ultra_kills, "ultra kill"},
    {&StatsRecord::monster_kills, "monster kill"},
    {&StatsRecord::killingspree, "killing spree"},
    {&StatsRecord::rampage, "rampage"},
    {&StatsRecord::dominating, "dominating"},
    {&StatsRecord::unstoppable, "unstoppable"},
    {&StatsRecord::godlike, "godlike"},
    {&StatsRecord::holyshit, "holy shit"},
    {&StatsRecord::deaths, "death"},
    {&StatsRecord::suicides, "suicide"},
    {&StatsRecord::bashes_deaths, "bashed"},
    {&StatsRecord::headshots_deaths, "killed by a headshot"},
};

std::string counted(uint32_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string describeNews(const RunCounts& before, const RunCounts& after) {
    std::string news;
    auto tell = [&news](const std::string& text) { news += (news.empty() ? "" : ", ") + text; };
    if (after.tally.maps != before.tally.maps) tell("map " + std::to_string(after.tally.maps) + " loaded");
    for (const Happening& happening : kHappenings) {
        const uint32_t count = after.tally.*happening.field - before.tally.*happening.field;
        if (count == 0) continue;
        tell(count == 1 ? happening.name : std::string(happening.name) + " x" + std::to_string(count));
    }
    return news;
}

std::string describeRun(const RunCounts& run, const std::string& player) {
    return (player.empty() ? std::string("(name not known yet)") : player) + " | map " +
           std::to_string(run.tally.maps) + " | " + counted(run.tally.kills, "kill", "kills") + " | " +
           counted(run.tally.deaths, "death", "deaths") + " | " + std::to_string(run.killsInARow) + " in a row";
}

// The totals of the recorded match data/demo/match.log, worked out by hand
// from its lines: the figures every test that plays it checks against.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/stats_record.h"

// Kills: five in a row on the first map (torso, head, pelvis, leg, grenade: a
// killing spree, a double, multi, ultra and monster kill), a bash and a
// helmet shot; five on the second (head, rocket, SMG, hand, buckshot in the
// torso), the first four chained. Deaths: an arm, a bash, a suicide, a head
// shot, a fall. "[GR]Kestrel" is someone else.
inline StatsRecord recordedMatchTotals() {
    using S = StatsRecord;
    const std::vector<std::pair<uint32_t S::*, uint32_t>> counts = {
        {&S::kills, 12},           {&S::deaths, 5},          {&S::suicides, 1},         {&S::maps, 2},
        {&S::in_a_row_kills, 5},   {&S::in_a_row_deaths, 2}, {&S::double_kills, 2},     {&S::multi_kills, 2},
        {&S::ultra_kills, 2},      {&S::monster_kills, 1},   {&S::killingspree, 1},     {&S::bashes_kills, 1},
        {&S::bashes_deaths, 1},    {&S::headshots_kills, 3}, {&S::headshots_deaths, 1}, {&S::torso_kills, 2},
        {&S::pelvis_kills, 1},     {&S::right_arm_kills, 1}, {&S::right_arm_deaths, 1}, {&S::left_leg_kills, 1},
    };
    StatsRecord record{};
    for (const auto& [field, value] : counts) record.*field = value;
    return record;
}

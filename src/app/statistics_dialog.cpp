#include "app/statistics_dialog.h"

#include <cstdint>

namespace {

struct CounterControl {
    int id;
    uint32_t StatsRecord::*field;
};

const CounterControl kCounterControls[kStatsFieldCount] = {
    {1013, &StatsRecord::headshots_deaths}, {1014, &StatsRecord::torso_deaths},
    {1015, &StatsRecord::left_arm_deaths},  {1016, &StatsRecord::right_arm_deaths},
    {1017, &StatsRecord::pelvis_deaths},    {1018, &StatsRecord::left_leg_deaths},
    {1019, &StatsRecord::right_leg_deaths}, {1020, &StatsRecord::bashes_deaths},
    {1021, &StatsRecord::headshots_kills},  {1022, &StatsRecord::torso_kills},
    {1023, &StatsRecord::left_arm_kills},   {1024, &StatsRecord::right_arm_kills},
    {1025, &StatsRecord::pelvis_kills},     {1026, &StatsRecord::left_leg_kills},
    {1027, &StatsRecord::right_leg_kills},  {1028, &StatsRecord::bashes_kills},
    {1029, &StatsRecord::killingspree},     {1030, &StatsRecord::rampage},
    {1042, &StatsRecord::dominating},       {1031, &StatsRecord::unstoppable},
    {1032, &StatsRecord::godlike},          {1033, &StatsRecord::holyshit},
    {1043, &StatsRecord::in_a_row_kills},   {1044, &StatsRecord::in_a_row_deaths},
    {1034, &StatsRecord::double_kills},     {1035, &StatsRecord::multi_kills},
    {1036, &StatsRecord::ultra_kills},      {1037, &StatsRecord::monster_kills},
    {1041, &StatsRecord::suicides},         {1040, &StatsRecord::maps},
    {1039, &StatsRecord::deaths},           {1038, &StatsRecord::kills},
};

}  // namespace

std::vector<std::pair<int, std::string>> statisticsDialogTexts(const StatsRecord& totals) {
    std::vector<std::pair<int, std::string>> texts;
    for (const CounterControl& control : kCounterControls) {
        // Shown as a signed 32-bit value: 0 and "negative" counts stay "0".
        const int32_t value = static_cast<int32_t>(totals.*control.field);
        if (value > 0) texts.emplace_back(control.id, std::to_string(value));
    }
    return texts;
}

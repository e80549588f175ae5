// The Statistics dialog's figures: which control shows which counter, and as
// what text. Portable, so the native tests check it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/stats_record.h"

// (control id, text) for every counter control, in the order they are
// filled; a counter of 0, or of 2147483648 and above, keeps the template's "0"
// and is left out.
std::vector<std::pair<int, std::string>> statisticsDialogTexts(const StatsRecord& totals);

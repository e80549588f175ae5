// Saving the pending counts into "vorbix.vbx".
#pragma once

#include "core/stats_record.h"

// Adds pendingStats to the stats file and clears pendingStats.
void saveStats();
// Zeroes pendingStats and the five streak fields.
void resetSessionStats();
// The Statistics dialog's figures: saves, then reads the file back; a file
// that cannot be read is reported and gives zeros.
StatsRecord lifetimeTotals();

// Saving the pending counts into "vorbix.vbx", and the Statistics dialog.
#pragma once

#include <cstdint>

#include "core/app_state.h"

// Adds pendingStats to the stats file and clears pendingStats.
void saveStats();
// Zeroes pendingStats and the five streak fields.
void resetSessionStats();
// WM_INITDIALOG of the Statistics dialog: saves, then shows the file's totals.
void fillStatisticsDialog(WindowHandle dialog);
// Sets control `id` to the value unless it is 0 or 2147483648 and above.
void setCounterText(WindowHandle dialog, int id, int32_t value);

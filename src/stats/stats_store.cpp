// PLACEHOLDER: an empty skeleton so the tree links while it is being written.
#include "stats/stats_store.h"

void saveStats() {}
void resetSessionStats() {}
void fillStatisticsDialog(WindowHandle) {}
void setCounterText(WindowHandle, int, int32_t) {}

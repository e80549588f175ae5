// The history as plain text for a terminal of 80 columns.
#pragma once

#include <string>

#include "stats/history.h"

std::string renderHistoryText(const HistoryFile& history);

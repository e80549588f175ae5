// The history report: one self-contained HTML page with its charts drawn as
// inline SVG, no scripts and nothing fetched from anywhere.
#pragma once

#include <string>

#include "core/stats_record.h"
#include "stats/history.h"

// Text of the game's code page made safe for HTML text and attributes: markup
// characters and every byte from 0x80 up become character references.
std::string htmlText(const std::string& bytes);

// The page for `history` (possibly empty) with the lifetime totals beside it;
// `lifetime` is null when there is no stats file. `generated` says when.
std::string renderHistoryReport(const HistoryFile& history, const StatsRecord* lifetime,
                                const std::string& generated);

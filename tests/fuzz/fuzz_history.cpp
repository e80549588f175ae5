// Fuzzes the history file reader and the map-name extraction: the input is
// read as a history file (whose rows must survive being written and read
// again unchanged), as a console line, and as a name to quote.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "stats/history.h"

namespace {

void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

bool sameRow(const MapRecord& a, const MapRecord& b) {
    if (a.start != b.start || a.end != b.end || a.map != b.map || a.edition != b.edition || a.player != b.player)
        return false;
    for (int i = 0; i < kStatsFieldCount; ++i)
        if (kStatsFields[i] != &StatsRecord::maps && a.counts.*kStatsFields[i] != b.counts.*kStatsFields[i])
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    const HistoryFile file = parseHistory(input);
    std::string again = historyHeaderRow();
    for (const auto& row : file.rows) again += historyRow(row);
    const HistoryFile reread = parseHistory(again);
    check(reread.rows.size() == file.rows.size() && reread.skipped == 0 && !reread.torn, "rows written again");
    for (size_t i = 0; i < file.rows.size(); ++i) check(sameRow(reread.rows[i], file.rows[i]), "row read again");

    MapRecord named;
    named.start = named.end = "2026-12-08T21:04:13";
    named.map = named.player = input;
    const HistoryFile quoted = parseHistory(historyHeaderRow() + historyRow(named));
    check(quoted.rows.size() == 1 && sameRow(quoted.rows[0], named), "a name of any bytes quoted");

    std::string name;
    if (mapNameFromLine(input.c_str(), name)) {
        check(!name.empty() && name != "nomap", "a map name");
        for (unsigned char c : name) check(c >= 0x20 && c != 0x7F && c != '"' && c != '$', "a map name's bytes");
    }
    return 0;
}

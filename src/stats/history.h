// The match history "vorbix-history.csv": one row per map played, beside the
// lifetime totals of "vorbix.vbx". The format is written for spreadsheets and
// documented in docs/history-format.md: a header row naming the columns,
// RFC 4180 quoting, CR LF line ends. Names are bytes of the game's code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "core/map_record.h"
#include "core/stats_record.h"

constexpr const char* kHistoryFileName = "vorbix-history.csv";

// The running program keeps the map under way as a MapRecord
// (core/map_record.h) and appends it when the map ends (stats/map_history.h).

// True when the map counted anything; a map without counts gets no row.
bool hasMapCounts(const MapRecord& record);

// Local time as "YYYY-MM-DDTHH:MM:SS".
std::string localTimestamp(std::time_t when);

// The column names, in the order this version writes them: start, end, map,
// edition, player, then the counters' keys in file order without "maps".
const std::vector<std::string>& historyColumns();

// The header row and one row, each with its CR LF.
std::string historyHeaderRow();
std::string historyRow(const MapRecord& record);

// The file's rows, for the stats viewer.
struct HistoryFile {
    std::vector<MapRecord> rows;
    size_t skipped = 0;    // lines that are no row of ours (bad time or count)
    bool torn = false;     // an unfinished last row (a crash mid-write) was left out
    bool header = false;   // a header row naming the "start" column was found
};

// Reads the rows of a whole file's bytes. Columns are found by their header
// name, so later versions' extra columns are ignored and missing ones read
// as empty (zero); a last row without its line end, or inside an open quote,
// is left out.
HistoryFile parseHistory(const std::string& bytes);

// Reads `path`. Returns false when the file cannot be opened (no history yet).
bool readHistoryFile(const char* path, HistoryFile& out);

// Appends rows to `path`, writing the header first when the file is new or
// empty. An unfinished last row (a crash mid-write) is cut off first, back to
// the end of the last complete row; earlier rows are never touched. Rows are
// written in the column order of the file's own header, so a file of a later
// version keeps its columns. Returns false when nothing could be written (the
// file is then as it was, or with a torn tail that the next append repairs);
// a file whose first row names no "start" column is not ours and is left alone.
// `known`, when given, remembers between appends the file's size and header
// after this append, so that the next one to a file of that very size (no
// one else wrote it meanwhile) reads nothing: a long history costs each map's
// end no more than its own row.
struct HistoryFileState {
    bool valid = false;
    uint64_t size = 0;
    std::vector<std::string> header;
};
bool appendHistoryRows(const char* path, const std::vector<MapRecord>& rows, HistoryFileState* known = nullptr);

// The map's name from the engine's answer to the console command "mapname":
//   "mapname" is:"dm/mohdm1"                   a read-only variable: nothing follows
//   "mapname" is:"dm/mohdm1" default:"nomap"   the form of a variable with a default
//   "mapname" is:"dm/mohdm1", the default
// The whole line must have one of these forms (a line end may follow). Only
// the engine starts a line with a double quote: chat and notices start with a
// control byte or a player's name, and names cannot hold double quotes. A
// "$spawn" suffix is dropped; "nomap" (no map since the game started), an
// empty name and one with a control byte give false.
bool mapNameFromLine(const char* line, std::string& name);

#include "viewer/history_text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "viewer/history_summary.h"

namespace {

constexpr size_t kRecentRows = 10;
constexpr size_t kMapRows = 15;

// A name for the terminal, cut to `width` characters and padded to them when `pad`. Control
// bytes become "?", so no name can steer the terminal; other bytes of the
// game's code page become UTF-8 where terminals expect it.
std::string cell(const std::string& bytes, size_t width, bool pad = true) {
    std::string out;
    size_t shown = 0;
    for (size_t i = 0; i < bytes.size() && shown < width; ++i, ++shown) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (shown + 1 == width && i + 1 < bytes.size()) {
            out += '~';  // cut here
            break;
        }
        const unsigned cp = cp1252CodePoint(c);
        if (cp == 0xFFFD && c < 0x80) {
            out += '?';
        } else if (c < 0x80) {
            out += char(c);
        } else {
#ifdef _WIN32
            out += char(c);  // the console shows the bytes in its own code page
#else
            if (cp < 0x800) {
                out += char(0xC0 | (cp >> 6));
            } else {
                out += char(0xE0 | (cp >> 12));
                out += char(0x80 | ((cp >> 6) & 0x3F));
            }
            out += char(0x80 | (cp & 0x3F));
#endif
        }
    }
    for (size_t length = std::min(bytes.size(), width); pad && length < width; ++length) out += ' ';
    return out;
}

std::string mapName(const std::string& name) { return name.empty() ? "(unknown map)" : name; }

std::string line(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return std::string(text) + "\n";
}

}  // namespace

std::string renderHistoryText(const HistoryFile& history) {
    const std::vector<MapRecord>& rows = history.rows;
    std::string out;
    if (rows.empty()) {
        out += "No maps in the history yet (vorbix-history.csv).\n";
        return out;
    }
    CountTotals t;
    for (const auto& row : rows) t.add(row.counts);
    const uint64_t kills = t[&StatsRecord::kills], deaths = t[&StatsRecord::deaths];
    out += "Vorbix match history: " + groupedNumber(rows.size()) + (rows.size() == 1 ? " map, " : " maps, ") +
           shortTime(rows.front().start) + " to " + shortTime(rows.back().end) + "\n\n";
    out += "Kills " + groupedNumber(kills) + "   Deaths " + groupedNumber(deaths) + "   K/D " +
           ratioText(killDeathRatio(kills, deaths)) + "   Suicides " + groupedNumber(t[&StatsRecord::suicides]) +
           "   Headshots " + groupedNumber(t[&StatsRecord::headshots_kills]) + "\n";
    const MapRecord* spree = bestSpreeRow(rows);
    out += "Best run: " + std::to_string(spree->counts.in_a_row_kills) + " kills in a row, " +
           cell(mapName(spree->map), 32, false) + ", " + shortTime(spree->start) + "\n";
    out += "Sprees: " + groupedNumber(t[&StatsRecord::killingspree]) + " killing spree, " +
           groupedNumber(t[&StatsRecord::rampage]) + " rampage, " + groupedNumber(t[&StatsRecord::dominating]) +
           " dominating, " + groupedNumber(t[&StatsRecord::unstoppable]) + " unstoppable,\n        " +
           groupedNumber(t[&StatsRecord::godlike]) + " godlike, " + groupedNumber(t[&StatsRecord::holyshit]) +
           " holy shit\n";
    out += "Multi-kills: " + groupedNumber(t[&StatsRecord::double_kills]) + " double, " +
           groupedNumber(t[&StatsRecord::multi_kills]) + " multi, " + groupedNumber(t[&StatsRecord::ultra_kills]) +
           " ultra, " + groupedNumber(t[&StatsRecord::monster_kills]) + " monster\n";

    out += "\nRecent maps\n";
    out += line("%-16s  %-24s %6s %6s %6s %8s", "Started", "Map", "Kills", "Deaths", "K/D", "Best run");
    const size_t recent = std::min(rows.size(), kRecentRows);
    for (size_t n = 0; n < recent; ++n) {
        const MapRecord& r = rows[rows.size() - 1 - n];
        out += shortTime(r.start) + "  " + cell(mapName(r.map), 24) +
               line(" %6u %6u %6s %8u", r.counts.kills, r.counts.deaths,
                    ratioText(killDeathRatio(r.counts.kills, r.counts.deaths)).c_str(), r.counts.in_a_row_kills);
    }

    std::vector<MapSummary> maps = summarizeMaps(rows);
    std::stable_sort(maps.begin(), maps.end(), [](const MapSummary& a, const MapSummary& b) { return a.played > b.played; });
    out += "\nMaps, most played first\n";
    out += line("%-26s %7s %8s %8s %6s %8s %8s", "Map", "Played", "Kills", "Deaths", "K/D", "Kills/map", "Best run");
    for (size_t i = 0; i < maps.size() && i < kMapRows; ++i) {
        const MapSummary& m = maps[i];
        const uint64_t k = m.totals[&StatsRecord::kills], d = m.totals[&StatsRecord::deaths];
        char kpm[32];
        std::snprintf(kpm, sizeof kpm, "%.1f", double(k) / double(m.played));
        out += cell(mapName(m.name), 26) +
               line(" %7llu %8llu %8llu %6s %8s %8llu", (unsigned long long)m.played, (unsigned long long)k, (unsigned long long)d,
                    ratioText(killDeathRatio(k, d)).c_str(), kpm,
                    (unsigned long long)m.totals[&StatsRecord::in_a_row_kills]);
    }
    if (maps.size() > kMapRows) out += "(" + std::to_string(maps.size() - kMapRows) + " more maps)\n";
    if (history.skipped > 0 || history.torn)
        out += "\nLeft out: " + std::to_string(history.skipped) + " line(s) that are no map row" +
               (history.torn ? ", and an unfinished last row" : "") + ".\n";
    return out;
}

#include "viewer/report_html.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "viewer/history_summary.h"

namespace {

constexpr size_t kMaxBars = 120;        // bars of the kills and deaths chart
constexpr size_t kMaxTrendPoints = 400;  // points of the ratio line
constexpr size_t kRecentRows = 100;
constexpr size_t kMapRows = 300;

// Colours live in the style sheet, so the charts follow the colour scheme.
const char kStyle[] = R"(
:root{color-scheme:light dark;--bg:#ffffff;--card:#f6f8fa;--text:#1f2328;--muted:#59636e;--grid:#d1d9e0;
--kills:#1a7f37;--deaths:#cf222e;--ratio:#0969da;--accent:#9a6700}
@media (prefers-color-scheme:dark){:root{--bg:#0d1117;--card:#161b22;--text:#e6edf3;--muted:#9198a1;
--grid:#3d444d;--kills:#3fb950;--deaths:#f85149;--ratio:#4493f8;--accent:#d29922}}
*{box-sizing:border-box}
body{margin:0;background:var(--bg);color:var(--text);font:14px/1.45 system-ui,-apple-system,"Segoe UI",Roboto,"DejaVu Sans",sans-serif}
main{max-width:1200px;margin:0 auto;padding:16px 20px 32px}
h1{font-size:22px;margin:0 0 2px}h2{font-size:16px;margin:0 0 8px}
.sub,.note,figcaption{color:var(--muted)}.note{font-size:13px}
.tiles{display:flex;flex-wrap:wrap;gap:8px;margin:12px 0}
.tile{background:var(--card);border:1px solid var(--grid);border-radius:6px;padding:6px 12px;min-width:110px}
.tile b{display:block;font-size:20px}.tile span{color:var(--muted);font-size:12px}
.grid{display:grid;grid-template-columns:1fr 1fr;gap:12px}
@media (max-width:900px){.grid{grid-template-columns:1fr}}
section{background:var(--card);border:1px solid var(--grid);border-radius:6px;padding:10px 14px;margin:12px 0}
.grid section{margin:0}
figure{margin:0}svg{display:block;width:100%;height:auto}
svg text{fill:var(--muted);font-size:12px}
.k{fill:var(--kills)}.d{fill:var(--deaths)}.a{fill:var(--accent)}
.ax{stroke:var(--grid);stroke-width:1}.rl{fill:none;stroke:var(--ratio);stroke-width:2}
.av{fill:none;stroke:var(--muted);stroke-width:1.5;stroke-dasharray:6 4}
.key{display:inline-block;width:10px;height:10px;border-radius:2px;margin:0 4px 0 10px}
.scroll{max-height:340px;overflow:auto}
table{border-collapse:collapse;width:100%;font-variant-numeric:tabular-nums}
th,td{padding:3px 8px;border-bottom:1px solid var(--grid);text-align:right;white-space:nowrap}
th{position:sticky;top:0;background:var(--card);font-weight:600}
th:first-child,td:first-child,.l{text-align:left}
td.name{max-width:260px;overflow:hidden;text-overflow:ellipsis}
.totals{columns:3 220px;column-gap:24px}.totals div{display:flex;justify-content:space-between;break-inside:avoid;border-bottom:1px solid var(--grid);padding:2px 0}
)";

void appendCodePoint(std::string& out, unsigned cp) {
    out += "&#";
    out += std::to_string(cp);
    out += ';';
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// The top of a scale for values up to `value`: a round step times a power of ten.
double niceMax(double value) {
    if (value <= 0) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0})
        if (value <= step * power) return step * power;
    return 10 * power;
}

std::string tickText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, value == std::floor(value) ? "%.0f" : "%.1f", value);
    return text;
}

std::string displayName(const std::string& name) { return name.empty() ? "(unknown map)" : htmlText(name); }

void tile(std::string& out, const std::string& value, const char* label) {
    out += "<div class=\"tile\"><b>" + value + "</b><span>" + label + "</span></div>";
}

// Kills upwards and deaths downwards from one axis, a bar pair per bin.
void killsDeathsChart(std::string& out, const std::vector<MapRecord>& rows) {
    std::string unit;
    const std::vector<HistoryBin> bins = binHistory(rows, kMaxBars, unit);
    const bool perMap = unit == "map";
    double top = 0;
    for (const auto& bin : bins)
        top = std::max({top, double(bin.kills) / double(bin.count), double(bin.deaths) / double(bin.count)});
    top = niceMax(top);
    const double width = 1120, height = 300, left = 44, right = 8, plotTop = 10, plotHeight = 250;
    const double mid = plotTop + plotHeight / 2, scale = (plotHeight / 2) / top;
    const double step = (width - left - right) / double(bins.size());
    const double bar = std::max(1.0, std::floor(step * 0.8));

    out += "<section><h2>Kills and deaths per map</h2><figure><svg viewBox=\"0 0 1120 300\" role=\"img\" "
           "aria-label=\"Kills and deaths per map over time\">";
    for (double f : {-1.0, -0.5, 0.0, 0.5, 1.0}) {
        const double y = mid - f * (plotHeight / 2);
        out += "<line class=\"ax\" x1=\"" + number(left) + "\" x2=\"" + number(width - right) + "\" y1=\"" +
               number(y) + "\" y2=\"" + number(y) + "\"/>";
        out += "<text x=\"" + number(left - 6) + "\" y=\"" + number(y + 4) + "\" text-anchor=\"end\">" +
               tickText(std::fabs(f) * top) + "</text>";
    }
    out += "<g shape-rendering=\"crispEdges\">";
    for (size_t i = 0; i < bins.size(); ++i) {
        const HistoryBin& bin = bins[i];
        const double kills = double(bin.kills) / double(bin.count), deaths = double(bin.deaths) / double(bin.count);
        const double x = std::floor(left + step * double(i) + (step - bar) / 2);
        const MapRecord& first = rows[bin.first];
        std::string title = perMap ? shortTime(first.start) + " " + displayName(first.map)
                                   : first.start.substr(0, 10) + ", " + std::to_string(bin.count) + " maps";
        title += ": " + (perMap ? std::to_string(bin.kills) : number(kills)) + " kills, " +
                 (perMap ? std::to_string(bin.deaths) : number(deaths)) + " deaths";
        out += "<g><title>" + title + "</title>";
        out += "<rect class=\"k\" x=\"" + number(x) + "\" y=\"" + number(mid - kills * scale) + "\" width=\"" +
               number(bar) + "\" height=\"" + number(kills * scale) + "\"/>";
        out += "<rect class=\"d\" x=\"" + number(x) + "\" y=\"" + number(mid) + "\" width=\"" + number(bar) +
               "\" height=\"" + number(deaths * scale) + "\"/></g>";
    }
    out += "</g>";
    // Up to six dates along the bottom.
    const size_t labels = std::min<size_t>(6, bins.size());
    for (size_t l = 0; l < labels; ++l) {
        const size_t i = labels == 1 ? 0 : l * (bins.size() - 1) / (labels - 1);
        const double x = left + step * (double(i) + 0.5);
        const char* anchor = l == 0 ? "start" : l + 1 == labels ? "end" : "middle";
        out += "<text x=\"" + number(l == 0 ? left : l + 1 == labels ? width - right : x) + "\" y=\"" +
               number(height - 8) + "\" text-anchor=\"" + anchor + "\">" + rows[bins[i].first].start.substr(0, 10) +
               "</text>";
    }
    out += "</svg><figcaption><span class=\"key k\" style=\"background:var(--kills)\"></span>kills (up)"
           "<span class=\"key\" style=\"background:var(--deaths)\"></span>deaths (down)";
    out += perMap ? std::string(", one bar a map") : ", average per map, one bar per " + unit;
    out += "</figcaption></figure></section>";
}

// The kill/death ratio over the last few maps, and the overall ratio.
void ratioChart(std::string& out, const std::vector<MapRecord>& rows, double overall) {
    const size_t n = rows.size();
    const size_t window = std::clamp<size_t>(n / 20, 5, 50);
    std::vector<double> rolling(n);
    uint64_t kills = 0, deaths = 0;
    double top = overall;
    for (size_t i = 0; i < n; ++i) {
        kills += rows[i].counts.kills;
        deaths += rows[i].counts.deaths;
        if (i >= window) {
            kills -= rows[i - window].counts.kills;
            deaths -= rows[i - window].counts.deaths;
        }
        rolling[i] = killDeathRatio(kills, deaths);
        top = std::max(top, rolling[i]);
    }
    top = niceMax(top);
    const double width = 1120, left = 44, right = 8, plotTop = 10, plotHeight = 190;
    auto y = [&](double ratio) { return plotTop + plotHeight * (1 - ratio / top); };

    out += "<section><h2>Kill/death ratio</h2><figure><svg viewBox=\"0 0 1120 230\" role=\"img\" "
           "aria-label=\"Kill/death ratio trend\">";
    for (double f : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        out += "<line class=\"ax\" x1=\"" + number(left) + "\" x2=\"" + number(width - right) + "\" y1=\"" +
               number(y(f * top)) + "\" y2=\"" + number(y(f * top)) + "\"/>";
        out += "<text x=\"" + number(left - 6) + "\" y=\"" + number(y(f * top) + 4) + "\" text-anchor=\"end\">" +
               ratioText(f * top) + "</text>";
    }
    out += "<line class=\"av\" x1=\"" + number(left) + "\" x2=\"" + number(width - right) + "\" y1=\"" +
           number(y(overall)) + "\" y2=\"" + number(y(overall)) + "\"/>";
    const size_t points = std::min(n, kMaxTrendPoints);
    out += "<polyline class=\"rl\" shape-rendering=\"crispEdges\" points=\"";
    for (size_t p = 0; p < points; ++p) {
        const size_t i = points == 1 ? 0 : p * (n - 1) / (points - 1);
        const double x = points == 1 ? left : left + (width - left - right) * double(p) / double(points - 1);
        out += number(x) + "," + number(y(rolling[i])) + " ";
    }
    out += "\"/>";
    out += "<text x=\"" + number(left) + "\" y=\"222\">" + rows.front().start.substr(0, 10) + "</text>";
    out += "<text x=\"" + number(width - right) + "\" y=\"222\" text-anchor=\"end\">" +
           rows.back().start.substr(0, 10) + "</text>";
    out += "</svg><figcaption><span class=\"key\" style=\"background:var(--ratio)\"></span>kills per death over the "
           "last " + std::to_string(window) + " maps<span class=\"key\" style=\"background:var(--muted)\"></span>"
           "overall " + ratioText(overall) + "</figcaption></figure></section>";
}

struct BarRow {
    const char* label;
    uint64_t first;
    uint64_t second;  // drawn under the first when `pairs`
};

// Horizontal bars with their numbers; two per row (kills, deaths) or one.
void barChart(std::string& out, const char* heading, const std::vector<BarRow>& rows, bool pairs,
              const char* caption) {
    uint64_t top = 1;
    for (const auto& row : rows) top = std::max({top, row.first, pairs ? row.second : 0});
    const double left = 110, barMax = 330, rowHeight = pairs ? 30 : 22;
    const double height = rowHeight * double(rows.size()) + 6;
    out += "<section><h2>" + std::string(heading) + "</h2><figure><svg viewBox=\"0 0 540 " + number(height) +
           "\" role=\"img\" aria-label=\"" + heading + "\"><g shape-rendering=\"crispEdges\">";
    for (size_t r = 0; r < rows.size(); ++r) {
        const double y = 4 + rowHeight * double(r);
        out += "<text x=\"0\" y=\"" + number(y + (pairs ? 16 : 13)) + "\">" + rows[r].label + "</text>";
        const int bars = pairs ? 2 : 1;
        for (int b = 0; b < bars; ++b) {
            const uint64_t value = b == 0 ? rows[r].first : rows[r].second;
            const double w = std::round(barMax * double(value) / double(top));
            const double by = y + (pairs ? 2 + 12 * b : 3);
            const char* cls = !pairs ? "a" : b == 0 ? "k" : "d";
            out += "<rect class=\"" + std::string(cls) + "\" x=\"" + number(left) + "\" y=\"" + number(by) +
                   "\" width=\"" + number(w) + "\" height=\"" + (pairs ? "11" : "14") + "\"/>";
            out += "<text x=\"" + number(left + w + 6) + "\" y=\"" + number(by + (pairs ? 10 : 12)) + "\">" +
                   groupedNumber(value) + "</text>";
        }
    }
    out += "</g></svg><figcaption>" + std::string(caption) + "</figcaption></figure></section>";
}

void hitChart(std::string& out, const CountTotals& t) {
    barChart(out, "Hit locations",
             {{"Head", t[&StatsRecord::headshots_kills], t[&StatsRecord::headshots_deaths]},
              {"Torso", t[&StatsRecord::torso_kills], t[&StatsRecord::torso_deaths]},
              {"Pelvis", t[&StatsRecord::pelvis_kills], t[&StatsRecord::pelvis_deaths]},
              {"Right arm", t[&StatsRecord::right_arm_kills], t[&StatsRecord::right_arm_deaths]},
              {"Left arm", t[&StatsRecord::left_arm_kills], t[&StatsRecord::left_arm_deaths]},
              {"Right leg", t[&StatsRecord::right_leg_kills], t[&StatsRecord::right_leg_deaths]},
              {"Left leg", t[&StatsRecord::left_leg_kills], t[&StatsRecord::left_leg_deaths]},
              {"Bash", t[&StatsRecord::bashes_kills], t[&StatsRecord::bashes_deaths]}},
             true,
             "<span class=\"key\" style=\"background:var(--kills)\"></span>your kills by where you hit"
             "<span class=\"key\" style=\"background:var(--deaths)\"></span>your deaths by where you were hit");
}

void spreeChart(std::string& out, const CountTotals& t) {
    barChart(out, "Sprees and multi-kills",
             {{"Killing spree", t[&StatsRecord::killingspree], 0},
              {"Rampage", t[&StatsRecord::rampage], 0},
              {"Dominating", t[&StatsRecord::dominating], 0},
              {"Unstoppable", t[&StatsRecord::unstoppable], 0},
              {"Godlike", t[&StatsRecord::godlike], 0},
              {"Holy shit", t[&StatsRecord::holyshit], 0},
              {"Double kill", t[&StatsRecord::double_kills], 0},
              {"Multi kill", t[&StatsRecord::multi_kills], 0},
              {"Ultra kill", t[&StatsRecord::ultra_kills], 0},
              {"Monster kill", t[&StatsRecord::monster_kills], 0}},
             false, "sprees: 5, 10, 15, 20, 25 and 30 kills without dying; multi-kills: 2 to 5 kills in quick "
                    "succession");
}

void mapTable(std::string& out, const std::vector<MapRecord>& rows) {
    std::vector<MapSummary> maps = summarizeMaps(rows);
    // Maps played a few times first, so one lucky round does not lead.
    size_t regular = std::min<size_t>(3, rows.size() / std::max<size_t>(1, maps.size()) + 1);
    const size_t most = std::max_element(maps.begin(), maps.end(), [](const MapSummary& a, const MapSummary& b) {
                            return a.played < b.played;
                        })->played;
    if (most < regular) regular = 1;
    std::stable_sort(maps.begin(), maps.end(), [&](const MapSummary& a, const MapSummary& b) {
        const bool ra = a.played >= regular, rb = b.played >= regular;
        if (ra != rb) return ra;
        return killDeathRatio(a.totals[&StatsRecord::kills], a.totals[&StatsRecord::deaths]) >
               killDeathRatio(b.totals[&StatsRecord::kills], b.totals[&StatsRecord::deaths]);
    });
    out += "<section><h2>Best maps</h2><div class=\"scroll\"><table><thead><tr><th>Map</th><th>Played</th>"
           "<th>Kills</th><th>Deaths</th><th>K/D</th><th>Kills a map</th><th>Best run</th></tr></thead><tbody>";
    for (size_t i = 0; i < maps.size() && i < kMapRows; ++i) {
        const MapSummary& m = maps[i];
        const uint64_t kills = m.totals[&StatsRecord::kills], deaths = m.totals[&StatsRecord::deaths];
        out += "<tr><td class=\"name\">" + displayName(m.name) + "</td><td>" + groupedNumber(m.played) + "</td><td>" +
               groupedNumber(kills) + "</td><td>" + groupedNumber(deaths) + "</td><td>" +
               ratioText(killDeathRatio(kills, deaths)) + "</td><td>" + number(double(kills) / double(m.played)) +
               "</td><td>" + groupedNumber(m.totals[&StatsRecord::in_a_row_kills]) + "</td></tr>";
    }
    out += "</tbody></table></div><p class=\"note\">By kills per death";
    if (regular > 1) out += "; maps played at least " + std::to_string(regular) + " times first";
    if (maps.size() > kMapRows) out += "; the first " + std::to_string(kMapRows) + " of " + std::to_string(maps.size());
    out += ".</p></section>";
}

void recentTable(std::string& out, const std::vector<MapRecord>& rows) {
    out += "<section><h2>Recent maps</h2><div class=\"scroll\"><table><thead><tr><th>Started</th><th class=\"l\">"
           "Map</th><th class=\"l\">Game</th><th class=\"l\">Player</th><th>Kills</th><th>Deaths</th><th>K/D</th>"
           "<th>Headshots</th><th>Best run</th></tr></thead><tbody>";
    const size_t shown = std::min(rows.size(), kRecentRows);
    for (size_t n = 0; n < shown; ++n) {
        const MapRecord& r = rows[rows.size() - 1 - n];
        out += "<tr><td>" + shortTime(r.start) + "</td><td class=\"name l\">" + displayName(r.map) +
               "</td><td class=\"l\">" + htmlText(r.edition) + "</td><td class=\"name l\">" + htmlText(r.player) +
               "</td><td>" + std::to_string(r.counts.kills) + "</td><td>" + std::to_string(r.counts.deaths) +
               "</td><td>" + ratioText(killDeathRatio(r.counts.kills, r.counts.deaths)) + "</td><td>" +
               std::to_string(r.counts.headshots_kills) + "</td><td>" + std::to_string(r.counts.in_a_row_kills) +
               "</td></tr>";
    }
    out += "</tbody></table></div>";
    if (rows.size() > shown) out += "<p class=\"note\">The last " + std::to_string(shown) + " of " +
                                    groupedNumber(rows.size()) + " maps, newest first.</p>";
    out += "</section>";
}

void lifetimeTotals(std::string& out, const StatsRecord* lifetime) {
    out += "<section><h2>Lifetime totals</h2>";
    if (lifetime == nullptr) {
        out += "<p>No stats file (vorbix.vbx) in this folder.</p></section>";
        return;
    }
    out += "<div class=\"totals\">";
    for (int i = 0; i < kStatsFieldCount; ++i)
        out += "<div><span>" + std::string(counterLabel(kStatsFields[i])) + "</span><b>" +
               groupedNumber(lifetime->*kStatsFields[i]) + "</b></div>";
    out += "</div><p class=\"note\">From vorbix.vbx: every map since the totals began, also those before the "
           "history.</p></section>";
}

}  // namespace

std::string htmlText(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    appendCodePoint(out, cp1252CodePoint(c));
                } else {
                    out += char(c);
                }
        }
    }
    return out;
}

std::string renderHistoryReport(const HistoryFile& history, const StatsRecord* lifetime,
                                const std::string& generated) {
    const std::vector<MapRecord>& rows = history.rows;
    std::string out;
    out.reserve(64 * 1024);
    out += "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>Vorbix match history</title><style>";
    out += kStyle;
    out += "</style></head><body><main><h1>Vorbix match history</h1><p class=\"sub\">";
    if (rows.empty()) {
        out += "No maps in the history yet.";
    } else {
        out += groupedNumber(rows.size()) + (rows.size() == 1 ? " map" : " maps") + " from " +
               shortTime(rows.front().start) + " to " + shortTime(rows.back().end);
    }
    out += " &middot; made " + htmlText(generated) + "</p>";

    if (rows.empty()) {
        out += "<section><p>Vorbix adds a row to vorbix-history.csv at the end of every map in which it counted "
               "something. Play a map and make this report again.</p></section>";
        lifetimeTotals(out, lifetime);
        return out + "</main></body></html>\n";
    }

    CountTotals totals;
    for (const auto& row : rows) totals.add(row.counts);
    const uint64_t kills = totals[&StatsRecord::kills], deaths = totals[&StatsRecord::deaths];
    const double overall = killDeathRatio(kills, deaths);
    const MapRecord* spree = bestSpreeRow(rows);
    out += "<div class=\"tiles\">";
    tile(out, groupedNumber(rows.size()), "maps");
    tile(out, groupedNumber(kills), "kills");
    tile(out, groupedNumber(deaths), "deaths");
    tile(out, ratioText(overall), "kills per death");
    tile(out, number(double(kills) / double(rows.size())), "kills a map");
    tile(out, kills == 0 ? "0%" : number(100.0 * double(totals[&StatsRecord::headshots_kills]) / double(kills)) + "%",
         "of kills headshots");
    tile(out, std::to_string(spree->counts.in_a_row_kills),
         ("best run: " + displayName(spree->map) + ", " + spree->start.substr(0, 10)).c_str());
    out += "</div>";

    killsDeathsChart(out, rows);
    ratioChart(out, rows, overall);
    out += "<div class=\"grid\">";
    hitChart(out, totals);
    spreeChart(out, totals);
    out += "</div>";
    mapTable(out, rows);
    recentTable(out, rows);
    lifetimeTotals(out, lifetime);
    if (history.skipped > 0 || history.torn)
        out += "<p class=\"note\">Left out of vorbix-history.csv: " + std::to_string(history.skipped) +
               " line(s) that are no map row" + (history.torn ? ", and an unfinished last row" : "") + ".</p>";
    return out + "</main></body></html>\n";
}

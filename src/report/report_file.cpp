#include "report/report_file.h"

#include <ctime>

#include "core/atomic_file.h"
#include "core/stats_record.h"
#include "report/report_html.h"
#include "stats/history.h"

bool writeReportFile(const std::string& path) {
    HistoryFile history;
    readHistoryFile(kHistoryFileName, history);  // no file: no maps yet
    StatsRecord lifetime{};
    const bool haveTotals = readStatsFile(kStatsFileName, lifetime);
    std::string now = localTimestamp(std::time(nullptr));
    if (now.size() > 10) now[10] = ' ';
    const std::string page = renderHistoryReport(history, haveTotals ? &lifetime : nullptr, now);
    return writeFileAtomically(path.c_str(), page.data(), page.size());
}

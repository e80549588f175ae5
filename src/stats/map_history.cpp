#include "stats/map_history.h"

#include <ctime>

#include "console/editions.h"
#include "core/app_state.h"
#include "core/platform.h"
#include "stats/history.h"
#include "stats/history_writer.h"

namespace {

// Started with the first map, for the history in the current directory,
// which the program never changes.
HistoryWriter* writer = nullptr;

HistoryWriter& historyWriter() {
    if (writer == nullptr) writer = new HistoryWriter(currentDirectory() + "/" + kHistoryFileName);
    return *writer;
}

std::string editionName(const GameLink& link) {
    if (link.kind == LinkKind::kConsoleWindow && link.edition >= 0 && link.edition < kEditionCount)
        return kGameEditions[link.edition].name;
    return isLinked(link) ? "OpenMoHAA" : "";
}

}  // namespace

void beginMap() {
    historyWriter();  // its thread starts with the first map, not in the middle of a match
    app.currentMap = MapRecord{};
    app.currentMap.start = localTimestamp(std::time(nullptr));
    app.currentMap.edition = editionName(app.link);
    app.mapUnderWay = true;
    app.mapNameTrusted = !(app.link.kind == LinkKind::kConsoleWindow && app.link.edition == 0) || app.serverStarting;
    app.serverStarting = false;
}

void endMap() {
    if (!app.mapUnderWay) return;
    app.mapUnderWay = false;
    MapRecord& record = app.currentMap;
    if (!hasMapCounts(record)) return;
    record.end = localTimestamp(std::time(nullptr));
    record.player = app.playerName;
    historyWriter().append(record);
}

void setMapName(const std::string& name) {
    if (app.mapUnderWay && app.mapNameTrusted) app.currentMap.map = name;
}

bool flushMapHistory() { return writer == nullptr || writer->flush(); }

void closeMapHistory() {
    delete writer;
    writer = nullptr;
}

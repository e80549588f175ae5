// "Report": the match history's page, written beside the program and opened
// in the player's default browser.
#include "app/launcher.h"
#include "app/ui.h"
#include "core/frontend.h"
#include "core/platform.h"
#include "report/report_file.h"
#include "stats/map_history.h"

void openReport() {
    flushMapHistory();  // every map ended so far is on the page
    const std::string folder = currentDirectory();
    const std::string path = folder + "\\" + kReportFileName;
    if (!writeReportFile(path)) {
        showWarning("Failed to write the report", "Failed");
        return;
    }
    openProgram(path, "", folder);
}

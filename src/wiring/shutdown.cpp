#include "wiring/shutdown.h"

#include "core/app_state.h"
#include "core/frontend.h"
#include "core/platform.h"
#include "core/settings.h"
#include "stats/stats_store.h"

void shutdownApp() {
    bool linked = isLinked(app.link);
    if (linked) {
        sendConsoleCommand("exec vorbixoff.cfg");
        releaseConsoleCommands();
    }
    removeTrayIcon();
    saveStats();
    if (linked) resetSessionStats();
    if (!saveSettings()) showWarning("Failed to write vorbix.ini", "Failed");
}

#include "core/app_state.h"

#include <new>

const char* const kAnnouncementKeys[kAnnouncementCount] = {
    "bash", "headshot", "killingspree", "rampage", "dominating", "unstoppable", "godlike", "holyshit",
};

AppState::AppState() {
    tableA.count = -1;
    tableB.count = 0;
    tableC.count = 0;
    tableD.count = 0;
}

AppState app;

void resetAppState() {
    app.~AppState();
    new (&app) AppState();
}

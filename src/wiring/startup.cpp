#include "wiring/startup.h"

#include "core/app_state.h"
#include "core/frontend.h"
#include "core/settings.h"
#include "wiring/message_wiring.h"

namespace {

// The message-file box's text is read as at most this many characters.
constexpr size_t kMessageFileNameLimit = 99;

}  // namespace

bool loadStartSettings() {
    app.pendingStats = StatsRecord{};
    const bool loaded = loadSettingsFile();
    if (!loaded) showWarning("Failed to load vorbix.ini", "Vorbix3");
    loadSettings();
    loadKillTime();
    loadLaunchTexts();
    return loaded;
}

bool loadStartMessageFile(int listed, const std::string& chosen) {
    if (listed == 0) {
        showWarning("Failed to find any message files", "Vorbix3");
        return false;
    }
    app.settingsTexts.messageFile = chosen;
    loadMessageFile(chosen.substr(0, kMessageFileNameLimit).c_str());
    return true;
}

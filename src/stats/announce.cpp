#include "stats/announce.h"

#include <cstring>

#include "core/app_state.h"
#include "text/format.h"
#include "core/platform.h"

void playSound(const char* file) {
    if (app.soundsEnabled == 0) return;
    playSoundFile(file);
}

void sendAnnouncement(const std::optional<std::string>& text, uint32_t count) {
    if (app.announcementsEnabled == 0 || !text || std::strlen(text->c_str()) < 2) return;
    sendConsoleCommand(formatWithCount(text->c_str(), count));
}

void showGameMenu(const char* name) {
    if (app.displaysEnabled == 0) return;
    std::string command = std::string("showmenu ") + name;
    // The worker hides the menu again about 600 ms after it is shown.
    startWorker(hideMenuWorker);
    sendConsoleCommand(command);
}

void hideMenuWorker() {
    sleepMs(600);
    sendConsoleCommand(std::string("exec ") + kHideMenusScript);
    wakeMainLoop();  // its poll step releases the command
}

void setStatCvar(const char* key, uint32_t value) {
    sendConsoleCommand(std::string("set sfx_") + key + " " + std::to_string(value));
}

void publishAllStats() {
    sleepMs(5);
    sendConsoleCommand("exec updatevbxstats.cfg");
    sendConsoleCommand("exec vorbixon.cfg");
    sendConsoleCommand(app.announcementsEnabled ? "exec announceon.cfg" : "exec announceoff.cfg");
    sendConsoleCommand(app.displaysEnabled ? "exec displayson.cfg" : "exec displaysoff.cfg");
    sendConsoleCommand(app.soundsEnabled ? "exec soundson.cfg" : "exec soundsoff.cfg");
    // The game answers with the player's name, which name detection picks up.
    sendConsoleCommand("name");
    sleepMs(5);
    sendConsoleCommand("set sfx_current_language " + app.currentMessageFile);
}

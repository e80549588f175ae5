#include "stats/announce.h"

#include <cstring>

#include "console/quoted_command.h"
#include "core/app_state.h"
#include "core/frontend.h"
#include "core/platform.h"
#include "core/timers.h"
#include "text/command_text.h"
#include "text/format.h"

namespace {

// How long an event menu shows before the game hides it again.
constexpr unsigned kMenuShowsForMs = 600;

void hideMenus() { sendConsoleCommand(std::string("exec ") + kHideMenusScript); }

}  // namespace

void playSound(const char* file) {
    if (app.soundsEnabled == 0) return;
    playSoundFile(file);
}

void sendAnnouncement(const std::optional<std::string>& text, uint32_t count) {
    if (app.announcementsEnabled == 0 || !text || std::strlen(text->c_str()) < 2) return;
    const std::string command = formatWithCount(text->c_str(), count);
    // The text is the player's, but it must stay one command: a second one
    // after a ';' (or everything after a "/*") would run too, or not at all.
    if (!isSingleCommand(command)) {
        showNotice(("Not sent to the game: an announcement holding more than one command: " + command.substr(0, 60))
                       .c_str());
        return;
    }
    sendConsoleCommand(command);
}

void showGameMenu(const char* name) {
    if (app.displaysEnabled == 0) return;
    // Each menu shown is hidden again a moment later, by the loop's timer.
    runAfter(kMenuShowsForMs, hideMenus);
    sendConsoleCommand(std::string("showmenu ") + name);
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
    sendWithQuotedText("set sfx_current_language ", app.currentMessageFile);
}

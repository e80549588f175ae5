// The terminal's side of the front-end seam: what the core reports becomes
// notes ("vorbix: player Kestrel", "vorbix: sounds off"), warnings on
// standard error, and the status line with the run's counts.
#include <string>

#include "core/app_state.h"
#include "core/frontend.h"
#include "terminal/display.h"
#include "terminal/run_view.h"

namespace {

struct View {
    std::string status;
    std::string player;
    RunCounts shown;
    // The switches as last told; an in-game command is a note only when it
    // changes one.
    bool switches[3] = {false, false, false};
    bool switchesKnown = false;
};

View view;

const char* const kSwitchNames[3] = {"sounds", "announcements", "displays"};

void refreshStatusLine() { setStatusLine(isLinked(app.link) ? describeRun(view.shown, view.player) : std::string()); }

}  // namespace

void showStatus(const char* text) {
    if (view.status == text) return;
    view.status = text;
    if (*text != '\0') writeNote(text);
}

void showPlayerName(const char* name) {
    if (view.player == name) return;
    view.player = name;
    if (*name != '\0') writeNote(std::string("player ") + name);
    refreshStatusLine();
}

void showSwitch(Switch which, bool on) {
    if (!view.switchesKnown) {
        view.switches[0] = app.soundsEnabled != 0;
        view.switches[1] = app.announcementsEnabled != 0;
        view.switches[2] = app.displaysEnabled != 0;
        view.switchesKnown = true;
    }
    const int index = static_cast<int>(which);
    if (view.switches[index] != on) writeNote(std::string(kSwitchNames[index]) + (on ? " on" : " off"));
    view.switches[index] = on;
}

// The game started by Vorbix ends with it; there is no window to bring back.
void showGameGone() {}

void showRunCounts(const RunCounts& run) {
    const std::string news = describeNews(view.shown, run);
    view.shown = run;
    if (!news.empty()) writeNote(news + "  [" + describeRun(run, view.player) + "]");
    refreshStatusLine();
}

void showWarning(const char* text, const char* caption) { writeWarning(caption, text); }

void showNotice(const char* text) { writeNote(text); }

void removeTrayIcon() {}

const RunCounts& shownRunCounts() { return view.shown; }

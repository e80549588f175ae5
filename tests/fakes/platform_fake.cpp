#include "fakes/platform_fake.h"

#include <cstring>

#include "console/console_events.h"
#include "console/poll.h"

FakePlatform fake;

namespace {

// Fake handles point at these names.
const char* const kControlNames[] = {
    "mainWindow",     "statusLabel",   "playerNameLabel",       "messageFileBox",
    "launchCheckBox", "soundsCheckBox", "announcementsCheckBox", "displaysCheckBox",
    "connectBox",     "gamePathBox",   "parametersBox",
};

WindowHandle handleOf(const char* const& name) { return const_cast<char**>(&name); }

}  // namespace

std::string controlName(WindowHandle control) {
    for (const char* const& name : kControlNames)
        if (handleOf(name) == control) return name;
    return "?";
}

void resetFakes() {
    resetAppState();
    clearConsoleEvents();
    fake = FakePlatform{};
    WindowHandle* members[] = {
        &app.mainWindow,     &app.statusLabel,    &app.playerNameLabel,       &app.messageFileBox,
        &app.launchCheckBox, &app.soundsCheckBox, &app.announcementsCheckBox, &app.displaysCheckBox,
        &app.connectBox,     &app.gamePathBox,    &app.parametersBox,
    };
    for (size_t i = 0; i < sizeof members / sizeof members[0]; ++i) *members[i] = handleOf(kControlNames[i]);
}

void FakePlatform::runWorkers() {
    std::vector<void (*)()> workers;
    workers.swap(pendingWorkers);
    for (auto work : workers) work();
}

std::vector<std::string> FakePlatform::logOf(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& entry : log)
        if (entry.compare(0, prefix.size(), prefix) == 0) out.push_back(entry);
    return out;
}

void FakePlatform::consoleStep() {
    if (linked && !consoleAlive) {
        linked = false;
        ConsoleEvent lost;
        lost.kind = ConsoleEvent::kLost;
        postConsoleEvent(lost);
    } else if (linked) {
        if (!consoleText.empty()) postNewLines(reader, consoleText);
        return;
    }
    const int index = nextSearchEdition(searchIndex);
    const bool found = editionPresent[index];
    log.push_back("find " + std::to_string(index) + (found ? " found" : " none"));
    ConsoleEvent event;
    event.edition = index;
    if (!found) {
        event.kind = ConsoleEvent::kSearched;
    } else {
        linked = consoleAlive = true;
        reader = BoxReader{};
        event.kind = ConsoleEvent::kLinked;
        event.link = GameLink{LinkKind::kConsoleWindow, newLinkId(), index};
    }
    postConsoleEvent(event);
}

void pollFakeConsole(int32_t& lastSearchTime) {
    fake.consoleStep();
    pollConsole(lastSearchTime);
}

void startConsoleChannel() {}

void releaseConsoleCommands() {}

bool flushConsoleCommands(unsigned) { return true; }

void wakeMainLoop() { ++fake.wakes; }

void sendConsoleCommand(const std::string& command) {
    fake.log.push_back("cmd " + command);
    fake.commands.push_back(command);
}

void setControlText(WindowHandle control, const char* text) {
    fake.log.push_back("text " + controlName(control) + "|" + text);
    fake.controlTexts[controlName(control)] = text;
}

std::string getControlText(WindowHandle control) { return fake.controlTexts[controlName(control)]; }

void setCheckBox(WindowHandle checkBox, bool checked) {
    fake.log.push_back("check " + controlName(checkBox) + "|" + (checked ? "1" : "0"));
    fake.checkBoxes[controlName(checkBox)] = checked;
}

bool isCheckBoxChecked(WindowHandle checkBox) { return fake.checkBoxes[controlName(checkBox)]; }

void showMainWindow() {
    fake.log.push_back("show");
    app.windowHidden = false;
}

void hideMainWindow() {
    fake.log.push_back("hide");
    app.windowHidden = true;
}

void showWarning(const char* text, const char* caption) {
    fake.log.push_back(std::string("box ") + caption + "|" + text);
}

void showNotice(const char* text) { fake.log.push_back(std::string("notice ") + text); }

void playSoundFile(const char* path) { fake.log.push_back(std::string("sound ") + path); }

void startWorker(void (*work)()) {
    fake.log.push_back("worker");
    fake.pendingWorkers.push_back(work);
}

void sleepMs(unsigned milliseconds) { fake.log.push_back("sleep " + std::to_string(milliseconds)); }

int32_t nowSeconds() { return fake.now; }

void exitProcess(int code) { throw FakeExit{code}; }

std::string currentDirectory() { return fake.cwd; }

void setDialogItemText(WindowHandle, int id, const char* text) {
    fake.log.push_back("item " + std::to_string(id) + "|" + text);
    fake.dialogItems[id] = text;
}

void removeTrayIcon() { fake.log.push_back("tray remove"); }

void openProgram(const std::string& program, const std::string& parameters, const std::string& directory) {
    fake.log.push_back("open " + program + "|" + parameters + "|" + directory);
}

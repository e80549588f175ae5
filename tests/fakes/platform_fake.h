// Recording fakes of the platform seam for the native tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "console/box_reader.h"
#include "console/editions.h"
#include "core/platform.h"

struct FakeExit {
    int code;
};

struct FakePlatform {
    // Everything the core did, in order: "cmd <text>", "sound <path>",
    // "box <caption>|<text>", "notice <text>", "worker", "sleep <ms>", "show", "hide",
    // "text <control>|<text>", "check <control>|<0/1>", "delete <n>",
    // "item <id>|<text>", "tray remove", "open <program>|<parameters>|<dir>",
    // "find <edition> found|none".
    std::vector<std::string> log;
    std::vector<std::string> commands;  // "cmd" entries only, in order

    // The game, as the console transport sees it (consoleStep).
    bool editionPresent[kEditionCount] = {false, false, false};
    bool consoleAlive = false;      // the linked window still exists
    std::string consoleText;        // the output box
    bool linked = false;            // the transport's own view
    int searchIndex = 0;
    BoxReader reader;
    int wakes = 0;                  // wakeMainLoop calls
    int32_t now = 1000;             // nowSeconds()
    std::string cwd = ".";
    std::map<std::string, std::string> controlTexts;
    std::map<std::string, bool> checkBoxes;
    std::map<int, std::string> dialogItems;  // setDialogItemText
    std::vector<void (*)()> pendingWorkers;

    // Runs the workers started so far (their sleeps are logged, not slept).
    void runWorkers();
    // One step of the console transport, on the test's thread: one edition
    // searched while not linked (the first step after finding does not
    // read), a lost game reported and the search gone on with, or the box
    // read and its new lines posted.
    void consoleStep();
    std::vector<std::string> logOf(const std::string& prefix) const;
};

extern FakePlatform fake;

// One step of the fake console transport, then one poll step, as the
// console thread and the window thread take turns.
void pollFakeConsole(int32_t& lastSearchTime);

// Resets `app` and `fake`, and gives the main window's controls fake handles
// named after their AppState members ("statusLabel", "soundsCheckBox", ...).
void resetFakes();
// The control name behind a fake handle.
std::string controlName(WindowHandle control);

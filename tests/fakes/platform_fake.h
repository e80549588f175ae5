// Recording fakes of the platform seam and the front-end seam for the native
// tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "console/box_reader.h"
#include "console/editions.h"
#include "core/app_state.h"
#include "core/frontend.h"
#include "core/platform.h"

struct FakeExit {
    int code;
};

struct FakePlatform {
    // Everything the core did, in order: "cmd <text>", "sound <path>",
    // "box <caption>|<text>", "notice <text>", "timer <ms>", "sleep <ms>",
    // "status <text>", "player <name>", "switch <name>|<0/1>", "gone",
    // "tray remove", "open <program>|<parameters>|<dir>",
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
    uint64_t nowMs = 1000000;       // nowMilliseconds()
    std::string cwd = ".";
    // The front-end as the core left it.
    std::string status;
    std::string playerName;
    std::map<std::string, bool> switches;  // "sounds", "announcements", "displays"
    RunCounts runCounts;

    // Lets the clock run on far enough for every timer set so far, and runs them.
    void runTimers();
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

// Resets `app`, the timers, the match history's writer and `fake`.
void resetFakes();

// AppState: the one program-wide record of the companion program. Every
// subsystem reads and writes its members directly, on the main thread.
#pragma once

#include <SimpleIni.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "console/keywords.h"
#include "core/game_link.h"
#include "core/stats_record.h"

// Window handles are opaque to the portable core; the Win32 edge casts them.
using WindowHandle = void*;

// The eight announcement texts, in the order of the settings keys.
enum AnnouncementKey {
    kAnnounceBash,
    kAnnounceHeadshot,
    kAnnounceKillingspree,
    kAnnounceRampage,
    kAnnounceDominating,
    kAnnounceUnstoppable,
    kAnnounceGodlike,
    kAnnounceHolyshit,
    kAnnouncementCount
};
extern const char* const kAnnouncementKeys[kAnnouncementCount];

struct AppState {
    // Main window and its controls.
    WindowHandle mainWindow = nullptr;
    bool windowHidden = false;
    WindowHandle statusLabel = nullptr;
    WindowHandle playerNameLabel = nullptr;
    WindowHandle messageFileBox = nullptr;
    WindowHandle launchCheckBox = nullptr;
    WindowHandle soundsCheckBox = nullptr;
    WindowHandle announcementsCheckBox = nullptr;
    WindowHandle displaysCheckBox = nullptr;
    WindowHandle connectBox = nullptr;
    WindowHandle gamePathBox = nullptr;
    WindowHandle parametersBox = nullptr;

    // Settings (vorbix.ini), loaded for the whole run.
    CSimpleIniA settingsIni{false, false, false};
    uint32_t soundsEnabled = 0;
    uint32_t displaysEnabled = 0;
    uint32_t announcementsEnabled = 0;
    uint32_t launchGameOnHide = 0;
    int32_t killTime = 10;
    std::optional<std::string> announcementTexts[kAnnouncementCount];
    bool privateMode = false;

    // The linked game and the keyword tables.
    GameLink link;
    KeywordTable tableA{};
    KeywordTable tableB{};
    KeywordTable tableC{};
    HitLocationTable tableD{};
    std::string currentMessageFile;
    int32_t nameEntryIndex = 0;
    // The player's name as set in the game. The name entry holds only the part
    // of it that every console line naming the player shows: the game prints
    // some names differently in obituaries (see name_detection.cpp).
    std::string playerName;

    // Statistics.
    StatsRecord pendingStats{};
    // Counts of saves that failed; added by the next save that succeeds.
    StatsRecord unsavedStats{};
    // Everything the saves of this run took from pendingStats (merged as the
    // file merges), for a front-end that shows the run's counts.
    StatsRecord savedThisRun{};
    int32_t lastKillTime = 0;
    uint32_t multiKillCount = 0;
    uint32_t spreeCount = 0;
    uint32_t killsInARow = 0;
    uint32_t deathsInARow = 0;

    AppState();
};

extern AppState app;

// Puts `app` back to its start values (tests, and nothing else).
void resetAppState();

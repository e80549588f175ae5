// AppState: the one program-wide record of the companion program. Every
// subsystem reads and writes its members directly, on the front-end's thread.
// What a front-end shows (windows, controls, the terminal) is the front-end's
// own; the core reports to it through core/frontend.h.
#pragma once

#include <SimpleIni.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/game_link.h"
#include "core/keyword_table.h"
#include "core/stats_record.h"

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

// The settings texts the player edits in the front-end: the three launch
// boxes and the message file chosen for the next start. The front-end keeps
// them current; the exit path saves them as they are.
struct SettingsTexts {
    std::string server;      // "ip"
    std::string gamePath;    // "gamepath"
    std::string parameters;  // "gameparameters"
    std::string messageFile; // "defaultmsgfile"
};

struct AppState {
    // Settings (vorbix.ini), loaded for the whole run.
    CSimpleIniA settingsIni{false, false, false};
    uint32_t soundsEnabled = 0;
    uint32_t displaysEnabled = 0;
    uint32_t announcementsEnabled = 0;
    uint32_t launchGameOnHide = 0;
    int32_t killTime = 10;
    std::optional<std::string> announcementTexts[kAnnouncementCount];
    SettingsTexts settingsTexts;
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

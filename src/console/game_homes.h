// Where the open-source engine keeps its console log and config, and finding
// the logs being written. All the engine's path knowledge is here.
//
// The home folder (Sys_DefaultHomePath, code/sys/sys_win32.c and
// code/sys/sys_unix.c; "openmohaa" is HOMEPATH_NAME in code/qcommon/q_shared.h)
// is the same for every edition; "openmohaa-demo" for a demo build
// (com_target_demo, code/qcommon/common.c). Windows: %APPDATA%\openmohaa.
// macOS: ~/Library/Application Support/openmohaa. Linux: configs under
// $XDG_CONFIG_HOME (~/.config)/openmohaa, logs under $XDG_DATA_HOME
// (~/.local/share)/openmohaa, or both in the older ~/.openmohaa while that
// exists and no XDG config folder does. "+set fs_homepath" puts all of them
// in one folder of the player's choice. Inside, the edition's game folder:
// main (Allied Assault), mainta (Spearhead), maintt (Breakthrough); the log
// is <game folder>/qconsole.log, the config <game folder>/configs/omconfig.cfg.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GameHome {
    std::string data;    // holds <game folder>/qconsole.log
    std::string config;  // holds <game folder>/configs/omconfig.cfg
};

enum class HomeSystem { kWindows, kMacOS, kLinux };

// What the home folders are made from: the environment's APPDATA, HOME,
// XDG_DATA_HOME and XDG_CONFIG_HOME (empty when unset).
struct HomeEnvironment {
    std::string appData;
    std::string home;
    std::string xdgDataHome;
    std::string xdgConfigHome;
};

// The engine's home folders on `system`, the usual one first; with
// `fsHomePath` (the game's "+set fs_homepath") that folder alone.
std::vector<GameHome> gameHomes(HomeSystem system, const HomeEnvironment& environment,
                                const std::string& fsHomePath = std::string());
// The same for this machine, from the process's environment.
std::vector<GameHome> gameHomesHere(const std::string& fsHomePath = std::string());

// The game folder of each edition, by index of kGameEditions (console/editions.h).
constexpr int kGameFolderCount = 3;
extern const char* const kGameFolders[kGameFolderCount];

struct FoundLog {
    std::string path;        // the log
    int edition = 0;         // index of kGameEditions
    std::string configHome;  // the home config folder beside it (for player/game_config.h)
    std::string gameFolder;  // main, mainta or maintt
    int64_t modified = 0;    // last write, seconds since 1970
};

// The logs under `homes` written at most `maxAgeSeconds` before `now`
// (seconds since 1970), the most recently written first.
std::vector<FoundLog> findLiveLogs(const std::vector<GameHome>& homes, int64_t now, int64_t maxAgeSeconds);

#include "console/game_homes.h"

#include <algorithm>
#include <cstdlib>

#include "console/log_file.h"

const char* const kGameFolders[kGameFolderCount] = {"main", "mainta", "maintt"};

namespace {

// The full game's home name, then the demo build's.
const char* const kHomeNames[] = {"openmohaa", "openmohaa-demo"};

std::string joined(const std::string& folder, const std::string& name, char separator) {
    if (folder.empty() || folder.back() == separator) return folder + name;
    return folder + separator + name;
}

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::vector<GameHome> gameHomes(HomeSystem system, const HomeEnvironment& environment, const std::string& fsHomePath) {
    if (!fsHomePath.empty()) return {{fsHomePath, fsHomePath}};
    std::vector<GameHome> homes;
    for (const char* name : kHomeNames) {
        if (system == HomeSystem::kWindows) {
            if (environment.appData.empty()) continue;
            const std::string home = joined(environment.appData, name, '\\');
            homes.push_back({home, home});
        } else if (system == HomeSystem::kMacOS) {
            if (environment.home.empty()) continue;
            const std::string home = joined(environment.home, std::string("Library/Application Support/") + name, '/');
            homes.push_back({home, home});
        } else {
            const std::string data = !environment.xdgDataHome.empty() ? environment.xdgDataHome
                                     : !environment.home.empty()      ? joined(environment.home, ".local/share", '/')
                                                                      : std::string();
            const std::string config = !environment.xdgConfigHome.empty() ? environment.xdgConfigHome
                                       : !environment.home.empty()        ? joined(environment.home, ".config", '/')
                                                                          : std::string();
            if (!data.empty() && !config.empty()) homes.push_back({joined(data, name, '/'), joined(config, name, '/')});
        }
    }
    // The older layout, one folder for everything; the demo build never used it.
    if (system == HomeSystem::kLinux && !environment.home.empty()) {
        const std::string legacy = joined(environment.home, ".openmohaa", '/');
        homes.push_back({legacy, legacy});
    }
    return homes;
}

std::vector<GameHome> gameHomesHere(const std::string& fsHomePath) {
    HomeEnvironment environment;
#if defined(_WIN32)
    const HomeSystem system = HomeSystem::kWindows;
    environment.appData = environmentValue("APPDATA");
#elif defined(__APPLE__)
    const HomeSystem system = HomeSystem::kMacOS;
    environment.home = environmentValue("HOME");
#else
    const HomeSystem system = HomeSystem::kLinux;
    environment.home = environmentValue("HOME");
    environment.xdgDataHome = environmentValue("XDG_DATA_HOME");
    environment.xdgConfigHome = environmentValue("XDG_CONFIG_HOME");
#endif
    return gameHomes(system, environment, fsHomePath);
}

std::vector<FoundLog> findLiveLogs(const std::vector<GameHome>& homes, int64_t now, int64_t maxAgeSeconds) {
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    std::vector<FoundLog> found;
    LogLook look;
    std::string nothing;
    for (const GameHome& home : homes) {
        for (int edition = 0; edition < kGameFolderCount; ++edition) {
            const std::string folder = joined(home.data, kGameFolders[edition], separator);
            const std::string path = joined(folder, "qconsole.log", separator);
            lookAtLogFile(path, 0, 0, look, nothing);
            if (!look.exists || now - look.modified > maxAgeSeconds) continue;
            found.push_back({path, edition, home.config, kGameFolders[edition], look.modified});
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const FoundLog& a, const FoundLog& b) { return a.modified > b.modified; });
    return found;
}

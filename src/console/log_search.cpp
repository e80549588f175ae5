#include "console/log_search.h"

#include <ctime>
#include <mutex>

#include "console/log_channel.h"

namespace {

// A log written within this many seconds is taken as written by a running game.
constexpr int64_t kLiveLogSeconds = 30;

struct Search {
    std::mutex mutex;
    FoundLog followed;
    int64_t lastLook = 0;
};

Search& search() {
    static Search* instance = new Search;  // never destroyed: the transport's thread may run at exit
    return *instance;
}

void startFollowing(Search& s, const FoundLog& log) {
    stopLogFollow();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.followed = log;
    }
    startLogFollow(log.path, log.edition);
}

}  // namespace

void lookForLiveLog() {
    Search& s = search();
    const int64_t now = std::time(nullptr);
    if (now == s.lastLook || followedLogLinked()) return;
    s.lastLook = now;
    const std::vector<FoundLog> logs = findLiveLogs(gameHomesHere(), now, kLiveLogSeconds);
    if (logs.empty() || logs.front().path == followedLog().path) return;
    startFollowing(s, logs.front());
}

void followLog(const FoundLog& log) { startFollowing(search(), log); }

FoundLog logAt(const std::string& path) {
    FoundLog log;
    log.path = path;
    const size_t fileSlash = path.find_last_of("/\\");
    const std::string folder = fileSlash == std::string::npos ? std::string() : path.substr(0, fileSlash);
    const size_t folderSlash = folder.find_last_of("/\\");
    log.gameFolder = folderSlash == std::string::npos ? folder : folder.substr(folderSlash + 1);
    const std::string home = folderSlash == std::string::npos ? std::string(".") : folder.substr(0, folderSlash);
    for (int i = 0; i < kGameFolderCount; ++i)
        if (log.gameFolder == kGameFolders[i]) log.edition = i;
    log.configHome = home;
    for (const GameHome& known : gameHomesHere())
        if (known.data == home) log.configHome = known.config;
    return log;
}

void stopFollowingLogs() {
    Search& s = search();
    stopLogFollow();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.followed = FoundLog{};
}

FoundLog followedLog() {
    Search& s = search();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.followed;
}

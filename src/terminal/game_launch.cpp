#include "terminal/game_launch.h"

#include <sys/stat.h>

#include "core/settings.h"

namespace {

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::vector<std::string> splitParameters(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

GameLaunch launchFromSettings(const std::string& gamePath, const std::string& parameters,
                              const std::string& server) {
    GameLaunch launch;
    std::string program = gamePath;
    if (isFolder(program)) program += std::string(program.back() == '/' ? "" : "/") + kGameLauncherName;
    const size_t slash = program.rfind('/');
    if (slash != std::string::npos) launch.directory = slash == 0 ? "/" : program.substr(0, slash);
    launch.arguments.push_back(program);
    for (std::string& word : splitParameters(parameters)) launch.arguments.push_back(std::move(word));
    if (!server.empty() && server != kDefaultServer) {
        launch.arguments.push_back("+connect");
        launch.arguments.push_back(server);
    }
    return launch;
}

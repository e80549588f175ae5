#include "app/launcher.h"

#include "core/settings.h"

namespace {

const char* const kGameExecutable = "\\MOHAA.exe";
const char* const kConnectOption = " +connect ";
// The open-source engine's Windows client has no console window: it is
// followed through its log, which it writes as it prints only when asked.
const char* const kLogOption = " +set logfile 2";

// The box texts are read as the game path and parameters of up to 199
// characters and the server of up to 99.
const size_t kPathLimit = 199;
const size_t kServerLimit = 99;

char lowerCase(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool startsWithIgnoringCase(const std::string& text, size_t at, const char* prefix) {
    for (size_t i = 0; prefix[i] != '\0'; ++i)
        if (at + i >= text.size() || lowerCase(text[at + i]) != prefix[i]) return false;
    return true;
}

}  // namespace

bool isOpenMohaaProgram(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    const size_t name = slash == std::string::npos ? 0 : slash + 1;
    const std::string tail = path.substr(name);
    return startsWithIgnoringCase(path, name, "launch_openmohaa_") ||
           (tail.size() == 13 && startsWithIgnoringCase(path, name, "openmohaa.exe"));
}

std::optional<LaunchCommand> composeLaunch(const std::string& gamePath, const std::string& parameters,
                                           const std::string& server) {
    std::string path = gamePath.substr(0, kPathLimit);
    if (path.empty()) return std::nullopt;

    LaunchCommand launch;
    size_t executable = path.find(kGameExecutable);
    const bool openMohaa = isOpenMohaaProgram(path);
    if (openMohaa) {
        const size_t slash = path.find_last_of("\\/");
        launch.directory = slash == std::string::npos ? std::string() : path.substr(0, slash);
        launch.program = path;
    } else if (executable != std::string::npos) {
        launch.directory = path.substr(0, executable);
        launch.program = path;
    } else {
        launch.directory = path;
        launch.program = path + kGameExecutable;
    }

    launch.parameters = parameters.substr(0, kPathLimit);
    if (openMohaa) launch.parameters += kLogOption;
    std::string address = server.substr(0, kServerLimit);
    if (!address.empty() && address != kDefaultServer) launch.parameters += kConnectOption + address;
    return launch;
}

void launchGame(const std::string& gamePath, const std::string& parameters, const std::string& server) {
    std::optional<LaunchCommand> launch = composeLaunch(gamePath, parameters, server);
    if (launch) openProgram(launch->program, launch->parameters, launch->directory);
}

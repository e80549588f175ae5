#include "app/launcher.h"

#include "core/settings.h"

namespace {

const char* const kGameExecutable = "\\MOHAA.exe";
const char* const kConnectOption = " +connect ";

// The box texts are read as the game path and parameters of up to 199
// characters and the server of up to 99.
const size_t kPathLimit = 199;
const size_t kServerLimit = 99;

}  // namespace

std::optional<LaunchCommand> composeLaunch(const std::string& gamePath, const std::string& parameters,
                                           const std::string& server) {
    std::string path = gamePath.substr(0, kPathLimit);
    if (path.empty()) return std::nullopt;

    LaunchCommand launch;
    size_t executable = path.find(kGameExecutable);
    if (executable != std::string::npos) {
        launch.directory = path.substr(0, executable);
        launch.program = path;
    } else {
        launch.directory = path;
        launch.program = path + kGameExecutable;
    }

    launch.parameters = parameters.substr(0, kPathLimit);
    std::string address = server.substr(0, kServerLimit);
    if (!address.empty() && address != kDefaultServer) launch.parameters += kConnectOption + address;
    return launch;
}

void launchGame(const std::string& gamePath, const std::string& parameters, const std::string& server) {
    std::optional<LaunchCommand> launch = composeLaunch(gamePath, parameters, server);
    if (launch) openProgram(launch->program, launch->parameters, launch->directory);
}

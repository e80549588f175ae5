// PLACEHOLDER: an empty skeleton so the tree links while it is being written.
#include "app/launcher.h"

std::optional<LaunchCommand> composeLaunch(const std::string&, const std::string&, const std::string&) { return {}; }
void launchGame() {}

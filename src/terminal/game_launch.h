// The game's command line for the terminal front-end.
#pragma once

#include <string>
#include <vector>

#include "posix/game_process_posix.h"

// The base game's launcher in an OpenMoHAA folder.
constexpr const char* kGameLauncherName = "launch_openmohaa_base";

// From vorbix.ini's [game] texts: the program "gamepath" names (a folder
// stands for its launch_openmohaa_base), the words of "gameparameters", and
// "+connect" with the server unless it is empty or the placeholder. The game
// runs in its program's folder.
GameLaunch launchFromSettings(const std::string& gamePath, const std::string& parameters,
                              const std::string& server);
// The words of a parameter line: blanks separate them, and a double-quoted
// part keeps its blanks (the quotes themselves are left out).
std::vector<std::string> splitParameters(const std::string& text);

// Starting the game from the "Launch Mohaa" boxes.
#pragma once

#include <optional>
#include <string>

struct LaunchCommand {
    std::string program;
    std::string directory;
    std::string parameters;
};

// The program, working directory and parameter line for the three box texts
// (cut to 199, 199 and 99 characters); nothing when the game path is empty.
// The open-source engine's programs are started as named, with their log on
// ("+set logfile 2"): their client has no console window to read.
std::optional<LaunchCommand> composeLaunch(const std::string& gamePath, const std::string& parameters,
                                           const std::string& server);
// Whether `path` names one of the open-source engine's programs
// (launch_openmohaa_*, openmohaa.exe; any case).
bool isOpenMohaaProgram(const std::string& path);
// Asks the shell to open the game composed from the three box texts; nothing
// when the game path is empty.
void launchGame(const std::string& gamePath, const std::string& parameters, const std::string& server);
// Asks the shell to "open" `program` with `parameters` in `directory`
// (shell.cpp; a recording fake in the native tests).
void openProgram(const std::string& program, const std::string& parameters, const std::string& directory);

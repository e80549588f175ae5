// Starting a program through the Windows shell.
#include <windows.h>
#include <shellapi.h>

#include "app/launcher.h"
#include "app/ui.h"

void openProgram(const std::string& program, const std::string& parameters, const std::string& directory) {
    ShellExecuteA(ui.mainWindow, "open", program.c_str(), parameters.c_str(), directory.c_str(), SW_SHOWNORMAL);
}

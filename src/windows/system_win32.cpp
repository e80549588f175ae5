// Threads, the clock, the process and the shell.
#include <windows.h>
#include <shellapi.h>

#include <ctime>
#include <thread>

#include "core/platform.h"

void startWorker(void (*work)()) { std::thread(work).detach(); }

void sleepMs(unsigned milliseconds) { Sleep(milliseconds); }

int32_t nowSeconds() { return static_cast<int32_t>(std::time(nullptr)); }

void exitProcess(int code) { ExitProcess(static_cast<UINT>(code)); }

std::string currentDirectory() {
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return std::string();
    std::string directory(size, '\0');
    DWORD length = GetCurrentDirectoryA(size, &directory[0]);
    directory.resize(length < size ? length : 0);
    // A drive's root comes with its separator ("C:\"); callers add their own.
    if (!directory.empty() && directory.back() == '\\') directory.pop_back();
    return directory;
}

void openProgram(const std::string& program, const std::string& parameters, const std::string& directory) {
    ShellExecuteA(static_cast<HWND>(app.mainWindow), "open", program.c_str(), parameters.c_str(), directory.c_str(),
                  SW_SHOWNORMAL);
}

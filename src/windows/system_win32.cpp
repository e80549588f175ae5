// The clocks, the process and the current directory.
#include <windows.h>

#include <ctime>

#include "core/platform.h"

void sleepMs(unsigned milliseconds) { Sleep(milliseconds); }

int32_t nowSeconds() { return static_cast<int32_t>(std::time(nullptr)); }

uint64_t nowMilliseconds() { return GetTickCount64(); }

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

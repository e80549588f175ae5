// The clocks, the process and the current directory on Linux and macOS.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <string>
#include <thread>

#include "core/platform.h"

void sleepMs(unsigned milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

int32_t nowSeconds() { return static_cast<int32_t>(std::time(nullptr)); }

uint64_t nowMilliseconds() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

void exitProcess(int code) { _exit(code); }

std::string currentDirectory() {
    std::string directory(256, '\0');
    while (getcwd(&directory[0], directory.size()) == nullptr) {
        if (errno != ERANGE) return std::string();
        directory.resize(directory.size() * 2);
    }
    directory.resize(directory.find('\0'));
    // The root comes as "/"; callers add their own separator.
    if (directory == "/") directory.clear();
    return directory;
}

// CPU time and memory of another process, read through its handle.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace bench {

// Kernel plus user CPU time of `process`, in milliseconds.
inline double cpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

struct Memory {
    size_t workingSet = 0;
    size_t peakWorkingSet = 0;
    size_t privateBytes = 0;
};

inline Memory memoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    Memory memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        memory.workingSet = counters.WorkingSetSize;
        memory.peakWorkingSet = counters.PeakWorkingSetSize;
        // Wine leaves PrivateUsage at 0; the commit charge is the same figure there.
        memory.privateBytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    }
    return memory;
}

// Share of one core that `process` used over the next `ms` milliseconds, in percent.
inline double cpuPercentOver(HANDLE process, DWORD ms) {
    double before = cpuMs(process);
    ULONGLONG start = GetTickCount64();
    Sleep(ms);
    double elapsed = static_cast<double>(GetTickCount64() - start);
    return (cpuMs(process) - before) * 100.0 / elapsed;
}

// Under Wine: the Linux pid of the process running `exeName` in this Wine
// prefix, found through drive Z:; empty when none.
inline std::string linuxPidOf(const std::string& exeName) {
    static std::string cached;
    if (!cached.empty()) return cached;
    cached = [&] {
        const char* prefix = std::getenv("WINEPREFIX");
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
        if (find == INVALID_HANDLE_VALUE) return std::string();
        std::string found;
        do {
            std::string name = entry.cFileName;
            if (name.find_first_not_of("0123456789") != std::string::npos) continue;
            std::ifstream cmdline("Z:\\proc\\" + name + "\\cmdline", std::ios::binary);
            std::string command((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
            if (command.find(exeName) == std::string::npos) continue;
            std::ifstream environment("Z:\\proc\\" + name + "\\environ", std::ios::binary);
            std::string variables((std::istreambuf_iterator<char>(environment)), std::istreambuf_iterator<char>());
            if (prefix && variables.find(std::string("WINEPREFIX=") + prefix + '\0') == std::string::npos) continue;
            found = name;
        } while (found.empty() && FindNextFileA(find, &entry));
        FindClose(find);
        return found;
    }();
    return cached;
}

// Under Wine: CPU time in milliseconds of that process, from the kernel's
// exact per-thread run times (/proc/<pid>/task/*/schedstat). GetProcessTimes
// counts whole 10 ms ticks, too coarse for short idle wake-ups. Negative when
// not under Wine or the process is not found.
inline double linuxCpuMs(const std::string& exeName) {
    const std::string pid = linuxPidOf(exeName);
    if (pid.empty()) return -1;
    const std::string tasks = "Z:\\proc\\" + pid + "\\task\\";
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((tasks + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return -1;
    double ns = 0;
    do {
        if (entry.cFileName[0] == '.') continue;
        std::ifstream schedstat(tasks + entry.cFileName + "\\schedstat");
        double taskNs = 0;
        if (schedstat >> taskNs) ns += taskNs;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return ns / 1e6;
}

// Share of one core, in percent, that the process used over the next `ms`
// milliseconds, exactly where the kernel's run times are reachable.
inline double exactCpuPercentOver(HANDLE process, const std::string& exeName, DWORD ms) {
    double before = linuxCpuMs(exeName);
    if (before < 0) return cpuPercentOver(process, ms);
    ULONGLONG start = GetTickCount64();
    Sleep(ms);
    double elapsed = static_cast<double>(GetTickCount64() - start);
    return (linuxCpuMs(exeName) - before) * 100.0 / elapsed;
}

}  // namespace bench

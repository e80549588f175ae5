// CPU time and memory of another process, read through its handle.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdint>

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

}  // namespace bench

// The log-follow transport's figures, natively and (cross-built) under Wine:
// the CPU it takes while following a quiet log and while kills arrive at a
// real pace (2.5 to 5 s apart), and the latency from a kill line written (as
// logfile 2 writes it, the stamp in pieces) to its lines event taken by the
// front-end's thread.
//
//   vorbix_log_follow_bench [kills] [quiet seconds]   (default 20 10)
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "console/console_events.h"
#include "console/log_channel.h"

namespace {

using Clock = std::chrono::steady_clock;

std::mutex wakeMutex;
std::condition_variable woken;

double processCpuMs() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) { return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
#endif
}

std::string tempFolder() {
#ifdef _WIN32
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    std::string folder = std::string(base) + "vorbix-log-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
#else
    char pattern[] = "/tmp/vorbix-log-bench.XXXXXX";
    return std::string(mkdtemp(pattern)) + "/";
#endif
}

// Like Com_Printf with logfile 2: an unbuffered stream, the stamp in pieces.
void print(std::FILE* log, const std::string& text) {
    for (const char* piece : {"[2026-04-09 00:37:09 ", "UTC+2.000", "] "}) std::fwrite(piece, 1, std::strlen(piece), log);
    std::fwrite(text.data(), 1, text.size(), log);
}

// Takes events until a lines event holding `text` comes; its arrival time.
Clock::time_point waitForLine(const std::string& text) {
    ConsoleEvent event;
    for (;;) {
        while (takeConsoleEvent(event))
            if (event.kind == ConsoleEvent::kLines && event.lines.find(text) != std::string::npos) return Clock::now();
        std::unique_lock<std::mutex> lock(wakeMutex);
        woken.wait_for(lock, std::chrono::milliseconds(50));
    }
}

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size() - 1) + 0.5))];
}

}  // namespace

void wakeMainLoop() { woken.notify_all(); }

int main(int argc, char** argv) {
    const int kills = argc > 1 ? std::atoi(argv[1]) : 20;
    const int quietSeconds = argc > 2 ? std::atoi(argv[2]) : 10;
    const std::string path = tempFolder() + "qconsole.log";
    startLogFollow(path);
    std::FILE* log = std::fopen(path.c_str(), "wb");
    if (!log) return 1;
    std::setvbuf(log, nullptr, _IONBF, 0);
    print(log, "logfile opened on Thu Apr  9 00:37:09 2026\n\n");
    waitForLine("logfile opened");

    double cpuBefore = processCpuMs();
    std::this_thread::sleep_for(std::chrono::seconds(quietSeconds));
    const double quietCpu = (processCpuMs() - cpuBefore) / (quietSeconds * 10.0);

    std::mt19937 random(7);
    std::uniform_int_distribution<int> gapMs(2500, 5000);
    std::vector<double> latencies;
    cpuBefore = processCpuMs();
    const Clock::time_point paceStart = Clock::now();
    for (int kill = 0; kill < kills; ++kill) {
        std::this_thread::sleep_for(std::chrono::milliseconds(gapMs(random)));
        const std::string text = "\x04" "Carl was shot by Kestrel in the head #" + std::to_string(kill);
        const Clock::time_point written = Clock::now();
        print(log, text + "\n");
        latencies.push_back(std::chrono::duration<double, std::milli>(waitForLine(text) - written).count());
    }
    const double paceSeconds = std::chrono::duration<double>(Clock::now() - paceStart).count();
    const double paceCpu = (processCpuMs() - cpuBefore) / (paceSeconds * 10.0);
    std::fclose(log);
    stopLogFollow();

    std::printf("log follow: CPU while following a quiet log (%d s): %.3f %% of a core\n", quietSeconds, quietCpu);
    std::printf("log follow: CPU while kills arrive 2.5-5 s apart (%.0f s): %.3f %% of a core\n", paceSeconds, paceCpu);
    if (!latencies.empty())
        std::printf("log follow: kill written -> lines event taken (%d kills): p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                    kills, percentile(latencies, 0.5), percentile(latencies, 0.99),
                    *std::max_element(latencies.begin(), latencies.end()));
    std::remove(path.c_str());
    return 0;
}

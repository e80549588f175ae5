// Measures vorbix.exe against the simulated game console: CPU while searching
// and while linked to a quiet console, reaction latency from a printed kill
// line to the first command it causes, and peak memory. Prints one
// "key value" line per figure. Run from the build's bin folder (under Wine).
//
//   vorbix_latency_bench.exe [kills]   (default 200)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "bench/process_stats.h"
#include "support/harness.h"

namespace {

constexpr const char* kPlayer = "Kestrel";
constexpr const char* kIni =
    "kill_time=10\r\n[vorbix]\r\nsounds=0\r\ndisplays=0\r\nannouncements=0\r\n[game]\r\nlaunchmohaa=0\r\n";
constexpr DWORD kCpuWindowMs = 10000;

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// When each command reached the simulated game, on the same clock as nowMs.
struct CommandTimes {
    std::mutex mutex;
    std::vector<double> at;
    double firstAfter(double start) {
        std::lock_guard<std::mutex> lock(mutex);
        for (double t : at)
            if (t >= start) return t;
        return -1;
    }
};

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(p / 100.0 * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

int fail(const char* what) {
    std::fprintf(stderr, "latency bench: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    int kills = argc > 1 ? std::atoi(argv[1]) : 200;
    if (kills < 1) kills = 200;

    TestDir dir;
    dir.write("vorbix.ini", kIni);
    dir.copyFromSource("data/messages", "messages");
    dir.mkdir("sounds");
    VorbixProcess vorbix(dir);
    if (!vorbix.waitForMainWindow()) return fail("vorbix.exe did not start");
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, vorbix.pid());
    if (!process) return fail("cannot open vorbix.exe");

    Sleep(2000);
    std::printf("cpu_searching_percent %.3f\n", bench::cpuPercentOver(process, kCpuWindowMs));
    std::fflush(stdout);

    CommandTimes times;
    SimOptions options;
    options.playerName = kPlayer;
    options.onCommand = [&times](const consolesim::ReceivedCommand&) {
        std::lock_guard<std::mutex> lock(times.mutex);
        times.at.push_back(nowMs());
    };
    SimConsole console(options);
    const std::string named = std::string("set sfx_name_message \"Name Detected '") + kPlayer + "' \"";
    if (!console.waitForCommand(named, 30000)) return fail("the player's name was never detected");

    // Quiet: the game prints nothing; the loop backs off after a while.
    Sleep(5000);
    std::printf("cpu_linked_idle_percent %.3f\n", bench::cpuPercentOver(process, kCpuWindowMs));
    std::fflush(stdout);

    // Kill lines at irregular intervals; a death now and then ends the spree,
    // so every kill causes the same plain "set" commands.
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> interval(40, 200);
    std::vector<double> latencies;
    const char* victims[] = {"Carl", "Dieter", "Hans", "Ivan"};
    double busyCpuStart = bench::cpuMs(process), busyStart = nowMs();
    for (int kill = 1; kill <= kills; ++kill) {
        Sleep(static_cast<DWORD>(interval(random)));
        std::string line = std::string("\x04") + victims[kill % 4] + " was shot by " + kPlayer;
        double printedAt = nowMs();
        console.print(line);
        if (!console.waitForCommand("set sfx_kills " + std::to_string(kill), 10000))
            return fail("a kill line caused no command");
        latencies.push_back(times.firstAfter(printedAt) - printedAt);
        if (kill % 4 == 0) {
            Sleep(static_cast<DWORD>(interval(random)));
            console.print(std::string("\x04") + kPlayer + " was shot by Carl");
            if (!console.waitForCommand("set sfx_deaths " + std::to_string(kill / 4), 10000))
                return fail("a death line caused no command");
        }
    }
    double busyPercent = (bench::cpuMs(process) - busyCpuStart) * 100.0 / (nowMs() - busyStart);

    std::printf("latency_samples %zu\n", latencies.size());

    std::printf("latency_p50_ms %.2f\n", percentile(latencies, 50));
    std::printf("latency_p99_ms %.2f\n", percentile(latencies, 99));
    std::printf("latency_max_ms %.2f\n", percentile(latencies, 100));
    std::printf("cpu_linked_busy_percent %.3f\n", busyPercent);
    bench::Memory memory = bench::memoryOf(process);
    std::printf("peak_working_set_kib %zu\n", memory.peakWorkingSet / 1024);
    std::printf("private_bytes_kib %zu\n", memory.privateBytes / 1024);

    vorbix.closeWindow();
    vorbix.waitForExit();
    CloseHandle(process);
    return 0;
}

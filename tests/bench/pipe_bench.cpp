// vorbix_pipe_bench: the native vorbix beside enginesim (Linux). Prints its
// CPU while linked to a quiet game, the reaction latency from a kill line
// printed to the first command arriving at the game's input (the stand-in
// notes the arrival between its frames, so the game's own frame rate is
// not counted), and its CPU while kills arrive 40-200 ms apart.
//
//   vorbix_pipe_bench [KILLS]
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kPlayer = "Kestrel";
constexpr int kSettleMs = 3000;      // start-up, link, name
constexpr int kQuietMs = 10000;      // the idle window measured
constexpr int kMeasureMargin = 500;  // kept off both ends of a window

// CPU time of every thread of `pid`, in nanoseconds (schedstat).
double cpuNs(pid_t pid) {
    double total = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* directory = opendir(tasks.c_str());
    if (!directory) return 0;
    while (const dirent* entry = readdir(directory)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
        double ns = 0;
        if (schedstat >> ns) total += ns;
    }
    closedir(directory);
    return total;
}

// Percent of one core `pid` used over the next `ms` milliseconds.
double cpuPercentOver(pid_t pid, int ms) {
    const double before = cpuNs(pid);
    const Clock::time_point start = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return (cpuNs(pid) - before) / 1e9 / seconds * 100;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(p / 100 * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    const int kills = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const fs::path folder = fs::temp_directory_path() / ("vorbix-pipe-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::copy(fs::path(VORBIX_SOURCE_DIR) / "data/messages", folder / "messages");
    std::ofstream(folder / "vorbix.ini") << "kill_time=10\n[vorbix]\nsounds=0\ndisplays=1\nannouncements=1\n"
                                            "[announcements]\nheadshot=say \"Headshot! #%u\"\n";
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> gap(40, 200);
    std::ofstream replay(folder / "kills.log");
    replay << "#delay " << kSettleMs + kQuietMs << "\n";
    int killsMs = 0;
    for (int i = 1; i <= kills; ++i) {
        const int delay = gap(random);
        killsMs += delay;
        replay << "#delay " << delay << "\n\x04" "Axis" << i << " was shot by " << kPlayer << " in the head\n";
    }
    replay << "#delay 1000\n";
    replay.close();

    const std::string latencyFile = (folder / "latency.txt").string();
    const std::string replayFile = (folder / "kills.log").string();
    pid_t pid = fork();
    if (pid == 0) {
        int nothing = open("/dev/null", O_RDWR);
        dup2(nothing, STDIN_FILENO);
        dup2(nothing, STDOUT_FILENO);
        if (chdir(folder.c_str()) != 0) _exit(127);
        execl(VORBIX_PATH, VORBIX_PATH, "--", ENGINESIM_PATH, "--name", kPlayer, "--replay", replayFile.c_str(),
              "--latency", latencyFile.c_str(), "--quit-after-replay", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs + kMeasureMargin));
    const double idle = cpuPercentOver(pid, kQuietMs - 2 * kMeasureMargin);
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * kMeasureMargin));
    const double busy = cpuPercentOver(pid, std::max(100, killsMs - kMeasureMargin));
    int status = 0;
    waitpid(pid, &status, 0);

    std::vector<double> latencies;
    std::ifstream in(latencyFile);
    for (double us; in >> us;) latencies.push_back(us / 1000);
    fs::remove_all(folder);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || latencies.empty()) {
        std::fprintf(stderr, "pipe bench: vorbix failed (status %d, %zu samples)\n", status, latencies.size());
        return 1;
    }
    std::printf("cpu_linked_idle_percent %.3f\n", idle);
    std::printf("latency_samples %zu\n", latencies.size());
    std::printf("latency_p50_ms %.3f\n", percentile(latencies, 50));
    std::printf("latency_p99_ms %.3f\n", percentile(latencies, 99));
    std::printf("latency_max_ms %.3f\n", percentile(latencies, 100));
    std::printf("cpu_linked_busy_percent %.3f\n", busy);
    return 0;
}

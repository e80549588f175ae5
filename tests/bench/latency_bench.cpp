// Measures vorbix.exe against the simulated game console and prints one
// "key value" line per figure. Run from the build's bin folder (under Wine).
//
//   vorbix_latency_bench.exe [real-pace kills] [busy kills]   (default 80 200)
//
// - CPU while searching for the game (exact run times from the kernel where
//   reachable, else Windows's 10 ms ticks).
// - For the frame-paced console (60 fps, like the game) and then the instant
//   one: CPU while linked to a quiet console; reaction latency, from a
//   printed kill line to the first command it causes reaching the game, at a
//   real match's pace (kills 2.5 to 5 s apart) and busy (40 to 200 ms apart).
// - While the game stalls (a map load, 10 s): how long posted clicks on the
//   main window take to take effect, and how long ending takes, totals saved.
// - Peak memory.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "bench/process_stats.h"
#include "core/stats_record.h"
#include "support/harness.h"

namespace {

constexpr const char* kPlayer = "Kestrel";
constexpr const char* kIni =
    "kill_time=10\r\n[vorbix]\r\nsounds=0\r\ndisplays=0\r\nannouncements=0\r\n[game]\r\nlaunchmohaa=0\r\n";
constexpr DWORD kCpuWindowMs = 10000;
constexpr int kDisplaysCheckBox = 21;

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
    double printedAt = 0;  // when the game last printed a line of ours
    double firstAfter(double start) {
        std::lock_guard<std::mutex> lock(mutex);
        for (double t : at)
            if (t >= start) return t;
        return -1;
    }
};

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(p / 100.0 * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

void printFigure(const std::string& key, double value) {
    std::printf("%s %.2f\n", key.c_str(), value);
    std::fflush(stdout);
}

void printLatencies(const std::string& prefix, const std::vector<double>& latencies) {
    std::printf("%s_samples %zu\n", prefix.c_str(), latencies.size());
    printFigure(prefix + "_p50_ms", percentile(latencies, 50));
    printFigure(prefix + "_p99_ms", percentile(latencies, 99));
    printFigure(prefix + "_max_ms", percentile(latencies, 100));
}

int fail(const char* what) {
    std::fprintf(stderr, "latency bench: %s\n", what);
    return 1;
}

class Bench {
public:
    Bench() : vorbix_(prepared(dir_)) {}

    bool start() {
        if (!vorbix_.waitForMainWindow()) return false;
        process_ = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, vorbix_.pid());
        return process_ != nullptr;
    }
    ~Bench() {
        if (process_) CloseHandle(process_);
    }

    double cpuPercent() { return bench::exactCpuPercentOver(process_, "vorbix.exe", kCpuWindowMs); }
    double cpuMs() {
        double exact = bench::linuxCpuMs("vorbix.exe");
        return exact >= 0 ? exact : bench::cpuMs(process_);
    }
    HANDLE process() const { return process_; }
    VorbixProcess& vorbix() { return vorbix_; }
    const TestDir& dir() const { return dir_; }

    // Opens a console of the given kind and waits until the name is known.
    std::unique_ptr<SimConsole> link(bool framePaced) {
        SimOptions options;
        options.playerName = kPlayer;
        options.framePaced = framePaced;
        options.onCommand = [this](const consolesim::ReceivedCommand&) {
            std::lock_guard<std::mutex> lock(times_.mutex);
            times_.at.push_back(nowMs());
        };
        // Latency counts from the moment the game prints the line, at its frame.
        options.onPrint = [this](const std::string&) {
            std::lock_guard<std::mutex> lock(times_.mutex);
            times_.printedAt = nowMs();
        };
        auto console = std::make_unique<SimConsole>(options);
        const std::string named = std::string("set sfx_name_message \"Name Detected '") + kPlayer + "' \"";
        if (!console->waitForCommand(named, 30000)) return nullptr;
        return console;
    }

    // Kill lines `minMs` to `maxMs` apart; a death every fourth kill ends the
    // spree, so every kill causes the same plain "set" commands. Returns the
    // latencies, empty when a line caused no command.
    std::vector<double> kills(SimConsole& console, int count, int minMs, int maxMs) {
        std::mt19937 random(20240601);
        std::uniform_int_distribution<int> interval(minMs, maxMs);
        const char* victims[] = {"Carl", "Dieter", "Hans", "Ivan"};
        std::vector<double> latencies;
        for (int kill = 1; kill <= count; ++kill) {
            Sleep(static_cast<DWORD>(interval(random)));
            if (!console.printAndWait(std::string("\x04") + victims[kill % 4] + " was shot by " + kPlayer)) return {};
            double printedAt;
            {
                std::lock_guard<std::mutex> lock(times_.mutex);
                printedAt = times_.printedAt;
            }
            if (!console.waitForCommand("set sfx_kills " + std::to_string(kills_ + 1), 10000)) return {};
            ++kills_;
            latencies.push_back(times_.firstAfter(printedAt) - printedAt);
            if (kill % 4 == 0) {
                Sleep(static_cast<DWORD>(interval(random)) % 200);
                console.print(std::string("\x04") + kPlayer + " was shot by Carl");
                if (!console.waitForCommand("set sfx_deaths " + std::to_string(++deaths_), 10000)) return {};
            }
        }
        return latencies;
    }

    // The counts restart with every new console: its link saves and resets.
    void newGame() { kills_ = deaths_ = 0; }

private:
    static const TestDir& prepared(const TestDir& dir) {
        dir.write("vorbix.ini", kIni);
        dir.copyFromSource("data/messages", "messages");
        dir.mkdir("sounds");
        return dir;
    }

    TestDir dir_;
    VorbixProcess vorbix_;
    HANDLE process_ = nullptr;
    CommandTimes times_;
    int kills_ = 0;
    int deaths_ = 0;
};

bool isChecked(HWND checkBox) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(checkBox, BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &state);
    return state == BST_CHECKED;
}

// Posted clicks on "Displays" while the game pumps nothing: milliseconds
// until each one shows.
std::vector<double> clicksDuringStall(VorbixProcess& vorbix, SimConsole& console) {
    std::vector<double> answers;
    HWND checkBox = vorbix.control(kDisplaysCheckBox);
    console.pause(10000);
    for (int i = 0; i < 10; ++i) {
        bool before = isChecked(checkBox);
        double start = nowMs();
        vorbix.click(checkBox);
        if (!waitUntil([&] { return isChecked(checkBox) != before; }, 5000)) return {};
        answers.push_back(nowMs() - start);
        Sleep(300);
    }
    return answers;
}

}  // namespace

int main(int argc, char** argv) {
    const int realPaceKills = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 80;
    const int busyKills = argc > 2 && std::atoi(argv[2]) > 0 ? std::atoi(argv[2]) : 200;

    Bench bench;
    if (!bench.start()) return fail("vorbix.exe did not start");
    Sleep(2000);
    printFigure("cpu_searching_percent", bench.cpuPercent());

    for (bool framePaced : {true, false}) {
        const std::string mode = framePaced ? "paced60" : "instant";
        bench.newGame();
        auto console = bench.link(framePaced);
        if (!console) return fail("the player's name was never detected");
        Sleep(7000);  // quiet long enough for the slow reads
        printFigure(mode + "_cpu_linked_idle_percent", bench.cpuPercent());

        // The first kill after the quiet spell finds the slow reads: apart.
        std::vector<double> first = bench.kills(*console, 1, 100, 100);
        if (first.empty()) return fail("a kill line caused no command");
        printFigure(mode + "_latency_after_quiet_ms", first[0]);
        std::vector<double> real = bench.kills(*console, realPaceKills, 2500, 5000);
        if (real.empty()) return fail("a kill line caused no command");
        printLatencies(mode + "_latency_real_pace", real);

        double busyCpuStart = bench.cpuMs(), busyStart = nowMs();
        std::vector<double> busy = bench.kills(*console, busyKills, 40, 200);
        if (busy.empty()) return fail("a kill line caused no command");
        printLatencies(mode + "_latency_busy", busy);
        printFigure(mode + "_cpu_linked_busy_percent",
                    (bench.cpuMs() - busyCpuStart) * 100.0 / (nowMs() - busyStart));

        if (framePaced) {
            std::vector<double> clicks = clicksDuringStall(bench.vorbix(), *console);
            if (clicks.empty()) return fail("a click during a stall took no effect");
            printFigure("stall_click_p50_ms", percentile(clicks, 50));
            printFigure("stall_click_max_ms", percentile(clicks, 100));
            Sleep(8000);  // the stall ends
        }
        console->close();
        console->waitUntilClosed(10000);
        Sleep(1000);
    }

    bench::Memory memory = bench::memoryOf(bench.process());
    std::printf("peak_working_set_kib %zu\nprivate_bytes_kib %zu\n", memory.peakWorkingSet / 1024,
                memory.privateBytes / 1024);

    // Ending while the game stalls.
    bench.newGame();
    auto console = bench.link(true);
    if (!console || bench.kills(*console, 1, 100, 100).empty()) return fail("no kill before the stall");
    console->waitForReader(10000);
    console->pause(10000);
    double closeAt = nowMs();
    bench.vorbix().closeWindow();
    if (!bench.vorbix().waitForExit(30000)) return fail("vorbix.exe did not end");
    printFigure("exit_during_stall_ms", nowMs() - closeAt);
    std::string bytes = bench.dir().read("vorbix.vbx");
    StatsRecord saved = decodeStats(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    std::printf("exit_during_stall_saved_kills %u\n", static_cast<unsigned>(saved.kills));
    return 0;
}

// Measures vorbix.exe against the simulated game console and prints one
// "key value" line per figure. Run from the build's bin folder (under Wine,
// with a sound device: scripts/wine-env.sh starts one).
//
//   vorbix_latency_bench.exe [real-pace kills] [busy kills] [mode]   (default 80 200, all)
//
// - CPU while searching for the game (exact run times from the kernel where
//   reachable, else Windows's 10 ms ticks).
// - For the frame-paced console (60 fps, like the game) shown and hidden, and
//   then the instant one: CPU while linked to a quiet console; reaction
//   latency, from a printed kill line to the first command it causes reaching
//   the game, and to the kill's last command, with CPU over the same time, at
//   a real match's pace (kills 2.5 to 5 s apart) and busy (40 to 200 ms
//   apart).
// - The frame-paced console again with sounds on (the shipped WAVs, most
//   kills play one): the same latencies, and how long posted clicks on the
//   main window take to take effect while a sound plays.
// - While the game stalls (a map load, 10 s): clicks again, and how long
//   ending takes, totals saved.
// - Peak memory.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/process_stats.h"
#include "core/stats_record.h"
#include "support/app_ui.h"
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
    std::vector<std::pair<double, std::string>> received;
    double printedAt = 0;  // when the game last printed a line of ours
    // When the first command at or after `start` came, or `text` if given.
    double firstAfter(double start, const std::string& text = "") {
        std::lock_guard<std::mutex> lock(mutex);
        for (const auto& [at, command] : received)
            if (at >= start && (text.empty() || command == text)) return at;
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

// Latencies of a run of kills: to the first command each caused, and to its
// last ("set sfx_kills N"); CPU of vorbix.exe over the run.
struct KillRun {
    std::vector<double> first, last;
    double cpuPercent = 0;
    bool ok() const { return !first.empty(); }
};

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
    std::unique_ptr<SimConsole> link(bool framePaced, bool visible) {
        SimOptions options;
        options.playerName = kPlayer;
        options.framePaced = framePaced;
        options.visible = visible;
        options.onCommand = [this](const consolesim::ReceivedCommand& command) {
            std::lock_guard<std::mutex> lock(times_.mutex);
            times_.received.emplace_back(nowMs(), command.text);
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
    // spree, so every kill causes the same plain "set" commands, and with
    // kill_time 10 most chain into a multi-kill, which plays a sound.
    KillRun kills(SimConsole& console, int count, int minMs, int maxMs, const char* suffix = "") {
        std::mt19937 random(20240601);
        std::uniform_int_distribution<int> interval(minMs, maxMs);
        const char* victims[] = {"Carl", "Dieter", "Hans", "Ivan"};
        KillRun run;
        const double cpuStart = cpuMs(), start = nowMs();
        for (int kill = 1; kill <= count; ++kill) {
            Sleep(static_cast<DWORD>(interval(random)));
            if (!console.printAndWait(std::string("\x04") + victims[kill % 4] + " was shot by " + kPlayer + suffix))
                return {};
            double printedAt;
            {
                std::lock_guard<std::mutex> lock(times_.mutex);
                printedAt = times_.printedAt;
            }
            const std::string last = "set sfx_kills " + std::to_string(++kills_);
            if (!console.waitForCommand(last, 10000)) return {};
            run.first.push_back(times_.firstAfter(printedAt) - printedAt);
            run.last.push_back(times_.firstAfter(printedAt, last) - printedAt);
            if (kill % 4 == 0) {
                Sleep(static_cast<DWORD>(interval(random)) % 200);
                console.print(std::string("\x04") + kPlayer + " was shot by Carl");
                if (!console.waitForCommand("set sfx_deaths " + std::to_string(++deaths_), 10000)) return {};
            }
        }
        run.cpuPercent = (cpuMs() - cpuStart) * 100.0 / (nowMs() - start);
        return run;
    }

    // Prints an in-game command's line and waits for its answer.
    static bool inGame(SimConsole& console, const std::string& line, const std::string& answer) {
        auto answers = [&] {
            const std::vector<std::string> commands = console.commandTexts();
            return std::count(commands.begin(), commands.end(), answer);
        };
        const auto before = answers();
        console.print(line);
        return waitUntil([&] { return answers() > before; }, 10000);
    }

    // The counts restart with every new console: its link saves and resets.
    void newGame() { kills_ = deaths_ = 0; }

private:
    static const TestDir& prepared(const TestDir& dir) {
        dir.write("vorbix.ini", kIni);
        dir.copyFromSource("data/messages", "messages");
        dir.copyFromSource("data/sounds", "sounds");
        return dir;
    }

    TestDir dir_;
    VorbixProcess vorbix_;
    HANDLE process_ = nullptr;
    CommandTimes times_;
    int kills_ = 0;
    int deaths_ = 0;
};

void printRun(const std::string& prefix, const KillRun& run) {
    printLatencies(prefix, run.first);
    printLatencies(prefix + "_last", run.last);
    printFigure(prefix + "_cpu_percent", run.cpuPercent);
}

// Posted clicks on "Displays", each after `before` ran: milliseconds until
// each one shows.
template <typename Before>
std::vector<double> clicks(VorbixProcess& vorbix, Before before) {
    std::vector<double> answers;
    HWND checkBox = vorbix.control(kDisplaysCheckBox);
    for (int i = 0; i < 10; ++i) {
        if (!before()) return {};
        bool wasChecked = isChecked(checkBox);
        double start = nowMs();
        vorbix.click(checkBox);
        if (!waitUntil([&] { return isChecked(checkBox) != wasChecked; }, 5000)) return {};
        answers.push_back(nowMs() - start);
        Sleep(300);
    }
    return answers;
}

}  // namespace

int main(int argc, char** argv) {
    const int realPaceKills = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 80;
    const int busyKills = argc > 2 && std::atoi(argv[2]) > 0 ? std::atoi(argv[2]) : 200;
    const std::string only = argc > 3 ? argv[3] : "";

    Bench bench;
    if (!bench.start()) return fail("vorbix.exe did not start");
    Sleep(2000);
    printFigure("cpu_searching_percent", bench.cpuPercent());

    struct Mode {
        const char* name;
        bool framePaced, visible;
    };
    for (const Mode& mode : {Mode{"paced60_shown", true, true}, Mode{"paced60_hidden", true, false},
                             Mode{"instant", false, false}}) {
        const std::string prefix = mode.name;
        if (!only.empty() && only != prefix) continue;
        bench.newGame();
        auto console = bench.link(mode.framePaced, mode.visible);
        if (!console) return fail("the player's name was never detected");
        Sleep(7000);  // quiet long enough for the slow reads
        printFigure(prefix + "_cpu_linked_idle_percent", bench.cpuPercent());

        // The first kill after the quiet spell finds the slow reads: apart.
        KillRun first = bench.kills(*console, 1, 100, 100);
        if (!first.ok()) return fail("a kill line caused no command");
        printFigure(prefix + "_latency_after_quiet_ms", first.first[0]);
        KillRun real = bench.kills(*console, realPaceKills, 2500, 5000);
        if (!real.ok()) return fail("a kill line caused no command");
        printRun(prefix + "_real_pace", real);
        KillRun busy = bench.kills(*console, busyKills, 40, 200);
        if (!busy.ok()) return fail("a kill line caused no command");
        printRun(prefix + "_busy", busy);

        if (mode.framePaced) {
            if (!bench.inGame(*console, "vorbixoption sounds_on", "exec soundson.cfg")) return fail("no sounds_on");
            KillRun sounds = bench.kills(*console, realPaceKills, 2500, 5000);
            if (!sounds.ok()) return fail("a kill line caused no command");
            printRun(prefix + "_sounds_real_pace", sounds);
            // A head kill plays a sound of 0.7 s: each click comes 50 ms after
            // its command reached the game.
            std::vector<double> answers = clicks(bench.vorbix(), [&] {
                KillRun head = bench.kills(*console, 1, 1000, 1000, " in the head");
                Sleep(50);
                return head.ok();
            });
            if (answers.empty()) return fail("a click while a sound played took no effect");
            printFigure(prefix + "_sound_click_p50_ms", percentile(answers, 50));
            printFigure(prefix + "_sound_click_max_ms", percentile(answers, 100));
            if (!bench.inGame(*console, "vorbixoption sounds_off", "exec soundsoff.cfg")) return fail("no sounds_off");
        }
        if (prefix == "paced60_shown") {
            console->pause(10000);
            std::vector<double> answers = clicks(bench.vorbix(), [] { return true; });
            if (answers.empty()) return fail("a click during a stall took no effect");
            printFigure("stall_click_p50_ms", percentile(answers, 50));
            printFigure("stall_click_max_ms", percentile(answers, 100));
            Sleep(8000);  // the stall ends
        }
        console->close();
        console->waitUntilClosed(10000);
        Sleep(1000);
    }

    if (!only.empty()) return 0;
    bench::Memory memory = bench::memoryOf(bench.process());
    std::printf("peak_working_set_kib %zu\nprivate_bytes_kib %zu\n", memory.peakWorkingSet / 1024,
                memory.privateBytes / 1024);

    // Ending while the game stalls.
    bench.newGame();
    auto console = bench.link(true, true);
    if (!console || !bench.kills(*console, 1, 100, 100).ok()) return fail("no kill before the stall");
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

#include "replay/replay.h"

#include <algorithm>
#include <filesystem>

#include "console/console_events.h"
#include "core/app_state.h"
#include "core/timers.h"
#include "replay/replay_platform.h"
#include "stats/stats_store.h"
#include "wiring/poll.h"
#include "wiring/shutdown.h"
#include "wiring/startup.h"

namespace replay {

namespace {

struct Replayer {
    std::string player;
    ReplayResult result;
    std::string printed;  // what the game printed since the last poll
    size_t answered = 0;  // commands already echoed
    int32_t lastSearchTime = 0;

    void poll() {
        if (!printed.empty()) postConsoleLines(std::move(printed));
        printed.clear();
        pollConsole(lastSearchTime);
    }

    // The game's side: echo each new command, answer "name", let the menu
    // timers run; poll again while that printed something.
    void settle() {
        for (int round = 0; round < 100; ++round) {
            for (int64_t due; (due = msUntilNextTimer()) >= 0;) {
                world.nowMs += static_cast<uint64_t>(due);
                poll();
            }
            if (answered == world.commands.size()) return;
            for (; answered < world.commands.size(); ++answered) {
                const std::string& command = world.commands[answered];
                printed += "]" + command + "\n";
                if (command == "name") printed += "\"name\" is:\"" + player + "\" default:\"UnnamedSoldier\"\n";
            }
            poll();
        }
    }

    // Keeps the record of commands small over long replays.
    void collectCommands() {
        result.commands.insert(result.commands.end(), world.commands.begin(), world.commands.end());
        world.commands.clear();
        answered = 0;
    }
};

std::string firstMessageFile(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder + "/messages"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names.empty() ? std::string() : names.front();
}

}  // namespace

ReplayResult replayMatch(const std::string& folder, const ReplayPlan& plan) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    resetAppState();
    clearConsoleEvents();
    clearTimers();
    world = ReplayWorld{};
    Replayer replayer;
    replayer.player = plan.player;

    loadStartSettings();
    const std::string messageFile = firstMessageFile(folder);
    loadStartMessageFile(messageFile.empty() ? 0 : 1, messageFile);
    world.commands.clear();  // sent before a game is linked: lost

    postLinked(makeLink(LinkKind::kConsoleWindow, 0));
    replayer.poll();
    replayer.settle();

    size_t nextStatistics = 0;
    for (size_t i = 0; i < plan.lines.size(); ++i) {
        replayer.printed += plan.lines[i] + "\n";
        replayer.poll();
        replayer.settle();
        while (nextStatistics < plan.statisticsAfter.size() && plan.statisticsAfter[nextStatistics] == i + 1) {
            saveStats();
            ++nextStatistics;
        }
        if (world.commands.size() > 4096) replayer.collectCommands();
    }

    // The exit path with the game linked.
    shutdownApp();
    replayer.collectCommands();
    readStatsFile("vorbix.vbx", replayer.result.totals);
    std::filesystem::current_path(previous);
    return replayer.result;
}

}  // namespace replay

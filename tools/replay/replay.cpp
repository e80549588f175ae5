#include "replay/replay.h"

#include <algorithm>
#include <filesystem>

#include "core/app_state.h"
#include "core/settings.h"
#include "console/keywords.h"
#include "console/poll.h"
#include "fakes/platform_fake.h"
#include "stats/stats_store.h"

namespace bench {

namespace {

struct Replayer {
    std::string player;
    ReplayResult result;
    size_t answered = 0;  // commands already echoed
    int32_t lastSearchTime = 0;

    void poll() { pollFakeConsole(lastSearchTime); }

    // The game's side: echo each new command, answer "name", let the menu
    // workers send theirs; poll again while that printed something.
    void settle() {
        for (int round = 0; round < 100; ++round) {
            fake.runWorkers();
            if (answered == fake.commands.size()) return;
            for (; answered < fake.commands.size(); ++answered) {
                const std::string& command = fake.commands[answered];
                fake.consoleText += "]" + command + "\r\n";
                if (command == "name")
                    fake.consoleText += "\"name\" is:\"" + player + "\" default:\"UnnamedSoldier\"\r\n";
            }
            poll();
        }
    }

    // Keeps the fakes' logs small over long replays.
    void collectCommands() {
        result.commands.insert(result.commands.end(), fake.commands.begin(), fake.commands.end());
        fake.commands.clear();
        fake.log.clear();
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
    resetFakes();
    fake.cwd = folder;
    Replayer replayer;
    replayer.player = plan.player;

    loadSettingsFile();
    loadSettings();
    loadKillTime();
    loadMessageFile(firstMessageFile(folder).c_str());
    fake.commands.clear();  // sent before a console is linked: lost
    fake.editionPresent[0] = true;
    replayer.poll();
    replayer.settle();

    size_t nextStatistics = 0;
    for (size_t i = 0; i < plan.lines.size(); ++i) {
        fake.consoleText += plan.lines[i] + "\r\n";
        replayer.poll();
        replayer.settle();
        while (nextStatistics < plan.statisticsAfter.size() && plan.statisticsAfter[nextStatistics] == i + 1) {
            saveStats();
            ++nextStatistics;
        }
        if (fake.commands.size() > 4096) replayer.collectCommands();
    }

    // The exit path with the console linked.
    sendConsoleCommand("exec vorbixoff.cfg");
    saveStats();
    resetSessionStats();
    replayer.collectCommands();
    readStatsFile("vorbix.vbx", replayer.result.totals);
    std::filesystem::current_path(previous);
    return replayer.result;
}

}  // namespace bench

// Fuzzes message-file loading, the console poll and line dispatch, and the
// formatters. Input: a message file, then "\n===\n", then console text.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "core/app_state.h"
#include "console/format.h"
#include "console/keywords.h"
#include "console/poll.h"
#include "fakes/platform_fake.h"
#include "player/name_detection.h"

namespace {

// One temporary folder for the whole run; stats files land in it too.
const std::string& workDir() {
    static const std::string root = [] {
        char pattern[] = "/tmp/vorbix-fuzz.XXXXXX";
        std::string dir = ::mkdtemp(pattern);
        ::mkdir((dir + "/messages").c_str(), 0755);
        if (::chdir(dir.c_str()) != 0) std::abort();
        return dir;
    }();
    return root;
}

// Feeds the console text in three pieces, a poll step after each.
void feedConsole(const std::string& text, int32_t& lastSearchTime) {
    size_t third = text.size() / 3;
    size_t cuts[] = {third, 2 * third, text.size()};
    size_t from = 0;
    for (size_t to : cuts) {
        fake.consoleText += text.substr(from, to - from);
        from = to;
        pollFakeConsole(lastSearchTime);
        pollFakeConsole(lastSearchTime);
        fake.runWorkers();
        fake.log.clear();
        fake.commands.clear();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t separator = input.find("\n===\n");
    const std::string messageFile = input.substr(0, separator);
    const std::string console = separator == std::string::npos ? std::string() : input.substr(separator + 5);

    formatWithCount(messageFile.c_str(), uint32_t(size));
    formatWithName(messageFile.c_str(), console.c_str());

    resetFakes();
    fake.cwd = workDir();
    std::ofstream(workDir() + "/messages/fuzz.ini", std::ios::binary) << messageFile;
    try {
        loadMessageFile("fuzz.ini");
        fake.editionPresent[0] = true;
        int32_t lastSearchTime = 0;
        pollFakeConsole(lastSearchTime);

        // Once while no name is known, once more with one.
        feedConsole(console, lastSearchTime);
        if (app.nameEntryIndex == 0) registerPlayerName(console.substr(0, 8).c_str());
        fake.consoleText.clear();
        feedConsole(console, lastSearchTime);
    } catch (const FakeExit&) {
        // A full table ends the program; nothing to check beyond that.
    }
    return 0;
}

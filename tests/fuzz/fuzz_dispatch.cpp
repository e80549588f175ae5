// Fuzzes message-file loading, the console poll and line dispatch, and the
// formatters. Input: a message file, then "\n===\n", then console text.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "core/app_state.h"
#include "text/format.h"
#include "wiring/message_wiring.h"
#include "wiring/poll.h"
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

void check(bool holds, const char* what, const std::string& detail = std::string()) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s%s\n", what, detail.c_str());
    std::abort();
}

template <typename Table>
void checkTable(const Table& table, int32_t lowest) {
    check(table.count >= lowest && table.count < MAX_KEYWORDS, "a table count beyond its slots");
    for (const auto& entry : table.entries)
        check(::strnlen(entry.phrase, kPhraseSize) < kPhraseSize, "an unterminated phrase");
}

// The console text as the game prints it: every CR, LF or CR LF of the
// input becomes one CR LF, so no line can hold a CR or LF.
std::string asTheGamePrints(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i] == '\r' || text[i] == '\n' ? std::string("\r\n") : std::string(1, text[i]);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    return out;
}

// What no input may break: the tables within their slots and terminated,
// the name entry a slot of table A with a name handler, every command a
// single line.
void checkInvariants() {
    checkTable(app.tableA, -1);
    checkTable(app.tableB, 0);
    checkTable(app.tableC, 0);
    checkTable(app.tableD, 0);
    if (app.nameEntryIndex != 0) {
        check(app.nameEntryIndex > 0 && app.nameEntryIndex <= app.tableA.count, "the name entry outside table A");
        KeywordHandler handler = app.tableA.entries[app.nameEntryIndex].handler;
        check(handler == onNameSeen || handler == onDisabled, "the name entry without a name handler");
    }
    for (const std::string& command : fake.commands)
        check(command.find_first_of("\r\n") == std::string::npos, "a line break inside: ", command);
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
        fake.runTimers();
        checkInvariants();
        fake.log.clear();
        fake.commands.clear();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t separator = input.find("\n===\n");
    const std::string messageFile = input.substr(0, separator);
    const std::string console =
        asTheGamePrints(separator == std::string::npos ? std::string() : input.substr(separator + 5));

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
        // A name as the detection takes it: from within one line.
        if (app.nameEntryIndex == 0) registerPlayerName(console.substr(0, console.find('\r')).substr(0, 8).c_str());
        fake.consoleText.clear();
        feedConsole(console, lastSearchTime);
    } catch (const FakeExit&) {
        // A full table ends the program; nothing to check beyond that.
    }
    return 0;
}

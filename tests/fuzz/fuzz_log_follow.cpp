// Fuzzes the log follower and the config's name reader. The input is read
// as a file's history: a byte below 4 starts the next change (0 append,
// 1 rewrite in place, 2 replace, 3 delete), the bytes up to the next such
// byte are what it writes; the whole input is also read as a config.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "console/log_follow.h"
#include "player/game_config.h"

namespace {

void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

void checkLines(const std::string& lines) {
    check(lines.empty() || lines.back() == '\n', "lines end in a line feed");
    for (size_t start = 0, end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1) {
        check(end > start, "no empty line");
        check(end - start <= kLongestLogLine, "no line longer than the longest");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (std::optional<std::string> name = playerNameFromConfig(input)) {
        check(!name->empty() && name->size() <= 31, "a name of 1 to 31 bytes");
        for (char c : *name)
            check(static_cast<unsigned char>(c) >= ' ' && c != '"' && c != '\\' && c != ';' && c != '~' && c != '`',
                  "a clean name");
    }

    LogLook file;
    LogFollower follower;
    followFromEnd(follower, file);
    std::string bytes;
    uint64_t identity = 1;
    size_t at = 0;
    while (at < input.size()) {
        const int kind = static_cast<unsigned char>(input[at]) < 4 ? input[at++] : 0;
        size_t end = at;
        while (end < input.size() && static_cast<unsigned char>(input[end]) >= 4) ++end;
        const std::string text = input.substr(at, end - at);
        at = end;
        if (kind == 0) bytes += text;
        if (kind == 1) bytes = text;
        if (kind == 2) ++identity, bytes = text;
        if (kind == 3) bytes.clear();
        file.exists = kind != 3;
        file.identity = identity;
        file.size = bytes.size();
        file.head = bytes.substr(0, kLogHeadSize);
        std::string lines;
        const LogChange change = noteLogLook(follower, file, lines);
        if (change == LogChange::kGrew || change == LogChange::kStarted) {
            for (size_t piece = 1 + text.size() % 5; follower.offset < bytes.size();) {
                const std::string read = bytes.substr(follower.offset, piece);
                takeLogBytes(follower, read.data(), read.size(), lines);
            }
        }
        checkLines(lines);
        check(follower.partial.size() < kLongestLogLine, "a partial line shorter than the longest");
    }
    return 0;
}

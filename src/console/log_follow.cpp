#include "console/log_follow.h"

#include <algorithm>
#include <cstring>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Checks `pattern` against the start of `text`: 'd' is a digit, every other
// character itself.
bool matchesPattern(std::string_view text, const char* pattern) {
    const size_t length = std::strlen(pattern);
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (pattern[i] == 'd' ? !isDigit(text[i]) : text[i] != pattern[i]) return false;
    }
    return true;
}

size_t digitsAt(std::string_view text, size_t at) {
    size_t count = 0;
    while (at + count < text.size() && isDigit(text[at + count])) ++count;
    return count;
}

// Hands one finished line on: without the stamp and a CR before the line
// feed; an empty line carries nothing.
void finishLine(LogFollower& follower, std::string_view line, std::string& lines) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = withoutLogStamp(line);
    if (line.empty()) return;
    if (isGameEndLine(line)) follower.endSeen = true;
    lines.append(line.data(), line.size());
    lines += '\n';
}

void flushPartial(LogFollower& follower, std::string& lines) {
    if (!follower.skipToLineEnd) finishLine(follower, follower.partial, lines);
    follower.partial.clear();
    follower.skipToLineEnd = false;
}

void startOver(LogFollower& follower, const LogLook& look) {
    follower.known = look.exists;
    follower.identity = look.identity;
    follower.offset = 0;
    follower.head.clear();
    follower.endSeen = false;
}

}  // namespace

std::string_view withoutLogStamp(std::string_view line) {
    // "[2026-04-09 00:37:09 UTC+2.000] ": strftime's "%Y-%m-%d %H:%M:%S",
    // then the offset from UTC in hours as "UTC+%.03f" or "UTC%.03f".
    if (!matchesPattern(line, "[dddd-dd-dd dd:dd:dd UTC")) return line;
    size_t at = 24;
    if (at >= line.size() || (line[at] != '+' && line[at] != '-')) return line;
    ++at;
    const size_t whole = digitsAt(line, at);
    if (whole == 0 || whole > 3) return line;
    at += whole;
    if (!matchesPattern(line.substr(at), ".ddd] ")) return line;
    return line.substr(at + 6);
}

bool isGameEndLine(std::string_view line) {
    constexpr std::string_view kStart = "----- Client Shutdown (";
    constexpr std::string_view kEnd = ") -----";
    constexpr std::string_view kGameFolderChanged = "Game directory changed";
    if (line.size() < kStart.size() + kEnd.size()) return false;
    if (line.substr(0, kStart.size()) != kStart || line.substr(line.size() - kEnd.size()) != kEnd) return false;
    return line.substr(kStart.size(), line.size() - kStart.size() - kEnd.size()) != kGameFolderChanged;
}

void followFromEnd(LogFollower& follower, const LogLook& look) {
    follower = LogFollower{};
    if (!look.exists) return;
    follower.known = true;
    follower.identity = look.identity;
    follower.head = look.head;
    // The last byte is read again: a line feed there ends the skip at once.
    follower.offset = look.size > 0 ? look.size - 1 : 0;
    follower.skipToLineEnd = look.size > 0;
}

LogChange noteLogLook(LogFollower& follower, const LogLook& look, std::string& lines) {
    if (!look.exists) {
        if (!follower.known) return LogChange::kNone;
        flushPartial(follower, lines);
        startOver(follower, look);
        return LogChange::kGone;
    }
    const size_t common = std::min(follower.head.size(), look.head.size());
    const bool sameFile = follower.known && look.identity == follower.identity && look.size >= follower.offset &&
                          look.head.compare(0, common, follower.head, 0, common) == 0;
    if (!sameFile) {
        if (follower.known) flushPartial(follower, lines);
        startOver(follower, look);
        follower.known = true;
        return LogChange::kStarted;
    }
    if (look.head.size() > follower.head.size()) follower.head = look.head;
    return look.size > follower.offset ? LogChange::kGrew : LogChange::kNone;
}

void takeLogBytes(LogFollower& follower, const char* data, size_t size, std::string& lines) {
    follower.offset += size;
    std::string_view rest(data, size);
    for (size_t lineFeed; (lineFeed = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(lineFeed + 1)) {
        if (follower.skipToLineEnd) {
            follower.skipToLineEnd = false;
            follower.partial.clear();
        } else if (follower.partial.empty()) {
            finishLine(follower, rest.substr(0, lineFeed), lines);
        } else {
            follower.partial.append(rest.data(), lineFeed);
            finishLine(follower, follower.partial, lines);
            follower.partial.clear();
        }
    }
    if (follower.skipToLineEnd) return;
    follower.partial.append(rest.data(), rest.size());
    while (follower.partial.size() >= kLongestLogLine) {
        finishLine(follower, std::string_view(follower.partial).substr(0, kLongestLogLine), lines);
        follower.partial.erase(0, kLongestLogLine);
    }
}

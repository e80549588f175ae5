// Following the open-source engine's console log (qconsole.log, written with
// the cvar "logfile" 1 or 2) as a console transport: what a look at the file
// means, and the lines in the bytes read. The platform looks and reads
// (console/log_file.h); this part decides, so it is the same on every system.
//
// What the engine writes (Com_Printf in code/qcommon/common.c): every print,
// bytes as printed (the 0x01-0x05 line bytes and "^" colour codes included),
// and before a print that starts a line a stamp
// "[YYYY-mm-dd HH:MM:SS UTC+h.hhh] " ("UTC-h.hhh" west of Greenwich) unless
// "logfile_timestamps" is 0. A print holding several lines gets one stamp, at
// its start; a print without a line end leaves the next print's text on the
// same line, unstamped. With "logfile 1" the file grows in stdio-buffer
// chunks that may end inside a line. The file is emptied ("wb") when the game
// opens it, once per run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// How many of the file's first bytes are kept to tell a file the game wrote
// anew from the one being followed: they hold the stamp and time of opening.
constexpr size_t kLogHeadSize = 64;
// A longer run without a line feed is handed on in pieces of this size.
constexpr size_t kLongestLogLine = 16383;

// What one look at the log found.
struct LogLook {
    bool exists = false;
    uint64_t identity = 0;  // the file itself: volume and file index, or device and inode
    uint64_t size = 0;
    int64_t modified = 0;   // last write, seconds since 1970
    std::string head;       // its first bytes, up to kLogHeadSize
};

struct LogFollower {
    bool known = false;     // a file is being followed
    uint64_t identity = 0;
    uint64_t offset = 0;    // bytes taken so far
    std::string head;       // the file's first bytes as seen
    std::string partial;    // the last line, until its line feed
    bool skipToLineEnd = false;  // the bytes up to the next line feed end a line begun before we came
    bool endSeen = false;   // the game's shutdown line was handed out
};

enum class LogChange {
    kNone,     // nothing new
    kGrew,     // new bytes wait at `offset`
    kStarted,  // the game wrote the file anew (emptied, replaced or created): read from 0
    kGone,     // the file is gone
};

// Starts following at the file's present end: what it holds already may
// have been counted by an earlier run, or belong to a game that has ended.
// A line the game is still writing is skipped to its end.
void followFromEnd(LogFollower& follower, const LogLook& look);
// What `look` means for the follower. On kStarted and kGone the follower
// starts over and `lines` receives its unterminated last line, which will
// never be finished; on kStarted it then waits for the new file's bytes from 0.
LogChange noteLogLook(LogFollower& follower, const LogLook& look, std::string& lines);
// Takes `size` bytes read at the follower's offset. Each complete line goes
// to `lines` without its stamp and CR, followed by '\n'; empty lines are left
// out; an unterminated last line waits for its line feed.
void takeLogBytes(LogFollower& follower, const char* data, size_t size, std::string& lines);

// `line` without the stamp the engine puts before it, if it has one.
std::string_view withoutLogStamp(std::string_view line);
// True for the line the engine prints when the client shuts down for good
// ("----- Client Shutdown (Client quit) -----", whatever the reason, except
// the restart of a changed game folder); its log is closed right after.
bool isGameEndLine(std::string_view line);

#include "terminal/display.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// The game's lines waiting for a slow terminal, at most this many bytes;
// Vorbix's own notes and warnings are kept up to a larger bound.
constexpr size_t kGameBacklogBytes = 1 << 20;
constexpr size_t kOwnBacklogBytes = 4 << 20;

struct Entry {
    enum Kind { kGameLine, kNote, kWarning, kStatus } kind;
    std::string text;
};

struct Display {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Entry> waiting;
    size_t gameBytes = 0;      // of the game's lines waiting
    size_t ownBytes = 0;       // of notes and warnings waiting
    size_t droppedLines = 0;   // game lines dropped since last told
    size_t droppedNotes = 0;
    bool writing = false;      // the display thread holds an entry
    bool started = false;
    bool probed = false;
    bool statusLine = false;   // standard output is a terminal that takes escape sequences
    bool outputIsTerminal = false;
    std::FILE* gameLog = nullptr;

    // Display thread only.
    std::string status;        // what the status line shows now; empty: none
};

// Never destroyed: the channel's reader thread may write during process exit.
Display& display() {
    static Display* instance = new Display;
    return *instance;
}

void probe(Display& d) {
    if (d.probed) return;
    d.probed = true;
    d.outputIsTerminal = isatty(STDOUT_FILENO) != 0;
    const char* term = std::getenv("TERM");
    d.statusLine = d.outputIsTerminal && term != nullptr && std::strcmp(term, "dumb") != 0;
}

void eraseStatus(const Display& d) {
    if (d.statusLine && !d.status.empty()) std::fputs("\r\033[K", stdout);
}

void drawStatus(const Display& d) {
    if (d.statusLine && !d.status.empty()) std::fputs(d.status.c_str(), stdout);
    std::fflush(stdout);
}

// Other players' chat reaches the terminal too: no byte of it may steer it.
std::string printable(const std::string& line) {
    std::string out;
    out.reserve(line.size());
    for (char c : line)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) out += c;
    return out;
}

// The status line never wraps: a wrapped line cannot be taken back.
std::string fitToWidth(const std::string& text) {
    struct winsize size{};
    size_t columns = ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1 ? size.ws_col : 80;
    return text.substr(0, columns - 1);
}

void write(Display& d, const Entry& entry) {
    switch (entry.kind) {
    case Entry::kGameLine:
        if (d.gameLog) {
            std::fwrite(entry.text.data(), 1, entry.text.size(), d.gameLog);
            std::fputc('\n', d.gameLog);
            std::fflush(d.gameLog);
            return;
        }
        eraseStatus(d);
        {
            const std::string shown = d.outputIsTerminal ? printable(entry.text) : entry.text;
            std::fwrite(shown.data(), 1, shown.size(), stdout);
            std::fputc('\n', stdout);
        }
        drawStatus(d);
        return;
    case Entry::kNote:
        eraseStatus(d);
        std::fprintf(stdout, "vorbix: %s\n", d.outputIsTerminal ? printable(entry.text).c_str() : entry.text.c_str());
        drawStatus(d);
        return;
    case Entry::kWarning:
        eraseStatus(d);
        std::fflush(stdout);
        std::fprintf(stderr, "vorbix: %s\n", entry.text.c_str());
        std::fflush(stderr);
        drawStatus(d);
        return;
    case Entry::kStatus: {
        if (!d.statusLine) return;
        const std::string shown = fitToWidth(printable(entry.text));
        if (shown == d.status) return;
        eraseStatus(d);
        d.status = shown;
        drawStatus(d);
        return;
    }
    }
}

size_t& backlogOf(Display& d, Entry::Kind kind) { return kind == Entry::kGameLine ? d.gameBytes : d.ownBytes; }

void runDisplay() {
    Display& d = display();
    std::unique_lock<std::mutex> lock(d.mutex);
    for (;;) {
        d.changed.wait(lock, [&] { return !d.waiting.empty(); });
        Entry entry = std::move(d.waiting.front());
        d.waiting.pop_front();
        backlogOf(d, entry.kind) -= entry.text.size();
        // Lines dropped while the terminal was stalled are told once it reads again.
        std::string dropped;
        if (d.droppedLines > 0 || d.droppedNotes > 0) {
            dropped = std::to_string(d.droppedLines) + " lines of the game's output" +
                      (d.droppedNotes > 0 ? " and " + std::to_string(d.droppedNotes) + " notes" : std::string()) +
                      " were not shown: the terminal did not take them in time";
            d.droppedLines = d.droppedNotes = 0;
        }
        d.writing = true;
        lock.unlock();
        if (!dropped.empty()) write(d, Entry{Entry::kNote, dropped});
        write(d, entry);
        lock.lock();
        d.writing = false;
        d.changed.notify_all();
    }
}

void add(Entry::Kind kind, std::string text) {
    Display& d = display();
    std::lock_guard<std::mutex> lock(d.mutex);
    probe(d);
    if (!d.started) {
        d.started = true;
        std::thread(runDisplay).detach();
    }
    if (kind == Entry::kStatus && !d.statusLine) return;
    size_t& backlog = backlogOf(d, kind);
    const size_t limit = kind == Entry::kGameLine ? kGameBacklogBytes : kOwnBacklogBytes;
    if (backlog + text.size() > limit) {
        ++(kind == Entry::kGameLine ? d.droppedLines : d.droppedNotes);
        return;
    }
    backlog += text.size();
    d.waiting.push_back(Entry{kind, std::move(text)});
    d.changed.notify_all();
}

}  // namespace

bool openGameLog(const char* path) {
    int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    std::FILE* file = fd >= 0 ? fdopen(fd, "a") : nullptr;
    if (file == nullptr) {
        if (fd >= 0) close(fd);
        return false;
    }
    Display& d = display();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.gameLog = file;
    return true;
}

void writeGameLine(const std::string& line) { add(Entry::kGameLine, line); }

void writeNote(const std::string& text) { add(Entry::kNote, text); }

void writeWarning(const char* caption, const char* text) {
    add(Entry::kWarning, std::string(caption) + ": " + text);
}

void setStatusLine(const std::string& status) { add(Entry::kStatus, status); }

void closeDisplay(unsigned timeoutMs) {
    setStatusLine("");
    Display& d = display();
    std::unique_lock<std::mutex> lock(d.mutex);
    d.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return d.waiting.empty() && !d.writing; });
    // Left to a stalled terminal, the display thread may still hold stdout.
    if (!d.waiting.empty() || d.writing) return;
    std::fflush(stdout);
    if (d.gameLog) std::fclose(d.gameLog);
    d.gameLog = nullptr;
}

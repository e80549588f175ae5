#include "terminal/display.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

struct Display {
    std::mutex mutex;
    bool probed = false;
    bool statusLine = false;  // standard output is a terminal that takes escape sequences
    bool outputIsTerminal = false;
    std::string status;       // what the status line shows now; empty: none
    std::FILE* gameLog = nullptr;
};

// Never destroyed: the channel's reader thread may print during process exit.
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

void showGameLine(const std::string& line) {
    Display& d = display();
    std::lock_guard<std::mutex> lock(d.mutex);
    probe(d);
    if (d.gameLog) {
        std::fwrite(line.data(), 1, line.size(), d.gameLog);
        std::fputc('\n', d.gameLog);
        std::fflush(d.gameLog);
        return;
    }
    eraseStatus(d);
    const std::string shown = d.outputIsTerminal ? printable(line) : line;
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    std::fputc('\n', stdout);
    drawStatus(d);
}

void showNote(const std::string& text) {
    Display& d = display();
    std::lock_guard<std::mutex> lock(d.mutex);
    probe(d);
    eraseStatus(d);
    std::fprintf(stdout, "vorbix: %s\n", d.outputIsTerminal ? printable(text).c_str() : text.c_str());
    drawStatus(d);
}

void showWarningLine(const char* caption, const char* text) {
    Display& d = display();
    std::lock_guard<std::mutex> lock(d.mutex);
    probe(d);
    eraseStatus(d);
    std::fflush(stdout);
    std::fprintf(stderr, "vorbix: %s: %s\n", caption, text);
    std::fflush(stderr);
    drawStatus(d);
}

void showStatus(const std::string& status) {
    Display& d = display();
    std::lock_guard<std::mutex> lock(d.mutex);
    probe(d);
    if (!d.statusLine) return;
    const std::string shown = fitToWidth(printable(status));
    if (shown == d.status) return;
    eraseStatus(d);
    d.status = shown;
    drawStatus(d);
}

void closeDisplay() {
    Display& d = display();
    std::lock_guard<std::mutex> lock(d.mutex);
    probe(d);
    eraseStatus(d);
    d.status.clear();
    std::fflush(stdout);
    if (d.gameLog) std::fclose(d.gameLog);
    d.gameLog = nullptr;
}

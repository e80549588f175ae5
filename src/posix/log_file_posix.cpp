// The game's log on Linux and macOS: a plain read-only open, which never
// hinders the writer, and inotify on the log's folder where there is one
// (Linux); elsewhere the wait is a plain timed sleep.
#include "console/log_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/inotify.h>
#endif

#include <cerrno>

namespace {

bool readAt(int fd, uint64_t offset, size_t count, std::string& out) {
    out.resize(count);
    size_t got = 0;
    while (got < count) {
        const ssize_t n = pread(fd, &out[got], count - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    out.resize(got);
    return true;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

void lookAtLogFile(const std::string& path, uint64_t offset, size_t count, LogLook& look, std::string& data) {
    look = LogLook{};
    data.clear();
    int fd;
    do fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        look.exists = true;
        // Device and inode: a file replaced under the same name has another.
        look.identity = (static_cast<uint64_t>(info.st_dev) << 40) ^ static_cast<uint64_t>(info.st_ino);
        look.size = static_cast<uint64_t>(info.st_size);
        look.modified = static_cast<int64_t>(info.st_mtime);
        readAt(fd, 0, kLogHeadSize, look.head);
        if (count > 0 && offset < look.size) readAt(fd, offset, count, data);
    }
    close(fd);
}

struct LogWatch {
    std::string folder;
    int notify = -1;  // inotify descriptor watching the folder, or -1
    int wake[2] = {-1, -1};
};

namespace {

// The folder, not the file: the game may create or replace the file.
void watchFolder(LogWatch* watch) {
#ifdef __linux__
    watch->notify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch->notify >= 0 &&
        inotify_add_watch(watch->notify, watch->folder.c_str(),
                          IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE_SELF) < 0) {
        close(watch->notify);
        watch->notify = -1;
    }
#else
    (void)watch;
#endif
}

}  // namespace

LogWatch* startLogWatch(const std::string& logPath) {
    LogWatch* watch = new LogWatch;
    watch->folder = folderOf(logPath);
    if (pipe(watch->wake) == 0) {
        fcntl(watch->wake[0], F_SETFL, O_NONBLOCK);
        fcntl(watch->wake[1], F_SETFL, O_NONBLOCK);
    }
    watchFolder(watch);
    return watch;
}

bool waitForLogChange(LogWatch* watch, unsigned timeoutMs) {
    // A folder the game has not made yet is watched once it exists.
    if (watch->notify < 0) watchFolder(watch);
    pollfd fds[2] = {{watch->wake[0], POLLIN, 0}, {watch->notify, POLLIN, 0}};
    const nfds_t count = watch->notify >= 0 ? 2 : 1;
    int ready;
    do ready = poll(fds, count, static_cast<int>(timeoutMs));
    while (ready < 0 && errno == EINTR);
    if (ready <= 0) return false;
    char drain[4096];
    for (const pollfd& fd : fds) {
        if (fd.fd < 0 || !(fd.revents & POLLIN)) continue;
        while (read(fd.fd, drain, sizeof drain) > 0) {
        }
    }
#ifdef __linux__
    // The folder itself went away: watch it again once it is back.
    if ((fds[1].revents & POLLIN) && access(watch->folder.c_str(), F_OK) != 0) {
        close(watch->notify);
        watch->notify = -1;
    }
#endif
    return true;
}

bool logWatchReports(LogWatch* watch) { return watch->notify >= 0; }

void wakeLogWatch(LogWatch* watch) {
    const char byte = 1;
    ssize_t written = write(watch->wake[1], &byte, 1);
    (void)written;
}

void stopLogWatch(LogWatch* watch) {
    if (watch->notify >= 0) close(watch->notify);
    if (watch->wake[0] >= 0) close(watch->wake[0]);
    if (watch->wake[1] >= 0) close(watch->wake[1]);
    delete watch;
}

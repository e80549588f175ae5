// The log-follow transport's thread. It waits for a change in the log's
// folder or a timer, looks at the file, and reads what is new, all in one
// open of the file (console/log_file.h).
//
// Waking. A change report that comes with every write lets the thread
// sleep: it looks on its own once a second while the folder's change reports
// can be trusted, and every 20 ms (within about a frame) once it found a
// growth nobody reported, until three growths in a row were reported again.
// Windows documents that it may report a write only once it reaches the disk;
// Wine's and Linux's reports come at once. Under Wine a look costs about
// 45 us and a timed wait 40 us, so looking every 20 ms alone would cost
// about 0.4 % of a core; trusting prompt reports costs next to nothing.
// A missing file is looked for once a second: its first lines are the game's
// start-up.
#include "console/log_channel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

#include "console/console_events.h"
#include "console/log_file.h"
#include "console/log_follow.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kQuickLookMs = 20;
constexpr unsigned kSlowLookMs = 1000;
constexpr int kReportedGrowthsToTrust = 3;
constexpr auto kQuietAfterEnd = std::chrono::seconds(2);
constexpr int64_t kLiveSeconds = 30;
constexpr size_t kReadChunk = 65536;
constexpr size_t kTailSize = 4096;

struct Follow {
    std::mutex mutex;  // start and stop
    std::thread thread;
    std::atomic<bool> stopping{false};
    std::atomic<bool> linked{false};
    LogWatch* watch = nullptr;
};

Follow& follow() {
    static Follow* instance = new Follow;  // never destroyed: see console_events.cpp
    return *instance;
}

class Follower {
public:
    Follower(const std::string& path, int edition, bool watchReports)
        : path_(path), edition_(edition), reported_(watchReports ? kReportedGrowthsToTrust : 0) {}

    void start() {
        LogLook look;
        lookAtLogFile(path_, 0, 0, look, data_);
        followFromEnd(state_, look);
        if (look.exists && std::time(nullptr) - look.modified <= kLiveSeconds && !endsWithShutdown(look.size)) link();
        lastGrowth_ = Clock::now();
    }

    unsigned nextWaitMs() const {
        return !state_.known || reported_ >= kReportedGrowthsToTrust ? kSlowLookMs : kQuickLookMs;
    }

    // One look after a wait; `reported` when a change report ended the wait.
    void step(bool reported) {
        std::string lines;
        LogLook look;
        lookAtLogFile(path_, state_.offset, kReadChunk, look, data_);
        const LogChange change = noteLogLook(state_, look, lines);
        if (change == LogChange::kStarted || change == LogChange::kGone) {
            postConsoleLines(std::move(lines));
            lines.clear();
            unlink();
            // A game that wrote its log anew reads from the start.
            if (change == LogChange::kStarted) lookAtLogFile(path_, 0, kReadChunk, look, data_);
        }
        if (change == LogChange::kGrew || change == LogChange::kStarted) {
            reported_ = reported ? std::min(reported_ + 1, kReportedGrowthsToTrust) : 0;
            lastGrowth_ = Clock::now();
            readAll(look, lines);
            link();
            postConsoleLines(std::move(lines));
        }
        if (linked_ && state_.endSeen && Clock::now() - lastGrowth_ >= kQuietAfterEnd) {
            state_.endSeen = false;
            unlink();
        }
    }

    void stop() { unlink(); }

private:
    // The bytes of this look, then more until the file's end as it is now.
    void readAll(LogLook& look, std::string& lines) {
        for (;;) {
            const uint64_t readAt = state_.offset;
            takeLogBytes(state_, data_.data(), data_.size(), lines);
            if (data_.size() < kReadChunk) return;
            lookAtLogFile(path_, state_.offset, kReadChunk, look, data_);
            // A file replaced meanwhile is taken at the next step.
            if (!look.exists || look.identity != state_.identity || look.size < readAt) return;
        }
    }

    // A game that quit left its shutdown lines at the end of its log.
    bool endsWithShutdown(uint64_t size) {
        const uint64_t from = size > kTailSize ? size - kTailSize : 0;
        LogLook look;
        lookAtLogFile(path_, from, kTailSize, look, data_);
        LogFollower tail;
        std::string lines;
        takeLogBytes(tail, data_.data(), data_.size(), lines);
        return tail.endSeen;
    }

    void link() {
        if (linked_) return;
        linked_ = true;
        follow().linked = true;
        postLinked(makeLink(LinkKind::kGameLog, edition_));
    }

    void unlink() {
        if (!linked_) return;
        linked_ = false;
        follow().linked = false;
        postLost();
    }

    std::string path_;
    int edition_;
    LogFollower state_;
    std::string data_;
    bool linked_ = false;
    int reported_ = 0;
    Clock::time_point lastGrowth_;
};

void runFollow(Follow* f, LogWatch* watch, Follower* follower) {
    while (!f->stopping) {
        const bool reported = waitForLogChange(watch, follower->nextWaitMs());
        if (f->stopping) break;
        follower->step(reported);
    }
    follower->stop();
    delete follower;
}

}  // namespace

bool startLogFollow(const std::string& path, int edition) {
    Follow& f = follow();
    std::lock_guard<std::mutex> lock(f.mutex);
    if (f.thread.joinable()) return false;
    f.stopping = false;
    f.watch = startLogWatch(path);
    // The first look before returning: what the game writes from now on is
    // handed out, whenever the thread gets to run.
    Follower* follower = new Follower(path, edition, logWatchReports(f.watch));
    follower->start();
    f.thread = std::thread(runFollow, &f, f.watch, follower);
    return true;
}

bool followedLogLinked() { return follow().linked; }

void stopLogFollow() {
    Follow& f = follow();
    std::lock_guard<std::mutex> lock(f.mutex);
    if (!f.thread.joinable()) return;
    f.stopping = true;
    wakeLogWatch(f.watch);
    f.thread.join();
    stopLogWatch(f.watch);
    f.watch = nullptr;
}

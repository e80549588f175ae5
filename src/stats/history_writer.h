// Appends history rows on a thread of its own, so that the end of a map
// costs the program's thread no file work: `append` only queues the row.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "stats/history.h"

class HistoryWriter {
public:
    // Rows go to `path`; after a failed write the writer tries again after
    // `retryAfter`, at the next append or at a flush, whichever comes first.
    explicit HistoryWriter(std::string path, std::chrono::milliseconds retryAfter = std::chrono::seconds(10));
    // Tries once more to write what is queued, then ends the thread.
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;

    // Queues the row and returns at once.
    void append(MapRecord record);
    // Writes every row queued so far and waits for it. Returns false when the
    // write failed: the rows stay queued for the next try.
    bool flush();
    // Rows not yet written.
    size_t queued();

private:
    void run();
    // Writes what is queued; called with the lock held, releases it meanwhile.
    bool writeQueued(std::unique_lock<std::mutex>& lock);

    const std::string path_;
    const std::chrono::milliseconds retryAfter_;
    std::mutex mutex_;
    std::condition_variable wake_;   // rows, a flush or the end
    std::condition_variable done_;   // a write attempt ended
    std::deque<MapRecord> rows_;
    HistoryFileState fileState_;     // the file as the last write left it (writer thread)
    uint64_t flushWanted_ = 0;       // flush requests so far
    uint64_t flushServed_ = 0;       // requests the last finished attempt covered
    bool lastWriteOk_ = true;
    bool failing_ = false;           // the last attempt failed: wait for the retry time
    bool stopping_ = false;
    std::chrono::steady_clock::time_point retryAt_{};
    std::thread thread_;             // not joinable when no thread could be started
};

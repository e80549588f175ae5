#include "stats/history_writer.h"

#include <system_error>
#include <utility>
#include <vector>

HistoryWriter::HistoryWriter(std::string path, std::chrono::milliseconds retryAfter)
    : path_(std::move(path)), retryAfter_(retryAfter) {
    try {
        thread_ = std::thread(&HistoryWriter::run, this);
    } catch (const std::system_error&) {
        // No thread: rows wait in the queue and flush writes them itself.
    }
}

HistoryWriter::~HistoryWriter() {
    if (!thread_.joinable()) {
        flush();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void HistoryWriter::append(MapRecord record) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        rows_.push_back(std::move(record));
        failing_ = false;  // a new row is a good moment to try again
    }
    wake_.notify_one();
}

bool HistoryWriter::flush() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (rows_.empty()) return true;
    if (!thread_.joinable()) return writeQueued(lock);
    const uint64_t wanted = ++flushWanted_;
    wake_.notify_one();
    done_.wait(lock, [&] { return flushServed_ >= wanted; });
    return lastWriteOk_;
}

size_t HistoryWriter::queued() {
    std::lock_guard<std::mutex> lock(mutex_);
    return rows_.size();
}

bool HistoryWriter::writeQueued(std::unique_lock<std::mutex>& lock) {
    const std::vector<MapRecord> batch(rows_.begin(), rows_.end());
    const uint64_t serving = flushWanted_;
    lock.unlock();
    bool ok = false;
    try {
        ok = appendHistoryRows(path_.c_str(), batch, &fileState_);
    } catch (...) {
        ok = false;  // out of memory or the like: the rows stay queued
    }
    lock.lock();
    if (ok) rows_.erase(rows_.begin(), rows_.begin() + std::ptrdiff_t(batch.size()));
    lastWriteOk_ = ok;
    failing_ = !ok;
    retryAt_ = std::chrono::steady_clock::now() + retryAfter_;
    if (serving > flushServed_) flushServed_ = serving;
    done_.notify_all();
    return ok;
}

void HistoryWriter::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    auto due = [&] {
        if (stopping_ || flushWanted_ > flushServed_) return true;
        if (rows_.empty()) return false;
        return !failing_ || std::chrono::steady_clock::now() >= retryAt_;
    };
    for (;;) {
        if (failing_ && !rows_.empty()) {
            wake_.wait_until(lock, retryAt_, due);
        } else {
            wake_.wait(lock, due);
        }
        if (!rows_.empty() && due()) writeQueued(lock);
        if (rows_.empty() && flushWanted_ > flushServed_) {
            // Nothing left to write: a flush that came meanwhile is done.
            flushServed_ = flushWanted_;
            lastWriteOk_ = true;
            done_.notify_all();
        }
        if (stopping_) break;
    }
    // Whoever still waits for a flush is answered.
    flushServed_ = flushWanted_;
    done_.notify_all();
}

#include "console/command_queue.h"

#include <chrono>

#include "core/frontend.h"

namespace {

// Said the same way on every platform: the game would run a cut command.
void refuse(const CommandQueue& queue, const std::string& command) {
    const std::string text = "Not sent to the game: longer than its " + std::to_string(queue.longest) +
                             "-character console line, or holding a line break: " + command.substr(0, 60);
    showNotice(text.c_str());
}

void dropStale(CommandQueue& queue) {
    while (!queue.ready.empty() && queue.ready.front().link != queue.openLink) queue.ready.pop_front();
}

}  // namespace

bool queueCommand(CommandQueue& queue, uint32_t link, const std::string& command) {
    if (link == 0) return false;
    if (command.size() > queue.longest || command.find_first_of("\r\n") != std::string::npos) {
        refuse(queue, command);
        return false;
    }
    std::lock_guard<std::mutex> lock(queue.mutex);
    if (link != queue.openLink) return false;
    queue.held.push_back({link, command});
    return true;
}

void releaseCommands(CommandQueue& queue) {
    {
        std::lock_guard<std::mutex> lock(queue.mutex);
        if (queue.held.empty()) return;
        for (CommandQueue::Command& command : queue.held) queue.ready.push_back(std::move(command));
        queue.held.clear();
        queue.changed.notify_all();
    }
    if (queue.wake) queue.wake();
}

void openCommands(CommandQueue& queue, uint32_t link) {
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.openLink = link;
    queue.held.clear();
    queue.ready.clear();
    queue.inFlight = 0;
    queue.changed.notify_all();
}

std::vector<std::string> takeCommands(CommandQueue& queue, size_t room, size_t most, bool takeFirstAnyway) {
    std::vector<std::string> taken;
    std::lock_guard<std::mutex> lock(queue.mutex);
    size_t used = 0;
    for (dropStale(queue); !queue.ready.empty() && taken.size() < most; dropStale(queue)) {
        const size_t bytes = queue.ready.front().text.size() + 1;
        if (used + bytes > room && !(taken.empty() && takeFirstAnyway)) break;
        used += bytes;
        taken.push_back(std::move(queue.ready.front().text));
        queue.ready.pop_front();
    }
    queue.inFlight += taken.size();
    if (!taken.empty()) queue.changed.notify_all();
    return taken;
}

size_t nextCommandBytes(CommandQueue& queue) {
    std::lock_guard<std::mutex> lock(queue.mutex);
    dropStale(queue);
    return queue.ready.empty() ? 0 : queue.ready.front().text.size() + 1;
}

void commandsReached(CommandQueue& queue, size_t count) {
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.inFlight -= count < queue.inFlight ? count : queue.inFlight;
    queue.changed.notify_all();
}

bool waitUntilReached(CommandQueue& queue, unsigned timeoutMs) {
    releaseCommands(queue);
    std::unique_lock<std::mutex> lock(queue.mutex);
    // Commands for a game that is gone were dropped: nothing is left to wait for.
    return queue.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        dropStale(queue);
        return queue.ready.empty() && queue.inFlight == 0;
    });
}

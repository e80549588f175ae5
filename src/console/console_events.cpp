#include "console/console_events.h"

#include <atomic>
#include <deque>
#include <mutex>

#include "core/platform.h"

namespace {

struct Inbox {
    std::mutex mutex;
    std::deque<ConsoleEvent> events;
};

// Never destroyed: a transport thread may still post during process exit.
Inbox& inbox() {
    static Inbox* instance = new Inbox;
    return *instance;
}

}  // namespace

void postConsoleEvent(ConsoleEvent event) {
    bool wasEmpty;
    {
        std::lock_guard<std::mutex> lock(inbox().mutex);
        wasEmpty = inbox().events.empty();
        inbox().events.push_back(std::move(event));
    }
    // One wake-up per batch: the loop takes everything queued when it wakes.
    if (wasEmpty) wakeMainLoop();
}

void postConsoleLines(std::string lines) {
    if (lines.empty()) return;
    ConsoleEvent event;
    event.kind = ConsoleEvent::kLines;
    event.lines = std::move(lines);
    postConsoleEvent(std::move(event));
}

bool takeConsoleEvent(ConsoleEvent& event) {
    std::lock_guard<std::mutex> lock(inbox().mutex);
    if (inbox().events.empty()) return false;
    event = std::move(inbox().events.front());
    inbox().events.pop_front();
    return true;
}

void clearConsoleEvents() {
    std::lock_guard<std::mutex> lock(inbox().mutex);
    inbox().events.clear();
}

GameLink makeLink(LinkKind kind, int edition) {
    static std::atomic<uint32_t> lastId{0};
    return GameLink{kind, ++lastId, edition};
}

void postLinked(const GameLink& link) {
    ConsoleEvent event;
    event.kind = ConsoleEvent::kLinked;
    event.edition = link.edition;
    event.link = link;
    postConsoleEvent(std::move(event));
}

void postLost() {
    ConsoleEvent event;
    event.kind = ConsoleEvent::kLost;
    postConsoleEvent(std::move(event));
}

void postSearched(int edition) {
    ConsoleEvent event;
    event.kind = ConsoleEvent::kSearched;
    event.edition = edition;
    postConsoleEvent(std::move(event));
}

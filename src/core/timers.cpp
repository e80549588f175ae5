#include "core/timers.h"

#include <algorithm>
#include <vector>

#include "core/platform.h"

namespace {

struct Timer {
    uint64_t dueAt;
    uint64_t order;  // timers due at the same moment run in the order set
    void (*work)();
};

std::vector<Timer> timers;
uint64_t nextOrder = 0;

bool earlier(const Timer& a, const Timer& b) { return a.dueAt != b.dueAt ? a.dueAt < b.dueAt : a.order < b.order; }

}  // namespace

void runAfter(unsigned ms, void (*work)()) { timers.push_back({nowMilliseconds() + ms, nextOrder++, work}); }

void runDueTimers() {
    // A timer's work may set new timers; they wait for the next step.
    const uint64_t now = nowMilliseconds();
    std::vector<Timer> due;
    auto notDue = std::partition(timers.begin(), timers.end(), [&](const Timer& t) { return t.dueAt > now; });
    due.assign(notDue, timers.end());
    timers.erase(notDue, timers.end());
    std::sort(due.begin(), due.end(), earlier);
    for (const Timer& timer : due) timer.work();
}

int64_t msUntilNextTimer() {
    if (timers.empty()) return -1;
    const uint64_t next = std::min_element(timers.begin(), timers.end(), earlier)->dueAt;
    const uint64_t now = nowMilliseconds();
    return next > now ? static_cast<int64_t>(next - now) : 0;
}

void clearTimers() { timers.clear(); }

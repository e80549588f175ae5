// Work for later on the front-end's loop, so nothing outside the loop's
// thread touches the core: the poll step runs what is due, and the loop
// sleeps no longer than until the next one.
#pragma once

#include <cstdint>

// Runs `work` on the loop's thread once `ms` milliseconds have passed.
void runAfter(unsigned ms, void (*work)());
// Runs every timer that is due, in the order they fall due.
void runDueTimers();
// Milliseconds until the next timer is due (0: now), or -1 when none waits.
int64_t msUntilNextTimer();
// Drops every timer (tests).
void clearTimers();

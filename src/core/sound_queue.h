// The sounds asked for and not yet played, between the thread that asks and
// each platform's sound thread, which plays them in the order asked.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

struct SoundQueue {
    std::mutex mutex;
    std::condition_variable added;
    std::deque<std::string> paths;
    bool started = false;
};

// Never destroyed: the sound thread may still play during process exit.
SoundQueue& soundQueue();
// Queues `path` and returns at once; the first sound starts `runSoundThread`.
void queueSound(const char* path, void (*runSoundThread)());

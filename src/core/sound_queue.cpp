#include "core/sound_queue.h"

#include <thread>

SoundQueue& soundQueue() {
    static SoundQueue* instance = new SoundQueue;
    return *instance;
}

void queueSound(const char* path, void (*runSoundThread)()) {
    SoundQueue& queue = soundQueue();
    std::lock_guard<std::mutex> lock(queue.mutex);
    if (!queue.started) {
        queue.started = true;
        std::thread(runSoundThread).detach();
    }
    queue.paths.emplace_back(path);
    queue.added.notify_one();
}

// Sounds on a thread of their own, so that neither the window nor the
// console waits for one. The thread plays the queued WAV files one after
// another, each to its end: in the order asked, none cut off, none dropped
// and none mixed, as when every sound held the window thread. Asynchronous
// playback would not do: a sound asked for while another plays either cuts it
// off or, with SND_NOSTOP, is dropped.
#include <windows.h>
#include <mmsystem.h>

#include <mutex>
#include <string>

#include "core/platform.h"
#include "core/sound_queue.h"

namespace {

void runSoundThread() {
    SoundQueue& queue = soundQueue();
    for (;;) {
        std::string path;
        {
            std::unique_lock<std::mutex> lock(queue.mutex);
            queue.added.wait(lock, [&] { return !queue.paths.empty(); });
            path = std::move(queue.paths.front());
            queue.paths.pop_front();
        }
        // To its end; a missing file plays nothing rather than the default
        // sound, and a sound still playing is never cut off.
        sndPlaySoundA(path.c_str(), SND_SYNC | SND_NODEFAULT | SND_NOSTOP);
    }
}

}  // namespace

void playSoundFile(const char* path) { queueSound(path, runSoundThread); }

// Sounds through SDL2, on a thread of their own, so the loop never waits for
// one. Each WAV is appended to the audio device's queue: sounds play one
// after another in the order asked, none cut off and none mixed, as the
// Windows build plays them. A missing or broken file adds nothing and stops
// nothing. The device opens at the first sound and closes after a few quiet
// seconds: an open device costs CPU even in silence.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "core/frontend.h"
#include "core/platform.h"
#include "core/sound_queue.h"

namespace {

using Clock = std::chrono::steady_clock;

// The format of the shipped sounds; other WAVs are converted to it.
constexpr int kRate = 22050;
constexpr SDL_AudioFormat kFormat = AUDIO_S16SYS;
constexpr Uint8 kChannels = 1;
constexpr Uint16 kDeviceSamples = 1024;
constexpr auto kCloseWhenQuietFor = std::chrono::seconds(5);
constexpr auto kCheckWhileOpen = std::chrono::milliseconds(250);

struct Device {
    SDL_AudioDeviceID id = 0;
    bool failed = false;  // SDL or the device could not start: sounds stay silent
    Clock::time_point lastBusy;  // when its queue last held samples
};

bool openDevice(Device& device) {
    if (device.id != 0) return true;
    if (device.failed) return false;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // Ctrl+C stays the front-end's
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        device.failed = true;
    } else {
        SDL_AudioSpec wanted{};
        wanted.freq = kRate;
        wanted.format = kFormat;
        wanted.channels = kChannels;
        wanted.samples = kDeviceSamples;
        device.id = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        device.failed = device.id == 0;
    }
    if (device.failed) {
        std::string reason = std::string("Sounds cannot play: ") + SDL_GetError();
        showWarning(reason.c_str(), "Vorbix");
        return false;
    }
    SDL_PauseAudioDevice(device.id, 0);
    return true;
}

void closeDevice(Device& device) {
    SDL_CloseAudioDevice(device.id);
    device.id = 0;
}

// The samples of a WAV in the device's format; empty when it cannot be read.
std::vector<Uint8> loadSamples(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.c_str(), &spec, &data, &length) == nullptr) return {};
    SDL_AudioCVT convert;
    std::vector<Uint8> samples;
    if (SDL_BuildAudioCVT(&convert, spec.format, spec.channels, spec.freq, kFormat, kChannels, kRate) >= 0) {
        samples.resize(static_cast<size_t>(length) * static_cast<size_t>(convert.len_mult));
        std::copy(data, data + length, samples.begin());
        convert.buf = samples.data();
        convert.len = static_cast<int>(length);
        if (convert.needed && SDL_ConvertAudio(&convert) != 0)
            samples.clear();
        else
            samples.resize(static_cast<size_t>(convert.needed ? convert.len_cvt : convert.len));
    }
    SDL_FreeWAV(data);
    return samples;
}

void play(Device& device, const std::string& path) {
    std::vector<Uint8> samples = loadSamples(path);
    if (samples.empty() || !openDevice(device)) return;
    SDL_QueueAudio(device.id, samples.data(), static_cast<Uint32>(samples.size()));
}

void runSoundThread() {
    SoundQueue& queue = soundQueue();
    Device device;
    std::unique_lock<std::mutex> lock(queue.mutex);
    for (;;) {
        if (device.id != 0)
            queue.added.wait_for(lock, kCheckWhileOpen, [&] { return !queue.paths.empty(); });
        else
            queue.added.wait(lock, [&] { return !queue.paths.empty(); });
        std::deque<std::string> paths;
        paths.swap(queue.paths);
        lock.unlock();
        for (const std::string& path : paths) play(device, path);
        if (device.id != 0) {
            if (SDL_GetQueuedAudioSize(device.id) > 0)
                device.lastBusy = Clock::now();
            else if (Clock::now() - device.lastBusy > kCloseWhenQuietFor)
                closeDevice(device);
        }
        lock.lock();
    }
}

}  // namespace

void playSoundFile(const char* path) { queueSound(path, runSoundThread); }

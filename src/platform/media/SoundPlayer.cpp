#include "platform/media/SoundPlayer.h"

#include <dlfcn.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <list>
#include <mutex>
#include <thread>

#include "platform/media/Sound.h"

// The audio library is loaded when first needed, so that the installer runs (silently)
// on a system without it. Only the few calls used here are declared.
namespace {

typedef struct snd_pcm snd_pcm_t;
typedef void (*alsa_error_handler)(const char*, int, const char*, int, const char*, ...);

enum { kStreamPlayback = 0, kNonBlocking = 1, kAccessInterleaved = 3 };
enum {
    kFormatS8 = 0,
    kFormatU8 = 1,
    kFormatS16LE = 2,
    kFormatS16BE = 3,
    kFormatS32LE = 10,
    kFormatS32BE = 11,
    kFormatFloatLE = 14,
    kFormatFloatBE = 15,
    kFormatDoubleLE = 16,
    kFormatDoubleBE = 17,
};

struct Alsa {
    int (*open)(snd_pcm_t**, const char*, int, int) = nullptr;
    int (*nonblock)(snd_pcm_t*, int) = nullptr;
    int (*setParams)(snd_pcm_t*, int, int, unsigned, unsigned, int, unsigned) = nullptr;
    long (*writei)(snd_pcm_t*, const void*, unsigned long) = nullptr;
    int (*recover)(snd_pcm_t*, int, int) = nullptr;
    int (*drain)(snd_pcm_t*) = nullptr;
    int (*drop)(snd_pcm_t*) = nullptr;
    int (*close)(snd_pcm_t*) = nullptr;
    int (*setErrorHandler)(alsa_error_handler) = nullptr;
    bool loaded = false;
};

void QuietErrors(const char*, int, const char*, int, const char*, ...) {}

template <typename T> bool Bind(void* library, const char* name, T& function) {
    function = reinterpret_cast<T>(dlsym(library, name));
    return function != nullptr;
}

const Alsa& Library() {
    static Alsa alsa;
    static std::once_flag once;
    std::call_once(once, [] {
        void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            return;
        alsa.loaded = Bind(library, "snd_pcm_open", alsa.open) &&
                      Bind(library, "snd_pcm_nonblock", alsa.nonblock) &&
                      Bind(library, "snd_pcm_set_params", alsa.setParams) &&
                      Bind(library, "snd_pcm_writei", alsa.writei) &&
                      Bind(library, "snd_pcm_recover", alsa.recover) &&
                      Bind(library, "snd_pcm_drain", alsa.drain) &&
                      Bind(library, "snd_pcm_drop", alsa.drop) &&
                      Bind(library, "snd_pcm_close", alsa.close);
        // A missing device is not worth a message: without one the sound is silent.
        if (alsa.loaded && Bind(library, "snd_lib_error_set_handler", alsa.setErrorHandler))
            alsa.setErrorHandler(&QuietErrors);
    });
    return alsa;
}

int AlsaFormat(const media_raw_audio_format& format) {
    bool big = format.byte_order == B_MEDIA_BIG_ENDIAN;
    switch (format.format) {
    case media_raw_audio_format::B_AUDIO_UCHAR:
        return kFormatU8;
    case media_raw_audio_format::B_AUDIO_CHAR:
        return kFormatS8;
    case media_raw_audio_format::B_AUDIO_SHORT:
        return big ? kFormatS16BE : kFormatS16LE;
    case media_raw_audio_format::B_AUDIO_INT:
        return big ? kFormatS32BE : kFormatS32LE;
    case media_raw_audio_format::B_AUDIO_FLOAT:
        return big ? kFormatFloatBE : kFormatFloatLE;
    case media_raw_audio_format::B_AUDIO_DOUBLE:
        return big ? kFormatDoubleBE : kFormatDoubleLE;
    }
    return -1;
}

const char* DeviceName() {
    const char* name = std::getenv("TARNW_AUDIO_DEVICE");
    return name != nullptr && *name != '\0' ? name : "default";
}

} // namespace

struct Voice {
    play_id id = 0;
    BSound* sound = nullptr;
    std::thread thread;
    std::atomic<bool> stop{false};
    std::atomic<bool> flush{true};
    std::atomic<bool> done{false};
};

struct SoundPlayerState {
    media_raw_audio_format format;
    std::mutex lock;
    std::condition_variable ended;
    std::list<Voice> voices;
    play_id nextId = 1;
    bool started = false;
    float volume = 1.0f;

    void Play(Voice& voice);
    void Collect(bool all);
};

void SoundPlayerState::Play(Voice& voice) {
    const Alsa& alsa = Library();
    BSound* sound = voice.sound;
    const media_raw_audio_format& format = sound->Format();
    snd_pcm_t* pcm = nullptr;
    // Opened without blocking so that a busy device cannot hold the player; the writes
    // below then wait for the device as usual.
    if (alsa.loaded && alsa.open(&pcm, DeviceName(), kStreamPlayback, kNonBlocking) == 0) {
        alsa.nonblock(pcm, 0);
        size_t frameBytes = media_sample_size(format.format) * format.channel_count;
        if (alsa.setParams(pcm, AlsaFormat(format), kAccessInterleaved, format.channel_count,
                           unsigned(format.frame_rate), 1, 200000) == 0) {
            const uint8* data = static_cast<const uint8*>(sound->Data());
            size_t frames = size_t(sound->Size()) / frameBytes;
            size_t chunk = format.buffer_size / frameBytes;
            if (chunk == 0)
                chunk = 1024;
            size_t at = 0;
            int failures = 0;
            while (at < frames && !voice.stop.load()) {
                size_t count = frames - at < chunk ? frames - at : chunk;
                long written = alsa.writei(pcm, data + at * frameBytes, count);
                if (written < 0) {
                    if (alsa.recover(pcm, int(written), 1) < 0 || ++failures > 10)
                        break;
                    continue;
                }
                at += size_t(written);
            }
            if (voice.stop.load() && voice.flush.load())
                alsa.drop(pcm);
            else
                alsa.drain(pcm);
        }
        alsa.close(pcm);
    }
    sound->ReleaseRef();
    std::lock_guard<std::mutex> guard(lock);
    voice.done = true;
    ended.notify_all();
}

void SoundPlayerState::Collect(bool all) {
    std::list<Voice> finished;
    {
        std::lock_guard<std::mutex> guard(lock);
        for (auto it = voices.begin(); it != voices.end();) {
            auto next = std::next(it);
            if (all || it->done)
                finished.splice(finished.end(), voices, it);
            it = next;
        }
    }
    for (Voice& voice : finished)
        if (voice.thread.joinable())
            voice.thread.join();
}

BSoundPlayer::BSoundPlayer(const media_raw_audio_format* format, const char*, BufferPlayerFunc,
                           EventNotifierFunc, void*)
    : fState(std::make_shared<SoundPlayerState>()) {
    if (format != nullptr)
        fState->format = *format;
}

BSoundPlayer::~BSoundPlayer() {
    Stop(true, true);
}

status_t BSoundPlayer::InitCheck() const {
    return B_OK;
}

const media_raw_audio_format& BSoundPlayer::Format() const {
    return fState->format;
}

status_t BSoundPlayer::Start() {
    std::lock_guard<std::mutex> guard(fState->lock);
    fState->started = true;
    return B_OK;
}

void BSoundPlayer::Stop(bool block, bool flush) {
    {
        std::lock_guard<std::mutex> guard(fState->lock);
        fState->started = false;
        for (Voice& voice : fState->voices) {
            voice.flush = flush;
            voice.stop = true;
        }
    }
    if (block) {
        fState->Collect(true);
    } else {
        // The voices end by themselves; whoever deletes the player later waits for them.
    }
}

play_id BSoundPlayer::StartPlaying(BSound* sound, bigtime_t, float) {
    if (sound == nullptr || sound->InitCheck() != B_OK)
        return B_BAD_VALUE;
    fState->Collect(false);
    std::lock_guard<std::mutex> guard(fState->lock);
    if (!fState->started)
        return B_NO_INIT;
    Voice& voice = fState->voices.emplace_back();
    voice.id = fState->nextId++;
    voice.sound = sound->AcquireRef();
    SoundPlayerState* state = fState.get();
    voice.thread = std::thread([state, &voice] { state->Play(voice); });
    return voice.id;
}

status_t BSoundPlayer::StopPlaying(play_id id) {
    std::lock_guard<std::mutex> guard(fState->lock);
    for (Voice& voice : fState->voices)
        if (voice.id == id) {
            voice.stop = true;
            return B_OK;
        }
    return B_BAD_VALUE;
}

bool BSoundPlayer::IsPlaying(play_id id) const {
    std::lock_guard<std::mutex> guard(fState->lock);
    for (const Voice& voice : fState->voices)
        if (voice.id == id)
            return !voice.done;
    return false;
}

bool BSoundPlayer::HasData() const {
    std::lock_guard<std::mutex> guard(fState->lock);
    for (const Voice& voice : fState->voices)
        if (!voice.done)
            return true;
    return false;
}

status_t BSoundPlayer::WaitForSound(play_id id) {
    std::unique_lock<std::mutex> guard(fState->lock);
    for (Voice& voice : fState->voices)
        if (voice.id == id) {
            fState->ended.wait(guard, [&] { return voice.done.load(); });
            return B_OK;
        }
    return B_BAD_VALUE;
}

float BSoundPlayer::Volume() const {
    std::lock_guard<std::mutex> guard(fState->lock);
    return fState->volume;
}

void BSoundPlayer::SetVolume(float volume) {
    std::lock_guard<std::mutex> guard(fState->lock);
    fState->volume = volume < 0 ? 0 : volume;
}

bool BSoundPlayer::AudioLibraryAvailable() {
    return Library().loaded;
}

#pragma once

// BSoundPlayer: plays sounds through the system's audio output (ALSA, loaded when the
// first player starts; a system without it, or without a sound device, plays silence and
// reports no error). Each StartPlaying() gets its own output stream on a thread of its own,
// so sounds may overlap; the caller never blocks on the device.
//
// $TARNW_AUDIO_DEVICE names the ALSA device (default "default").

#include <memory>

#include "platform/media/MediaDefs.h"

class BSound;
struct SoundPlayerState;

typedef int32 play_id;

class BSoundPlayer {
public:
    typedef void (*BufferPlayerFunc)(void* cookie, void* buffer, size_t size,
                                     const media_raw_audio_format& format);
    typedef void (*EventNotifierFunc)(void* cookie, int32 what, ...);

    BSoundPlayer(const media_raw_audio_format* format, const char* name = nullptr,
                 BufferPlayerFunc playerFunction = nullptr,
                 EventNotifierFunc eventNotifier = nullptr, void* cookie = nullptr);
    virtual ~BSoundPlayer();

    status_t InitCheck() const;
    const media_raw_audio_format& Format() const;

    status_t Start();
    // Stops every sound; with block, returns when the outputs are closed; with flush,
    // what was queued is dropped rather than played out.
    void Stop(bool block = true, bool flush = true);

    // Plays `sound` (a reference is acquired until it has played). Answers an id > 0, or
    // a negative error when the player is not started or the sound is not usable.
    play_id StartPlaying(BSound* sound, bigtime_t atTime = 0, float withVolume = 1.0f);
    status_t StopPlaying(play_id id);
    bool IsPlaying(play_id id) const;
    // Whether any sound is still playing.
    bool HasData() const;
    // Blocks until the sound has played (or was stopped).
    status_t WaitForSound(play_id id);

    float Volume() const;
    void SetVolume(float volume);

    // Whether the audio library could be loaded (for tests and diagnostics).
    static bool AudioLibraryAvailable();

private:
    std::shared_ptr<SoundPlayerState> fState;
};

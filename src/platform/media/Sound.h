#pragma once

// BSound: sample data in memory with its format, shared by reference count: whoever
// keeps a sound acquires a reference and releases it when done; the last release deletes
// it. A sound is made over bytes in memory or from a sound file (RIFF WAVE: 8-, 16- or
// 32-bit PCM or 32-bit float samples).

#include <atomic>
#include <vector>

#include "platform/media/MediaDefs.h"

struct entry_ref;

class BSound {
public:
    // Copies `size` bytes of samples. The caller's buffer is freed with free() when
    // freeWhenDone is true (the sound keeps its own copy either way).
    BSound(void* data, size_t size, const media_raw_audio_format& format,
           bool freeWhenDone = false);
    // Reads the whole sound file into memory; InitCheck() tells whether it was usable.
    BSound(const entry_ref* soundFile, bool loadIntoMemory = false);

    status_t InitCheck() const { return fStatus; }
    const media_raw_audio_format& Format() const { return fFormat; }
    const void* Data() const { return fData.data(); }
    off_t Size() const { return off_t(fData.size()); }

    BSound* AcquireRef();
    // Answers true when this released the last reference (the sound is gone then).
    bool ReleaseRef();
    int32 RefCount() const { return fRefs.load(); }

    // Parses a RIFF WAVE file in memory; every length is checked against `size`.
    static status_t ParseWave(const uint8* bytes, size_t size, media_raw_audio_format* format,
                              const uint8** samples, size_t* sampleBytes);

private:
    ~BSound();
    void SetSamples(const void* data, size_t size, const media_raw_audio_format& format);

    std::vector<uint8> fData;
    media_raw_audio_format fFormat;
    status_t fStatus = B_NO_INIT;
    std::atomic<int32> fRefs{1};
};

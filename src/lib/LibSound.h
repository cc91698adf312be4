#pragma once

// LibSound: one sound and the player that plays it. The sound comes from a sound file or
// from an archived sound message ("data", "frame_rate", "channel_count", "format",
// "byte_order", "buffer_size"), which is also what Archive() writes, so the package
// builder and the installer share one format. A sound that cannot be read or played
// leaves the object unloaded: Play() then does nothing, and nothing is reported.

#include "platform/media/MediaDefs.h"
#include "platform/media/SoundPlayer.h"
#include "platform/storage/Entry.h"
#include "platform/storage/Path.h"

class BMessage;
class BSound;

class LibSound {
public:
    // From a sound file (links followed).
    LibSound(const char* path, const char* playerName);
    // From an archived sound message.
    LibSound(const BMessage& archive, const char* playerName);
    virtual ~LibSound();

    // Loads the sound from the file given to the constructor (the argument is not used).
    bool LoadSound(const char* path);
    bool LoadSound(const BMessage& archive);
    // Adds the fields of the archived sound message; B_NO_INIT when nothing is loaded.
    status_t Archive(BMessage& archive) const;

    // Starts the sound; answers the play id, or 0 when nothing is loaded (or it is
    // already playing and several at once are not allowed).
    play_id Play();
    bool IsPlaying() const;
    // Blocks until the sound has played.
    void WaitForSound();
    void AllowMultiple(const bool& allow) { fAllowMultiple = allow; }
    bool IsProceeding() const { return fLoaded; }
    const media_raw_audio_format& Format() const { return fFormat; }

private:
    void CreatePlayer(const char* playerName);
    void ReleaseSound();

    BSoundPlayer* fPlayer = nullptr;
    play_id fPlayId = 0;
    BSound* fSound = nullptr;
    bool fLoaded = false;
    BEntry fEntry;
    entry_ref fRef;
    BPath fPath;
    media_raw_audio_format fFormat;
    bool fAllowMultiple = false;
};

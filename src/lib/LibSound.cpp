#include "lib/LibSound.h"

#include "platform/app/Message.h"
#include "platform/media/Sound.h"

LibSound::LibSound(const char* path, const char* playerName) {
    fPath.SetTo(path);
    fEntry.SetTo(path, true);
    fEntry.GetRef(&fRef);
    if (fEntry.Exists() && LoadSound(path))
        CreatePlayer(playerName);
}

LibSound::LibSound(const BMessage& archive, const char* playerName) {
    if (LoadSound(archive))
        CreatePlayer(playerName);
}

LibSound::~LibSound() {
    if (fPlayer != nullptr) {
        fPlayer->Stop(true, true);
        delete fPlayer;
    }
    ReleaseSound();
}

void LibSound::CreatePlayer(const char* playerName) {
    fPlayer = new BSoundPlayer(&fFormat, playerName);
    fPlayer->SetVolume(1.0f);
    fLoaded = true;
}

void LibSound::ReleaseSound() {
    if (fSound != nullptr)
        fSound->ReleaseRef();
    fSound = nullptr;
}

bool LibSound::LoadSound(const char*) {
    ReleaseSound();
    if (!fEntry.Exists())
        return false;
    fSound = new BSound(&fRef, true);
    if (fSound->InitCheck() != B_OK) {
        ReleaseSound();
        return false;
    }
    fFormat = fSound->Format();
    return true;
}

bool LibSound::LoadSound(const BMessage& archive) {
    ReleaseSound();
    const void* data = nullptr;
    ssize_t size = 0;
    float frameRate = 0;
    int32 channels = 0, format = 0, byteOrder = 0, bufferSize = 0;
    if (archive.FindData("data", B_ANY_TYPE, &data, &size) != B_OK || data == nullptr ||
        size <= 0 || archive.FindFloat("frame_rate", &frameRate) != B_OK ||
        archive.FindInt32("channel_count", &channels) != B_OK ||
        archive.FindInt32("format", &format) != B_OK ||
        archive.FindInt32("byte_order", &byteOrder) != B_OK || channels <= 0)
        return false;
    archive.FindInt32("buffer_size", &bufferSize);
    media_raw_audio_format raw;
    raw.frame_rate = frameRate;
    raw.channel_count = uint32(channels);
    raw.format = uint32(format);
    raw.byte_order = uint32(byteOrder);
    raw.buffer_size = bufferSize > 0 ? size_t(bufferSize) : 0;
    // The sound keeps its own copy of the bytes; the message may go away.
    fSound = new BSound(const_cast<void*>(data), size_t(size), raw, false);
    if (fSound->InitCheck() != B_OK) {
        ReleaseSound();
        return false;
    }
    fFormat = fSound->Format();
    return true;
}

status_t LibSound::Archive(BMessage& archive) const {
    if (fSound == nullptr)
        return B_NO_INIT;
    const media_raw_audio_format& format = fSound->Format();
    archive.AddData("data", B_ANY_TYPE, fSound->Data(), ssize_t(fSound->Size()));
    archive.AddFloat("frame_rate", format.frame_rate);
    archive.AddInt32("channel_count", int32(format.channel_count));
    archive.AddInt32("format", int32(format.format));
    archive.AddInt32("byte_order", int32(format.byte_order));
    archive.AddInt32("buffer_size", int32(format.buffer_size));
    return B_OK;
}

play_id LibSound::Play() {
    if (!fLoaded || fSound == nullptr)
        return 0;
    if (IsPlaying()) {
        if (!fAllowMultiple)
            return 0;
        // A second start overlaps the first: a sound from a file starts over from a fresh
        // copy; one from a message has no file and is played again as it is.
        if (fEntry.InitCheck() == B_OK && fEntry.Exists()) {
            BSound* previous = fSound->AcquireRef();
            if (!LoadSound(nullptr)) {
                fSound = previous;
                return 0;
            }
            previous->ReleaseRef();
        }
    } else {
        fPlayer->Stop(true, true);
    }
    fPlayer->Start();
    play_id id = fPlayer->StartPlaying(fSound, 0);
    fPlayId = id > 0 ? id : 0;
    return fPlayId;
}

bool LibSound::IsPlaying() const {
    if (!fLoaded || fPlayer == nullptr)
        return false;
    return fPlayer->HasData() || (fPlayId > 0 && fPlayer->IsPlaying(fPlayId));
}

void LibSound::WaitForSound() {
    if (fPlayer != nullptr && fPlayId > 0)
        fPlayer->WaitForSound(fPlayId);
}

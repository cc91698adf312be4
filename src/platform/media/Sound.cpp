#include "platform/media/Sound.h"

#include <cstdlib>
#include <cstring>

#include "platform/storage/File.h"
#include "platform/storage/Path.h"

size_t media_sample_size(uint32 format) {
    switch (format) {
    case media_raw_audio_format::B_AUDIO_UCHAR:
    case media_raw_audio_format::B_AUDIO_CHAR:
        return 1;
    case media_raw_audio_format::B_AUDIO_SHORT:
        return 2;
    case media_raw_audio_format::B_AUDIO_INT:
    case media_raw_audio_format::B_AUDIO_FLOAT:
        return 4;
    case media_raw_audio_format::B_AUDIO_DOUBLE:
        return 8;
    }
    return 0;
}

namespace {

// A sound file is read whole; longer sounds are not start-up sounds.
constexpr off_t kMaxSoundFileBytes = 64 * 1024 * 1024;

uint32 Le32(const uint8* p) {
    return uint32(p[0]) | uint32(p[1]) << 8 | uint32(p[2]) << 16 | uint32(p[3]) << 24;
}

uint16 Le16(const uint8* p) {
    return uint16(p[0] | p[1] << 8);
}

bool FormatUsable(const media_raw_audio_format& format) {
    return media_sample_size(format.format) != 0 && format.channel_count > 0 &&
           format.channel_count <= 32 && format.frame_rate >= 1 && format.frame_rate <= 768000 &&
           (format.byte_order == B_MEDIA_BIG_ENDIAN || format.byte_order == B_MEDIA_LITTLE_ENDIAN);
}

} // namespace

BSound::BSound(void* data, size_t size, const media_raw_audio_format& format, bool freeWhenDone) {
    SetSamples(data, data != nullptr ? size : 0, format);
    if (freeWhenDone)
        std::free(data);
}

BSound::BSound(const entry_ref* soundFile, bool) {
    fStatus = B_BAD_VALUE;
    if (soundFile == nullptr)
        return;
    BFile file(soundFile, B_READ_ONLY);
    off_t size = 0;
    if (file.InitCheck() != B_OK || file.GetSize(&size) != B_OK) {
        fStatus = B_ENTRY_NOT_FOUND;
        return;
    }
    if (size <= 0 || size > kMaxSoundFileBytes)
        return;
    std::vector<uint8> bytes(size_t(size), 0);
    if (file.ReadAt(0, bytes.data(), bytes.size()) != ssize_t(bytes.size())) {
        fStatus = B_IO_ERROR;
        return;
    }
    media_raw_audio_format format;
    const uint8* samples = nullptr;
    size_t sampleBytes = 0;
    fStatus = ParseWave(bytes.data(), bytes.size(), &format, &samples, &sampleBytes);
    if (fStatus == B_OK)
        SetSamples(samples, sampleBytes, format);
}

BSound::~BSound() = default;

void BSound::SetSamples(const void* data, size_t size, const media_raw_audio_format& format) {
    fFormat = format;
    if (!FormatUsable(format)) {
        fStatus = B_BAD_VALUE;
        return;
    }
    size_t frame = media_sample_size(format.format) * format.channel_count;
    // Only whole frames can be played.
    size -= size % frame;
    if (size == 0) {
        fStatus = B_BAD_VALUE;
        return;
    }
    const uint8* bytes = static_cast<const uint8*>(data);
    fData.assign(bytes, bytes + size);
    if (fFormat.buffer_size == 0)
        fFormat.buffer_size = 4096;
    fStatus = B_OK;
}

BSound* BSound::AcquireRef() {
    fRefs.fetch_add(1);
    return this;
}

bool BSound::ReleaseRef() {
    if (fRefs.fetch_sub(1) == 1) {
        delete this;
        return true;
    }
    return false;
}

status_t BSound::ParseWave(const uint8* data, size_t size, media_raw_audio_format* format,
                           const uint8** samples, size_t* sampleBytes) {
    if (data == nullptr || size < 12 || std::memcmp(data, "RIFF", 4) != 0 ||
        std::memcmp(data + 8, "WAVE", 4) != 0)
        return B_BAD_VALUE;
    bool haveFormat = false;
    uint16 tag = 0, channels = 0, bits = 0;
    uint32 rate = 0;
    const uint8* found = nullptr;
    size_t foundBytes = 0;
    size_t position = 12;
    while (size - position >= 8) {
        const uint8* chunk = data + position;
        size_t length = Le32(chunk + 4);
        size_t body = position + 8;
        if (length > size - body)
            return B_BAD_VALUE;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16)
                return B_BAD_VALUE;
            tag = Le16(data + body);
            channels = Le16(data + body + 2);
            rate = Le32(data + body + 4);
            bits = Le16(data + body + 14);
            if (tag == 0xfffe) { // extensible: the sub-format starts with the real tag
                if (length < 40)
                    return B_BAD_VALUE;
                tag = Le16(data + body + 24);
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            found = data + body;
            foundBytes = length;
        }
        // Chunks are padded to an even length.
        size_t next = body + length + (length & 1);
        if (next > size)
            break;
        position = next;
    }
    if (!haveFormat || found == nullptr || channels == 0 || rate == 0)
        return B_BAD_VALUE;
    media_raw_audio_format result;
    if (tag == 1 && bits == 8)
        result.format = media_raw_audio_format::B_AUDIO_UCHAR;
    else if (tag == 1 && bits == 16)
        result.format = media_raw_audio_format::B_AUDIO_SHORT;
    else if (tag == 1 && bits == 32)
        result.format = media_raw_audio_format::B_AUDIO_INT;
    else if (tag == 3 && bits == 32)
        result.format = media_raw_audio_format::B_AUDIO_FLOAT;
    else
        return B_BAD_VALUE;
    result.channel_count = channels;
    result.frame_rate = float(rate);
    result.byte_order = B_MEDIA_LITTLE_ENDIAN;
    result.buffer_size = 4096;
    if (!FormatUsable(result))
        return B_BAD_VALUE;
    *format = result;
    *samples = found;
    *sampleBytes = foundBytes;
    return B_OK;
}

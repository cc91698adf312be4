#include "SoundArchive.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/app/Message.h"

namespace tarnw::pack {

namespace {

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

[[noreturn]] void Bad(const std::string& why) {
    throw std::runtime_error("not a usable WAV file: " + why);
}

} // namespace

WavSound ParseWav(const uint8_t* data, size_t size) {
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        Bad("no RIFF/WAVE header");
    bool haveFormat = false;
    uint16_t formatTag = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    const uint8_t* samples = nullptr;
    size_t sampleBytes = 0;

    size_t position = 12;
    while (position + 8 <= size) {
        const uint8_t* chunk = data + position;
        uint32_t length = Le32(chunk + 4);
        size_t body = position + 8;
        if (length > size - body)
            Bad("chunk runs past the end of the file");
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16)
                Bad("format chunk too short");
            formatTag = Le16(data + body);
            channels = Le16(data + body + 2);
            rate = Le32(data + body + 4);
            bits = Le16(data + body + 14);
            if (formatTag == 0xfffe) { // extensible: the real tag opens the sub-format
                if (length < 40)
                    Bad("extensible format chunk too short");
                formatTag = Le16(data + body + 24);
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            samples = data + body;
            sampleBytes = length;
        }
        // Chunks are padded to an even length.
        size_t next = body + length + (length & 1);
        if (next <= position)
            break;
        position = next;
    }
    if (!haveFormat)
        Bad("no format chunk");
    if (samples == nullptr)
        Bad("no data chunk");
    if (channels == 0 || channels > 8)
        Bad("unsupported channel count");
    if (rate == 0 || rate > 384000)
        Bad("unsupported frame rate");

    WavSound sound;
    if (formatTag == 1 && bits == 8)
        sound.format = kAudioUChar;
    else if (formatTag == 1 && bits == 16)
        sound.format = kAudioShort;
    else if (formatTag == 1 && bits == 32)
        sound.format = kAudioInt;
    else if (formatTag == 3 && bits == 32)
        sound.format = kAudioFloat;
    else
        Bad("only 8-, 16- or 32-bit PCM and 32-bit float samples are supported");
    if (sampleBytes > kMaxSoundBytes)
        Bad("the sound is longer than 16 MiB of samples");
    size_t frameBytes = size_t(channels) * bits / 8;
    sampleBytes -= sampleBytes % frameBytes;
    sound.frameRate = float(rate);
    sound.channelCount = channels;
    sound.samples.assign(samples, samples + sampleBytes);
    return sound;
}

WavSound LoadWav(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    try {
        return ParseWav(bytes.data(), bytes.size());
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(file.string() + ": " + error.what());
    }
}

void ArchiveSound(const WavSound& sound, BMessage& archive) {
    archive.AddData("data", B_ANY_TYPE, sound.samples.data(), ssize_t(sound.samples.size()));
    archive.AddFloat("frame_rate", sound.frameRate);
    archive.AddInt32("channel_count", sound.channelCount);
    archive.AddInt32("format", sound.format);
    archive.AddInt32("byte_order", kMediaLittleEndian);
    archive.AddInt32("buffer_size", kSoundBufferSize);
}

} // namespace tarnw::pack

#pragma once

// Turns a WAV file into the archived sound message the installer plays at start-up:
// "data" (the samples), "frame_rate", "channel_count", "format", "byte_order",
// "buffer_size", with the sample format and byte order codes of the media kit.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class BMessage;

namespace tarnw::pack {

// Sample format codes of a raw audio format.
enum : int32_t {
    kAudioUChar = 0x11,
    kAudioChar = 0x1,
    kAudioShort = 0x2,
    kAudioInt = 0x4,
    kAudioFloat = 0x24,
};
// Byte order codes.
enum : int32_t { kMediaBigEndian = 1, kMediaLittleEndian = 2 };

struct WavSound {
    float frameRate = 0;
    int32_t channelCount = 0;
    int32_t format = 0;
    std::vector<uint8_t> samples;
};

// Parses WAV bytes (PCM 8/16/32-bit or 32-bit float, plain or extensible format); throws
// std::runtime_error naming what is wrong. Every length is checked against the buffer.
WavSound ParseWav(const uint8_t* data, size_t size);
WavSound LoadWav(const std::filesystem::path& file);

// Sounds are carried whole inside the configuration; keep them short.
constexpr size_t kMaxSoundBytes = 16u * 1024 * 1024;
constexpr int32_t kSoundBufferSize = 8192;

void ArchiveSound(const WavSound& sound, BMessage& archive);

} // namespace tarnw::pack

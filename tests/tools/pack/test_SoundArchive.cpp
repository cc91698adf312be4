#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "SoundArchive.h"
#include "platform/app/Message.h"

using namespace tarnw::pack;

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(tag[i]));
}

std::vector<uint8_t> Wav(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                         const std::vector<uint8_t>& samples, bool extraChunk = false) {
    std::vector<uint8_t> body;
    PutTag(body, "WAVE");
    if (extraChunk) { // an odd-sized chunk before the format must be skipped with its pad byte
        PutTag(body, "LIST");
        Put32(body, 3);
        body.insert(body.end(), {'a', 'b', 'c', 0});
    }
    PutTag(body, "fmt ");
    Put32(body, 16);
    Put16(body, tag);
    Put16(body, channels);
    Put32(body, rate);
    Put32(body, rate * channels * bits / 8);
    Put16(body, uint16_t(channels * bits / 8));
    Put16(body, bits);
    PutTag(body, "data");
    Put32(body, uint32_t(samples.size()));
    body.insert(body.end(), samples.begin(), samples.end());
    std::vector<uint8_t> file;
    PutTag(file, "RIFF");
    Put32(file, uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

} // namespace

TEST(SoundArchive, ParsesPcmFormatsIntoTheArchivedSoundFields) {
    std::vector<uint8_t> samples = {1, 2, 3, 4, 5, 6, 7, 8};
    WavSound sound = ParseWav(Wav(1, 2, 22050, 16, samples, true).data(),
                              Wav(1, 2, 22050, 16, samples, true).size());
    EXPECT_EQ(sound.format, kAudioShort);
    EXPECT_EQ(sound.channelCount, 2);
    EXPECT_FLOAT_EQ(sound.frameRate, 22050.f);
    EXPECT_EQ(sound.samples, samples);

    EXPECT_EQ(
        ParseWav(Wav(1, 1, 8000, 8, samples).data(), Wav(1, 1, 8000, 8, samples).size()).format,
        kAudioUChar);
    EXPECT_EQ(
        ParseWav(Wav(3, 1, 8000, 32, samples).data(), Wav(3, 1, 8000, 32, samples).size()).format,
        kAudioFloat);

    BMessage archive;
    ArchiveSound(sound, archive);
    const void* data = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(archive.FindData("data", B_ANY_TYPE, 0, &data, &size), B_OK);
    EXPECT_EQ(size, 8);
    int32 order = 0, bufferSize = 0, format = 0;
    archive.FindInt32("byte_order", &order);
    archive.FindInt32("buffer_size", &bufferSize);
    archive.FindInt32("format", &format);
    EXPECT_EQ(order, kMediaLittleEndian);
    EXPECT_EQ(bufferSize, 8192);
    EXPECT_EQ(format, kAudioShort);
}

TEST(SoundArchive, RefusesDamagedFilesWithoutReadingPastTheEnd) {
    std::vector<uint8_t> good = Wav(1, 1, 8000, 16, {1, 2, 3, 4});
    // Every truncation either parses or throws; none reads out of bounds.
    for (size_t cut = 0; cut < good.size(); ++cut) {
        std::vector<uint8_t> shorter(good.begin(), good.begin() + long(cut));
        EXPECT_THROW(ParseWav(shorter.data(), shorter.size()), std::runtime_error) << cut;
    }
    std::vector<uint8_t> hugeChunk = good;
    hugeChunk[16] = 0xff; // the format chunk claims to be enormous
    hugeChunk[17] = 0xff;
    hugeChunk[18] = 0xff;
    hugeChunk[19] = 0x7f;
    EXPECT_THROW(ParseWav(hugeChunk.data(), hugeChunk.size()), std::runtime_error);
    std::vector<uint8_t> adpcm = Wav(2, 1, 8000, 4, {1, 2});
    EXPECT_THROW(ParseWav(adpcm.data(), adpcm.size()), std::runtime_error);
}

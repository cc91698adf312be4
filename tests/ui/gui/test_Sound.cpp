// The start-up sound: played through ALSA into a file device set up in the sandbox's
// ~/.asoundrc, silent without a device, and the archived sound message round-trips.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "lib/LibSound.h"
#include "platform/app/Message.h"
#include "platform/kernel/OS.h"
#include "platform/media/Sound.h"
#include "platform/media/SoundPlayer.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

std::string Samples(int frames) {
    std::string bytes;
    for (int i = 0; i < frames; i++) {
        int16 left = int16(i * 7), right = int16(-i * 3);
        bytes.append(reinterpret_cast<const char*>(&left), 2);
        bytes.append(reinterpret_cast<const char*>(&right), 2);
    }
    return bytes;
}

BMessage Archived(const std::string& samples) {
    BMessage archive;
    archive.AddData("data", B_ANY_TYPE, samples.data(), ssize_t(samples.size()));
    archive.AddFloat("frame_rate", 22050);
    archive.AddInt32("channel_count", 2);
    archive.AddInt32("format", media_raw_audio_format::B_AUDIO_SHORT);
    archive.AddInt32("byte_order", B_MEDIA_LITTLE_ENDIAN);
    archive.AddInt32("buffer_size", 4096);
    return archive;
}

std::string Le32(uint32 value) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; i++)
        out[i] = char((value >> (8 * i)) & 0xff);
    return out;
}

std::string Wave(const std::string& samples) {
    std::string format = Le32(0x00020001).substr(0, 4); // PCM, 2 channels
    format += Le32(22050) + Le32(22050 * 4) + std::string("\x04\x00\x10\x00", 4);
    return "RIFF" + Le32(uint32(4 + 8 + format.size() + 8 + samples.size())) + "WAVE" + "fmt " +
           Le32(uint32(format.size())) + format + "data" + Le32(uint32(samples.size())) + samples;
}

// Sends the default ALSA device into `output` (raw bytes, as written by the player).
fs::path RouteAudioToFile() {
    if (!BSoundPlayer::AudioLibraryAvailable())
        return {};
    fs::path output = Sandbox::MakeFolder("audio") / "out.raw";
    WriteFile(Sandbox::Home() / ".asoundrc", "pcm.!default {\n  type file\n  slave.pcm \"null\"\n"
                                             "  file \"" +
                                                 output.string() + "\"\n  format \"raw\"\n}\n");
    unsetenv("TARNW_AUDIO_DEVICE");
    return output;
}

} // namespace

TEST(Sound, TheArchivedSoundPlaysOnceIntoTheDevice) {
    fs::path output = RouteAudioToFile();
    if (output.empty())
        GTEST_SKIP() << "libasound.so.2 is not installed";
    std::string samples = Samples(3000);
    {
        LibSound sound(Archived(samples), "AudioFile");
        ASSERT_TRUE(sound.IsProceeding());
        EXPECT_GT(sound.Play(), 0);
        // A second start while it plays is refused unless several are allowed.
        if (sound.IsPlaying()) {
            EXPECT_EQ(sound.Play(), 0);
        }
        sound.WaitForSound();
        EXPECT_FALSE(sound.IsPlaying());
    }
    std::string written = ReadFile(output);
    // The device may pad the end of the stream with silence.
    ASSERT_GE(written.size(), samples.size());
    EXPECT_EQ(written.substr(0, samples.size()), samples);
}

TEST(Sound, DestroyingAPlayingSoundStopsIt) {
    fs::path output = RouteAudioToFile();
    if (output.empty())
        GTEST_SKIP() << "libasound.so.2 is not installed";
    // Ten seconds of sound into the null device would take ten seconds to play out.
    auto* sound = new LibSound(Archived(Samples(220500)), "AudioFile");
    ASSERT_GT(sound->Play(), 0);
    bigtime_t start = system_time();
    delete sound;
    EXPECT_LT(system_time() - start, 5000000);
}

TEST(Sound, WithoutADeviceTheSoundIsSilentAndNoError) {
    setenv("TARNW_AUDIO_DEVICE", "hw:97,0", 1);
    LibSound sound(Archived(Samples(500)), "AudioFile");
    ASSERT_TRUE(sound.IsProceeding());
    EXPECT_GT(sound.Play(), 0);
    sound.WaitForSound();
    EXPECT_FALSE(sound.IsPlaying());
}

TEST(Sound, UnusableSoundsLeaveTheObjectUnloaded) {
    std::string samples = Samples(100);
    BMessage noData = Archived(samples);
    noData.RemoveName("data");
    BMessage badFormat = Archived(samples);
    badFormat.ReplaceInt32("format", 0x77);
    BMessage noChannels = Archived(samples);
    noChannels.ReplaceInt32("channel_count", 0);
    BMessage badOrder = Archived(samples);
    badOrder.ReplaceInt32("byte_order", 9);
    BMessage lessThanAFrame = Archived(samples.substr(0, 3));
    for (const BMessage* archive : {&noData, &badFormat, &noChannels, &badOrder, &lessThanAFrame}) {
        LibSound sound(*archive, "AudioFile");
        EXPECT_FALSE(sound.IsProceeding());
        EXPECT_EQ(sound.Play(), 0);
        EXPECT_FALSE(sound.IsPlaying());
        BMessage out;
        EXPECT_EQ(sound.Archive(out), B_NO_INIT);
    }

    LibSound missing((Sandbox::Temp() / "no such.wav").c_str(), "AudioFile");
    EXPECT_FALSE(missing.IsProceeding());
    EXPECT_EQ(missing.Play(), 0);
}

TEST(Sound, AWaveFileArchivesToTheMessageTheInstallerPlays) {
    std::string samples = Samples(256);
    fs::path file = Sandbox::MakeFolder("wav") / "start.wav";
    WriteFile(file, Wave(samples));
    LibSound sound(file.c_str(), "AudioFile");
    ASSERT_TRUE(sound.IsProceeding());
    BMessage archive;
    ASSERT_EQ(sound.Archive(archive), B_OK);
    const void* data = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(archive.FindData("data", B_ANY_TYPE, &data, &size), B_OK);
    EXPECT_EQ(std::string(static_cast<const char*>(data), size_t(size)), samples);
    EXPECT_EQ(archive.GetFloat("frame_rate", 0), 22050);
    EXPECT_EQ(archive.GetInt32("channel_count", 0), 2);
    EXPECT_EQ(archive.GetInt32("format", 0), int32(media_raw_audio_format::B_AUDIO_SHORT));
    EXPECT_EQ(archive.GetInt32("byte_order", 0), int32(B_MEDIA_LITTLE_ENDIAN));

    // The archive loads again into an equal sound.
    LibSound again(archive, "AudioFile");
    ASSERT_TRUE(again.IsProceeding());
    EXPECT_EQ(again.Format().frame_rate, 22050);
}

TEST(Sound, WaveParserChecksEveryLength) {
    std::string good = Wave(Samples(16));
    media_raw_audio_format format;
    const uint8* samples = nullptr;
    size_t bytes = 0;
    auto parse = [&](const std::string& data) {
        return BSound::ParseWave(reinterpret_cast<const uint8*>(data.data()), data.size(), &format,
                                 &samples, &bytes);
    };
    ASSERT_EQ(parse(good), B_OK);
    EXPECT_EQ(bytes, 64u);
    // Every cut of the file is refused or stays inside it.
    for (size_t length = 0; length < good.size(); length++) {
        std::string cut = good.substr(0, length);
        if (parse(cut) == B_OK) {
            EXPECT_LE(samples + bytes, reinterpret_cast<const uint8*>(cut.data()) + cut.size());
        }
    }
    // A data chunk that claims more than the file holds.
    std::string forged = good;
    forged.replace(forged.find("data") + 4, 4, Le32(0xfffffff0));
    EXPECT_NE(parse(forged), B_OK);
    // 24-bit samples are not supported.
    std::string wide = good;
    wide[12 + 8 + 14] = 24;
    EXPECT_NE(parse(wide), B_OK);
}

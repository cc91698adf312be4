// Sound files come from users' files: any bytes either parse or give a clear error.
#include <cstdint>
#include <stdexcept>

#include "SoundArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        tarnw::pack::WavSound sound = tarnw::pack::ParseWav(data, size);
        if (sound.channelCount <= 0)
            __builtin_trap();
    } catch (const std::runtime_error&) {
    }
    return 0;
}

// The installer checks signatures with a few functions of libsodium, linked statically.
// libsodium's helpers refer to its random-number generator and its misuse handler, and
// those to sodium_init(), which refers to every implementation the library chooses among
// at run time: a quarter of a megabyte the installer never runs. It defines the two here
// instead, so that only the verification code is linked. The installer never asks
// libsodium for random bytes; should it, they come from the kernel.
#include <cstddef>
#include <cstdlib>
#include <sys/random.h>

extern "C" {

void sodium_misuse(void) {
    std::abort();
}

void randombytes_buf(void* const buffer, const size_t size) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (size_t done = 0; done < size;) {
        ssize_t got = getrandom(bytes + done, size - done, 0);
        if (got < 0)
            std::abort();
        done += size_t(got);
    }
}

} // extern "C"

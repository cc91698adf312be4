// What the C++ runtime of today's compiler, built against a newer C library, asks of the C
// library that version 2.31 (the oldest the installer runs with) does not have. Linked only
// into the shipped program when it is linked against that C library (TARNW_BASELINE_ROOT).
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

extern "C" {

// "The process may have threads": the runtime then always takes its atomic path, which is
// right whether or not it has. Newer C libraries keep their own flag and never see this one.
char __libc_single_threaded = 0;

// std::random_device. Random bytes from the kernel, as the C library's own does; it cannot
// fail, so a system without any source of them ends the program.
uint32_t arc4random() {
    uint32_t value;
    for (;;) {
        ssize_t got = getrandom(&value, sizeof value, 0);
        if (got == ssize_t(sizeof value))
            return value;
        if (got < 0 && errno == EINTR)
            continue;
        break;
    }
    int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ssize_t got = read(fd, &value, sizeof value);
        close(fd);
        if (got == ssize_t(sizeof value))
            return value;
    }
    _exit(127);
}
}

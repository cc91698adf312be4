#include "engine/StopSignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

std::mutex gLock;
std::function<void(int)> gHandler;
bool gStarted = false;
int gPipe[2] = {-1, -1};

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void Note(int signal) {
    int saved = errno;
    unsigned char byte = static_cast<unsigned char>(signal);
    // A full pipe already holds a stop request: losing this one changes nothing.
    ssize_t ignored = write(gPipe[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

void Read() {
    while (true) {
        unsigned char byte = 0;
        ssize_t got = read(gPipe[0], &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        int signal = byte;
        std::function<void(int)> handler;
        {
            std::lock_guard<std::mutex> guard(gLock);
            handler = gHandler;
        }
        if (handler) {
            handler(signal);
            continue;
        }
        // Nothing is running that could stop cleanly: the signal has its own effect.
        std::signal(signal, SIG_DFL);
        raise(signal);
    }
}

} // namespace

void StopSignals::Start() {
    std::lock_guard<std::mutex> guard(gLock);
    if (gStarted)
        return;
    if (pipe2(gPipe, O_CLOEXEC) != 0)
        return;
    fcntl(gPipe[1], F_SETFL, O_NONBLOCK);
    gStarted = true;
    std::thread(Read).detach();
    struct sigaction action = {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    // A terminal read in progress goes on after the handler.
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        sigaction(signal, &action, nullptr);
}

void StopSignals::SetHandler(std::function<void(int)> handler) {
    std::lock_guard<std::mutex> guard(gLock);
    gHandler = std::move(handler);
}

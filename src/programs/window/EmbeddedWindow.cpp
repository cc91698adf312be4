// The window's part as the installer program carries it: a shared object, compressed with
// gzip, linked into the program's read-only data. It is unpacked into an anonymous memory
// file and loaded from there, so that nothing is written to disk and a temporary folder
// on a noexec mount does not matter; only where the system refuses to run code from
// memory files is a file in the temporary folder tried instead.
#include "programs/window/WindowLoader.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" {
extern const unsigned char tarnw_window_part_start[];
extern const unsigned char tarnw_window_part_end[];
}

namespace {

// Writes all of `size` bytes; false with errno set otherwise.
bool WriteAll(int fd, const unsigned char* bytes, size_t size) {
    while (size > 0) {
        ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= size_t(written);
    }
    return true;
}

// Unpacks the part into `fd`; the reason when it fails.
std::string Unpack(int fd) {
    z_stream stream{};
    // 16 + the window bits: a gzip stream.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return "the window's part cannot be unpacked";
    stream.next_in = const_cast<unsigned char*>(tarnw_window_part_start);
    stream.avail_in = uInt(tarnw_window_part_end - tarnw_window_part_start);
    unsigned char buffer[64 * 1024];
    int status = Z_OK;
    std::string error;
    while (status == Z_OK) {
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) {
            error = "the window's part is damaged";
            break;
        }
        if (!WriteAll(fd, buffer, sizeof buffer - stream.avail_out)) {
            error = std::string("the window's part cannot be unpacked: ") + std::strerror(errno);
            break;
        }
    }
    inflateEnd(&stream);
    return error;
}

std::string FdPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// Loads the part from an anonymous memory file; nullptr with the loader's reason in `error`.
void* LoadFromMemory(std::string& error) {
    int fd = memfd_create("tarnwhistle-window", MFD_CLOEXEC);
    if (fd < 0) {
        error = std::string("memfd_create: ") + std::strerror(errno);
        return nullptr;
    }
    void* handle = nullptr;
    error = Unpack(fd);
    if (error.empty()) {
        handle = dlopen(FdPath(fd).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            error = dlerror();
    }
    close(fd);
    return handle;
}

// Loads the part from a file in the temporary folder, removed again at once.
void* LoadFromTemporaryFile(std::string& error) {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/tarnw-window-XXXXXX";
    int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        error = pattern + ": " + std::strerror(errno);
        return nullptr;
    }
    unlink(pattern.c_str());
    void* handle = nullptr;
    error = Unpack(fd);
    if (error.empty()) {
        handle = dlopen(FdPath(fd).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            error = dlerror();
    }
    close(fd);
    return handle;
}

} // namespace

bool WindowIsBuilt() {
    return true;
}

const WindowEntries* LoadWindowEntries(WindowOpening& opening) {
    std::string error;
    void* handle = LoadFromMemory(error);
    // A missing library is missing wherever the part lies; anything else may be the
    // memory file (a system that forbids running code from one).
    if (handle == nullptr && MissingLibraryIn(error).empty()) {
        std::string fileError;
        handle = LoadFromTemporaryFile(fileError);
        if (handle == nullptr && !MissingLibraryIn(fileError).empty())
            error = fileError;
    }
    if (handle == nullptr) {
        std::string library = MissingLibraryIn(error);
        opening.problem = library.empty() ? WindowOpening::Problem::BrokenPart
                                          : WindowOpening::Problem::MissingLibrary;
        opening.detail = library.empty() ? error : library;
        return nullptr;
    }
    using EntriesFunction = const WindowEntries* (*)();
    auto entries = reinterpret_cast<EntriesFunction>(dlsym(handle, "tarnw_window_entries"));
    if (entries == nullptr) {
        opening.problem = WindowOpening::Problem::BrokenPart;
        opening.detail = "the window's part has no entries";
        return nullptr;
    }
    // The part stays loaded until the program ends: the toolkit keeps threads and handlers.
    return entries();
}

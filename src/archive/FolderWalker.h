#pragma once

// Reaching the folders of an archive's entries below a root folder while extracting.

#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// An open folder shared by the walker and the files being written in it; closed when
// the last of them lets go.
struct FolderFd {
    FolderFd(int descriptor, bool own) : fd(descriptor), owned(own) {}
    FolderFd(const FolderFd&) = delete;
    FolderFd& operator=(const FolderFd&) = delete;
    int fd;
    bool owned;
    ~FolderFd() {
        if (owned && fd >= 0)
            close(fd);
    }
};
using FolderHandle = std::shared_ptr<FolderFd>;

// Walks from a root folder to folders below it, creating missing ones, without ever
// passing through a symbolic link. Keeps the descriptors of the current path open so that
// the many entries of one folder cost no extra look-ups.
class FolderWalker {
public:
    // Told of every folder the walker makes on the way (not the last one asked for when
    // it is an entry of its own); false stops the walk.
    using MadeHook =
        std::function<bool(int fd, const std::vector<std::string>& parts, size_t count)>;

    FolderWalker(int root, MadeHook made)
        : fRoot(std::make_shared<FolderFd>(root, false)), fMade(std::move(made)) {}

    // The folder root/parts[0..count), or null with errno set (0 when the hook refused).
    // made says whether the last folder was created by this call.
    FolderHandle Reach(const std::vector<std::string>& parts, size_t count, bool create = true,
                       bool lastIsEntry = false, bool* made = nullptr);

    void Release(size_t keep) {
        while (fOpen.size() > keep)
            fOpen.pop_back();
    }

private:
    struct Open {
        std::string name;
        FolderHandle handle;
    };
    FolderHandle fRoot;
    MadeHook fMade;
    std::vector<Open> fOpen;
};

#include "engine/InstallRun.h"

#include <unistd.h>

InstallRun::~InstallRun() {
    if (installFolderFd >= 0)
        close(installFolderFd);
    if (savedFilesFd >= 0)
        close(savedFilesFd);
}

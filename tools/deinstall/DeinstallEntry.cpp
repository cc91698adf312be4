// TarnDeinstall: the deinstaller role on its own, for running it without an installer.
#include "DeinstallMain.h"

int main(int argc, char** argv) {
    return RunDeinstaller(argc, argv);
}

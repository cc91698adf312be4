#pragma once

// The deinstaller's entry point. The installer program calls it when it runs as the
// deinstaller placed in an installation folder; TarnDeinstall always does.
int RunDeinstaller(int argc, char** argv);

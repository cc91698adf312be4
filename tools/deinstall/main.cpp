// TarnDeinstall: removes what an installation tagged. This first version only says so.
#include <cstdio>

int main() {
    std::fprintf(stderr, "This deinstaller cannot remove the installation yet.\n");
    return 1;
}

// Stands in for the shutdown and open commands in tests: appends its arguments, one
// line per call, to the file named by TARNW_COMMAND_LOG and exits 0.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const char* log = std::getenv("TARNW_COMMAND_LOG");
    if (log == nullptr)
        return 0;
    FILE* out = std::fopen(log, "a");
    if (out == nullptr)
        return 1;
    for (int i = 1; i < argc; ++i)
        std::fprintf(out, "%s%s", i > 1 ? " " : "", argv[i]);
    std::fputc('\n', out);
    std::fclose(out);
    return 0;
}

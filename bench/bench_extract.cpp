// Install time of a payload: ExtractEntry from a program's resources against Info-ZIP
// unzip of the same archive, tar of the same tree and cp of the tree itself.
//
//   bench_extract [tree] [--files N] [--min-kb A] [--max-kb B] [--large-mb M]
//                 [--large-count K] [--runs R] [--tag TEXT] [--work DIR]
//   bench_extract large [--size-mb M]     one item of M MiB (default 1024): pack and
//                                          extract it, report peak memory of each phase
//
// Everything happens in a fresh folder below $TMPDIR (or DIR, for example a freshly made
// ext4 volume), which is removed at the end; HOME and TARNW_PREFIX point into it, so the
// benchmark touches nothing else. --tag gives every unpacked file and folder the
// deinstaller's tag, as an installation does.

#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "archive/FileRegionSource.h"
#include "archive/ZipExtractor.h"
#include "files/LibAppResource.h"
#include "lib/PosixFs.h"
#include "platform/storage/StorageDefs.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string gWork;
// Small files are between these sizes; the large ones are gLargeCount of M MiB.
uint64_t gMinBytes = 200, gMaxBytes = 24200;
int gLargeCount = 3;
std::string gTag;

void Die(const char* what) {
    fprintf(stderr, "bench_extract: %s: %s\n", what, strerror(errno));
    exit(1);
}

int Run(std::vector<std::string> args, const std::string& folder = "") {
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    int devnull = open("/dev/null", O_WRONLY);
    posix_spawn_file_actions_adddup2(&actions, devnull, 1);
    pid_t pid;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(devnull);
    if (rc != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Have(const char* tool) {
    const char* path = getenv("PATH");
    std::string list = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= list.size()) {
        size_t colon = std::min(list.find(':', start), list.size());
        std::string candidate = list.substr(start, colon - start) + "/" + tool;
        if (colon > start && access(candidate.c_str(), X_OK) == 0)
            return true;
        start = colon + 1;
    }
    return false;
}

// Text-like bytes that compress about as well as program files and documents do.
void FillBlock(std::vector<char>& block, uint32_t& state) {
    static const char* words[] = {"install ", "folder ", "package ", "the ",    "of ", "value ",
                                  "\n",       "0x1f2e ", "return ",  "struct ", "{ ",  "} "};
    size_t at = 0;
    while (at < block.size()) {
        state = state * 1664525 + 1013904223;
        if ((state >> 28) == 0) {
            block[at++] = static_cast<char>(state >> 8);
            continue;
        }
        const char* word = words[(state >> 16) % 12];
        for (; *word && at < block.size(); ++word)
            block[at++] = *word;
    }
}

void WriteGenerated(const std::string& path, uint64_t size, uint32_t seed) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        Die(path.c_str());
    std::vector<char> block(1 << 20);
    uint32_t state = seed;
    for (uint64_t done = 0; done < size;) {
        FillBlock(block, state);
        size_t n = static_cast<size_t>(std::min<uint64_t>(block.size(), size - done));
        if (!posixfs::WriteAll(fd, block.data(), n))
            Die("write");
        done += n;
    }
    close(fd);
}

void MakeTree(const std::string& root, int files, int largeMb) {
    mkdir(root.c_str(), 0755);
    uint32_t state = 7;
    for (int i = 0; i < files; ++i) {
        std::string folder = root + "/d" + std::to_string(i % 64);
        mkdir(folder.c_str(), 0755);
        state = state * 1664525 + 1013904223;
        uint64_t size = gMinBytes + (state >> 8) % (gMaxBytes - gMinBytes + 1);
        WriteGenerated(folder + "/f" + std::to_string(i), size, state);
    }
    for (int i = 0; i < gLargeCount; ++i)
        WriteGenerated(root + "/large" + std::to_string(i), uint64_t(largeMb) << 20, 99 + i);
}

double Seconds(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Best(int runs, const std::function<void()>& prepare, const std::function<bool()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        bool ok = true;
        times.push_back(Seconds([&] { ok = work(); }));
        if (!ok) {
            fprintf(stderr, "bench_extract: a run failed\n");
            return -1;
        }
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

long PeakKb() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::string MakeProgram() {
    std::string program = gWork + "/installer";
    if (Run({"cp", "/bin/true", program}) != 0)
        Die("cp /bin/true");
    return program;
}

int TreeBench(int files, int largeMb, int runs) {
    std::string tree = gWork + "/src/Product";
    mkdir((gWork + "/src").c_str(), 0755);
    printf("generating %d small files and %d files of %d MiB...\n", files, gLargeCount, largeMb);
    MakeTree(tree, files, largeMb);
    std::string program = MakeProgram();
    {
        LibAppResource resources(program.c_str(), B_READ_WRITE);
        double packed = Seconds([&] {
            if (!resources.AddEntry(tree.c_str(), 2100, "Product", 6) || resources.Sync() != B_OK)
                Die(resources.LastError());
        });
        printf("AddEntry (pack, level 6): %.3f s\n", packed);
    }
    std::string archive = gWork + "/payload.zip";
    {
        LibAppResource resources(program.c_str(), B_READ_ONLY);
        if (!resources.ExtractEntry(2100, archive.c_str(), false))
            Die(resources.LastError());
    }
    struct stat st;
    stat(archive.c_str(), &st);
    printf("archive: %.1f MiB\n", st.st_size / 1048576.0);
    Run({"tar", "-cf", gWork + "/payload.tar", "-C", gWork + "/src", "Product"});

    std::string out = gWork + "/out";
    auto clean = [&] {
        posixfs::RemoveTree(out.c_str());
        mkdir(out.c_str(), 0755);
        sync();
    };
    LibAppResource resources(program.c_str(), B_READ_ONLY);
    double ours = Best(runs, clean, [&] {
        LibAppResource::ExtractOptions options;
        if (!gTag.empty())
            options.attributes = {{"InstallBy", B_STRING_TYPE, gTag}};
        return resources.ExtractEntry(2100, (out + "/Product").c_str(), std::move(options)).Ok();
    });
    printf("%-28s %8.3f s\n", "ExtractEntry", ours);
    // The same through the extractor alone, without tag.
    off_t offset = 0, length = 0;
    resources.GetResourceLocation(B_RAW_TYPE, 2100, &offset, &length);
    int fd = open(program.c_str(), O_RDONLY);
    double unpackOnly = Best(runs, clean, [&] {
        FileRegionSource source(fd, offset, length);
        ZipExtractor extractor(source);
        return extractor.ExtractItem((out + "/Product").c_str(), "Product");
    });
    close(fd);
    printf("%-28s %8.3f s\n", "  of which unpacking alone", unpackOnly);
    if (Have("unzip")) {
        double t = Best(runs, clean, [&] {
            return Run({"unzip", "-qo", archive, "-d", out}) == 0;
        });
        printf("%-28s %8.3f s\n", "unzip (same archive)", t);
    }
    if (Have("tar")) {
        double t = Best(runs, clean, [&] {
            return Run({"tar", "-xf", gWork + "/payload.tar", "-C", out}) == 0;
        });
        printf("%-28s %8.3f s\n", "tar -x (uncompressed tar)", t);
    }
    double t = Best(runs, clean, [&] { return Run({"cp", "-a", tree, out + "/Product"}) == 0; });
    printf("%-28s %8.3f s\n", "cp -a (the tree itself)", t);
    printf("peak memory of this process: %ld KiB\n", PeakKb());
    return 0;
}

int LargeBench(int sizeMb) {
    std::string item = gWork + "/Large.bin";
    printf("generating one item of %d MiB...\n", sizeMb);
    WriteGenerated(item, uint64_t(sizeMb) << 20, 4242);
    long afterGenerate = PeakKb();
    std::string program = MakeProgram();
    double packed;
    {
        LibAppResource resources(program.c_str(), B_READ_WRITE);
        packed = Seconds([&] {
            if (!resources.AddEntry(item.c_str(), 2100, "Large.bin", 6) || resources.Sync() != B_OK)
                Die(resources.LastError());
        });
    }
    long afterPack = PeakKb();
    mkdir((gWork + "/out").c_str(), 0755);
    double extracted;
    {
        LibAppResource resources(program.c_str(), B_READ_ONLY);
        extracted = Seconds([&] {
            if (!resources.ExtractEntry(2100, (gWork + "/out/Large.bin").c_str(), true))
                Die(resources.LastError());
        });
    }
    long afterExtract = PeakKb();
    bool same = Run({"cmp", "-s", item, gWork + "/out/Large.bin"}) == 0;
    printf("pack %.2f s, extract %.2f s, identical: %s\n", packed, extracted, same ? "yes" : "NO");
    printf("peak memory (KiB): after generating %ld, after packing %ld, after extracting %ld\n",
           afterGenerate, afterPack, afterExtract);
    printf("limit 65536 KiB: %s\n", afterExtract < 65536 ? "kept" : "EXCEEDED");
    return same && afterExtract < 65536 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IOLBF, 0);
    bool large = argc > 1 && strcmp(argv[1], "large") == 0;
    int files = 5000, largeMb = 32, runs = 3, sizeMb = 1024;
    const char* work = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (strcmp(argv[i], "--files") == 0)
            files = atoi(argv[++i]);
        else if (strcmp(argv[i], "--large-mb") == 0)
            largeMb = atoi(argv[++i]);
        else if (strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, atoi(argv[++i]));
        else if (strcmp(argv[i], "--size-mb") == 0)
            sizeMb = atoi(argv[++i]);
        else if (strcmp(argv[i], "--min-kb") == 0)
            gMinBytes = uint64_t(std::max(0, atoi(argv[++i]))) * 1024;
        else if (strcmp(argv[i], "--max-kb") == 0)
            gMaxBytes = uint64_t(std::max(0, atoi(argv[++i]))) * 1024;
        else if (strcmp(argv[i], "--large-count") == 0)
            gLargeCount = std::max(0, atoi(argv[++i]));
        else if (strcmp(argv[i], "--tag") == 0)
            gTag = argv[++i];
        else if (strcmp(argv[i], "--work") == 0)
            work = argv[++i];
    }
    if (gMaxBytes < gMinBytes)
        gMaxBytes = gMinBytes;
    const char* tmp = work != nullptr ? work : getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench-extract-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        Die("mkdtemp");
    gWork = pattern;
    setenv("HOME", gWork.c_str(), 1);
    setenv("TARNW_PREFIX", gWork.c_str(), 1);
    setenv("TMPDIR", gWork.c_str(), 1);
    int result = large ? LargeBench(sizeMb) : TreeBench(files, largeMb, runs);
    posixfs::RemoveTree(gWork.c_str());
    return result;
}

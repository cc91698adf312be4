// Costs of the foundation containers and string operations the installer leans on:
// walking and seeking lists of many files, looking names up, splitting long colon lists
// and rewriting long texts. Prints one line per case: items, total time, time per item.

#include <chrono>
#include <cstdio>
#include <string>

#include "lib/LibString.h"
#include "lib/LibStringIterator.h"
#include "lib/LibStringList.h"

namespace {

template <class Work> void Measure(const char* name, long items, Work work) {
    auto start = std::chrono::steady_clock::now();
    work();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-40s %9ld items %10.3f ms %10.1f ns/item\n", name, items, seconds * 1e3,
                items > 0 ? seconds * 1e9 / (double)items : 0.0);
}

} // namespace

int main() {
    const long count = 200000;
    LibStringList list;
    Measure("LibStringList::Add", count, [&] {
        char name[64];
        for (long i = 0; i < count; i++) {
            std::snprintf(name, sizeof(name), "folder/sub/file-%ld.dat", i);
            list.Add(name);
        }
    });
    volatile long total = 0;
    Measure("First/Next walk", count, [&] {
        for (LibString* s = list.First(); s != nullptr; s = list.Next())
            total = total + s->Length();
    });
    Measure("Get(i) ascending (seeks from cursor)", count, [&] {
        for (long i = 0; i < count; i++)
            total = total + list.Get((int32)i)->Length();
    });
    Measure("Get(i) descending", count, [&] {
        for (long i = count - 1; i >= 0; i--)
            total = total + list.Get((int32)i)->Length();
    });
    Measure("InList of the last name (x100)", count * 100, [&] {
        for (int i = 0; i < 100; i++)
            total = total + list.InList("folder/sub/file-199999.dat");
    });

    std::string path;
    for (long i = 0; i < count; i++)
        path += "/opt/tool" + std::to_string(i) + ":";
    Measure("LibStringIterator over a long list", count, [&] {
        LibStringIterator iterator(path.c_str());
        LibString field;
        while (iterator.GetNextField(':', field))
            total = total + field.Length();
    });
    Measure("ReplaceAll ':' -> '::' on a long list", count, [&] {
        LibString text(path.c_str());
        text.ReplaceAll(":", "::");
        total = total + text.Length();
    });
    Measure("ReplaceAll \"::\" -> \":\" (rescanning)", count, [&] {
        std::string doubled(count, ':');
        LibString text(doubled.c_str());
        text.ReplaceAll("::", ":");
        total = total + text.Length();
    });
    Measure("IsWildCard on long names", count, [&] {
        for (LibString* s = list.First(); s != nullptr; s = list.Next())
            total = total + s->IsWildCard("*/sub/*-1*.dat");
    });
    return total == 42 ? 1 : 0;
}

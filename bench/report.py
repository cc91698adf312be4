#!/usr/bin/env python3
"""Prints the medians and ratios of bench/run.sh's raw figures (WORKLOAD|TOOL|VALUE lines)."""
import statistics
import sys
from collections import defaultdict

values = defaultdict(list)
with open(sys.argv[1]) as f:
    for line in f:
        workload, tool, value = line.strip().split("|")
        values[(workload, tool)].append(float(value))


def median(workload, tool):
    found = values.get((workload, tool))
    return statistics.median(found) if found else None


def seconds(value):
    return "-" if value is None else "%.3f s" % value


def ratio(a, b):
    return "-" if a is None or b is None or b == 0 else "%.2f" % (a / b)


runs = max((len(v) for v in values.values()), default=0)
print("Medians of %d runs.\n" % runs)

rows = [w for w in ("small", "large") if (w, "ours") in values]
if rows:
    print("| workload | ours | `unzip -q` | `tar -xzf` | `tar -xf` | `cp -a` | unzip / ours | ours / cp -a | blocks ours / tar |")
    print("|---|---|---|---|---|---|---|---|---|")
    for w in rows:
        ours = median(w, "ours")
        print("| %s | %s | %s | %s | %s | %s | %s | %s | %s |" % (
            w, seconds(ours), seconds(median(w, "unzip")), seconds(median(w, "tar-xzf")),
            seconds(median(w, "tar-xf")), seconds(median(w, "cp-a")),
            ratio(median(w, "unzip"), ours), ratio(ours, median(w, "cp-a")),
            ratio(median(w, "blocks-ours"), median(w, "blocks-tar"))))
    print()

items = sorted({w for (w, t) in values if w.startswith("items")}, key=lambda w: int(w[5:]))
if items:
    print("| one-file items | N items | the same files as one folder item | ratio |")
    print("|---|---|---|---|")
    for w in items:
        many, one = median(w, "many"), median(w, "one")
        print("| %s | %s | %s | %s |" % (w[5:], seconds(many), seconds(one), ratio(many, one)))
    print()

if ("pack", "tarnw-pack") in values:
    ours, zip_ = median("pack", "tarnw-pack"), median("pack", "zip-r-6")
    print("| packing | `tarnw-pack build` | `zip -r -6` | zip / ours | installer bytes | zip bytes |")
    print("|---|---|---|---|---|---|")
    print("| tree | %s | %s | %s | %d | %d |" % (
        seconds(ours), seconds(zip_), ratio(zip_, ours), median("pack", "size-ours") or 0,
        median("pack", "size-zip") or 0))
    print()

if ("deinstall", "ours") in values:
    ours, rm = median("deinstall", "ours"), median("deinstall", "rm-rf")
    print("| removal | deinstaller | `rm -rf` | deinstaller / rm |")
    print("|---|---|---|---|")
    print("| small-file tree | %s | %s | %s |" % (seconds(ours), seconds(rm), ratio(ours, rm)))
    print()

for (w, t), v in sorted(values.items()):
    if w.startswith("load"):
        print("Loading %s items and choosing, up to the first question (unattended): %s" % (
            w[4:], seconds(statistics.median(v))))
    if w.startswith("window"):
        print("The window on screen with %s items: %s" % (w[6:], seconds(statistics.median(v))))
for w in ("small", "large"):
    if (w, "check") in values:
        print("Checking the %s installer before the run (`--check`): %s, %.1f%% of its install" % (
            w, seconds(median(w, "check")), 100 * median(w, "check") / median(w, "ours")))
if ("large", "peak-kib") in values:
    print("Peak resident memory of the large install: %.1f MiB" % (median("large", "peak-kib") / 1024))

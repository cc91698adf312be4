#!/usr/bin/env python3
"""Writes the benchmark workloads and their manifests.

workloads.py KIND DIR [options]   (see bench/run.sh)

  small DIR --files N            N files of 1-16 KiB in folders of 200, about half
                                 compressible, as one folder item "Tree"
  large DIR --count C --mib M    C files of M MiB, half-compressible, one folder item
  items DIR --files N            N files of 2-12 KiB as N one-file items, and the same
                                 files as one folder item
  pack DIR --mib M               a tree of about M MiB: small files (a quarter of the bytes)
                                 and large half-compressible files, one folder item
Every run with the same options writes the same bytes.
"""
import argparse
import json
import os
import random

WORDS = ("install package folder volume attribute deinstaller archive entry the of and "
         "to in a is that for it with as was on be by this are from or have an they which "
         "one you were her all she there would their we him been has when who will more no "
         "if out so said what up its about into than them can only other new some could").split()


def text_bytes(rng, size):
    out = []
    total = 0
    while total < size:
        line = " ".join(rng.choice(WORDS) for _ in range(rng.randint(4, 14))) + "\n"
        out.append(line)
        total += len(line)
    return "".join(out).encode()[:size]


def half_compressible(rng, size, pool):
    """Alternates 32 KiB of random bytes and 32 KiB of text: compresses to about half."""
    chunks = []
    total = 0
    while total < size:
        chunks.append(os.urandom(32768) if (total // 32768) % 2 == 0 else rng.choice(pool))
        total += 32768
    return b"".join(chunks)[:size]


def small_file(rng, size):
    # Half the bytes text, half random: a small file compresses to about 60%.
    half = size // 2
    return text_bytes(rng, half) + rng.randbytes(size - half)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def manifest(directory, sources, name="Bench"):
    files = [{"source": s, "groups": ["All"], "destination": "User Selected",
              "deinstallable": True} for s in sources]
    data = {
        "app_name": name, "version": "1.0", "opt_created_folder": name,
        "install_folder_name": name, "opt_include_deinstall": True, "opt_log": False,
        "opt_compression": 6, "groups": [{"name": "All", "description": "Everything"}],
        "files": files,
    }
    with open(os.path.join(directory, "manifest.json"), "w") as f:
        json.dump(data, f, indent=1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kind", choices=["small", "large", "items", "pack"])
    parser.add_argument("dir")
    parser.add_argument("--files", type=int, default=20000)
    parser.add_argument("--count", type=int, default=4)
    parser.add_argument("--mib", type=int, default=128)
    args = parser.parse_args()
    rng = random.Random(2026)
    os.makedirs(args.dir, exist_ok=True)
    pool = [text_bytes(rng, 32768) for _ in range(16)]

    if args.kind == "small":
        for i in range(args.files):
            size = rng.randint(1024, 16384)
            write(os.path.join(args.dir, "Tree", "d%03d" % (i // 200), "f%05d.dat" % i),
                  small_file(rng, size))
        manifest(args.dir, ["Tree"])
    elif args.kind == "large":
        for i in range(args.count):
            write(os.path.join(args.dir, "Tree", "large%d.bin" % i),
                  half_compressible(rng, args.mib << 20, pool))
        manifest(args.dir, ["Tree"])
    elif args.kind == "items":
        sources = []
        for i in range(args.files):
            data = small_file(rng, rng.randint(2048, 12288))
            write(os.path.join(args.dir, "items", "item%05d" % i), data)
            write(os.path.join(args.dir, "Tree", "item%05d" % i), data)
            sources.append("items/item%05d" % i)
        os.makedirs(os.path.join(args.dir, "many"), exist_ok=True)
        manifest(os.path.join(args.dir, "many"), ["../" + s for s in sources])
        os.makedirs(os.path.join(args.dir, "one"), exist_ok=True)
        manifest(os.path.join(args.dir, "one"), ["../Tree"])
    elif args.kind == "pack":
        total = args.mib << 20
        small_bytes = total // 4
        done = 0
        i = 0
        while done < small_bytes:
            size = rng.randint(1024, 65536)
            write(os.path.join(args.dir, "Tree", "src", "d%03d" % (i // 200), "f%05d" % i),
                  small_file(rng, size))
            done += size
            i += 1
        large = max(1, (total - done) // (64 << 20))
        each = (total - done) // large
        for n in range(large):
            write(os.path.join(args.dir, "Tree", "data", "part%d.bin" % n),
                  half_compressible(rng, each, pool))
        manifest(args.dir, ["Tree"])


if __name__ == "__main__":
    main()

#!/bin/sh
# What the shipped programs ask of the system they run on: no C library symbol newer than
# 2.31, and, to load, nothing but the C library (libc, libm, libdl, libpthread, librt, the
# loader) and libgcc_s. The window's part may need the X11 and font libraries, no newer C
# library either.
#   symbol_versions.sh OBJDUMP PROGRAM WINDOW_PART
set -eu
objdump=$1 program=$2 part=$3
status=0

newest_glibc() {
  "$objdump" -T "$1" | grep -o 'GLIBC_[0-9][0-9.]*' | sed 's/GLIBC_//' | sort -t. -k1,1n -k2,2n -k3,3n | tail -n 1
}
for file in "$program" "$part"; do
  newest=$(newest_glibc "$file")
  major=${newest%%.*} minor=${newest#*.}
  minor=${minor%%.*}
  if [ "$major" -gt 2 ] || { [ "$major" -eq 2 ] && [ "$minor" -gt 31 ]; }; then
    echo "$file needs GLIBC_$newest:" >&2
    "$objdump" -T "$file" | grep -E 'GLIBC_2\.(3[2-9]|[4-9][0-9])' >&2
    status=1
  else
    echo "$file: newest C library symbol GLIBC_$newest"
  fi
  if "$objdump" -p "$file" | grep -q 'GLIBC_ABI_DT_RELR'; then
    echo "$file needs a loader that knows packed relocations (C library 2.36)" >&2
    status=1
  fi
done

needed=$("$objdump" -p "$program" | awk '$1 == "NEEDED" {print $2}')
for library in $needed; do
  case "$library" in
  libc.so.6 | libm.so.6 | libdl.so.2 | libpthread.so.0 | librt.so.1 | libgcc_s.so.1 | ld-linux-x86-64.so.2) ;;
  *)
    echo "$program needs $library to load" >&2
    status=1
    ;;
  esac
done
echo "$program loads with: $(echo $needed)"
exit $status

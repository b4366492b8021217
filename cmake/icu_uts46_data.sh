#!/usr/bin/env bash
# Writes OUT_DIR/icudt<major>l_dat.S: an ICU common-data package holding only
# uts46.nrm, taken from the system's static data library. The server's other ICU
# calls (character properties, case mapping) use tables compiled into
# libicuuc.a; only the UTS #46 host name mapping loads an item from the data
# package, so the 31 MB package shrinks to 60 KB.
# Usage: icu_uts46_data.sh LIBICUDATA_A MAJOR OUT_DIR
set -euo pipefail
archive=$1 major=$2 out=$3
name=icudt${major}l
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The archive holds one object whose .rodata is the whole package, byte for byte.
(cd "$work" && ar x "$archive" "${name}_dat.o")
objcopy -O binary --only-section=.rodata "$work/${name}_dat.o" "$work/$name.dat"
mkdir -p "$work/items" "$work/small" "$out"
icupkg -d "$work/items" -x uts46.nrm "$work/$name.dat"
icupkg -tl -s "$work/items" -a uts46.nrm new "$work/small/$name.dat"
# ICU finds the linked package by the symbol icudt<major>_dat.
genccode -a gcc -e "icudt${major}" -d "$work" "$work/small/$name.dat" >/dev/null
mv "$work/${name}_dat.S" "$out/${name}_dat.S"

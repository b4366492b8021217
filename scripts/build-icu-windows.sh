#!/usr/bin/env bash
# Builds ICU for the Windows (mingw-w64) build from Debian's source package, with
# Debian's patches, as static libraries carrying only the data the server reads
# (uts46.nrm, for host names). The result lives in a cache folder outside the
# repository, keyed by ICU's version, Debian's revision, the compiler and this
# script, and is built only when missing. Prints the prefix's path on its last
# line of standard output; everything else goes to standard error.
set -euo pipefail
script="$(readlink -f "$0")"

cross=x86_64-w64-mingw32
cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/zevo"
icu_version=72.1
# The source package of the ICU that the Linux build uses, so both builds agree.
debian_version=$(dpkg-query -W -f='${Version}' libicu-dev)
[[ "$debian_version" == "$icu_version"-* ]] || {
  echo "build-icu-windows: libicu-dev is $debian_version, not ICU $icu_version" >&2
  exit 1
}
compiler_version=$("$cross-g++-posix" -dumpfullversion)
script_hash=$(sha256sum "$script" | cut -c1-12)
prefix="$cache_root/icu-$debian_version-gcc$compiler_version-$script_hash"

if [[ -f "$prefix/.complete" ]]; then
  echo "$prefix"
  exit 0
fi

jobs=$(nproc)
work=$(mktemp -d "${TMPDIR:-/tmp}/zevo-icu.XXXXXX")
trap 'rm -rf "$work"' EXIT
exec 3>&1 1>&2  # build noise to standard error; the prefix alone to standard output
echo "build-icu-windows: building ICU $debian_version for $cross into $prefix"

# Debian's source package through a sources list and package lists of our own,
# so the system's apt configuration is neither read nor changed.
mkdir -p "$work/apt/lists/partial" "$work/src"
echo "deb-src http://deb.debian.org/debian bookworm main" >"$work/apt/sources.list"
echo "deb-src http://deb.debian.org/debian-security bookworm-security main" >>"$work/apt/sources.list"
apt_options=(
  -o Dir::Etc::sourcelist="$work/apt/sources.list"
  -o Dir::Etc::sourceparts=/nonexistent
  -o Dir::State::Lists="$work/apt/lists"
  -o APT::Sandbox::User=root
)
apt-get "${apt_options[@]}" update -qq
(cd "$work/src" && apt-get "${apt_options[@]}" source -qq "icu=$debian_version")
source_dir=$(echo "$work"/src/icu-"$icu_version"/source)
[[ -d "$source_dir" ]] || { echo "build-icu-windows: no unpacked source" >&2; exit 1; }

# Only uts46.nrm: everything else the server asks of ICU (properties, case
# mapping) is compiled into the common library.
data="$source_dir/data/in/icudt72l.dat"
icupkg -l "$data" | grep -v '^uts46\.nrm$' >"$work/drop.txt"
icupkg -r "$work/drop.txt" "$data" "$work/icudt72l.dat"
mv "$work/icudt72l.dat" "$data"

common_options=(
  --enable-static --disable-shared --disable-tests --disable-samples --disable-extras
  --disable-layoutex --disable-icuio --with-data-packaging=static
)

# The host build supplies the tools the cross build runs (icupkg, genccode, pkgdata).
mkdir -p "$work/host"
(cd "$work/host" && "$source_dir/configure" "${common_options[@]}" >/dev/null && make -s -j "$jobs" >/dev/null)

mkdir -p "$work/cross"
(cd "$work/cross" &&
  CC="$cross-gcc-posix" CXX="$cross-g++-posix" CXXFLAGS="-O2" CFLAGS="-O2" \
    "$source_dir/configure" --host="$cross" --with-cross-build="$work/host" \
    --prefix="$work/install" --disable-tools "${common_options[@]}" >/dev/null &&
  make -s -j "$jobs" >/dev/null &&
  mkdir -p "$work/install/bin" &&
  make -s install >/dev/null)

# make install leaves a stub data library in lib/ and the real one in bin/.
rm -rf "$prefix.partial"
mkdir -p "$prefix.partial/lib"
cp -r "$work/install/include" "$prefix.partial/"
cp "$work/install/lib/libsicuuc.a" "$work/install/lib/libsicuin.a" "$prefix.partial/lib/"
cp "$work/install/bin/sicudt.a" "$prefix.partial/lib/libsicudt.a"
cp "$source_dir/../LICENSE" "$prefix.partial/LICENSE"
touch "$prefix.partial/.complete"
rm -rf "$prefix"
mv "$prefix.partial" "$prefix"
echo "build-icu-windows: done" >&2
echo "$prefix" >&3

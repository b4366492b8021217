#!/usr/bin/env bash
# Builds the Windows x86-64 server with Debian's mingw-w64:
# build-windows/src/zevo-lsp.exe (Release, stripped, no DLL but Windows' own),
# and the unit tests beside it unless --no-tests is given. ICU and GoogleTest
# are built for Windows once and kept in ${XDG_CACHE_HOME:-~/.cache}/zevo.
set -euo pipefail
cd "$(dirname "$0")/.."

tests=ON
case "${1:-}" in
  "") ;;
  --no-tests) tests=OFF ;;
  *) echo "usage: scripts/build-windows.sh [--no-tests]" >&2; exit 2 ;;
esac

root=$PWD
build=$root/build-windows
toolchain=$root/cmake/mingw-w64-x86_64.cmake
cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/zevo"
compiler_version=$(x86_64-w64-mingw32-g++-posix -dumpfullversion)

icu=$(scripts/build-icu-windows.sh | tail -n 1)

# GoogleTest from Debian's sources, built with the same toolchain.
build_gtest() {
  local version prefix work
  version=$(dpkg-query -W -f='${Version}' googletest)
  prefix="$cache_root/gtest-$version-gcc$compiler_version-$(cat "$toolchain" | sha256sum | cut -c1-12)"
  if [[ ! -f "$prefix/.complete" ]]; then
    echo "build-windows: building GoogleTest $version for Windows into $prefix" >&2
    work=$(mktemp -d "${TMPDIR:-/tmp}/zevo-gtest.XXXXXX")
    cmake -S /usr/src/googletest -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix.partial" >/dev/null
    cmake --build "$work" >/dev/null
    rm -rf "$prefix.partial"
    cmake --install "$work" >/dev/null
    rm -rf "$work"
    touch "$prefix.partial/.complete"
    rm -rf "$prefix"
    mv "$prefix.partial" "$prefix"
  fi
  echo "$prefix"
}

# What the build finds of the other dependencies: nlohmann-json's headers and
# CMake files copied out of /usr (which must not be on a Windows include path),
# and pkg-config files that name ICU's static libraries as they are called.
stage=$build/deps
rm -rf "$stage"
mkdir -p "$stage/include" "$stage/share/cmake" "$stage/lib/pkgconfig"
cp -r /usr/include/nlohmann "$stage/include/"
cp -r /usr/share/cmake/nlohmann_json "$stage/share/cmake/"
cat >"$stage/lib/pkgconfig/icu-uc.pc" <<EOF
Name: icu-uc
Description: ICU common library, static, for Windows
Version: 72.1
Cflags: -I$icu/include -DU_STATIC_IMPLEMENTATION
Libs: -L$icu/lib -lsicuuc -lsicudt
EOF
cat >"$stage/lib/pkgconfig/icu-i18n.pc" <<EOF
Name: icu-i18n
Description: ICU internationalisation library, static, for Windows
Version: 72.1
Requires: icu-uc
Libs: -L$icu/lib -lsicuin
EOF

deps="$stage;$icu"
[[ "$tests" == ON ]] && deps="$deps;$(build_gtest)"

# -O2, as the Linux build: at -O3 g++ 12 reports false -Wrestrict warnings in std::string.
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZEVO_WINDOWS_DEPS="$deps" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s \
  -DZEVO_BUILD_TESTS="$tests" -DZEVO_BUILD_BENCH=OFF >/dev/null
if [[ "$tests" == ON ]]; then
  cmake --build "$build" -j "$(nproc)"
else
  cmake --build "$build" -j "$(nproc)" --target zevo-lsp
fi
echo "build-windows: $build/src/zevo-lsp.exe"

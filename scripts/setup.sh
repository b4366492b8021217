#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Safe to run again: with everything present it changes nothing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libicu-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
)
# Extra package groups, asked for by the scripts that need them.
client=0
for group in "$@"; do
  case "$group" in
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    # The Windows build and its tests under Wine (scripts/build-windows.sh,
    # scripts/test-windows.sh): the cross compiler, Wine, a terminal for the
    # console test, and what fetches, unpacks and cross-builds ICU's sources.
    windows) packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 tmux dpkg-dev
                        icu-devtools make xz-utils) ;;
    # Only for scripts/try-neovim.sh, which checks the README's Neovim set-up.
    editor) packages+=(neovim) ;;
    # scripts/package.sh and its tests: ICU's data tools, zip and unzip.
    package) packages+=(icu-devtools zip unzip) ;;
    # Debian's node only where there is none: another node's npm conflicts with Debian's.
    client) client=1; command -v node >/dev/null || packages+=(nodejs npm) ;;
    *) echo "setup.sh: unknown package group '$group'" >&2; exit 2 ;;
  esac
done

# The client tests' npm packages, installed from the lock file again whenever
# the lock file changed since the last install.
install_client_packages() {
  ((client == 1)) || return 0
  local dir stamp lock_sum
  dir="$(dirname "$0")/../tests/client"
  stamp="$dir/node_modules/.zevo-lock-sum"
  lock_sum=$(sha256sum "$dir/package-lock.json" | cut -d' ' -f1)
  if [[ ! -f "$stamp" || "$(cat "$stamp")" != "$lock_sum" ]]; then
    echo "setup: npm ci in tests/client"
    (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error)
    echo "$lock_sum" >"$stamp"
  fi
}

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  install_client_packages
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "setup: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_client_packages

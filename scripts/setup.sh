#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Safe to run again: with everything present it changes nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  g++ cmake ninja-build pkg-config
  libicu-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
)
# Extra package groups, asked for by the scripts that need them.
client=0
vscode=0
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
    # The VS Code extension: packaging, and its test in code-server through
    # chromium (libkrb5-dev builds code-server's kerberos module, ripgrep
    # stands in for the one its install would download).
    vscode)
      vscode=1
      command -v node >/dev/null || packages+=(nodejs npm)
      packages+=(chromium libkrb5-dev ripgrep unzip)
      ;;
    *) echo "setup.sh: unknown package group '$group'" >&2; exit 2 ;;
  esac
done

# An npm folder's packages, installed from its lock file again whenever the
# lock file changed since the last install.
npm_ci() {
  local dir=$1 stamp lock_sum
  stamp="$dir/node_modules/.zevo-lock-sum"
  lock_sum=$(sha256sum "$dir/package-lock.json" | cut -d' ' -f1)
  if [[ ! -f "$stamp" || "$(cat "$stamp")" != "$lock_sum" ]]; then
    echo "setup: npm ci in ${dir#"$root/"}"
    (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error)
    echo "$lock_sum" >"$stamp"
  fi
}

# code-server's install refuses root without unsafe-perm, runs node-gyp through
# npx (yes), and downloads ripgrep unless a tarball is where it looks first: one
# made of Debian's rg.
npm_ci_code_server() {
  local dir=$1 cache
  export TMPDIR=${TMPDIR:-/tmp}
  cache="$TMPDIR/vscode-ripgrep-cache-1.15.11"
  mkdir -p "$cache"
  tar -czf "$cache/ripgrep-v13.0.0-10-x86_64-unknown-linux-musl.tar.gz" -C "$(dirname "$(command -v rg)")" rg
  (export npm_config_unsafe_perm=true npm_config_yes=true && npm_ci "$dir")
}

install_npm_packages() {
  ((client == 1)) && npm_ci "$root/tests/client"
  if ((vscode == 1)); then
    npm_ci "$root/editors/vscode"
    npm_ci_code_server "$root/editors/vscode/test/ui"
  fi
  return 0
}

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  install_npm_packages
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
install_npm_packages

#!/usr/bin/env bash
# Tries the README's Neovim set-up against the installed server: builds
# zevo-lsp, installs it into a scratch prefix put first on PATH, starts Neovim
# headless with the README's Lua blocks as its whole configuration on
# examples/blink.zv, and shows the server attached and answering a hover.
# Exit code 0 when it answered. Usage: scripts/try-neovim.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh editor
build=${1:-build}
{ cmake -S . -B "$build" -G Ninja && cmake --build "$build" --target zevo-lsp; } >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null

# The configuration is the README's own text, not a copy of it.
awk '/^```lua$/ {inside = 1; next} /^```$/ {inside = 0} inside' README.md >"$scratch/init.lua"

cat >"$scratch/check.lua" <<'LUA'
local function say(text) io.stdout:write(text .. '\n') end
local function finish(ok, text)
  say(text)
  vim.cmd(ok and 'qall!' or 'cquit! 1')
end
say('file type: ' .. vim.bo.filetype)
local attached = vim.wait(5000, function() return next(vim.lsp.buf_get_clients(0)) ~= nil end, 50)
if not attached then return finish(false, 'no language server attached') end
local _, client = next(vim.lsp.buf_get_clients(0))
say('attached: ' .. client.name .. ' (' .. table.concat(client.config.cmd, ' ') .. ')')
-- "fonksiyon" on line 5 of the example.
local params = { textDocument = vim.lsp.util.make_text_document_params(), position = { line = 4, character = 2 } }
for _, answer in pairs(vim.lsp.buf_request_sync(0, 'textDocument/hover', params, 5000) or {}) do
  if answer.result and answer.result.contents then
    return finish(true, 'hover: ' .. answer.result.contents.value:gsub('\n.*', ''))
  end
end
finish(false, 'no hover answer')
LUA

# Neovim's own state and logs stay in the scratch folder.
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" XDG_STATE_HOME="$scratch/state" \
  XDG_CACHE_HOME="$scratch/cache"
PATH="$scratch/prefix/bin:$PATH" timeout 60 \
  nvim --headless -n -i NONE -u "$scratch/init.lua" -c "luafile $scratch/check.lua" examples/blink.zv

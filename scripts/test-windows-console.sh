#!/usr/bin/env bash
# One session with zevo-lsp.exe on a real console: Wine in a tmux pane (no
# display needed) gives the program a console for its standard input and
# output, so input goes through ReadConsoleW and output through WriteConsoleW
# (or, on a UTF-8 console, as bytes). The messages are typed into the pane; a
# Turkish keyword must be read right for the hover to answer, and the answer's
# Turkish text must show on the screen. Run with code page 437 and 65001.
# Usage: scripts/test-windows-console.sh EXE (WINEPREFIX and Wine's services
# set up by the caller, as scripts/test-windows.sh does).
set -uo pipefail
exe=$1
windows_exe="Z:${exe//\//\\}"  # cmd takes Windows paths
wine=/usr/lib/wine/wine64
work=$(mktemp -d "${TMPDIR:-/tmp}/zevo-console.XXXXXX")
socket=zevo-console-$$
tmux_cmd=(tmux -u -L "$socket" -f /dev/null)
cleanup() {
  "${tmux_cmd[@]}" kill-server 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Each body ends with the CR LF that Enter gives on the console, counted in
# its length (white space after a JSON value is allowed).
type_message() {
  local body=$1 length
  length=$(($(printf '%s' "$body" | wc -c) + 2))
  "${tmux_cmd[@]}" send-keys -t zevo -l "Content-Length: $length"
  "${tmux_cmd[@]}" send-keys -t zevo Enter
  "${tmux_cmd[@]}" send-keys -t zevo Enter
  "${tmux_cmd[@]}" send-keys -t zevo -l "$body"
  "${tmux_cmd[@]}" send-keys -t zevo Enter
}

status=0
for code_page in 437 65001; do
  rm -f "$work/exit" "$work/log"
  # stderr to a file keeps the screen for the protocol; the exit code lands in a file.
  "${tmux_cmd[@]}" new-session -d -s zevo -x 400 -y 60 \
    "LC_ALL=C.UTF-8 '$wine' cmd /c 'chcp $code_page >nul && $windows_exe' 2>'$work/log'; echo \$? >'$work/exit'"
  # Keys typed before the console is set up would be lost: wait until the
  # server reads.
  for _ in $(seq 200); do grep -qF "ZEVO Language Server başlatıldı..." "$work/log" 2>/dev/null && break; sleep 0.1; done
  type_message '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///a.zv","languageId":"zevo","version":1,"text":"değişken sayaç: tamsayı = 0\n"}}}'
  type_message '{"jsonrpc":"2.0","id":1,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///a.zv"},"position":{"line":0,"character":2}}}'
  answer='Değeri değiştirilebilen değişken tanımlar.'
  for _ in $(seq 100); do
    "${tmux_cmd[@]}" capture-pane -t zevo -p -J -S - >"$work/screen" 2>/dev/null
    grep -qF "$answer" "$work/screen" && break
    sleep 0.1
  done
  type_message '{"jsonrpc":"2.0","method":"exit"}'
  for _ in $(seq 100); do [[ -s "$work/exit" ]] && break; sleep 0.1; done
  if grep -qF "$answer" "$work/screen" && [[ "$(cat "$work/exit" 2>/dev/null)" == 0 ]] &&
     grep -qF "İstek alındı: textDocument/hover" "$work/log"; then
    echo "console, code page $code_page: the hover's Turkish answer shown, exit code 0"
  else
    echo "console, code page $code_page: FAILED; screen:"
    cat "$work/screen"
    echo "log:"
    cat "$work/log" 2>/dev/null
    status=1
  fi
  "${tmux_cmd[@]}" kill-session -t zevo 2>/dev/null
done
exit $status

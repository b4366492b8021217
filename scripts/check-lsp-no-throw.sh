#!/bin/sh
# src/lsp/ calls nothing that can throw: failures are values there, and the
# server has no handler that would catch an exception, so one would end the
# process. The compiler cannot prove that (building with -fno-exceptions only
# turns a throw into an abort, and would give the JSON library's templates two
# meanings in one program), so this looks for the spellings that throw:
#   throw / try { / catch (             exceptions of our own
#   .at(  get<  get_ref<                checked accessors of the JSON library,
#                                       std::variant and the containers
#   ["key"]  .key()                     JSON object access that throws on
#                                       another kind of value
#   .dump(  nlohmann::json::parse(      the JSON library's own writer (throws on
#                                       bad UTF-8) and reader
#   std::sto*(                          number parsing that throws
# Their non-throwing forms: get_ptr<, get_if<, zevo::json::get, object_t
# iteration and insertion, zevo::json::to_text and zevo::json::parse.
# Not covered: positions handed to substr or replace, which throw only when
# past the end (each caller computes them inside the text), and allocation,
# which the global allocator ends with its out-of-memory report instead.
# Prints every offending line and fails when there is one.
set -u
dir="${1:-$(dirname "$0")/../src/lsp}"
pattern='\<throw\>|\<try\s*\{|\<catch\s*\(|\.at\(|\<get<|get_ref<|\["[^"]*"\]|\.key\(\)|\.dump\(|nlohmann::json::parse\(|std::sto[a-z]+\('
status=0
hits=$(grep -rnE "$pattern" "$dir" --include='*.cpp' --include='*.hpp') || status=$?
# 1 is "nothing found"; anything above is grep's own failure (a missing folder, say).
[ "$status" -le 1 ] || exit "$status"
# Comment lines are not code.
hits=$(printf '%s\n' "$hits" | grep -vE '^[^:]+:[0-9]+:\s*//')
if [ -n "$hits" ]; then
  printf '%s\n' "$hits"
  echo "src/lsp must not call what can throw (above); use the non-throwing forms" >&2
  exit 1
fi

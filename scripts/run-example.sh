#!/usr/bin/env bash
# Builds the server and runs it on examples/: the messages of examples/session.jsonl
# (one per line; @TEXT@ stands for examples/blink.zv as a JSON string) are framed
# and sent, and every message the server writes back is printed, one after the other.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
mkdir -p build
if ! { cmake -S . -B build -G Ninja && cmake --build build --target zevo-lsp; } >build/run-example-build.log 2>&1; then
  cat build/run-example-build.log
  echo "run-example: the build failed" >&2
  exit 1
fi

frame_session() {
  perl -e '
    local $/;
    open(my $f, "<:raw", "examples/blink.zv") or die "examples/blink.zv: $!";
    my $text = <$f>;
    # JSON string of the file: quote, backslash and control characters escaped.
    $text =~ s/([\\"])/\\$1/g;
    $text =~ s/\n/\\n/g; $text =~ s/\r/\\r/g; $text =~ s/\t/\\t/g;
    $text =~ s/([\x00-\x1f])/sprintf("\\u%04x", ord($1))/ge;
    open(my $s, "<:raw", "examples/session.jsonl") or die "examples/session.jsonl: $!";
    for my $line (split /\n/, <$s>) {
      next if $line eq "";
      $line =~ s/\@TEXT\@/"$text"/g;
      print "Content-Length: ", length($line), "\r\n\r\n", $line;
    }'
}

print_frames() {
  perl -e '
    local $/;
    binmode STDIN; binmode STDOUT;
    my $out = <STDIN>;
    my $pretty = eval { require JSON::PP; JSON::PP->new->canonical->pretty->space_before(0) };
    while ($out =~ /\GContent-Length: (\d+)\r\n\r\n/gc) {
      my $body = substr($out, pos($out), $1);
      pos($out) += $1;
      print "--- ", ($body =~ /"id":/ ? "response" : "notification"), "\n";
      unless ($pretty) { print "$body\n"; next; }
      my $message = $pretty->decode($body);
      # A long result list (the completion catalogue) is shown by its first items.
      my $list = ref($message) eq "HASH" ? $message->{result} : undef;
      if (ref($list) eq "ARRAY" && @$list > 5) {
        my $more = @$list - 3;
        splice(@$list, 3);
        push @$list, "... and $more more";
      }
      print $pretty->encode($message);
    }'
}

echo "=== session: examples/session.jsonl on examples/blink.zv"
status=0
frame_session | build/src/zevo-lsp 2>build/run-example.log | print_frames || status=$?
echo "=== server log (standard error)"
cat build/run-example.log
exit $status

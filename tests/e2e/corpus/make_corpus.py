#!/usr/bin/env python3
"""Writes the answer corpus of tests/e2e/corpus/: sessions of framed messages
and the exact bytes the server wrote for them.

    make_corpus.py SERVER            write every session and its answers
    make_corpus.py SERVER --check    record again and compare with the files

Each session NAME has NAME.in (the framed input), NAME.out (standard output),
NAME.err (standard error); sessions.txt lists the names with their exit codes.
The sessions are deterministic: every request whose answer gathers over the
open documents runs while only one document is open.
"""
import json
import pathlib
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent

# --- documents ---------------------------------------------------------------

TURKISH = """\
// Türkçe anahtar kelimelerle küçük bir program: çğıöşü İ
@halka_açık
sabit LED_PIN = 13
sabit PI = 3.14
değişken sayaç = 0
değişken ad = "Ayşe"
değişken açık = doğru
değişken liste = [1, 2, 3]
değişken tablo = {}
değişken satır = oku()
değişken boy = uzunluk(ad)
değişken tablet = 5
yapı Nokta {
  x: tamsayı,
  y: ondalık
}
@gizli
fonksiyon topla(a: tamsayı, b: tamsayı) -> tamsayı {
  dön a + b
}
@realtime(deadline: 10ms, wcet: 5ms)
fonksiyon bekle(ms: tamsayı) {
  zamanlayıcı.bekle(ms)
}
fonksiyon test_topla() {
  eğer topla(1, 2) == 3 {
    yazdır("tamam")
  } yoksa {
    yazdır("hata")
  }
}
fonksiyon benchmark_sırala() {
  için i içinde 0..10 {
    sırala(liste)
  }
}
fonksiyon ana() {
  gpio.mode(LED_PIN, çıkış)
  iken doğru {
    gpio.write(LED_PIN, 1)
    bekle(500)
    sayaç = sayaç + 1
    eğer sayaç >= 10 { kır }
  }
  yazdır(max(sayaç, 2), min(1, 2))
  değiştir(ad, "a", "b")
  üs(2, 8)
}
görev ölçüm öncelik 3 periyot 100ms {
  değişken v = adc.oku(0)
}
@yurtiçi @ihraç_edilebilir @dma_safe @hal_safe
EĞER İKEN Dön
"""

ENGLISH = """\
// English keywords: functions, tests, benchmarks and hardware
import gpio
const MAX = 100
const ratio = 0.5;
let count = 0
let name = 'zevo'
let flag = false
let items = [1, 2]
let cfg = {"a": 1}
let line = read()
let size = length(name)
let x: int = 5
let a = 1 // const b = 2
struct Point {
  x: int,
  y: float
}
type Meters = float
@public
function add(a: int, b: int) -> int {
  return a + b
}
@test function check()
#[test]
function test_add() {
  if add(1, 2) != 3 {
    print("bad")
  } else {
    print("ok")
  }
}
@bench fn sort_all() {}
function bench_sort() {
  for i in 0..10 {
    sort(items)
  }
}
fn main() {
  while true {
    write(count)
    count = count + 1
    if count > MAX { break } else { continue }
  }
  print(pow(2, 3), sqrt(16.0))
  replace(name, "z", "Z")
  push(items, 3)
  filter(items, even)
  split(name, ",")
}
task sampler priority 2 period 10ms {
  let v = adc.read(0)
  uart.write(v)
}
on timer.tick {
  pwm.set(50)
}
@exportable @domestic_only @classified @realtime @no_alloc @deadline @wcet @stack_limit @critical @certified
null undefined 3.14 0x1F "text" && || => <= >= ==
"""

UNICODE = """\
değişken çğıöşü = 1
sabit İSTANBUL = "İstanbul"
let 😀 = 1
let ağaç🌳 = "🌳🌲"
yazdır("🚀 merhaba", çğıöşü)
let 𝔘nicode = 2
fonksiyon şükür(ölçü: tamsayı) { dön ölçü }
şükür(çğıöşü)
// 👍 yorum ıİ ĞÜŞÖÇ
let ΣΑΣ = ΣΑΣ + 1
@gizli fonksiyon gizli_iş() {
  değişken öğe = "ü"
}
"""


def long_document():
    calls = ", ".join("max(a%d, b%d)" % (i, i) for i in range(60))
    words = " ".join("değişken_%d" % i for i in range(150))
    return ("let uzun = 1\n"
            "yazdır(" + calls + ")\n"
            "// " + words + "\n"
            "let " + "x" * 1500 + " = 7\n"
            "fonksiyon " + "f" * 800 + "(a, b) {\n"
            "  uzun = uzun + " + " + ".join(["uzun"] * 60) + "\n"
            "}\n")


DOCUMENTS = {
    "turkish": TURKISH,
    "english": ENGLISH,
    "unicode": UNICODE,
    "crlf": TURKISH[:330].replace("\n", "\r\n") + "let lone = 1\rlet after = 2\r\n\r\nsabit son = 3\r",
    "long": long_document(),
    "empty": "",
    "unterminated": "fonksiyon aç() {\n  let x = 5\n  yazdır(x)",
    "blank_lines": "\n\n   \n\t\nlet y = 2\n\n",
}

# --- messages ----------------------------------------------------------------


def dumps(value, ascii_only=False):
    return json.dumps(value, ensure_ascii=ascii_only, separators=(",", ":"))


def frame(body):
    data = body.encode("utf-8", "surrogatepass") if isinstance(body, str) else body
    return b"Content-Length: %d\r\n\r\n" % len(data) + data


class Session:
    def __init__(self):
        self.parts = []
        self.next_id = 1

    def raw(self, data):
        self.parts.append(data)

    def send(self, message, ascii_only=False):
        self.parts.append(frame(dumps(message, ascii_only)))

    def request(self, method, params=None, has_params=True):
        message = {"jsonrpc": "2.0", "id": self.next_id, "method": method}
        if has_params:
            message["params"] = params
        self.next_id += 1
        self.send(message)

    def notify(self, method, params=None, has_params=True):
        message = {"jsonrpc": "2.0", "method": method}
        if has_params:
            message["params"] = params
        self.send(message)

    def initialize(self):
        self.request("initialize", {"processId": None, "rootUri": None, "capabilities": {}})
        self.notify("initialized", {})

    def open(self, uri, text, ascii_only=False):
        self.send({"jsonrpc": "2.0", "method": "textDocument/didOpen",
                   "params": {"textDocument": {"uri": uri, "languageId": "zevo", "version": 1, "text": text}}},
                  ascii_only)

    def close(self, uri):
        self.notify("textDocument/didClose", {"textDocument": {"uri": uri}})

    def finish(self):
        self.request("shutdown", has_params=False)
        self.notify("exit", has_params=False)

    def bytes(self):
        return b"".join(self.parts)


def split_lines(text):
    parts = text.split("\n")
    last = parts.pop()
    lines = [part[:-1] if part.endswith("\r") else part for part in parts]
    return lines + [last] if last else lines


def utf16_len(text):
    return len(text.encode("utf-16-le")) // 2


def columns(line):
    """0, the start of the first words, the middle of one word, the end of the
    line and past it; inside a surrogate pair when the line has one."""
    starts, middles, inside_pairs = [], [], []
    unit = 0
    word_start = None
    for ch in line + " ":
        is_word = ch.isalnum() or ch in "_@"
        if is_word and word_start is None:
            word_start = unit
        if not is_word and word_start is not None:
            starts.append(word_start)
            middles.append((word_start + unit) // 2)
            word_start = None
        if utf16_len(ch) == 2:
            inside_pairs.append(unit + 1)
        unit += utf16_len(ch)
    end = utf16_len(line)
    cols = {0, end, end + 3} | set(starts[1:4]) | set(middles[:1]) | set(inside_pairs[:1])
    return sorted(cols)


def document_id(uri):
    return {"uri": uri}


def position(line, character):
    return {"line": line, "character": character}


def position_requests(session, uri, line, character):
    where = {"textDocument": document_id(uri), "position": position(line, character)}
    session.request("textDocument/hover", where)
    session.request("textDocument/signatureHelp", where)
    session.request("textDocument/definition", where)
    for include in (True, False):
        session.request("textDocument/references", dict(where, context={"includeDeclaration": include}))
    session.request("textDocument/prepareRename", where)
    session.request("textDocument/prepareRename", [document_id(uri), position(line, character)])
    session.request("textDocument/rename", dict(where, newName="yeni_ad"))


DIAGNOSTICS = [
    {"range": {"start": position(2, 4), "end": position(2, 9)}, "severity": 1,
     "message": "type mismatch: expected integer, found float"},
    {"range": {"start": position(1, 0), "end": position(1, 3)}, "message": "tip uyuşmazlığı: integer ile float"},
    {"range": {"start": position(3, 0), "end": position(3, 5)}, "message": "undefined variable 'sayaç'"},
    {"range": {"start": position(4, 2), "end": position(4, 7)}, "message": "tanımsız değişken `x`"},
    {"range": {"start": position(0, 0), "end": position(0, 12)}, "message": "expected ';'"},
    {"range": {"start": position(5, 1), "end": position(5, 4)}, "message": "unknown keyword: function"},
    {"range": {"start": position(6, 0), "end": position(6, 4)}, "message": "anahtar kelime hatası: eğer"},
    {"range": {"start": position(7, 0), "end": position(7, 2)}, "message": "undefined keyword 'do'; expected ';'"},
    {"message": "type mismatch between float and integer"},
    {"range": None, "message": "tip uyuşmazlığı float integer"},
    {"range": {"start": position(1, 0)}},
    "not an object",
]


def document_requests(session, uri, text):
    doc = document_id(uri)
    lines = split_lines(text)
    count = len(lines)
    session.request("textDocument/documentSymbol", {"textDocument": doc})
    session.request("textDocument/semanticTokens/full", {"textDocument": doc})
    session.request("textDocument/codeLens", {"textDocument": doc})
    session.request("textDocument/inlayHint", {"textDocument": doc})
    for first, last in ((0, count), (1, 3), (count - 1, count + 5), (4, 2), (0, 0)):
        session.request("textDocument/inlayHint", {"textDocument": doc, "range": {
            "start": position(max(first, 0), 0), "end": position(max(last, 0), 5)}})
    session.request("textDocument/completion", {"textDocument": doc, "position": position(0, 0)})
    for line in range(count + 1):
        session.request("textDocument/codeAction", {"textDocument": doc, "range": {
            "start": position(line, 0), "end": position(line, 6)}, "context": {"diagnostics": []}})
    for first, last in ((0, 3), (2, 9), (count, count + 2)):
        session.request("textDocument/codeAction", {"textDocument": doc, "range": {
            "start": position(first, 2), "end": position(last, 1)}, "context": {"diagnostics": DIAGNOSTICS}})
    for number, line in enumerate(lines):
        for character in columns(line):
            position_requests(session, uri, number, character)
    position_requests(session, uri, count, 0)


def document_session(name, text, ascii_only=False):
    uri = "file:///corpus/%s.zv" % name
    session = Session()
    session.initialize()
    session.open(uri, text, ascii_only)
    document_requests(session, uri, text)
    session.close(uri)
    session.finish()
    return session


# Every method with parameters it cannot use, and with a document that is not open.
METHODS = ["initialize", "textDocument/hover", "textDocument/completion", "textDocument/signatureHelp",
           "textDocument/definition", "textDocument/references", "textDocument/rename",
           "textDocument/prepareRename", "textDocument/documentSymbol", "textDocument/semanticTokens/full",
           "textDocument/inlayHint", "textDocument/codeLens", "textDocument/codeAction"]

BAD_PARAMS = [
    None, 42, "text", [], [1], {},
    {"textDocument": {"uri": 5}, "position": position(0, 0)},
    {"textDocument": {"uri": "not a url"}, "position": position(0, 0)},
    {"textDocument": {"uri": "file:///x.zv"}, "position": {"line": -1, "character": 0}},
    {"textDocument": {"uri": "file:///x.zv"}, "position": {"line": 0.5, "character": 0}},
    {"textDocument": {"uri": "file:///x.zv"}, "position": {"line": 4294967296, "character": 0}},
    {"textDocument": {"uri": "file:///x.zv"}, "position": position(0, 0), "workDoneToken": 1.5},
    {"textDocument": {"uri": "file:///x.zv"}, "position": position(0, 0), "newName": 7,
     "context": {"includeDeclaration": "yes"}},
    {"textDocument": {"uri": "file:///x.zv"}, "position": position(0, 0), "range": "all"},
    [{"uri": "file:///x.zv"}], [{"uri": "file:///x.zv"}, position(0, 0), 3],
    {"capabilities": 5}, {"processId": "one", "capabilities": {}},
]


def errors_session():
    session = Session()
    session.request("textDocument/hover", {"textDocument": {"uri": "file:///x.zv"}, "position": position(0, 0)})
    session.initialize()
    for method in METHODS:
        session.request(method, has_params=False)
        for params in BAD_PARAMS:
            session.request(method, params)
        not_open = {"textDocument": {"uri": "file:///nowhere.zv"}, "position": position(0, 0),
                    "newName": "b", "context": {"includeDeclaration": True, "diagnostics": DIAGNOSTICS},
                    "range": {"start": position(0, 0), "end": position(0, 1)}}
        session.request(method, not_open)
    for method in ("textDocument/Hover", "workspace/symbol", "", "shutdown/"):
        session.request(method, {})
    session.send({"jsonrpc": "2.0", "id": "text-id", "method": "shutdown"})
    session.send({"jsonrpc": "2.0", "id": None, "method": "shutdown"})
    session.send({"jsonrpc": "2.0", "id": 1.25, "method": "textDocument/unknown"})
    session.send({"jsonrpc": "2.0", "id": {"a": [1]}, "method": "shutdown", "params": None})
    for id_text in ("18446744073709551615", "-1", "1e3", "-0.0", '"\\u00e7"', "[]", "true"):
        session.raw(frame('{"jsonrpc":"2.0","id":%s,"method":"shutdown"}' % id_text))
    where = {"textDocument": {"uri": "file:///x.zv"}, "position": position(0, 0)}
    for context in ({"triggerKind": 2, "triggerCharacter": "."}, {"triggerKind": 1}, {"triggerCharacter": ":"},
                    {"triggerKind": "1"}, None):
        session.request("textDocument/completion", dict(where, context=context))
    session.notify("workspace/didChangeConfiguration", {})
    session.notify("textDocument/didOpen", {"textDocument": {"uri": "file:///x.zv"}})
    session.notify("textDocument/didOpen", has_params=False)
    session.notify("textDocument/didChange", {"textDocument": {"uri": "file:///x.zv", "version": 2},
                                               "contentChanges": [{"text": "let a = 1"}]})
    session.notify("textDocument/didChange", {"textDocument": {"uri": "file:///x.zv"}})
    session.notify("textDocument/didClose", {"textDocument": {"uri": "file:///x.zv"}})
    session.notify("textDocument/didClose", {})
    session.finish()
    return session


def uri_session():
    """URIs that the store keeps in another spelling than the client's."""
    session = Session()
    session.initialize()
    text = "fonksiyon ana() {\n  let x = max(1, 2)\n  yazdır(x)\n}\n"
    for sent, other in (("file:///corpus/a b.zv", "file:///corpus/a%20b.zv"),
                        ("file:///corpus/çalış.zv", "file:///corpus/%C3%A7al%C4%B1%C5%9F.zv"),
                        ("FILE:///corpus/Upper.zv", "file:///corpus/Upper.zv"),
                        ("file://localhost/corpus/../corpus/./dot.zv", "file:///corpus/dot.zv")):
        session.open(sent, text)
        for uri in (sent, other):
            document_requests_short(session, uri)
        session.close(other)
        document_requests_short(session, sent)
        session.close(sent)
    session.finish()
    return session


def document_requests_short(session, uri):
    doc = document_id(uri)
    for method in ("textDocument/documentSymbol", "textDocument/semanticTokens/full", "textDocument/codeLens",
                   "textDocument/inlayHint"):
        session.request(method, {"textDocument": doc})
    session.request("textDocument/codeAction", {"textDocument": doc, "range": {
        "start": position(0, 0), "end": position(0, 3)}, "context": {"diagnostics": DIAGNOSTICS[2:4]}})
    for line, character in ((0, 12), (1, 7), (1, 13), (2, 11)):
        position_requests(session, uri, line, character)


def change_session():
    """Full and ranged changes, each followed by requests on the new text."""
    session = Session()
    session.initialize()
    uri = "file:///corpus/change.zv"
    session.open(uri, "let a = 1\nyaz(a)\n")
    changes = [
        [{"text": TURKISH[:400]}],
        [{"range": {"start": position(2, 0), "end": position(2, 0)}, "text": "değişken yeni = doğru\n"}],
        [{"range": {"start": position(0, 3), "end": position(1, 5)}, "text": "🚀 ç"}],
        [{"range": {"start": position(1, 1), "end": position(1, 2)}, "text": "x"},
         {"range": {"start": position(0, 0), "end": position(0, 0)}, "text": "{\r\n"}],
        [{"range": {"start": position(40, 0), "end": position(50, 9)}, "text": "sabit son = 1"}],
        [{"range": {"start": position(3, 8), "end": position(1, 0)}, "text": "ters"}],
        [{"range": {"start": position(0, 1), "end": position(0, 2)}, "rangeLength": 1, "text": ""}],
        [{"text": ""}],
        [{"text": ENGLISH[:300]}, {"range": {"start": position(1, 0), "end": position(1, 0)}, "text": "// ön\n"}],
        [],
    ]
    for version, change in enumerate(changes, start=2):
        session.notify("textDocument/didChange", {"textDocument": {"uri": uri, "version": version},
                                                   "contentChanges": change})
        document_requests_short(session, uri)
    session.close(uri)
    session.notify("textDocument/didChange", {"textDocument": {"uri": uri, "version": 99},
                                               "contentChanges": [{"text": "let kapalı = 1"}]})
    document_requests_short(session, uri)
    session.finish()
    return session


def several_documents_session():
    """Several documents open at once, asked only what one document answers."""
    session = Session()
    session.initialize()
    names = ["turkish", "english", "unicode"]
    for name in names:
        session.open("file:///corpus/many/%s.zv" % name, DOCUMENTS[name])
    for name in names:
        doc = document_id("file:///corpus/many/%s.zv" % name)
        for method in ("textDocument/documentSymbol", "textDocument/semanticTokens/full",
                       "textDocument/codeLens", "textDocument/inlayHint"):
            session.request(method, {"textDocument": doc})
        for line in range(0, 12):
            where = {"textDocument": doc, "position": position(line, 4)}
            session.request("textDocument/hover", where)
            session.request("textDocument/signatureHelp", where)
    session.open("file:///corpus/many/turkish.zv", "let yeniden = 1\n")
    session.request("textDocument/documentSymbol", {"textDocument": document_id("file:///corpus/many/turkish.zv")})
    session.finish()
    return session


def ending_sessions():
    """Sessions that end otherwise than by exit: end of input, or a fatal input error."""
    sessions = {}
    eof = Session()
    eof.initialize()
    eof.request("shutdown", has_params=False)
    sessions["end_of_input"] = eof
    exit_first = Session()
    exit_first.notify("exit", has_params=False)
    exit_first.request("shutdown", has_params=False)
    sessions["exit_without_shutdown"] = exit_first
    for name, tail in (("bad_json", frame("{\"jsonrpc\":\"2.0\",")),
                       ("bad_header", b"Content-Type: x\r\n\r\n{}"),
                       ("bad_utf8", frame(b'{"jsonrpc":"2.0","method":"x\xff"}')),
                       ("not_a_message", frame('{"jsonrpc":"2.0"}')),
                       ("lone_surrogate", frame('{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{'
                                                '"textDocument":{"uri":"file:///s.zv","languageId":"zevo",'
                                                '"version":1,"text":"let a = \\ud83d 1"}}}')
                        + frame('{"jsonrpc":"2.0","id":90,"method":"textDocument/hover","params":{'
                                '"textDocument":{"uri":"file:///s.zv"},"position":{"line":0,"character":9}}}')),
                       ("cut_body", b"Content-Length: 50\r\n\r\n{\"jsonrpc\":")):
        session = Session()
        session.initialize()
        session.raw(tail)
        sessions[name] = session
    return sessions


def sessions():
    result = {"document_" + name: document_session(name, text) for name, text in DOCUMENTS.items()}
    result["document_unicode_escaped"] = document_session("escaped", UNICODE, ascii_only=True)
    result["errors"] = errors_session()
    result["uris"] = uri_session()
    result["changes"] = change_session()
    result["several_documents"] = several_documents_session()
    result.update(ending_sessions())
    return result


# --- recording ---------------------------------------------------------------


def record(server, data):
    done = subprocess.run([server], input=data, capture_output=True, timeout=120, check=False)
    return done.stdout, done.stderr, done.returncode


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    server = sys.argv[1]
    check = "--check" in sys.argv[2:]
    listing = []
    differ = []
    for name, session in sorted(sessions().items()):
        data = session.bytes()
        out, err, code = record(server, data)
        listing.append("%s %d\n" % (name, code))
        files = {".in": data, ".out": out, ".err": err}
        for suffix, content in files.items():
            path = HERE / (name + suffix)
            if check:
                if not path.exists() or path.read_bytes() != content:
                    differ.append(path.name)
            else:
                path.write_bytes(content)
    manifest = HERE / "sessions.txt"
    if check:
        if manifest.read_text() != "".join(listing):
            differ.append(manifest.name)
        if differ:
            sys.exit("differs: " + " ".join(differ))
        print("same bytes")
    else:
        manifest.write_text("".join(listing))


if __name__ == "__main__":
    main()

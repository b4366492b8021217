#!/usr/bin/env python3
"""Writes the seed corpora of tests/fuzz/corpus/ from the repository's fixtures.

Run from the repository root when the fixtures change; the output is committed.
The JSON target also reads tests/json/data/test_parsing directly, so its files
are not copied here.
"""
import hashlib
import json
import pathlib
import re
import shutil

ROOT = pathlib.Path(__file__).resolve().parents[2]
CORPUS = ROOT / "tests" / "fuzz" / "corpus"


def write_all(target, seeds):
    folder = CORPUS / target
    for old in folder.glob("seed-*"):
        old.unlink()
    folder.mkdir(parents=True, exist_ok=True)
    for seed in seeds:
        name = "seed-" + hashlib.sha1(seed).hexdigest()[:16]
        (folder / name).write_bytes(seed)


def frame(body):
    return b"Content-Length: %d\r\n\r\n" % len(body) + body


def c_string_literals(path):
    """The first string of each {"input", ...} table row of a C++ test file."""
    text = path.read_text(encoding="utf-8")
    for match in re.finditer(r'\{"((?:[^"\\]|\\.)*)"\s*,', text):
        raw = match.group(1)
        yield re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t", "r": "\r", "0": "\0"}.get(m.group(1), m.group(1)),
                     raw).encode("utf-8", "surrogatepass")


def zevo_texts():
    texts = [(ROOT / "examples" / "blink.zv").read_bytes()]
    for test in sorted((ROOT / "tests" / "parser").glob("*_test.cpp")):
        texts.extend(c_string_literals(test))
    return texts


def session_messages():
    blink = (ROOT / "examples" / "blink.zv").read_text(encoding="utf-8")
    for line in (ROOT / "examples" / "session.jsonl").read_text(encoding="utf-8").splitlines():
        if line:
            yield line.replace("@TEXT@", json.dumps(blink, ensure_ascii=False)).encode("utf-8")


SPECIAL_SCHEMES = {"ftp", "file", "http", "https", "ws", "wss"}


def fold_scheme(url):
    """Every non-special scheme parses alike, so the seeds fold them onto one, "sc"."""
    match = re.match(r"([A-Za-z][A-Za-z0-9+.-]*):", url)
    if match is None or match.group(1).lower() in SPECIAL_SCHEMES:
        return url
    return "sc:" + url[match.end():]


def main():
    texts = zevo_texts()
    write_all("parser", texts)
    # The server target reads a document's text from the front of its input.
    write_all("server", texts[:1] + [t for t in texts if len(t) > 20])

    messages = list(session_messages())
    whole = b"".join(frame(m) for m in messages)
    # The reader's first byte is the size of one read; 0 means unlimited.
    reader = [b"\0" + whole, b"\x07" + whole, b"\0" + frame(messages[0]).replace(b"\r\n", b"\n")]
    reader += [b"\0" + frame(m) for m in messages]
    reader += [b"\0Content-Length: 2\r\nContent-Type: x\r\n\r\n{}", b"\0Content-Length: +007\r\n\r\n[1,2]"]
    write_all("reader", reader)

    # A string of half the text, on a later line and with escapes: the read in place takes it.
    in_place = b'{\n  "jsonrpc": "2.0",\n  "text": "' + b'bir yorum \\"\\u00e7\\ud83d\\ude00\\n' * 4 + b'"\n}\n'
    write_all("json", messages + [b'{"a":[1,-0,1e2,"\\u0131\\ud83d\\ude00"]}', b"[" * 127 + b"]" * 127, in_place])

    urls = json.loads((ROOT / "tests" / "url" / "data" / "urltestdata.json").read_text(encoding="utf-8"))
    inputs = {fold_scheme(case["input"]) for case in urls if isinstance(case, dict) and case.get("base") is None}
    inputs |= {"file:///a.zv", "file:///dir/ş k.zv", "untitled:Untitled-1", "FILE:///A%20b.zv"}
    write_all("url", [i.encode("utf-8", "surrogatepass") for i in sorted(inputs)])
    shutil.copyfile(ROOT / "tests" / "url" / "data" / "LICENSE", CORPUS / "url" / "LICENSE")
    (CORPUS / "url" / "SOURCE").write_text(
        "The seed-* files here are the \"input\" texts of the cases without a base URL in\n"
        "tests/url/data/urltestdata.json (web-platform-tests; origin and version in\n"
        "tests/url/data/SOURCE.txt, licence in LICENSE beside this file), one per file, plus\n"
        "four document URIs written for this project. Made by tests/fuzz/make_seeds.py.\n",
        encoding="utf-8")


if __name__ == "__main__":
    main()

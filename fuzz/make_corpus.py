#!/usr/bin/env python3
"""Builds the seed corpus of the fuzzing harnesses from tests/data/ and examples/, plus the
shapes of knowledge bases that once stopped the program (long cycles, wide rules with
derived conditions, long model chains, large powers, layered bases with a cycle), written
at sizes that run quickly.   fuzz/make_corpus.py OUTDIR"""
import os
import sys

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
out = sys.argv[1]
KINDS = {"RE": 0, "MO": 1, "OG": 2, "ON": 3, "RA": 4, "GR": 5, "DŹ".encode("cp1250").decode("latin-1"): 6}

def put(harness, name, data):
    d = os.path.join(out, harness)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)

def cp(text):
    return text.encode("cp1250")

bases = {}
for sub in ("tests/data", "tests/data/e2e", "examples/BAZY"):
    d = os.path.join(root, sub)
    if not os.path.isdir(d):
        continue
    for name in sorted(os.listdir(d)):
        path = os.path.join(d, name)
        if os.path.isfile(path) and name.upper().endswith((".BEN", ".RPT")):
            with open(path, "rb") as f:
                bases[sub.replace("/", "_") + "_" + name] = (name, f.read())

# Shapes, small.
shapes = {
    "cycle": ("RECYKL.BEN", cp("".join('reguła(%d,"c%d",["c%d"],1,"0.8")\n' % (i + 1, i, (i + 1) % 40)
                                       for i in range(40)))),
    "wide": ("RESZER.BEN", cp("".join(
        ['reguła(1,"w",[%s,"p"],1,"0.9")\n' % ",".join('"x%d"' % i for i in range(8))] +
        ['reguła(%d,"x%d",["a%d"],1,"0.8")\nreguła(%d,"x%d",["b%d"],1,"0.7")\n' % (2 * i + 2, i, i, 2 * i + 3, i, i)
         for i in range(8)] +
        ['reguła(20,"p",["q"],1,"0.5")\nreguła(21,"q",["p"],1,"0.5")\n']))),
    "dup-cycle": ("REDUP.BEN", cp("".join('reguła(%d,"d%d",["d%d"],1,"0.8")\nreguła(%d,"d%d",["d%d"],1,"0.8")\n'
                                          % (2 * i + 1, i, (i + 1) % 6, 2 * i + 2, i, (i + 1) % 6) for i in range(6)))),
}
model_chain = "".join('model(%d,"bez_warunku","x%d","x%d","+","1",0,"1")\n' % (i + 1, i, i + 1) for i in range(60))
model_chain += 'model(100,"bez_warunku","duzo","x0",">","10",1,"0.9")\n'
power = ('model(1,"bez_warunku","y","x","A^N","40",1,"1")\n'
         'model_wielomianowy(2,"bez_warunku","z","x",["1","2"],[30,2],1,"1")\n'
         'model(3,"bez_warunku","wniosek","y",">","1",1,"0.8")\n')
layered = "".join('reguła(%d,"l%d_%d",["l%d_%d","l%d_%d"],1,"0.7")\n' % (4 * i + k + 1, i, k, i + 1, k, i + 1, (k + 1) % 4)
                  for i in range(4) for k in range(4))
layered += 'reguła(90,"l4_0",["l0_1"],1,"0.5")\n'

# Reader corpus: a kind byte, then the file's bytes.
for key, (name, data) in list(bases.items()) + [(k, v) for k, v in shapes.items()]:
    prefix = name[:2].upper() if name[:2].upper() in KINDS else name.encode("latin-1", "replace")[:2].decode("latin-1")
    kind = 7 if name.upper().endswith(".RPT") else KINDS.get(prefix, 0)
    put("fuzz_base_reader", key, bytes([kind]) + data)
    put("fuzz_text_files", key, data)
put("fuzz_base_reader", "models-chain", bytes([1]) + cp(model_chain))
put("fuzz_base_reader", "models-power", bytes([1]) + cp(power))
put("fuzz_base_reader", "report", bytes([7]) + cp('tekst_raportu("a\\nb \\"c\\" \\\\")\n'))
put("fuzz_text_files", "description", cp("Baza wiedzy X\n\nOpis z polskimi literami: żółć.\r\n"))
put("fuzz_text_files", "utf8", "Zażółć gęślą jaźń\n".encode("utf-8"))

# Answer scripts against small bases.
def script(name, files, answers):
    data = b""
    for fname, content in files:
        data += b"@@ " + fname.encode("utf-8") + b"\n" + content
        if not content.endswith(b"\n"):
            data += b"\n"
    data += b"@@ answers\n" + "\n".join(answers).encode("utf-8") + b"\n"
    put("fuzz_answer_script", name, data)

load_tests = ["Tak", "Tak", "Tak", "Tak"]
forward = ["10164", "2", "NIE", "1"] + ["0.5", "-1", "1", "0.8"] * 4 + ["TAK", "P.txt", "Tak", "R.RPT"]
backward = ["10165", "1", "NIE", "1", "1"] + ["1", "-0.5", "0.7"] * 4 + ["&TAK", "P2.txt", "Tak", "R2.RPT"]
for key, (name, data) in bases.items():
    if not name.upper().startswith("RE"):
        continue
    files = [(name, data)]
    sibling = "MO" + name[2:]
    for k2, (n2, d2) in bases.items():
        if n2 == sibling and k2.rsplit("_", 1)[0] == key.rsplit("_", 1)[0]:
            files.append((n2, d2))
    extra = ["10077", sibling, "Tak", "Tak"] if len(files) > 1 else []
    script(key + "-forward", files, ["10064", name] + load_tests + extra + forward)
    script(key + "-backward", files, ["10064", name] + load_tests + extra + backward)
    script(key + "-diagnoses", files, ["10064", name] + load_tests + ["10073", "Nie", "10075", "Nie", "10146", "10145", "1",
                                                                      "10069", "Nie", "10068", "Tak"])
for key, (name, data) in shapes.items():
    script("shape-" + key, [(name, data)], ["10064", name] + load_tests + ["10073", "Nie", "10075", "Nie", "10146"] + forward)
script("shape-model-chain", [("REM.BEN", cp('reguła(1,"alarm",["duzo"],1,"0.9")\n')), ("MOM.BEN", cp(model_chain))],
       ["10064", "REM.BEN"] + load_tests + ["10077", "MOM.BEN", "Tak", "Tak"] + forward + backward)
script("shape-power", [("REP.BEN", cp('reguła(1,"alarm",["wniosek"],1,"0.9")\n')), ("MOP.BEN", cp(power))],
       ["10064", "REP.BEN"] + load_tests + ["10077", "MOP.BEN", "Tak", "Tak"] + forward)
script("shape-layered", [("RELAY.BEN", cp(layered))], ["10064", "RELAY.BEN"] + load_tests + ["10075", "Nie", "10146"])
script("files", [("REF.BEN", cp('reguła(1,"c",["a"],1,"0.8")\n'))],
       ["10064", "REF.BEN", "Nie", "Nie", "Nie", "10160", "D.txt", "10161", "D.txt", "Tak", "10162", "D.txt", "Tak",
        "10071", "RENEW.BEN", "&NIE", "10155", "X.opi", "10153", "X.opi", "Nie", "10151", "R.RPT", "Nie"])

# Language-server sessions: framed JSON-RPC messages (the first byte is the piece length the
# harness feeds them in).
import json as _json


def frames(*messages):
    out = b""
    for m in messages:
        body = _json.dumps(m, ensure_ascii=False).encode("utf-8")
        out += b"Content-Length: %d\r\n\r\n" % len(body) + body
    return out


uri = "file:///tmp/zuva-fuzz-nonexistent/RELSP.BEN"
text = 'reguła(1,"a",["b"],1,"0.8")\nreguła(2,"b",["żółw"],1,"0.5")\n'
pos = {"textDocument": {"uri": uri}, "position": {"line": 0, "character": 12}}
session = frames(
    {"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {}}},
    {"jsonrpc": "2.0", "method": "initialized", "params": {}},
    {"jsonrpc": "2.0", "method": "textDocument/didOpen",
     "params": {"textDocument": {"uri": uri, "languageId": "zuva", "version": 1, "text": text}}},
    {"jsonrpc": "2.0", "method": "textDocument/didChange",
     "params": {"textDocument": {"uri": uri, "version": 2}, "contentChanges": [
         {"range": {"start": {"line": 1, "character": 20}, "end": {"line": 1, "character": 22}}, "text": "x"}]}},
    {"jsonrpc": "2.0", "id": 2, "method": "textDocument/hover", "params": pos},
    {"jsonrpc": "2.0", "id": 3, "method": "textDocument/definition", "params": pos},
    {"jsonrpc": "2.0", "id": 4, "method": "textDocument/references", "params": pos},
    {"jsonrpc": "2.0", "id": 5, "method": "textDocument/documentSymbol", "params": {"textDocument": {"uri": uri}}},
    {"jsonrpc": "2.0", "id": 6, "method": "textDocument/completion", "params": pos},
    {"jsonrpc": "2.0", "id": 7, "method": "textDocument/rename", "params": dict(pos, newName="c")},
    {"jsonrpc": "2.0", "id": 8, "method": "shutdown"},
    {"jsonrpc": "2.0", "method": "exit"})
put("fuzz_lsp_reader", "session", bytes([63]) + session)
put("fuzz_lsp_reader", "session-bytewise", bytes([0]) + session[:600])
put("fuzz_lsp_reader", "garbage", bytes([7]) + b"Content-Length: 5\r\n\r\n{nie}Content-Length: 104857600\r\n\r\n"
    + b"Content-Type: x\r\n\r\n" + frames([1, 2], {"jsonrpc": "2.0", "id": 9, "method": "nieznana"})
    + b"Content-Length: 90\r\n\r\n{\"jsonrpc\"")

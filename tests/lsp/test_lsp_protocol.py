#!/usr/bin/env python3
"""`zuva lsp` driven through its protocol: the life of a session (initialize, diagnostics as a
base is written, navigation, rename, shutdown and exit), positions in UTF-16 and UTF-8, and
garbage on the input that must give protocol errors, never a crash or a hang.

  test_lsp_protocol.py ZUVA"""
import json
import os
import shutil
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lsp_client import Client, uri  # noqa: E402

ZUVA = None

RULES = ('reguła(1,"a",["b"],1,"0.8")\n'
         'reguła(2,"x",["y","żółw"],1,"0.5")\n'
         'reguła(4,"z",["x","a"],1,"0.6")\n')
MODELS = 'model(7,"bez_warunku","y","t","+","1",1,"1")\n'


def write_cp1250(path, text):
    with open(path, "w", encoding="cp1250", newline="\n") as f:
        f.write(text)


def messages(diags):
    return [d["message"] for d in diags]


class Session(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="zuva-lsp-")
        self.re = os.path.join(self.dir, "RELSP.BEN")
        self.mo = os.path.join(self.dir, "MOLSP.BEN")
        write_cp1250(self.re, RULES)
        write_cp1250(self.mo, MODELS)
        # A pause longer than the wait for the syntax diagnostics, so that those come from the
        # change itself and no full check of an older text is under way.
        self.c = Client(ZUVA, "--debounce", "3000", cwd=self.dir)

    def tearDown(self):
        if self.c.proc.poll() is None:
            self.c.proc.kill()
            self.c.proc.wait()
        self.c.proc.stdout.close()
        self.c.proc.stderr.close()
        shutil.rmtree(self.dir)

    def test_a_whole_session(self):
        init = self.c.initialize(self.dir)
        caps = init["result"]["capabilities"]
        self.assertEqual(caps["positionEncoding"], "utf-16")
        for cap in ("hoverProvider", "definitionProvider", "referencesProvider", "documentSymbolProvider",
                    "renameProvider", "completionProvider"):
            self.assertIn(cap, caps)

        # A syntax error: the comma after the list is missing (line 2, after `]`).
        broken = RULES.replace('"żółw"],1', '"żółw"] 1')
        self.c.open(self.re, broken)
        diags = self.c.wait_diagnostics(uri(self.re), lambda d: any(x["code"] == "syntax" for x in d))
        syntax = [d for d in diags if d["code"] == "syntax"][0]
        self.assertEqual(syntax["severity"], 1)
        self.assertTrue(syntax["message"].startswith("Błąd syntaksu: "), syntax["message"])
        # The column `zuva check` gives, counted in UTF-16 units.
        self.assertEqual(syntax["range"]["start"], {"line": 1, "character": broken.splitlines()[1].index("] 1") + 2})

        # Fixed: the syntax error is gone at once (well before the full check).
        self.c.change(self.re, RULES, 2)
        self.c.wait_diagnostics(uri(self.re), lambda d: "syntax" not in [x["code"] for x in d], timeout=2.5)

        # An external contradiction planted: b <- a beside a <- b. The full check reports it
        # after the pause, at both rules, with the texts of `zuva check`.
        planted = RULES + 'reguła(3,"b",["a"],1,"0.5")\n'
        self.c.change(self.re, planted, 3)
        diags = self.c.wait_diagnostics(
            uri(self.re), lambda d: any(x["code"] == "external-contradiction" for x in d), timeout=10)
        contradictions = sorted((d["range"]["start"]["line"], d["message"]) for d in diags
                                if d["code"] == "external-contradiction")
        self.assertEqual([line for line, _ in contradictions], [0, 3])
        self.assertTrue(contradictions[0][1].startswith("Reguła 1 jest zewnętrznie"), contradictions)
        # The same findings as `zuva check` on the same text (saved to another name).
        other = os.path.join(self.dir, "REINNA.BEN")
        write_cp1250(other, planted)
        import subprocess
        out = subprocess.run([ZUVA, "check", other], capture_output=True, text=True).stdout
        for line, message in contradictions:
            self.assertIn("%s:%d:1: error: %s" % (other, line + 1, message), out)

        # Hover on "x" in rule 4: concluded by rule 2, used in rule 4.
        line4 = planted.splitlines()[2]
        pos = {"line": 2, "character": line4.index('"x"') + 1}
        doc = {"uri": uri(self.re)}
        hover = self.c.request("textDocument/hover", {"textDocument": doc, "position": pos})["result"]
        text = hover["contents"]["value"]
        self.assertIn("wnioskowany przez reguły 2", text)
        self.assertIn("reguły 4", text)
        # "y" is computed by model 7 of the model base beside; "żółw" is asked.
        line2 = planted.splitlines()[1]
        ypos = {"line": 1, "character": line2.index('"y"') + 1}
        hover = self.c.request("textDocument/hover", {"textDocument": doc, "position": ypos})["result"]
        self.assertIn("wyliczany przez modele 7", hover["contents"]["value"])
        wpos = {"line": 1, "character": line2.index('żółw')}
        hover = self.c.request("textDocument/hover", {"textDocument": doc, "position": wpos})["result"]
        self.assertIn("dopytywalny", hover["contents"]["value"])

        # Definition of "y": the model in MOLSP.BEN, on the quoted name.
        defs = self.c.request("textDocument/definition", {"textDocument": doc, "position": ypos})["result"]
        self.assertEqual(len(defs), 1)
        self.assertEqual(defs[0]["uri"], uri(self.mo))
        start = MODELS.index('"y"') + 1
        self.assertEqual(defs[0]["range"], {"start": {"line": 0, "character": start},
                                            "end": {"line": 0, "character": start + 1}})

        # References of "a": rules 1 (conclusion), 3 and 4 (conditions).
        apos = {"line": 0, "character": planted.splitlines()[0].index('"a"') + 1}
        refs = self.c.request("textDocument/references",
                              {"textDocument": doc, "position": apos, "context": {"includeDeclaration": True}})
        self.assertEqual(sorted(r["range"]["start"]["line"] for r in refs["result"]), [0, 2, 3])
        refs = self.c.request("textDocument/references",
                              {"textDocument": doc, "position": apos, "context": {"includeDeclaration": False}})
        self.assertEqual(sorted(r["range"]["start"]["line"] for r in refs["result"]), [2, 3])

        # The outline: rules by number and conclusion.
        symbols = self.c.request("textDocument/documentSymbol", {"textDocument": doc})["result"]
        self.assertEqual([s["name"] for s in symbols],
                         ["Reguła 1: a", "Reguła 2: x", "Reguła 4: z", "Reguła 3: b"])

        # Completion: the names of every base of the name and the record keywords.
        items = self.c.request("textDocument/completion", {"textDocument": doc, "position": pos})["result"]
        labels = {i["label"] for i in items["items"]}
        self.assertTrue({"a", "x", "żółw", "t", "reguła", "fakt"} <= labels, labels)

        # Rename "y" across both bases; a name taken is refused with a message.
        refused = self.c.request("textDocument/rename", {"textDocument": doc, "position": ypos, "newName": "x"})
        self.assertIn("error", refused)
        self.assertIn("jest już używana", refused["error"]["message"])
        edit = self.c.request("textDocument/rename",
                              {"textDocument": doc, "position": ypos, "newName": "napięcie"})["result"]
        self.assertEqual(set(edit["changes"]), {uri(self.re), uri(self.mo)})
        self.assertEqual([e["newText"] for e in edit["changes"][uri(self.mo)]], ["napięcie"])
        self.assertEqual(edit["changes"][uri(self.re)][0]["range"]["start"], ypos | {"character": ypos["character"]})

        self.assertEqual(self.c.request("shutdown")["result"], None)
        self.c.notify("exit")
        self.assertEqual(self.c.close(), 0)

    def test_positions_count_utf16_units_or_bytes_as_asked(self):
        # The syntax error sits after "żółw", whose letters take one UTF-16 unit and two bytes each.
        broken = 'reguła(1,"żółw",["a"] 1,"0.8")\n'
        col_chars = broken.index("] 1") + 2
        col_bytes = len(broken[:col_chars].encode("utf-8"))
        for offered, expected_name, expected_col in ((None, "utf-16", col_chars),
                                                     (["utf-8", "utf-16"], "utf-8", col_bytes)):
            c = Client(ZUVA)
            caps = {"general": {"positionEncodings": offered}} if offered else {}
            init = c.initialize(self.dir, caps)
            self.assertEqual(init["result"]["capabilities"]["positionEncoding"], expected_name)
            c.open(self.re, broken)
            diags = c.wait_diagnostics(uri(self.re), lambda d: any(x["code"] == "syntax" for x in d))
            self.assertEqual(diags[0]["range"]["start"]["character"], expected_col)
            # An edit at a position in the same units: the blank before the column becomes
            # the missing comma, and the rule reads.
            c.notify("textDocument/didChange", {
                "textDocument": {"uri": uri(self.re), "version": 2},
                "contentChanges": [{"range": {"start": {"line": 0, "character": expected_col - 1},
                                              "end": {"line": 0, "character": expected_col}}, "text": ","}]})
            c.wait_diagnostics(uri(self.re), lambda d: not any(x["code"] == "syntax" for x in d))
            symbols = c.request("textDocument/documentSymbol", {"textDocument": {"uri": uri(self.re)}})
            self.assertEqual([s["name"] for s in symbols["result"]], ["Reguła 1: żółw"])
            c.request("shutdown")
            c.notify("exit")
            self.assertEqual(c.close(), 0)
            c.proc.stdout.close()
            c.proc.stderr.close()

    def test_garbage_gives_protocol_errors_and_the_server_goes_on(self):
        c = self.c
        c.initialize(self.dir)
        # Bad JSON, JSON that is no object, a header without a length, an unknown method.
        c.send_raw(b"Content-Length: 5\r\n\r\n{nie}")
        c.send_raw(b"Content-Length: 2\r\n\r\n[]")
        c.send_raw(b"Content-Type: x\r\n\r\n")
        c.send({"jsonrpc": "2.0", "id": 900, "method": "zuva/nieznana", "params": {}})
        self.assertEqual(c.answer(900)["error"]["code"], -32601)
        # A length of 100 MB is refused at once, without waiting for the body.
        c.send_raw(b"Content-Length: 104857600\r\n\r\n")
        # Parameters of the wrong type.
        c.send({"jsonrpc": "2.0", "id": 901, "method": "textDocument/hover", "params": {"textDocument": 5}})
        self.assertEqual(c.answer(901)["error"]["code"], -32602)
        errors = c.errors
        codes = [a["error"]["code"] for a in errors]
        self.assertEqual(codes.count(-32700), 3, errors)  # bad JSON, no length, too long
        self.assertEqual(codes.count(-32600), 1, errors)  # not an object
        self.assertTrue(any("104857600" in a["error"]["message"] for a in errors), errors)
        # The server still answers; a frame cut at the end of the input ends it without a crash.
        self.assertEqual(c.request("shutdown")["result"], None)
        c.send_raw(b"Content-Length: 100\r\n\r\n{\"jsonrpc\"")
        self.assertEqual(c.close(), 0)

    def test_the_clients_uri_is_echoed_and_lf_headers_are_read(self):
        c = self.c
        c.initialize(self.dir)
        # A folder with Polish letters, named by the client with lower-case escapes: every
        # answer and notification about the file uses the client's spelling.
        sub = os.path.join(self.dir, "źródła")
        os.mkdir(sub)
        re_path = os.path.join(sub, "RELSP.BEN")
        write_cp1250(re_path, RULES)
        own = uri(re_path).replace("%C5%BA", "%c5%ba").replace("%C3%B3", "%c3%b3")
        self.assertNotEqual(own, uri(re_path))
        c.notify("textDocument/didOpen", {"textDocument": {"uri": own, "languageId": "zuva", "version": 1,
                                                           "text": RULES.replace('"żółw"],1', '"żółw"] 1')}})
        c.wait_diagnostics(own, lambda d: any(x["code"] == "syntax" for x in d))
        line = RULES.splitlines()[0]
        refs = c.request("textDocument/references", {"textDocument": {"uri": own},
                                                     "position": {"line": 0, "character": line.index('"a"') + 1}})
        self.assertEqual({r["uri"] for r in refs["result"]}, {own})
        # A frame whose header lines end in LF alone, sent together with a usual one.
        body = json.dumps({"jsonrpc": "2.0", "id": 950, "method": "zuva/nieznana", "params": {}}).encode()
        usual = json.dumps({"jsonrpc": "2.0", "id": 951, "method": "zuva/nieznana", "params": {}}).encode()
        c.send_raw(b"Content-Length: %d\n\n" % len(body) + body +
                   b"Content-Length: %d\r\n\r\n" % len(usual) + usual)
        self.assertEqual(c.answer(950)["error"]["code"], -32601)
        self.assertEqual(c.answer(951)["error"]["code"], -32601)
        self.assertEqual(c.errors, [])

    def test_rename_refuses_names_that_change_what_a_base_means(self):
        rules = RULES + 'reguła(5,"koniec",["a"],1,"1")\n'
        write_cp1250(self.re, rules)
        c = self.c
        c.initialize(self.dir)
        doc = {"uri": uri(self.re)}
        apos = {"line": 0, "character": rules.splitlines()[0].index('"a"') + 1}
        for new_name, why in (("", "pusta"), ("bez warunku", "znaczenie specjalne"),
                              ("bez_warunku", "znaczenie specjalne"), ("koniec", "znaczenie specjalne"),
                              ("nowa nazwa", "odstęp"), ("a,b", "przecinek"), ('a"b', "cudzysłów"),
                              ("reguła", "nazwą rekordu"), ("ograniczenie", "nazwą rekordu"), ("0.5", "liczbą")):
            answer = c.request("textDocument/rename", {"textDocument": doc, "position": apos, "newName": new_name})
            self.assertIn("error", answer, new_name)
            self.assertIn(why, answer["error"]["message"], new_name)
        # The special conclusion itself keeps its name.
        kpos = {"line": 3, "character": rules.splitlines()[3].index('"koniec"') + 1}
        for method in ("textDocument/prepareRename", "textDocument/rename"):
            answer = c.request(method, {"textDocument": doc, "position": kpos, "newName": "stop"})
            self.assertIn("error", answer, method)
        # A plain new name is taken.
        answer = c.request("textDocument/rename", {"textDocument": doc, "position": apos, "newName": "ą"})
        self.assertEqual(len(answer["result"]["changes"][uri(self.re)]), 3)

    def test_test_case_files_are_checked_and_renamed_with_their_base(self):
        os.remove(self.mo)  # its model's result is a rule's condition: no run could start
        suite = os.path.join(self.dir, "LSP.TST")
        text = ('baza("RELSP.BEN")\nodpowiedź("b","1")\nprzypadek("p")\n'
                'wniosek("a","0.8")\nwniosek("aa","0.5")\n')
        write_cp1250(suite, text)
        c = self.c
        c.initialize(self.dir)
        c.open(suite, text)
        diags = c.wait_diagnostics(uri(suite), lambda d: len(d) > 0)
        self.assertEqual([(d["range"]["start"], d["message"]) for d in diags],
                         [({"line": 4, "character": 8},
                           "Baza reguł RELSP.BEN nie zna wniosku aa (czy chodziło o a?).")])
        c.change(suite, text.replace('wniosek("aa","0.5")', 'wniosek("a")'), 2)
        diags = c.wait_diagnostics(uri(suite), lambda d: any("pola" in x["message"] for x in d))
        self.assertEqual(diags[0]["message"], "Rekord wniosek ma 2 pola, a podano 1.")
        c.change(suite, text.replace('wniosek("aa","0.5")\n', ''), 3)
        c.wait_diagnostics(uri(suite), lambda d: d == [])
        # The base stays loaded between edits of the suite, and is read again once it changes.
        with open(self.re, "rb") as f:
            saved = f.read()
        write_cp1250(self.re, RULES.replace('"a"', '"ab"'))
        c.change(suite, text.replace('wniosek("aa","0.5")\n', ''), 4)
        diags = c.wait_diagnostics(uri(suite), lambda d: len(d) > 0)
        self.assertIn("nie zna wniosku a ", diags[0]["message"] + " ")
        with open(self.re, "wb") as f:
            f.write(saved)
        c.change(suite, text.replace('wniosek("aa","0.5")\n', ''), 5)
        c.wait_diagnostics(uri(suite), lambda d: d == [])
        # A rename of "a" in the rule base reaches the suite (saved as it was), not "aa".
        line = RULES.splitlines()[0]
        edit = c.request("textDocument/rename", {"textDocument": {"uri": uri(self.re)},
                                                 "position": {"line": 0, "character": line.index('"a"') + 1},
                                                 "newName": "akumulator"})["result"]
        self.assertEqual([e["range"] for e in edit["changes"][uri(suite)]],
                         [{"start": {"line": 3, "character": 9}, "end": {"line": 3, "character": 10}}])

    def test_requests_before_initialize_and_exit_without_shutdown(self):
        c = self.c
        r = c.request("textDocument/hover", {"textDocument": {"uri": uri(self.re)},
                                             "position": {"line": 0, "character": 0}})
        self.assertEqual(r["error"]["code"], -32002)
        c.initialize(self.dir)
        c.notify("exit")
        self.assertEqual(c.close(), 1)


if __name__ == "__main__":
    ZUVA = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)

"""A small client of the language server protocol over the pipes of `zuva lsp`: frames
written and read as the protocol frames them, answers matched to requests by id, the
notifications kept in arrival order."""
import json
import os
import select
import subprocess
import time


class Client:
    def __init__(self, zuva, *args, cwd=None):
        self.proc = subprocess.Popen([zuva, "lsp", *args], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, cwd=cwd)
        self.next_id = 0
        self.buf = b""
        self.notifications = []
        self.answers = {}
        self.errors = []  # protocol errors that answer no request (id null)

    # Framing
    def send_raw(self, data):
        self.proc.stdin.write(data)
        self.proc.stdin.flush()

    def send(self, message):
        body = json.dumps(message, ensure_ascii=False).encode("utf-8")
        self.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def _read_message(self, deadline):
        while True:
            end = self.buf.find(b"\r\n\r\n")
            if end >= 0:
                header = self.buf[:end].decode("ascii")
                length = None
                for line in header.split("\r\n"):
                    name, _, value = line.partition(":")
                    if name.strip().lower() == "content-length":
                        length = int(value.strip())
                assert length is not None, "a frame without Content-Length: %r" % header
                if len(self.buf) >= end + 4 + length:
                    body = self.buf[end + 4:end + 4 + length]
                    self.buf = self.buf[end + 4 + length:]
                    return json.loads(body.decode("utf-8"))
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            ready, _, _ = select.select([self.proc.stdout], [], [], left)
            if not ready:
                return None
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                return None
            self.buf += chunk

    def pump(self, deadline):
        m = self._read_message(deadline)
        if m is None:
            return False
        if "method" in m and "id" not in m:
            self.notifications.append(m)
        elif m.get("id") is None:
            self.errors.append(m)
        else:
            self.answers[m.get("id")] = m
        return True

    # Requests and notifications
    def request(self, method, params=None, timeout=10):
        self.next_id += 1
        rid = self.next_id
        self.send({"jsonrpc": "2.0", "id": rid, "method": method, "params": params or {}})
        return self.answer(rid, timeout)

    def answer(self, rid, timeout=10):
        deadline = time.monotonic() + timeout
        while rid not in self.answers:
            if not self.pump(deadline):
                raise AssertionError("no answer to request %r" % rid)
        return self.answers.pop(rid)

    def notify(self, method, params=None):
        self.send({"jsonrpc": "2.0", "method": method, "params": params or {}})

    def wait_diagnostics(self, uri, predicate=lambda d: True, timeout=10):
        """The first diagnostics of `uri` published from now on that satisfy the predicate."""
        deadline = time.monotonic() + timeout
        seen = len(self.notifications)
        while True:
            for m in self.notifications[seen:]:
                seen += 1
                if m["method"] == "textDocument/publishDiagnostics" and m["params"]["uri"] == uri \
                        and predicate(m["params"]["diagnostics"]):
                    return m["params"]["diagnostics"]
            if not self.pump(deadline):
                raise AssertionError("no diagnostics of %s as expected; last: %r" % (uri, [
                    n["params"] for n in self.notifications if n["method"] == "textDocument/publishDiagnostics"
                    and n["params"]["uri"] == uri][-1:]))

    def initialize(self, root, capabilities=None):
        r = self.request("initialize", {"processId": os.getpid(), "rootUri": uri(root),
                                        "capabilities": capabilities or {}})
        self.notify("initialized", {})
        return r

    def open(self, path, text):
        self.notify("textDocument/didOpen", {"textDocument": {"uri": uri(path), "languageId": "zuva",
                                                              "version": 1, "text": text}})

    def change(self, path, text, version):
        self.notify("textDocument/didChange", {"textDocument": {"uri": uri(path), "version": version},
                                               "contentChanges": [{"text": text}]})

    def close(self, timeout=10):
        try:
            self.proc.stdin.close()
        except BrokenPipeError:
            pass
        return self.proc.wait(timeout)


def uri(path):
    from urllib.parse import quote
    return "file://" + quote(os.path.abspath(path))

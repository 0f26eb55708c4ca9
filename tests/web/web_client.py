"""A browser of zuva serve for the tests: keeps the session cookie, posts with the page's
Origin, answers every question of a consultation from a table by what is asked."""
import html
import http.client
import re
import urllib.parse
import subprocess

# The answers of tests/data/api/forward.txt and backward.txt, by what is asked.
ANSWERS = {
    "wskaznik_paliwa_na_zero": "-1", "silnik_kreci_ale_nie_zapala": "-1", "rozrusznik_nie_kreci": "-1",
    "brak_zapachu_paliwa_przy_rozruchu": "-1", "rozrusznik_kreci_wolno": "1", "kontrolki_gasna_przy_rozruchu": "1",
    "akumulator_starszy_niz_piec_lat": "0.5", "silny_mroz": "0.8", "duzy_spadek_napiecia_przy_rozruchu": "0.5",
    "klemy_skorodowane_lub_luzne": "-0.5", "slychac_klikanie": "-1", "kontrolki_swieca_jasno_przy_rozruchu": "-1",
    "brak_iskry_na_swiecy": "-1", "wilgoc_na_przewodach_zaplonowych": "-1", "pompa_paliwa_milczy": "-1",
    "napiecie_spoczynkowe": "11.9", "napiecie_podczas_rozruchu": "9.1", "akumulator_rozladowany": "0.8",
}
QUESTION = re.compile(r'data-pytanie="([^"]*)">\s*<input type="hidden" name="numer" value="(\d+)">'
                      r'<input type="hidden" name="pytanie" value="([^"]*)">'
                      r'<input type="hidden" name="konsultacja" value="([^"]*)">'
                      r'<input type="hidden" name="pozycja" value="(\d+)">')


class Browser:
    def __init__(self, host, port):
        self.host, self.port = host, port
        self.cookie = ""
        self.servers = []  # the X-Zuva-Server of every response

    def request(self, method, path, body=None):
        conn = http.client.HTTPConnection(self.host, self.port, timeout=30)
        headers = {}
        if self.cookie:
            headers["Cookie"] = self.cookie
        if method == "POST":
            headers["Origin"] = f"http://{self.host}:{self.port}"
            headers["Content-Type"] = "application/x-www-form-urlencoded"
        conn.request(method, path, body=body, headers=headers)
        r = conn.getresponse()
        data = r.read()
        self.servers.append(r.getheader("X-Zuva-Server"))
        for k, v in r.getheaders():
            if k.lower() == "set-cookie":
                value = v.split(";")[0]
                self.cookie = "" if value.endswith("=") else value
        conn.close()
        return r.status, r.getheader("Location"), data

    def consult(self, start_body, answered=None):
        """Runs a whole consultation; returns the result page and the summary bytes.
        `answered` is called with the number of answers given after each."""
        status, _, _ = self.request("POST", "/start", start_body)
        if status == 307:
            status, _, _ = self.request("POST", "/start", start_body)
        assert status == 303, status
        for _ in range(200):
            status, location, page = self.request("GET", "/konsultacja")
            assert status == 200, (status, location)
            text = page.decode("utf-8")
            m = QUESTION.search(text)
            if not m:
                _, _, summary = self.request("GET", "/podsumowanie")
                return text, summary
            name = html.unescape(m.group(1))
            fields = urllib.parse.urlencode({"numer": m.group(2), "pytanie": html.unescape(m.group(3)),
                                             "konsultacja": m.group(4), "pozycja": m.group(5)})
            status, _, _ = self.request("POST", "/odpowiedz", f"{fields}&wartosc={ANSWERS[name]}")
            assert status == 303, status
            if answered:
                answered(int(m.group(2)))
        raise AssertionError("the consultation did not end")


def script_summary(zuva, examples_copy, script):
    """The summary file the terminal program writes for the answer file, run in BAZY/."""
    bazy = f"{examples_copy}/BAZY"
    subprocess.run([zuva, "--answers", script], cwd=bazy, check=True, stdout=subprocess.DEVNULL,
                   env={"SDL_AUDIODRIVER": "dummy", "PATH": "/usr/bin:/bin"})
    with open(f"{bazy}/P.txt", "rb") as f:
        data = f.read()
    subprocess.run(["rm", "-f", f"{bazy}/P.txt", f"{bazy}/R.RPT"], check=True)
    return data

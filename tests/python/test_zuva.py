"""The Python module against the terminal program: the same consultations of the sample base
give byte-identical summaries and reports; refused answers, why(), dropped consultations and
unreadable bases behave as the module promises."""
import gc
import os
import shutil
import subprocess

import pytest

import zuva

DATA = os.environ["ZUVA_TEST_DATA"]
EXAMPLES = os.path.join(DATA, "..", "..", "examples")
BINARY = os.environ["ZUVA_BINARY"]

# The answers of tests/data/api/forward.txt and backward.txt, by what is asked.
ANSWERS = {
    "wskaznik_paliwa_na_zero": -1, "silnik_kreci_ale_nie_zapala": -1, "rozrusznik_nie_kreci": -1,
    "brak_zapachu_paliwa_przy_rozruchu": -1, "rozrusznik_kreci_wolno": 1, "kontrolki_gasna_przy_rozruchu": 1,
    "akumulator_starszy_niz_piec_lat": 0.5, "silny_mroz": 0.8, "duzy_spadek_napiecia_przy_rozruchu": 0.5,
    "klemy_skorodowane_lub_luzne": -0.5, "slychac_klikanie": -1, "kontrolki_swieca_jasno_przy_rozruchu": -1,
    "brak_iskry_na_swiecy": -1, "wilgoc_na_przewodach_zaplonowych": -1, "pompa_paliwa_milczy": -1,
    "napiecie_spoczynkowe": 11.9, "napiecie_podczas_rozruchu": 9.1, "akumulator_rozladowany": 0.8,
}
HYPOTHESIS = "naladuj_lub_wymien_akumulator"


@pytest.fixture
def bazy(tmp_path):
    shutil.copytree(EXAMPLES, tmp_path / "ex")
    return str(tmp_path / "ex" / "BAZY")


def script_files(bazy, name):
    """The summary and report files the terminal program writes for an answer file."""
    env = dict(os.environ, SDL_AUDIODRIVER="dummy")
    run = subprocess.run([BINARY, "--answers", os.path.join(DATA, "api", name)], cwd=bazy, env=env,
                         capture_output=True)
    assert run.returncode == 0, run.stderr
    with open(os.path.join(bazy, "P.txt"), "rb") as f:
        summary = f.read()
    with open(os.path.join(bazy, "R.RPT"), "rb") as f:
        report = f.read()
    os.remove(os.path.join(bazy, "P.txt"))
    os.remove(os.path.join(bazy, "R.RPT"))
    return summary, report


def report_file(text):
    escaped = text.replace("\\", "\\\\").replace("\"", "\\\"").replace("\n", "\\n").replace("\r", "\\r")
    return ("tekst_raportu(\"" + escaped + "\")\n").encode("cp1250")


def drive(c):
    asked = []
    for q in c:
        asked.append(q.name)
        c.answer(ANSWERS[q.name])
    return asked


def threads():
    with open("/proc/self/status") as f:
        for line in f:
            if line.startswith("Threads:"):
                return int(line.split()[1])


def test_forward_and_backward_match_the_terminal_program(bazy):
    fwd_files = script_files(bazy, "forward.txt")
    bwd_files = script_files(bazy, "backward.txt")
    kb = zuva.open(os.path.join(bazy, "REAUTO.BEN"))
    assert len(kb.files) == 8

    c = kb.forward()
    asked = drive(c)
    assert asked[0] == "wskaznik_paliwa_na_zero"
    assert c.completed
    assert c.summary.encode("cp1250") == fwd_files[0]
    assert report_file(c.report) == fwd_files[1]
    assert c.conclusions["uszkodzony_akumulator"] > 0.9
    assert c.arguments["spadek_napiecia"] == pytest.approx(2.8)
    assert c.advice and c.advice[0].text
    assert c.pictures and os.path.exists(c.pictures[0].path)
    tree = c.how("uszkodzony_akumulator")
    assert "uszkodzony_akumulator" in tree.text and tree.children

    b = kb.backward(HYPOTHESIS)
    drive(b)
    assert b.summary.encode("cp1250") == bwd_files[0]
    assert report_file(b.report) == bwd_files[1]
    assert b.conclusions[HYPOTHESIS] is not None

    ran = zuva.run(kb, answers=ANSWERS)
    assert ran.summary == c.summary and ran.report == c.report
    assert ran.conclusions == c.conclusions
    # A conclusion the run never reached has no CF.
    assert None in zuva.run(kb, answers=ANSWERS, hypothesis=HYPOTHESIS).conclusions.values()


def test_refused_answer_keeps_the_question(bazy):
    kb = zuva.open(os.path.join(bazy, "REAUTO.BEN"))
    c = kb.forward()
    q = next(c)
    assert q.kind == "condition_cf" and (q.min, q.max) == (-1.0, 1.0)
    c.answer(-1)
    q = next(c)
    assert q.name == "silnik_kreci_ale_nie_zapala"
    with pytest.raises(zuva.Error, match="Musi być -1 = CF  lub CF = 1"):
        c.answer(0.5)
    with pytest.raises(zuva.Error, match="nie jest liczbą"):
        c.answer("tak")
    again = c.pending
    assert (again.name, again.number) == (q.name, q.number)
    c.answer("-1")
    assert c.pending.number == q.number + 1
    with pytest.raises(zuva.Error, match="Brak odpowiedzi"):
        zuva.run(kb, answers={})


def test_why_gives_the_chain(bazy):
    kb = zuva.open(os.path.join(bazy, "REAUTO.BEN"))
    c = kb.backward(HYPOTHESIS)
    reaches_hypothesis = False
    for q in c:
        w = c.why()
        assert w.name == q.name
        assert w.text.startswith("Pytam o ")
        assert q.name in w.text.splitlines()[1]
        assert w.chain and all(isinstance(line, str) for link in w.chain for line in link)
        reaches_hypothesis |= HYPOTHESIS in w.text
        assert (c.pending.name, c.pending.number) == (q.name, q.number)
        c.answer(ANSWERS[q.name])
    # Past the "koniec" rules the chain goes up to the hypothesis under test.
    assert reaches_hypothesis
    assert c.summary == zuva.run(kb, answers=ANSWERS, hypothesis=HYPOTHESIS).summary
    with pytest.raises(zuva.Error):
        c.why()


def test_dropped_consultations_end_their_threads(bazy):
    kb = zuva.open(os.path.join(bazy, "REAUTO.BEN"))
    gc.collect()
    before = threads()
    live = [kb.forward() for _ in range(10)]
    for c in live:
        next(c)
    assert threads() >= before + 10
    del live, c
    gc.collect()
    assert threads() == before


def test_unreadable_and_broken_bases_raise_with_file_and_line(bazy):
    missing = os.path.join(bazy, "REBRAK.BEN")
    with pytest.raises(zuva.Error) as e:
        zuva.open(missing)
    assert e.value.file == missing and e.value.line == 1
    assert str(e.value).startswith(missing + ":1: Nie można odczytać pliku")
    broken = os.path.join(bazy, "REZLY.BEN")
    with open(broken, "w", encoding="cp1250") as f:
        f.write("reguła(1,\"a\",[\"b\"],1,\"0.5\")\nreguła(2,c,[\"d\"],1,\"0.5\")\n")
    with pytest.raises(zuva.Error) as e:
        zuva.open(broken)
    assert e.value.line == 2 and "Błąd syntaksu" in e.value.message
    findings = zuva.open(os.path.join(bazy, "REAUTO.BEN")).check()
    assert all(f.level in ("error", "warning") and f.file for f in findings)


def test_a_log_survives_json_and_resumes_in_a_new_process_state(bazy):
    import json
    kb = zuva.open(os.path.join(bazy, "REAUTO.BEN"))
    c = kb.backward(HYPOTHESIS)
    for _ in range(3):
        c.answer(ANSWERS[next(c).name])
    saved = json.dumps(c.log)
    pending = c.pending
    # Another handle of the same files, as another process would open them.
    again = zuva.open(os.path.join(bazy, "REAUTO.BEN")).resume(json.loads(saved))
    assert (again.pending.name, again.pending.number) == (pending.name, pending.number)
    drive(c)
    drive(again)
    assert again.summary == c.summary and again.report == c.report
    assert [a["name"] for a in again.log["answers"]] == [a["name"] for a in c.log["answers"]]
    # An edited base refuses the log; so does a log that does not parse.
    with open(os.path.join(bazy, "REAUTO.BEN"), "ab") as f:
        f.write("rem_reguła(\"zmiana\")\n".encode("cp1250"))
    with pytest.raises(zuva.Error, match="REAUTO.BEN"):
        kb.reload().resume(saved)
    with pytest.raises(zuva.Error):
        kb.resume("{}")


def test_display_texts_come_beside_the_names(bazy):
    kb = zuva.open(os.path.join(bazy, "REAUTO.BEN"))
    assert kb.display_text("silny_mroz") == "Czy jest silny mróz?"
    assert kb.display_text("nieznana_nazwa") == ""
    assert kb.help_text("pompa_paliwa_milczy").startswith("Pompa paliwa")
    c = kb.forward()
    shown = {}
    for q in c:
        shown[q.name] = q.display
        # The program's own text stays: the base's words come beside it.
        assert q.display == kb.display_text(q.name)
        assert not q.display or q.display not in q.text
        c.answer(str(ANSWERS[q.name]))
    assert shown["wskaznik_paliwa_na_zero"] == "Czy wskaźnik paliwa pokazuje zero?"
    assert c.completed
    assert c.labels["uszkodzony_akumulator"] == "Akumulator jest uszkodzony lub rozładowany"
    assert set(c.labels) <= set(c.conclusions) | set(c.arguments)


def test_graph_gives_the_network_or_a_neighbourhood_as_dot(bazy):
    kb = zuva.open(os.path.join(bazy, "REAUTO.BEN"))
    whole = kb.graph()
    near = kb.graph(focus="uszkodzony_akumulator", depth=1)
    assert whole.startswith("digraph") and near.startswith("digraph")
    nodes = lambda dot: [l for l in dot.splitlines() if l.startswith("  n") and "->" not in l]
    assert 0 < len(nodes(near)) < len(nodes(whole))
    assert 'tooltip="reguła 14"' in near and 'tooltip="reguła 1"' not in near
    with pytest.raises(zuva.Error):
        kb.graph(focus="nie_ma_takiej_nazwy")


def test_english_texts_the_same_results(bazy):
    kb = zuva.open(os.path.join(bazy, "REAUTO.BEN"))

    def consult():
        c = kb.forward()
        first = None
        for q in c:
            first = first or (q.title, q.display)
            c.answer(str(ANSWERS[q.name]))
        return first, c.conclusions, c.summary

    assert zuva.language() == "pl"
    pl_first, pl_conclusions, pl_summary = consult()
    try:
        assert zuva.set_language("en")
        assert zuva.language() == "en"
        en_first, en_conclusions, en_summary = consult()
    finally:
        zuva.set_language("pl")
    assert not zuva.set_language("de")
    # The program's and the texts base's words in English; the results and the summary as in Polish.
    assert en_first[1] == "Does the fuel gauge show empty?" and pl_first[1] == "Czy wskaźnik paliwa pokazuje zero?"
    assert (en_first[0], pl_first[0]) == ("Enter the CF value", "Określ wartość CF")
    assert en_conclusions == pl_conclusions
    assert en_summary == pl_summary

#!/usr/bin/env python3
"""`zuva test` end to end: the sample suite passes and covers every rule; a copy of the sample
with one rule's CF changed fails exactly the cases that depend on that rule, each with the
expected and the actual CF; an unanswered askable condition fails naming it; a file with a
syntax error gives exit 2 and FILE:LINE:COLUMN; --junit writes XML that a parser reads.

  zuva_test_command.py ZUVA_BINARY EXAMPLES_DIR"""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

zuva, examples = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("NIEZGODNOŚĆ:", what)


def run(*args, cwd=None):
    p = subprocess.run([zuva, "test", *args], cwd=cwd, capture_output=True, timeout=120)
    return p.returncode, p.stdout.decode("utf-8"), p.stderr.decode("utf-8")


def lines_by_case(out):
    """case name -> (ok?, rest of the line)"""
    result = {}
    for line in out.splitlines():
        if line.startswith("ok "):
            result[line[3:]] = (True, "")
        elif line.startswith("FAIL "):
            name, _, rest = line[5:].partition(": ")
            result[name] = (False, rest)
    return result


with tempfile.TemporaryDirectory() as tmp:
    bases = os.path.join(examples, "BAZY")
    suite = os.path.join(bases, "AUTO.TST")

    # The sample suite: every case passes, every rule and model is applied.
    junit = os.path.join(tmp, "sample.xml")
    rc, out, err = run("--coverage", "--junit", junit, suite)
    cases = lines_by_case(out)
    check(rc == 0, f"sample suite exit {rc}: {out}{err}")
    check(len(cases) >= 8 and all(ok for ok, _ in cases.values()), f"sample suite: {out}")
    check(f"{len(cases)} passed, 0 failed" in out, f"closing line: {out}")
    check("rules 20/20" in out and "models 5/5" in out, f"coverage: {out}")
    root = ET.parse(junit).getroot()
    check(root.tag == "testsuites", "junit root")
    check(int(root.get("tests")) == len(cases) and root.get("failures") == "0", "junit counts")
    check(len(root.findall("./testsuite/testcase")) == len(cases), "junit testcases")
    check({t.get("name") for t in root.iter("testcase")} == set(cases), "junit case names")

    # A copy whose rule 12 has CF 0.6 instead of 0.7: the cases that check the fuel pump fail,
    # the others (whose expectations do not depend on rule 12) still pass.
    copy = os.path.join(tmp, "BAZY")
    shutil.copytree(bases, copy)
    for d in ("RADY", "GRAFIKA", "DŹWIĘKI", "OPISY"):
        if os.path.isdir(os.path.join(examples, d)):
            shutil.copytree(os.path.join(examples, d), os.path.join(tmp, d))
    rules = os.path.join(copy, "REAUTO.BEN")
    data = open(rules, "rb").read()
    old = 'reguła(12,"uszkodzona_pompa_paliwa",["silnik_kreci_ale_nie_zapala","pompa_paliwa_milczy"],1,"0.7")'
    old = old.encode("cp1250")
    check(old in data, "rule 12 in the sample")
    open(rules, "wb").write(data.replace(old, old.replace(b'"0.7")', b'"0.6")')))
    junit2 = os.path.join(tmp, "changed.xml")
    rc, out, err = run("--junit", junit2, os.path.join(copy, "AUTO.TST"))
    changed = lines_by_case(out)
    check(rc == 1, f"changed copy exit {rc}")
    failed = {n for n, (ok, _) in changed.items() if not ok}
    check(failed == {"brak iskry, wilgoć na przewodach", "pompa paliwa milczy, brak zapachu paliwa"},
          f"failed cases: {sorted(failed)}")
    pump = changed.get("pompa paliwa milczy, brak zapachu paliwa", (True, ""))[1]
    check("uszkodzona_pompa_paliwa: oczekiwano CF 0.79, otrzymano CF 0.72" in pump and "reguła 12: 0.60" in pump,
          f"difference line: {pump}")
    spark = changed.get("brak iskry, wilgoć na przewodach", (True, ""))[1]
    check("oczekiwano CF -0.85, otrzymano CF -0.80" in spark and "reguła 12: -0.60" in spark,
          f"difference line: {spark}")
    check(f"{len(changed) - 2} passed, 2 failed" in out, f"closing line: {out}")
    root = ET.parse(junit2).getroot()
    fails = [t for t in root.iter("testcase") if t.find("failure") is not None]
    check(len(fails) == 2 and root.get("failures") == "2", "junit failures of the changed copy")
    check(all("oczekiwano" in t.find("failure").get("message") for t in fails), "junit failure messages")

    # An askable condition the case does not answer: the case fails naming it; nothing hangs.
    bare = os.path.join(tmp, "bare.tst")
    open(bare, "w", encoding="utf-8").write(
        f'baza("{os.path.join(bases, "REAUTO.BEN")}")\nprzypadek("bez odpowiedzi")\nwniosek("brak_paliwa","0.8")\n')
    rc, out, err = run(bare)
    check(rc == 1, f"unanswered exit {rc}")
    check("FAIL bez odpowiedzi: pytanie o wskaznik_paliwa_na_zero bez odpowiedzi" in out, f"unanswered: {out}")

    # A syntax error: exit 2 with FILE:LINE:COLUMN, the other files still run.
    broken = os.path.join(tmp, "broken.tst")
    open(broken, "w", encoding="utf-8").write('przypadek("a")\nodpowiedź("x" "1")\n')
    rc, out, err = run(broken, suite)
    check(rc == 2, f"syntax error exit {rc}")
    check(f"{broken}:2:15: " in err, f"syntax error place: {err}")
    check(f"{len(cases)} passed, 0 failed" in out, f"other files run: {out}")
    # A case that makes no sense (an expected CF that is no number) is placed at its field.
    odd = os.path.join(tmp, "odd.tst")
    open(odd, "w", encoding="utf-8").write('baza("REAUTO.BEN")\nprzypadek("a")\nwniosek("brak_paliwa", "wysoki")\n')
    rc, out, err = run(odd)
    check(rc == 2 and f"{odd}:3:24: " in err, f"bad expectation: {rc} {err}")

    # --filter runs only the cases whose names contain the text.
    rc, out, err = run("--filter", "wstecz", suite)
    ran = lines_by_case(out)
    check(rc == 0 and ran and all("wstecz" in n for n in ran), f"filter: {out}")

if failures:
    print(f"{len(failures)} niezgodności")
    sys.exit(1)
print("zuva test: wszystko zgodne")

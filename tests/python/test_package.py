"""The package as a Python programmer meets it: a wheel built by the standard build backend
installs into a fresh virtual environment and consults there; its types satisfy mypy; a
consultation ends cleanly; what the C++ API has is here; everything converts to plain data;
and a consultation driven by the data alone (no Polish text read) reaches the conclusions of
the terminal program's answer script."""
import json
import os
import pathlib
import subprocess
import sys

import pytest

import zuva
from test_zuva import ANSWERS, EXAMPLES, script_files

ROOT = pathlib.Path(__file__).resolve().parents[2]
SAMPLE = pathlib.Path(EXAMPLES) / "BAZY" / "REAUTO.BEN"
EXACT = {"rozrusznik_nie_kreci", "rozrusznik_kreci_wolno", "silnik_kreci_ale_nie_zapala"}


@pytest.fixture
def kb():
    return zuva.open(SAMPLE)  # a path, not only a str


def by_data(q, refused=""):
    """An answer chosen from the question's data: its name, kind and the answers it takes."""
    if q.accepted:
        return q.accepted[0] if q.name not in ("rozrusznik_kreci_wolno",) else q.accepted[-1]
    return ANSWERS.get(q.name, 0)


@pytest.mark.skipif(not os.environ.get("ZUVA_WHEEL_CMAKE_DIR"), reason="the wheel test runs from the test command")
def test_wheel_installs_into_a_fresh_environment_and_consults(tmp_path):
    env = dict(os.environ, ZUVA_CMAKE_BUILD_DIR=os.environ["ZUVA_WHEEL_CMAKE_DIR"])
    env.pop("PYTHONPATH", None)
    wheels = tmp_path / "wheels"
    subprocess.run([sys.executable, "-m", "pip", "wheel", "--no-build-isolation", "--no-deps", "-q", "-w",
                    str(wheels), str(ROOT)], env=env, check=True, cwd=tmp_path)
    (wheel,) = wheels.glob("zuva-*.whl")
    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", str(venv)], check=True, env=env)
    python = str(venv / "bin" / "python")
    subprocess.run([python, "-m", "pip", "install", "-q", "--no-index", str(wheel)], check=True, env=env)
    program = ("import json, pathlib, sys, zuva\n"
               "kb = zuva.open(pathlib.Path(sys.argv[1]))\n"
               "c = zuva.run(kb, otherwise=lambda q: '11.9' if q.kind == 'argument_value' else "
               "(q.accepted[0] if q.accepted else 0.5))\n"
               "print(json.dumps({'version': zuva.__version__, 'file': zuva.__file__, 'typed': "
               "(pathlib.Path(zuva.__file__).parent / 'py.typed').exists(), 'completed': c.completed}))\n")
    run = subprocess.run([python, "-I", "-c", program, str(SAMPLE)], capture_output=True, text=True, env=env,
                         cwd=tmp_path, check=True)
    got = json.loads(run.stdout)
    assert got["version"] == zuva.__version__ and got["typed"] and got["completed"]
    assert got["file"].startswith(str(venv))


def test_types_satisfy_mypy(tmp_path):
    program = tmp_path / "typed.py"
    program.write_text(
        "import json\nimport pathlib\nfrom typing import Dict, Optional\nimport zuva\n\n"
        "def consult(path: pathlib.Path) -> Dict[str, Optional[float]]:\n"
        "    kb: zuva.KnowledgeBase = zuva.open(path)\n"
        "    with kb.forward() as c:\n"
        "        for q in c:\n"
        "            c.answer(q.accepted[0] if q.accepted else 0.5)\n"
        "        json.dumps(c.to_dict())\n"
        "        return c.conclusions\n")
    wrong = tmp_path / "wrong.py"
    wrong.write_text("import zuva\ncount: int = zuva.open('REX.BEN').files\n")
    env = dict(os.environ, MYPYPATH=os.environ["PYTHONPATH"])
    mypy = [sys.executable, "-m", "mypy", "--strict", "--no-incremental"]
    good = subprocess.run(mypy + [str(program)], capture_output=True, text=True, env=env)
    assert good.returncode == 0, good.stdout
    bad = subprocess.run(mypy + [str(wrong)], capture_output=True, text=True, env=env)
    assert bad.returncode == 1 and "List[str]" in bad.stdout



def test_a_consultation_ends_cleanly(kb):
    before = len(os.listdir("/proc/self/task"))
    with kb.forward() as c:
        q = next(c)
        assert not c.completed  # a question is pending
        with pytest.raises(zuva.Error, match="nie dostało odpowiedzi"):
            next(c)  # iterating without answering
        c.answer(-1)
        assert next(c).number == 2
    assert c.pending is None and not c.completed
    assert len(os.listdir("/proc/self/task")) == before  # its thread ended with the block
    with pytest.raises(RuntimeError):
        with kb.forward() as raised:
            next(raised)
            raise RuntimeError("the caller's own error")
    assert raised.pending is None
    assert len(os.listdir("/proc/self/task")) == before
    c = kb.forward()
    c.close()
    c.close()  # twice is harmless
    assert list(c) == []
    assert q.to_dict()["name"] == "wskaznik_paliwa_na_zero"


def test_what_the_cpp_api_has(kb):
    inv = kb.inventory()
    assert {i.name for i in inv.askable_arguments} == {"napiecie_spoczynkowe", "napiecie_podczas_rozruchu"}
    assert all(i.line > 0 for i in inv.rules)
    # Imported facts are not asked; the labels questions come to the caller when asked for.
    c = kb.forward(imported=[("fakt", "wskaznik_paliwa_na_zero", "1"),
                             {"kind": "argument_znany", "name": "napiecie_spoczynkowe", "value": 12.6}],
                   ask_labels=True)
    kinds = []
    for q in c:
        kinds.append(q.kind)
        assert q.name not in ("wskaznik_paliwa_na_zero", "napiecie_spoczynkowe")
        c.answer(2 if q.kind == "choice" else by_data(q))
    assert kinds[0] == "choice" and c.completed
    assert c.conclusions["brak_paliwa"] > 0
    assert c.trace.rules and 1 in c.trace.rules and c.trace.contributions
    # otherwise as a function of the question; a runner of many consultations over one load.
    ran = zuva.run(kb, {}, otherwise=by_data)
    runner = zuva.Runner(kb)
    results = [runner.run(by_data) for _ in range(2)]
    assert results[0].conclusions == results[1].conclusions == ran.conclusions


def test_questions_and_results_as_data(kb, tmp_path):
    c = kb.forward()
    answers = {}
    for q in c:
        d = q.to_dict()
        json.dumps(d)
        assert d["name"] == q.name and d["kind"] in ("condition_cf", "argument_value", "conclusion_cf")
        assert (q.accepted == [-1.0, 1.0]) == (q.name in EXACT)
        if q.can_ask_why:
            w = c.why()
            assert "okna" not in w.text and q.name in w.text  # no window to close here
            json.dumps(w.to_dict())
        answers[q.name] = by_data(q)
        c.answer(answers[q.name])
    data = json.loads(json.dumps(c.to_dict()))
    assert data["completed"] and data["conclusions"] == c.conclusions
    assert data["trace"]["rules"] == list(c.trace.rules)
    how = c.how("uszkodzony_akumulator").to_dict()
    assert how["children"] and json.dumps(how)
    assert "uszkodzony_akumulator" in repr(c) and "completed" in repr(c)
    assert json.dumps(kb.inventory().to_dict()) and json.dumps([f.to_dict() for f in kb.findings])


def test_the_data_alone_reaches_the_answer_scripts_conclusions(tmp_path):
    """The chatbot of the sample: it reads only names, kinds and the answers a question takes."""
    import shutil
    shutil.copytree(EXAMPLES, tmp_path / "ex")
    bazy = str(tmp_path / "ex" / "BAZY")
    summary, _ = script_files(bazy, "forward.txt")
    c = zuva.open(pathlib.Path(bazy) / "REAUTO.BEN").forward()
    for q in c:
        c.answer(q.accepted[0] if q.accepted and ANSWERS[q.name] < 0 else ANSWERS[q.name])
    assert c.summary.encode("cp1250") == summary


def test_offers_name_what_they_came_with_and_come_once(kb):
    """A caller can show only what concerns a likely conclusion: each offer names its conclusion,
    the rule or model whose record gives it, and that conclusion's CF; a file comes once."""
    for hypothesis in ("", "naladuj_lub_wymien_akumulator"):
        c = zuva.run(kb, ANSWERS, hypothesis=hypothesis)
        offers = c.advice + c.pictures + c.sounds
        assert offers
        paths = [o.path for o in offers]
        assert len(paths) == len(set(paths))
        inv = kb.inventory()
        records = {False: {(i.number, i.name) for i in inv.rules}, True: {(i.number, i.name) for i in inv.models}}
        for o in offers:
            assert (o.rule, o.conclusion) in records[o.model], o.to_dict()
            assert o.cf == c.conclusions[o.conclusion]


def test_every_public_name_is_documented():
    undocumented = []
    for cls in (zuva.Consultation, zuva.KnowledgeBase, zuva.Question, zuva.Finding, zuva.Why, zuva.HowNode,
                zuva.Offer, zuva.Trace, zuva.Contribution, zuva.Item, zuva.Inventory, zuva.Result, zuva.Runner):
        if not (cls.__doc__ or "").strip():
            undocumented.append(cls.__name__)
        for name, attr in vars(cls).items():
            if not name.startswith("_") and not (getattr(attr, "__doc__", None) or "").strip():
                undocumented.append(cls.__name__ + "." + name)
    for f in (zuva.open, zuva.run):
        assert f.__doc__
    assert undocumented == []

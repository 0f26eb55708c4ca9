"""zuva: consultations of rule-and-model knowledge bases.

A knowledge base is opened once (``zuva.open``) and consulted any number of times, forward
(``kb.forward()``) or backward (``kb.backward(hypothesis)``). A consultation is an iterator
over its questions: each question is answered (``c.answer(...)``) before the next is asked
for, and when none is left the results are there (``c.conclusions``, ``c.how(name)``, ...).
``with kb.forward() as c:`` closes the consultation at the end of the block, also when it
raised. Errors of the program are ``zuva.Error``, with the program's message and, for a base
file, its file and line.

Everything the module gives converts to plain data: ``to_dict()`` on questions, findings,
why, HOW trees, offers, traces and on a consultation's results.
"""

from __future__ import annotations

import os
from typing import Any, Callable, Dict, Mapping, Optional, Sequence, Union

from . import _zuva
from ._zuva import (
    Consultation,
    Contribution,
    Error,
    Finding,
    HowNode,
    Inventory,
    Item,
    KnowledgeBase,
    Offer,
    Question,
    Result,
    Runner,
    Trace,
    Why,
    __version__,
    language,
    set_language,
)

__all__ = [
    "Consultation", "Contribution", "Error", "Finding", "HowNode", "Inventory", "Item", "KnowledgeBase",
    "Offer", "Question", "Result", "Runner", "Trace", "Why", "__version__", "language", "open", "run",
    "set_language",
]

Answer = Union[str, int, float]
PathLike = Union[str, "os.PathLike[str]"]


def open(path: PathLike) -> KnowledgeBase:  # noqa: A001 - the module's own verb, as zuva.open
    """Opens a rule-base file (a str or a path) with the bases of its distinguishing name beside it."""
    return _zuva.open(os.fspath(path))


def _error(message: str) -> Error:
    e = Error(message)
    e.message = message
    e.file = None
    e.line = 0
    return e


def run(kb: KnowledgeBase, answers: Optional[Mapping[str, Answer]] = None, hypothesis: str = "",
        otherwise: Union[None, Answer, Callable[[Question], Answer]] = None, detail: int = 1,
        labels: Sequence[str] = (), allow_extra: bool = False) -> Consultation:
    """Runs a whole consultation from answers by name; forward unless a hypothesis is given.

    A question about something not in ``answers`` takes ``otherwise``: an answer, or a
    function of the question that gives one. An answer by a name the run never asked about
    is an error unless ``allow_extra`` is true.
    """
    given: Dict[str, Answer] = dict(answers or {})
    if not callable(otherwise):
        return _zuva.run(kb, given, hypothesis, otherwise, detail, list(labels), allow_extra)
    c = kb.backward(hypothesis, detail=detail, labels=list(labels)) if hypothesis else \
        kb.forward(detail=detail, labels=list(labels))
    asked = set()
    try:
        for q in c:
            asked.add(q.name)
            c.answer(given[q.name] if q.name in given else otherwise(q))
    except BaseException:
        c.close()
        raise
    extra = sorted(set(given) - asked)
    if extra and not allow_extra:
        raise _error("Odpowiedź dla nazwy, o którą konsultacja nie pytała: " + ", ".join(extra) + ".")
    return c


def _question_dict(q: Question) -> Dict[str, Any]:
    """The question as plain data (a dict json.dumps takes)."""
    return {"kind": q.kind, "name": q.name, "title": q.title, "text": q.text, "dialog": q.dialog,
            "min": q.min, "max": q.max, "accepted": list(q.accepted), "options": list(q.options),
            "can_ask_why": q.can_ask_why, "number": q.number, "display": q.display, "help": q.help}


def _finding_dict(f: Finding) -> Dict[str, Any]:
    """The finding as plain data."""
    return {"level": f.level, "kind": f.kind, "text": f.text, "file": f.file, "line": f.line, "column": f.column}


def _why_dict(w: Why) -> Dict[str, Any]:
    """Why the value is asked, as plain data."""
    return {"name": w.name, "chain": [list(link) for link in w.chain], "text": w.text}


def _how_dict(n: HowNode) -> Dict[str, Any]:
    """The HOW tree as nested dicts."""
    return {"text": n.text, "children": [_how_dict(c) for c in n.children]}


def _offer_dict(o: Offer) -> Dict[str, Any]:
    """The advice text, picture or sound as plain data."""
    return {"name": o.name, "path": o.path, "text": o.text, "available": o.available,
            "conclusion": o.conclusion, "rule": o.rule, "model": o.model, "cf": o.cf}


def _contribution_dict(c: Contribution) -> Dict[str, Any]:
    """The contribution as plain data."""
    return {"conclusion": c.conclusion, "model": c.model, "number": c.number, "cf": c.cf}


def _trace_dict(t: Trace) -> Dict[str, Any]:
    """The trace as plain data."""
    return {"rules": list(t.rules), "models": list(t.models), "answered": list(t.answered),
            "completed": list(t.completed), "contributions": [_contribution_dict(c) for c in t.contributions]}


def _item_dict(i: Item) -> Dict[str, Any]:
    """The item as plain data."""
    return {"name": i.name, "number": i.number, "file": i.file, "line": i.line}


def _inventory_dict(inv: Inventory) -> Dict[str, Any]:
    """The inventory as plain data."""
    return {k: [_item_dict(i) for i in getattr(inv, k)]
            for k in ("rules", "models", "askable_conditions", "askable_arguments")}


def _results_dict(c: Consultation) -> Dict[str, Any]:
    """The results as plain data (JSON-serialisable); the pending question while one is pending."""
    pending = c.pending
    if pending is not None:
        return {"completed": False, "pending": _question_dict(pending)}
    return {"completed": c.completed, "conclusions": dict(c.conclusions), "arguments": dict(c.arguments),
            "labels": dict(c.labels), "advice": [_offer_dict(o) for o in c.advice],
            "pictures": [_offer_dict(o) for o in c.pictures], "sounds": [_offer_dict(o) for o in c.sounds],
            "notes": [_finding_dict(f) for f in c.notes], "trace": _trace_dict(c.trace)}


def _result_dict(r: Result) -> Dict[str, Any]:
    """The results as plain data."""
    return {"completed": r.completed, "conclusions": dict(r.conclusions), "arguments": dict(r.arguments),
            "trace": _trace_dict(r.trace)}


def _consultation_repr(c: Consultation) -> str:
    pending = c.pending
    if pending is not None:
        return "<zuva.Consultation question %d: %s %s>" % (pending.number, pending.kind, pending.name)
    ranked = sorted(((cf, n) for n, cf in c.conclusions.items() if cf is not None), reverse=True)
    best = ", ".join("%s %.2f" % (n, cf) for cf, n in ranked[:3])
    state = "completed" if c.completed else "ended"
    return "<zuva.Consultation %s, %d conclusions%s>" % (state, len(c.conclusions), ": " + best if best else "")


# The plain-data forms, as methods of the classes they convert.
for _cls, _fn in ((Question, _question_dict), (Finding, _finding_dict), (Why, _why_dict), (HowNode, _how_dict),
                  (Offer, _offer_dict), (Contribution, _contribution_dict), (Trace, _trace_dict), (Item, _item_dict),
                  (Inventory, _inventory_dict), (Result, _result_dict), (Consultation, _results_dict)):
    setattr(_cls, "to_dict", _fn)
setattr(Consultation, "__repr__", _consultation_repr)

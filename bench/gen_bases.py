#!/usr/bin/env python3
"""Generates the knowledge bases of the whole-process benchmarks (Windows-1250 files).

  gen_bases.py chain N DIR     DIR/RECHAIN.BEN: a chain of N rules c1 <- c0 (fact), c2 <- c1,
                               ... (display flag 0), the answer scripts load.txt (load only)
                               and forward.txt (load and a forward run), the same chain as
                               Prolog facts (chain.pl) and as a CLIPS program (chain.clp)
  gen_bases.py asked-chain N DIR  DIR/REASK.BEN: rule i concludes c_i from the askable a_i
                               and c_(i-1), c0 a fact (a consultation asks at once)
  gen_bases.py planted N DIR   DIR/REPLANT.BEN with N rules and 100 planted completeness
                               anomalies of mixed kinds, with MOPLANT.BEN, OGPLANT.BEN and
                               RAPLANT.BEN beside it and DIR/expected.txt, the findings
                               planted; prints the number of warnings and of errors planted
"""
import os
import sys


def write(path, lines):
    with open(path, "w", encoding="cp1250", newline="\n") as f:
        f.write("".join(lines))


def chain(n, d):
    rules = ['fakt("c0","1.0")\n']
    rules += ['reguła(%d,"c%d",["c%d"],0,"0.99")\n' % (i, i, i - 1) for i in range(1, n + 1)]
    write(os.path.join(d, "RECHAIN.BEN"), rules)
    # Load: the two tests the load offers are declined. Forward: low detail, no labels,
    # facts from the menu; no summary, no report.
    write(os.path.join(d, "load.txt"), ["10064\n", "RECHAIN.BEN\n", "Nie\n", "Nie\n"])
    write(os.path.join(d, "forward.txt"),
          ["10064\n", "RECHAIN.BEN\n", "Nie\n", "Nie\n", "10164\n", "1\n", "NIE\n", "1\n", "NIE\n", "Nie\n"])
    with open(os.path.join(d, "chain.pl"), "w", encoding="utf-8") as f:
        f.write('fakt("c0","1.0").\n')
        for i in range(1, n + 1):
            f.write('regula(%d,"c%d",["c%d"],0,"0.99").\n' % (i, i, i - 1))
    with open(os.path.join(d, "chain.clp"), "w", encoding="utf-8") as f:
        f.write("(deftemplate fakt (slot name) (slot cf))\n(deffacts start (fakt (name c0) (cf 1.0)))\n")
        for i in range(1, n + 1):
            f.write("(defrule r%d (fakt (name c%d) (cf ?c)) => (assert (fakt (name c%d) (cf (* 0.99 ?c)))))\n"
                    % (i, i - 1, i))
        f.write('(defglobal ?*t0* = 0.0)\n(reset)\n(bind ?*t0* (time))\n(run)\n'
                '(printout t "clips-run-seconds " (- (time) ?*t0*) crlf)\n(exit)\n')


def asked_chain(n, d):
    """Rule i concludes c_i from the askable a_i and c_(i-1): a consultation asks at once."""
    rules = ['fakt("c0","1.0")\n']
    rules += ['reguła(%d,"c%d",["a%d","c%d"],0,"0.99")\n' % (i, i, i, i - 1) for i in range(1, n + 1)]
    write(os.path.join(d, "REASK.BEN"), rules)


def planted(n, d):
    rules, expected = [], []
    number = 0

    def rule(concl, conds, cf):
        nonlocal number
        number += 1
        rules.append('reguła(%d,"%s",[%s],1,"%s")\n' % (number, concl, ",".join('"%s"' % c for c in conds), cf))
        return number

    def finding(base, line, level="warning"):
        expected.append("%s:%d: %s" % (base, line, level))

    # The body: chains of 50 rules from an askable condition, every rule can fire.
    k = 0
    while number < n - 200:
        prev = "a%d" % k
        for i in range(50):
            if number >= n - 200:
                break
            rule("c%d_%d" % (k, i), [prev], "0.9")
            prev = "c%d_%d" % (k, i)
        k += 1
    # Models, constraints and advice read parts of the body.
    models = []
    for i in range(20):
        models.append('model(%d,"bez_warunku","x%d","y%d","+","1",1,"1")\n' % (i + 1, i, i))
        # A relational model's CF is a free variable, given its value as the model applies.
        models.append('model(%d,"bez_warunku","duzo%d","x%d",">","10",1,"cf_duzo%d")\n' % (100 + i, i, i, i))
        rule("alarm%d" % i, ["duzo%d" % i, "a%d" % i], "0.8")
    constraints = ['ograniczenie(%d,["a%d","a%d"])\n' % (i + 1, 2 * i, 2 * i + 1) for i in range(20)]
    advice = ['rada(%d,"r.hlp")\n' % (i + 1) for i in range(20)]
    # Planted: 20 rules with the conclusion and conditions of another and a different CF
    # (the finding is placed on the later rule).
    for i in range(20):
        finding("REPLANT.BEN", rule("c%d_0" % i, ["a%d" % i], "0.5"))
    # 20 rules that read X and "n" + X, X askable.
    for i in range(20):
        finding("REPLANT.BEN", rule("z%d" % i, ["b%d" % i, "nb%d" % i], "0.7"))
    # 15 rules that read only their own conclusion: each never fires and its conclusion is
    # never reached (two findings on the rule's line).
    for i in range(15):
        line = rule("u%d" % i, ["u%d" % i], "0.6")
        finding("REPLANT.BEN", line)
        finding("REPLANT.BEN", line)
    # 10 models whose result nothing reads, 10 constraint members nothing reads, 5 advice
    # records of rules that do not exist and 5 whose text file is missing.
    for i in range(10):
        models.append('model(%d,"bez_warunku","martwy%d","y%d","*","2",1,"1")\n' % (200 + i, i, i))
        finding("MOPLANT.BEN", len(models))
    for i in range(10):
        constraints.append('ograniczenie(%d,["a%d","sierota%d"])\n' % (100 + i, 100 + i, i))
        finding("OGPLANT.BEN", len(constraints))
    # A member that nothing reads is no askable condition either, and the constraint load's
    # own test refuses the base at the first one: one error beside the warnings.
    finding("OGPLANT.BEN", len(constraints) - 9, "error")
    for i in range(5):
        advice.append('rada(%d,"r.hlp")\n' % (number + 1000 + i))
        finding("RAPLANT.BEN", len(advice))
        advice.append('rada(%d,"brak%d.hlp")\n' % (21 + i, i))
        finding("RAPLANT.BEN", len(advice))
    write(os.path.join(d, "REPLANT.BEN"), rules)
    write(os.path.join(d, "MOPLANT.BEN"), models)
    write(os.path.join(d, "OGPLANT.BEN"), constraints)
    write(os.path.join(d, "RAPLANT.BEN"), advice)
    os.makedirs(os.path.join(d, "..", "RADY", "PLANT"), exist_ok=True)
    with open(os.path.join(d, "..", "RADY", "PLANT", "r.hlp"), "w", encoding="cp1250") as f:
        f.write("Rada.\n")
    # The findings expected, one "FILE:LINE: level" a line, sorted.
    with open(os.path.join(d, "expected.txt"), "w", encoding="utf-8") as f:
        f.write("".join(e + "\n" for e in sorted(expected)))
    print(sum(1 for e in expected if e.endswith("warning")), sum(1 for e in expected if e.endswith("error")))


def constrained(n, d):
    n_models = n // 100
    rules, models, constraints = [], [], []
    number = 0
    k = 0
    while number < n:
        # Chain k starts from askable a<k>; some chains also read a relational model's result.
        conds = ['"a%d"' % k]
        if k < n_models // 2:
            conds.append('"duzo%d"' % k)
        prev = None
        for i in range(5):
            if number >= n:
                break
            number += 1
            body = ",".join(conds) if prev is None else '"%s"' % prev
            prev = "k%d_%d" % (k, i)
            rules.append('reguła(%d,"%s",[%s],1,"0.9")\n' % (number, prev, body))
        k += 1
    # Half the models compute a quantity, the other half compare it (relational, free CF).
    for i in range(n_models // 2):
        models.append('model(%d,"bez_warunku","x%d","y%d","+","1",1,"1")\n' % (2 * i + 1, i, i))
        models.append('model(%d,"bez_warunku","duzo%d","x%d",">","10",1,"cf_duzo%d")\n' % (2 * i + 2, i, i, i))
    # Exact constraints: disjoint pairs of askable conditions.
    for i in range(n // 10):
        constraints.append('ograniczenie(%d,["a%d","a%d"])\n' % (i + 1, 2 * i, 2 * i + 1))
    write(os.path.join(d, "REKONST.BEN"), rules)
    write(os.path.join(d, "MOKONST.BEN"), models)
    write(os.path.join(d, "OGKONST.BEN"), constraints)


if __name__ == "__main__":
    what, n, d = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    os.makedirs(d, exist_ok=True)
    {"chain": chain, "asked-chain": asked_chain, "planted": planted, "constrained": constrained}[what](n, d)

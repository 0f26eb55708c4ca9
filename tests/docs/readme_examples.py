#!/usr/bin/env python3
"""The examples of the README that can run, run: the Python session over the sample base (what
it prints where the README shows it), the command table an answer script needs, the sample's
zuva-check.conf as the README quotes it, the circular base of the check section, and the layout that must name every folder of src/.

  readme_examples.py ZUVA SOURCE_DIR   (the module zuva on PYTHONPATH; skipped, 77, without it)"""
import os
import re
import subprocess
import sys

zuva_binary, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
readme = open(os.path.join(source, "README.md"), encoding="utf-8").read()
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("NIEZGODNOŚĆ:", what)


# The layout names every folder of src/.
layout = readme.split("## Layout", 1)[1].split("\n## ", 1)[0]
for folder in sorted(os.listdir(os.path.join(source, "src"))):
    check("src/%s/" % folder in layout, "src/%s/ missing from the README's layout" % folder)

# Every subcommand of `zuva --help` in the manual page and in the bash completion.
usage = subprocess.run([zuva_binary, "--help"], capture_output=True, text=True).stdout
manual = open(os.path.join(source, "packaging", "zuva.1"), encoding="utf-8").read()
completion = open(os.path.join(source, "packaging", "zuva.bash-completion"), encoding="utf-8").read()
for sub in re.findall(r"^  zuva ([a-z]+)", usage, re.M):
    check(".B zuva %s" % sub in manual, "zuva %s in the synopsis of zuva.1" % sub)
    check(re.search(r'compgen -W "[^"]*\b%s\b' % sub, completion) is not None, "zuva %s in the completion" % sub)

# The command ids the README gives are in `zuva --commands`, with their menus and names.
commands = subprocess.run([zuva_binary, "--commands"], capture_output=True, text=True, check=True).stdout
rows = {line.split("\t")[0]: line.split("\t") for line in commands.splitlines()}
check(all(len(r) == 3 and r[2] for r in rows.values()), "every line of --commands: id, menus, name")
for quoted in re.findall(r"`(\d{5})\t([^`\t]+)\t([^`]+)`", readme):
    check(rows.get(quoted[0]) == list(quoted), "README's command line %r" % (quoted,))
for ident in re.findall(r"\b(10\d{3})\b", readme.split("zuva --commands", 2)[-1][:600]):
    check(ident in rows, "command %s of the README in --commands" % ident)

# The sample suite from examples/, as the README shows its coverage line, and the sample base
# passing its check as CI runs it.
quoted_cover = " ".join(readme.split("(`coverage BAZY/", 1)[1].split("`)", 1)[0].split())
suite = subprocess.run([zuva_binary, "test", "--coverage", "BAZY/AUTO.TST"], cwd=os.path.join(source, "examples"),
                       capture_output=True, text=True)
check(suite.returncode == 0, "the sample suite: %s%s" % (suite.stdout, suite.stderr))
check(("coverage BAZY/" + quoted_cover) in suite.stdout.splitlines(), "coverage line as quoted: %s" % suite.stdout)
checked = subprocess.run([zuva_binary, "check", "--warnings-as-errors", "REAUTO.BEN"],
                         cwd=os.path.join(source, "examples", "BAZY"), capture_output=True, text=True)
check(checked.returncode == 0, "zuva check --warnings-as-errors on the sample: %s" % checked.stdout)

# The circular rule base the README shows, checked as the README shows it: each line as
# quoted, "(...)" standing for the rest of a message; the JSON form's counts.
import json  # noqa: E402
import tempfile  # noqa: E402
block = readme.split("    # BAZY/REKOLO.BEN\n", 1)[1].split("\n\n", 1)[0]
with tempfile.TemporaryDirectory() as tmp:
    os.mkdir(os.path.join(tmp, "BAZY"))
    with open(os.path.join(tmp, "BAZY", "REKOLO.BEN"), "wb") as f:
        f.write("".join(line[4:] + "\n" for line in block.splitlines()).encode("cp1250"))
    run = subprocess.run([zuva_binary, "check", "BAZY/REKOLO.BEN"], cwd=tmp, capture_output=True, text=True)
    quoted = readme.split("    $ zuva check BAZY/REKOLO.BEN\n", 1)[1].split("\n\n", 1)[0].splitlines()
    printed = run.stdout.splitlines()
    check(run.returncode == 1 and len(printed) == len(quoted), "zuva check BAZY/REKOLO.BEN: %s" % run.stdout)
    for q, p in zip(quoted, printed):
        pattern = ".*".join(re.escape(part) for part in q[4:].split("(...)"))
        check(re.fullmatch(pattern, p) is not None, "REKOLO line %r printed as %r" % (q[4:], p))
    as_json = subprocess.run([zuva_binary, "check", "--format", "json", "BAZY/REKOLO.BEN"], cwd=tmp,
                             capture_output=True, text=True)
    counts = re.search(r'"errors":(\d+),"warnings":(\d+)', readme.split('{"file":"BAZY/REKOLO.BEN"', 1)[1])
    got = json.loads(as_json.stdout)
    check((got["errors"], got["warnings"]) == (int(counts[1]), int(counts[2])), "REKOLO JSON counts %r" % got)

# The sample's settings of zuva check as the README quotes them.
quoted_conf = readme.split("# examples/BAZY/zuva-check.conf\n", 1)[1].split("\n\n", 1)[0]
shipped = open(os.path.join(source, "examples/BAZY/zuva-check.conf"), encoding="utf-8").read()
settings = [line.strip() for line in shipped.splitlines() if line.strip() and not line.startswith("#")]
check([line.strip() for line in quoted_conf.splitlines()] == settings, "zuva-check.conf as quoted")

# The Python session: each line the README shows a result for gives that result.
try:
    import zuva  # noqa: F401
except ImportError:
    print("the module zuva is not built: the Python session is not run")
    sys.exit(77 if not failures else 1)
session = readme.split("    >>> import zuva\n", 1)[1].split("\n\n", 1)[0].splitlines()
os.chdir(source)
scope = {"zuva": __import__("zuva")}
for i, line in enumerate(session):
    if not line.startswith("    >>> "):
        continue
    code = line[8:].split("  #", 1)[0].strip()
    if code.startswith("for ") or code.startswith("c = ") or code.startswith("c.") or code.startswith("print("):
        continue  # the consultation loop needs its questions answered one by one
    shown = session[i + 1][4:] if i + 1 < len(session) and not session[i + 1].startswith("    >>>") \
        and not session[i + 1].startswith("    ...") else None
    try:
        if shown is None:
            exec(code, scope)
        else:
            check(repr(eval(code, scope)) == shown, "%s gives %s" % (code, shown))
    except Exception as e:  # noqa: BLE001
        check(False, "%s: %r" % (code, e))

print("README examples: %d differences" % len(failures))
sys.exit(1 if failures else 0)

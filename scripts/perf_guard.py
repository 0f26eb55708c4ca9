#!/usr/bin/env python3
"""Instruction counts of a fixed set of small workloads of the terminal program, against the
baseline kept in bench/baseline/ (one file per workload).

The workloads are runs of build/zuva over a generated 10,000-rule chain and one consultation
of the sample base through the C++ API (build/examples/consult_sample). Each workload runs once under `valgrind --tool=callgrind`; its total count of instructions
(the "Collected" line) is compared with the baseline. A workload that grows by more than the
tolerance (10 % by default) fails the guard; one that shrinks by as much is reported, so that
the baseline can be lowered on purpose.

  perf_guard.py [--build DIR] [--baseline DIR] [--tolerance PCT] [--update] [--only NAME...]

--update writes the counts measured as the new baseline (say in the commit why they moved).
The baseline must come from a build made as scripts/test.sh makes it (build/, RelWithDebInfo,
the default compiler): counts from another compiler or other flags are not comparable, and
the guard says so beside every comparison when the build differs from the one recorded.
Counts are exact from run to run on one machine; between machines they move by about 1 %
(the C library picks its string functions by the processor's vector extensions).
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RULES = 10000

# Backward run over the chain: low detail, no labels, a hypothesis in the narrow sense (the
# chain's end is the only one), then no summary and no report.
BACKWARD = ["10064", "RECHAIN.BEN", "Nie", "Nie", "10165", "1", "NIE", "1", "1", "NIE", "Nie"]

# name: (description, program of the build folder, its arguments, run in the work folder)
WORKLOADS = {
    "load": ("10,000-rule chain loaded (answer script, diagnoses declined)", "zuva", ["--answers", "load.txt"]),
    "forward": ("load + forward run of the chain, whole transcript", "zuva", ["--answers", "forward.txt"]),
    "backward": ("load + backward test of the chain's end", "zuva", ["--answers", "backward.txt"]),
    "check": ("zuva check of the chain", "zuva", ["check", "RECHAIN.BEN"]),
    # The sample program of the C++ API: the sample base opened with its load-time tests, one
    # forward consultation answered from a table, a why, the results and a HOW tree.
    "session": ("session-API consultation of the sample base (examples/api)", "examples/consult_sample",
                ["BAZY/REAUTO.BEN"]),
}
# Folders of examples/ copied into the work folder for the session workload (the base, the
# descriptions and advice texts it reads), so that the counts do not depend on the checkout's path.
SAMPLE_FOLDERS = ["BAZY", "OPISY", "RADY"]


def build_identity(build):
    """The compiler, its version and the build type of the build folder, as recorded by CMake."""
    cache = os.path.join(build, "CMakeCache.txt")
    values = {}
    if os.path.exists(cache):
        with open(cache, encoding="utf-8", errors="replace") as f:
            for line in f:
                m = re.match(r"^(CMAKE_CXX_COMPILER|CMAKE_BUILD_TYPE|CMAKE_CXX_FLAGS|ZUVA_SANITIZE):[A-Z]+=(.*)$",
                             line.strip())
                if m:
                    values[m.group(1)] = m.group(2)
    compiler = values.get("CMAKE_CXX_COMPILER", "c++")
    try:
        version = subprocess.run([compiler, "--version"], capture_output=True, text=True).stdout.splitlines()[0]
    except (OSError, IndexError):
        version = compiler
    return "%s; %s; flags '%s'; sanitize %s" % (version, values.get("CMAKE_BUILD_TYPE", "?"),
                                                values.get("CMAKE_CXX_FLAGS", ""), values.get("ZUVA_SANITIZE", "OFF"))


def read_baseline(path):
    data = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if ":" in line:
                key, value = line.split(":", 1)
                data[key.strip()] = value.strip()
    return data


def count_instructions(program, args, work):
    cmd = ["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null", program] + args
    # A fixed environment: the program reads a few variables (the user's name among them),
    # and their lengths would move the counts a little from one account to another.
    env = {"PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8", "HOME": work, "USER": "zuva", "LOGNAME": "zuva"}
    r = subprocess.run(cmd, cwd=work, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE, text=True, errors="replace", env=env)
    m = re.search(r"Collected : (\d+)", r.stderr)
    if r.returncode != 0 or not m:
        sys.exit("perf-guard: %s failed (status %d):\n%s" % (" ".join(args), r.returncode, r.stderr[-2000:]))
    return int(m.group(1))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--baseline", default=os.path.join(ROOT, "bench", "baseline"))
    ap.add_argument("--tolerance", type=float, default=10.0, help="allowed growth in per cent")
    ap.add_argument("--update", action="store_true", help="record the counts measured as the baseline")
    ap.add_argument("--only", nargs="*", help="workloads to run (default all)")
    opts = ap.parse_args()

    if shutil.which("valgrind") is None:
        sys.exit("perf-guard: valgrind is missing (Debian package valgrind)")
    identity = build_identity(opts.build)
    names = opts.only or list(WORKLOADS)
    for name in names:
        if name not in WORKLOADS:
            sys.exit("perf-guard: no workload %s (there are: %s)" % (name, ", ".join(WORKLOADS)))
        program = os.path.join(opts.build, WORKLOADS[name][1])
        if not os.access(program, os.X_OK):
            sys.exit("perf-guard: no program %s (build it first)" % program)

    failed = []
    with tempfile.TemporaryDirectory(prefix="zuva-perf-") as work:
        subprocess.run([sys.executable, os.path.join(ROOT, "bench", "gen_bases.py"), "chain", str(RULES), work],
                       check=True, stdout=subprocess.DEVNULL)
        with open(os.path.join(work, "backward.txt"), "w", encoding="cp1250", newline="\n") as f:
            f.write("".join(a + "\n" for a in BACKWARD))
        for folder in SAMPLE_FOLDERS:
            shutil.copytree(os.path.join(ROOT, "examples", folder), os.path.join(work, folder))
        print("perf-guard: instructions (callgrind), tolerance +%g %%, build: %s" % (opts.tolerance, identity))
        for name in names:
            description, program, args = WORKLOADS[name]
            start = time.monotonic()
            n = count_instructions(os.path.join(opts.build, program), args, work)
            seconds = time.monotonic() - start
            path = os.path.join(opts.baseline, name + ".txt")
            if opts.update:
                os.makedirs(opts.baseline, exist_ok=True)
                with open(path, "w", encoding="utf-8") as f:
                    f.write("workload: %s\ninstructions: %d\nbuild: %s\n" % (description, n, identity))
                print("  %-9s %13d  recorded (%.1f s)" % (name, n, seconds))
                continue
            if not os.path.exists(path):
                print("  %-9s %13d  no baseline %s" % (name, n, path))
                failed.append(name)
                continue
            base = read_baseline(path)
            if base.get("build") != identity:
                print("  %-9s note: the baseline was recorded with another build (%s); the counts of"
                      " another compiler or other flags are not comparable" % (name, base.get("build")))
            ref = int(base["instructions"])
            change = 100.0 * (n - ref) / ref
            verdict = "ok"
            if change > opts.tolerance:
                verdict = "SLOWER than the baseline"
                failed.append(name)
            elif change < -opts.tolerance:
                verdict = "faster: lower the baseline on purpose (scripts/perf-guard.sh --update)"
            print("  %-9s %13d  baseline %13d  %+6.1f %%  %s (%.1f s)" % (name, n, ref, change, verdict, seconds))
    if failed:
        print("perf-guard: failed: %s" % ", ".join(failed))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

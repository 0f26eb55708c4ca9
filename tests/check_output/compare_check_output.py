#!/usr/bin/env python3
"""zuva check's output, byte for byte, against outputs kept in expected/: of a generated
base with 1,000 rules, 100 exact constraints and 10 models (bench/gen_bases.py constrained)
of the sample knowledge base, in both formats, and of bases/ (rule numbers of ten digits and
conclusions with leading blanks among the rules the exclusiveness analyses list). The findings, their wording and their
order must not move when the checks are made faster; a deliberate change of the output
rewrites the files with --record (and the commit says why).

usage: compare_check_output.py ZUVA SOURCE_DIR [--record]"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
EXPECTED = os.path.join(HERE, "expected")


def check(zuva, folder, base, fmt):
    args = [zuva, "check"] + (["--format", "json"] if fmt == "json" else []) + [base]
    p = subprocess.run(args, cwd=folder, capture_output=True, env={"PATH": "/usr/bin:/bin", "LC_ALL": "C.UTF-8"})
    return p.returncode, p.stdout, p.stderr


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    zuva, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    record = "--record" in sys.argv[3:]
    failures = []
    with tempfile.TemporaryDirectory(prefix="zuva-check-output-") as work:
        generated = os.path.join(work, "generated")
        subprocess.run([sys.executable, os.path.join(source, "bench", "gen_bases.py"), "constrained", "1000",
                        generated], check=True, capture_output=True)
        shutil.copytree(os.path.join(source, "examples"), os.path.join(work, "examples"))
        sample = os.path.join(work, "examples", "BAZY")
        odd = os.path.join(work, "odd")
        shutil.copytree(os.path.join(HERE, "bases"), odd)
        cases = [("constrained-1000", generated, "REKONST.BEN", "text"),
                 ("sample", sample, "REAUTO.BEN", "text"),
                 ("sample", sample, "REAUTO.BEN", "json"),
                 ("odd-numbers", odd, "REODD.BEN", "text")]
        for name, folder, base, fmt in cases:
            status, out, err = check(zuva, folder, base, fmt)
            # The temporary folder is named differently in every run.
            got = b"exit status %d\n" % status + out.replace(work.encode(), b"<WORK>")
            path = os.path.join(EXPECTED, f"{name}.{fmt}.txt")
            if err:
                failures.append(f"{name} ({fmt}): error output: {err.decode(errors='replace')[:500]}")
            if record:
                with open(path, "wb") as f:
                    f.write(got)
                print(f"recorded {path} ({len(got)} bytes)")
                continue
            with open(path, "rb") as f:
                want = f.read()
            if got == want:
                print(f"{name} ({fmt}): same ({len(got)} bytes)")
                continue
            got_lines, want_lines = got.split(b"\n"), want.split(b"\n")
            first = next((i for i, (a, b) in enumerate(zip(got_lines, want_lines)) if a != b),
                         min(len(got_lines), len(want_lines)))
            failures.append(f"{name} ({fmt}): differs from line {first + 1} "
                            f"({len(want_lines)} lines expected, {len(got_lines)} got)\n"
                            f"  expected: {want_lines[first][:300] if first < len(want_lines) else b'<end>'}\n"
                            f"  got:      {got_lines[first][:300] if first < len(got_lines) else b'<end>'}")
    for f in failures:
        print("FAIL " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Neovim, headless, with its own LSP client and the configuration in editors/zuva.lua,
opens a rule base (Windows-1250, with a redundancy) whose model base beside it has a syntax
error, and must show the same findings as `zuva check` gives for the bases: the same files,
lines, columns, levels and texts.

  test_nvim_headless.py ZUVA SOURCE-DIR     (exit 77: Neovim is missing, the test is skipped)"""
import os
import shutil
import subprocess
import sys
import tempfile

zuva, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
nvim = shutil.which("nvim")
if not nvim:
    print("nvim is missing: the test is skipped")
    sys.exit(77)

d = tempfile.mkdtemp(prefix="zuva-nvim-")
try:
    re_path = os.path.join(d, "REKOT.BEN")
    mo_path = os.path.join(d, "MOKOT.BEN")
    with open(re_path, "w", encoding="cp1250", newline="\n") as f:
        f.write('rem_reguła("Koło: żółte światło")\n'
                'reguła(1,"c",["a","b"],1,"0.8")\n'
                'reguła(2,"c",["a"],1,"0.5")\n'
                'reguła(3,"x",["y","w"],1,"0.5")\n')
    with open(mo_path, "w", encoding="cp1250", newline="\n") as f:
        f.write('model(1,"bez_warunku","y","t","+" 1,1,"1")\n')
    check = subprocess.run([zuva, "check", re_path], capture_output=True, text=True)
    expected = sorted(line for line in check.stdout.splitlines() if line)
    # A syntax error in the model base and a redundancy of the rules, at least.
    assert any(line.startswith(mo_path + ":1:35: error: ") for line in expected), check.stdout
    assert any(line.startswith(re_path + ":2:1: warning: ") for line in expected), check.stdout
    report = os.path.join(d, "nvim-report.txt")
    env = dict(os.environ, ZUVA_EXPECT=str(len(expected)), ZUVA_REPORT=report, HOME=d,
               XDG_CONFIG_HOME=os.path.join(d, "config"), XDG_DATA_HOME=os.path.join(d, "data"),
               XDG_STATE_HOME=os.path.join(d, "state"))
    cmd = [nvim, "--headless", "-i", "NONE", "-n",
           "--cmd", "lua vim.g.zuva_lsp_cmd = { '%s', 'lsp', '--debounce', '100' }" % zuva,
           "-u", os.path.join(source, "editors", "zuva.lua"),
           "-c", "luafile " + os.path.join(source, "tests", "lsp", "nvim_report.lua"), re_path]
    run = subprocess.run(cmd, cwd=d, env=env, capture_output=True, text=True, timeout=60)
    assert os.path.exists(report), "Neovim wrote no report: %s %s" % (run.stdout, run.stderr)
    with open(report, encoding="utf-8") as f:
        got = sorted(line for line in f.read().splitlines() if line)
    if got != expected:
        print("zuva check:\n  " + "\n  ".join(expected))
        print("Neovim:\n  " + "\n  ".join(got))
        sys.exit(1)
    print("Neovim shows the %d findings of zuva check" % len(got))
finally:
    shutil.rmtree(d)

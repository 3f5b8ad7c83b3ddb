#!/usr/bin/env python3
"""Mutation testing of fusecvt's product code.

Makes single-token changes to the product sources (driver/ pof/ translate/
jedec/ qpl6000/; files that say they are generated are left alone):
comparison and logic operators (== != < <= > >= && ||), the character
literals '0' and '1', and integer constants (n -> n+1, n-1, 0, 1). A seeded
random sample of them is tried one at a time in a copy of the tree
(build/mutate/src, built incrementally in build/mutate/build): the mutant is
written, the tests are built and run (ctest with a timeout), the file is
restored. A mutant that does not compile is not counted; one that makes a
test fail (or time out) is killed; the others survive.

With --check-output every survivor is also run against the unmutated binary
on the random designs and the test suite's designs (tools/compare_outputs.py):
a survivor that changes no output there is likely equivalent. The score that
matters counts the mutants that change behaviour:
killed / (killed + survivors that change output).

  tools/mutate.py --seed 14 --count 60 --check-output
  tools/mutate.py --list | head          # every candidate mutation
  tools/mutate.py --only translate/BlockTranslation.cpp:120   # mutants of one line
  tools/mutate.py --retry build/mutate/results.tsv --work build/mutate-after
                                         # the survivors of an earlier run, again
"""

import argparse
import filecmp
import os
import random
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PRODUCT_DIRS = ["driver", "pof", "translate", "jedec", "qpl6000", "logic"]
OPERATORS = {"==": ["!="], "!=": ["=="], "<": ["<=", ">"], "<=": ["<", ">"], ">": [">=", "<"],
             ">=": [">", "<"], "&&": ["||"], "||": ["&&"]}
# Comments, string and character literals, preprocessor lines, operators and numbers.
TOKEN = re.compile(r"""
    (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<string>"(?:\\.|[^"\\\n])*")
  | (?P<char>'(?:\\.|[^'\\\n])')
  | (?P<pre>^[ \t]*\#[^\n]*)
  | (?P<op>\ (?:==|!=|<=|>=|&&|\|\||<|>)\ )
  | (?P<number>(?<![\w.])(?:0[xX][0-9a-fA-F]+|\d+)(?P<suffix>[uUlL]*)(?![\w.]))
""", re.S | re.M | re.X)


def product_files():
    files = []
    for d in PRODUCT_DIRS:
        for name in sorted(os.listdir(os.path.join(ROOT, d))):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(d, name)
            with open(os.path.join(ROOT, path), encoding="utf-8") as f:
                head = "".join(f.readline() for _ in range(3))
            if "Generated" not in head and "generated" not in head:
                files.append(path)
    return files


def mutations(path, text):
    """Every mutant of one file: (path, offset, old, new, line)."""
    out = []
    for m in TOKEN.finditer(text):
        line = text.count("\n", 0, m.start()) + 1
        if m.group("char") in ("'0'", "'1'"):
            out.append((path, m.start(), m.group(), "'1'" if m.group() == "'0'" else "'0'", line))
        elif m.group("op"):
            old = m.group("op").strip()
            for new in OPERATORS[old]:
                out.append((path, m.start() + 1, old, new, line))
        elif m.group("number"):
            digits = m.group()[:len(m.group()) - len(m.group("suffix"))]
            n = int(digits, 0)
            values = [n + 1] + ([n - 1] if n > 0 else []) + [v for v in (0, 1) if v not in (n, n + 1, n - 1)]
            for v in values:
                new = (hex(v) if digits[:2].lower() == "0x" else str(v)) + m.group("suffix")
                out.append((path, m.start(), m.group(), new, line))
    return out


def all_mutations():
    result = []
    for path in product_files():
        with open(os.path.join(ROOT, path), encoding="utf-8") as f:
            result.extend(mutations(path, f.read()))
    return result


def run(cmd, cwd=None, timeout=None, env=None):
    try:
        p = subprocess.run(cmd, cwd=cwd, timeout=timeout, env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT)
        return p.returncode, p.stdout.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        return -1, "timeout"


def copy_tree(dest):
    """The product, the tests and the build files (build/ and .git left out). A file
    whose content changed gets a new time stamp, so that an incremental build of an
    earlier copy rebuilds what depends on it; unchanged files keep theirs."""
    for dirpath, dirnames, filenames in os.walk(ROOT):
        rel = os.path.relpath(dirpath, ROOT)
        if rel == ".":
            dirnames[:] = [d for d in dirnames if d not in ("build", ".git") and not d.startswith(".")]
            filenames = [f for f in filenames if not f.startswith(".")]
        os.makedirs(os.path.join(dest, rel), exist_ok=True)
        for name in filenames:
            src, dst = os.path.join(dirpath, name), os.path.join(dest, rel, name)
            if not os.path.exists(dst) or not filecmp.cmp(src, dst, shallow=False):
                shutil.copyfile(src, dst)
                shutil.copymode(src, dst)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--seed", type=int, default=14)
    ap.add_argument("--count", type=int, default=60, help="mutants that compile (default 60)")
    ap.add_argument("--only", action="append", default=[], metavar="FILE[:LINE]",
                    help="try every mutant of this file or line instead of a sample")
    ap.add_argument("--list", action="store_true", help="list the candidates and stop")
    ap.add_argument("--check-output", action="store_true", help="run each survivor on the random and suite designs")
    ap.add_argument("--cases", type=int, default=300, help="random designs for --check-output")
    ap.add_argument("--test-timeout", type=int, default=120)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--fresh", action="store_true", help="copy the changed files again (after editing the tests)")
    ap.add_argument("--work", default=os.path.join(ROOT, "build", "mutate"), help="scratch folder (build/mutate)")
    ap.add_argument("--retry", metavar="RESULTS", help="try again the survivors listed in an earlier results.tsv")
    opts = ap.parse_args()

    candidates = all_mutations()
    if opts.list:
        for path, _, old, new, line in candidates:
            print("%s:%d\t%s -> %s" % (path, line, old, new))
        print("%d candidates" % len(candidates), file=sys.stderr)
        return 0
    if opts.retry:
        with open(opts.retry) as f:
            rows = [l.rstrip("\n").split("\t") for l in f if "SURVIVED" in l]
        keys = set()
        for row in rows:
            where, change = row[0], row[1]
            old, _, new = change.partition(" -> ")
            keys.add((where, old, new, row[3] if len(row) > 3 else None))
        sample = [c for c in candidates
                  if ("%s:%d" % (c[0], c[4]), c[2], c[3], None) in keys
                  or ("%s:%d" % (c[0], c[4]), c[2], c[3], str(c[1])) in keys]
    elif opts.only:
        def wanted(c):
            for spec in opts.only:
                f, _, ln = spec.partition(":")
                if c[0] == f and (not ln or c[4] == int(ln)):
                    return True
            return False
        sample = [c for c in candidates if wanted(c)]
    else:
        sample = random.Random(opts.seed).sample(candidates, len(candidates))

    work = os.path.abspath(opts.work)
    src, bld = os.path.join(work, "src"), os.path.join(work, "build")
    if opts.fresh or not os.path.exists(os.path.join(src, "CMakeLists.txt")):
        copy_tree(src)
    jobs = str(opts.jobs)
    status, log = run(["cmake", "-S", src, "-B", bld, "-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_FLAGS_DEBUG=-O1",
                       "-DCMAKE_CXX_COMPILER=g++"])
    status, log = run(["cmake", "--build", bld, "-j", jobs]) if status == 0 else (status, log)
    if status != 0:
        print(log[-3000:])
        print("the unmutated tree does not build", file=sys.stderr)
        return 2
    status, log = run(["ctest", "--test-dir", bld, "-j", jobs, "--timeout", str(opts.test_timeout)])
    if status != 0:
        print(log[-3000:])
        print("the unmutated tree fails its tests", file=sys.stderr)
        return 2
    reference = os.path.join(work, "reference-fusecvt")
    shutil.copy2(os.path.join(bld, "fusecvt"), reference)
    corpora = []
    if opts.check_output:
        random_dir, suite_dir = os.path.join(work, "random"), os.path.join(work, "suite")
        shutil.rmtree(random_dir, ignore_errors=True)
        shutil.rmtree(suite_dir, ignore_errors=True)
        run([os.path.join(bld, "tests", "design_dump"), random_dir, str(opts.cases), "20261214"])
        env = dict(os.environ, FUSECVT_KEEP_DESIGNS=suite_dir)
        run(["ctest", "--test-dir", bld, "-j", jobs, "--timeout", str(opts.test_timeout)], env=env)
        corpora = ["--replay", "random=" + random_dir, "--replay", "suite=" + suite_dir]

    killed, survivors, skipped = 0, [], 0
    results = open(os.path.join(work, "results.tsv"), "a")
    start = time.time()
    limit = len(sample) if opts.only or opts.retry else opts.count
    for path, offset, old, new, line in sample:
        if killed + len(survivors) >= limit:
            break
        file = os.path.join(src, path)
        with open(file, encoding="utf-8") as f:
            original = f.read()
        mutated = original[:offset] + new + original[offset + len(old):]
        assert original[offset:offset + len(old)] == old
        where = "%s:%d" % (path, line)
        try:
            with open(file, "w", encoding="utf-8") as f:
                f.write(mutated)
            status, log = run(["cmake", "--build", bld, "-j", jobs], timeout=900)
            if status != 0:
                skipped += 1
                print("%-40s %-12s does not compile" % (where, old + " -> " + new), flush=True)
                continue
            status, log = run(["ctest", "--test-dir", bld, "-j", jobs, "--timeout", str(opts.test_timeout)],
                              timeout=1800)
            if status != 0:
                killed += 1
                verdict = "killed"
            else:
                changes = "-"
                if corpora:
                    cmp_status, cmp_log = run([sys.executable, os.path.join(ROOT, "tools", "compare_outputs.py"),
                                               "--base", reference, "--after", os.path.join(bld, "fusecvt"),
                                               "--show", "0", "--jobs", jobs] + corpora)
                    changes = "yes" if cmp_status != 0 else "no"
                    counts = " ".join(l.split()[1] + ":" + l.split()[7] for l in cmp_log.splitlines()
                                      if l.startswith("corpus "))
                    changes += " (" + counts + " differ)"
                survivors.append((where, old + " -> " + new, changes))
                verdict = "SURVIVED output-changing: " + changes
            print("%-40s %-12s %s" % (where, old + " -> " + new, verdict), flush=True)
            results.write("%s\t%s -> %s\t%s\t%d\n" % (where, old, new, verdict, offset))
            results.flush()
        finally:
            with open(file, "w", encoding="utf-8") as f:
                f.write(original)
    # Leave the build as the unmutated tree.
    run(["cmake", "--build", bld, "-j", jobs])
    counted = killed + len(survivors)
    print("\n%d mutants tried, %d did not compile; %d counted, %d killed, %d survived (%.1f min)"
          % (counted + skipped, skipped, counted, killed, len(survivors), (time.time() - start) / 60))
    if counted:
        print("score: %.1f %% killed of all counted mutants" % (100.0 * killed / counted))
    if corpora:
        changing = sum(1 for s in survivors if s[2].startswith("yes"))
        if killed + changing:
            print("score: %.1f %% killed of the mutants that change behaviour (%d of %d)"
                  % (100.0 * killed / (killed + changing), killed, killed + changing))
    if survivors:
        print("\nsurvivors:\n%-40s %-14s %s" % ("file:line", "change", "output-changing?"))
        for s in survivors:
            print("%-40s %-14s %s" % s)
    return 0


if __name__ == "__main__":
    sys.exit(main())

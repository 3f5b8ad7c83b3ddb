#!/usr/bin/env python3
"""Runs two fusecvt binaries on the same corpus and compares what they write.

Helper of tools/compare-outputs.sh (which builds the binaries); see its usage.
Each run happens in a fresh folder of its own, with the input files copied in
and the program started there; the JEDEC file, the report (every file the run
leaves in its folder), standard output, standard error and the exit status of
both binaries must be equal byte for byte, except lines that start with
"Created on:" and lines "<name> processed <N> seconds".
"""

import argparse
import concurrent.futures
import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile

# Option lines tried on every sample POF (each also with every -device word of its family).
SAMPLE_OPTIONS = [
    [], ["-pinclk"], ["-secure"], ["-jtag", "on"], ["-jtag", "off"], ["-slew", "slow"], ["-slew", "fast"],
    ["-open_out", "on"], ["-open_out", "off"], ["-mc_power", "on"], ["-mc_power", "off"], ["-pd1"], ["-pd2"],
    ["-powerdown"], ["-pin_keep"], ["-tdi_pullup"], ["-tms_pullup"], ["-power_reset"],
    ["-gclk1_itd", "-gclk2_itd", "-gclk3_itd"], ["-race_cover_off"], ["-verbose"],
    ["-verbose", "-pinclk", "-secure", "-jtag", "off", "-slew", "slow", "-gclk1_itd"],
    ["-verbose", "-powerdown", "-pin_keep", "-tdi_pullup", "-tms_pullup", "-power_reset"],
    ["-verbose", "-open_out", "on", "-mc_power", "off", "-race_cover_off", "-gclk2_itd", "-pd2"],
    ["-verbose", "-jtag", "on", "-slew", "fast", "-open_out", "off", "-mc_power", "on", "-pd1", "-gclk3_itd"],
]
FAMILY_WORDS = {32: ["p6000", "6000e", "6032es", "6032esl"], 64: ["6064es", "6064esl"], 128: ["6128es", "6128esl"]}
FILTERED = re.compile(rb"^(Created on:.*|\S+ processed \d+ seconds)\r?$")


def family_of(device):
    for size, pattern in ((32, r"[37]032"), (64, r"[37]064"), (128, r"[37]128")):
        if re.search(pattern, device.upper()):
            return size
    return 0


def samples_corpus(folder):
    devices = {}
    listing = os.path.join(folder, "SOURCES.tsv")
    if os.path.exists(listing):
        with open(listing, encoding="utf-8", errors="replace") as f:
            for line in f:
                cells = line.rstrip("\n").split("\t")
                if len(cells) > 1 and cells[0] != "file":
                    devices[cells[0]] = cells[1]
    runs = []
    for name in sorted(n for n in os.listdir(folder) if n.lower().endswith(".pof")):
        device = devices.get(name, "")
        words = [[]] + [["-device", w] for w in FAMILY_WORDS.get(family_of(device), [])]
        for word in words:
            for options in SAMPLE_OPTIONS:
                args = ["fusecvt"] + word + options + [name]
                runs.append((device + " " + " ".join(args[1:]), args, {name: os.path.join(folder, name)}))
    return runs


def replay_corpus(folder):
    """Folders of one case each: an 'args' file (one argument a line) and the input files."""
    runs = []
    for case in sorted(os.listdir(folder)):
        path = os.path.join(folder, case)
        try:
            with open(os.path.join(path, "args"), "rb") as f:
                args = [a.decode("utf-8", "surrogateescape") for a in f.read().split(b"\n")[:-1]]
        except OSError:
            continue
        inputs = {n: os.path.join(path, n) for n in os.listdir(path) if n != "args"}
        runs.append((case + ": " + " ".join(args[1:]), args, inputs))
    return runs


def run_one(binary, args, inputs, scratch):
    folder = tempfile.mkdtemp(dir=scratch)
    try:
        for name, source in inputs.items():
            shutil.copyfile(source, os.path.join(folder, name))
        try:
            p = subprocess.run(args, executable=binary, cwd=folder, stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
            result = {"status": str(p.returncode).encode(), "stdout": p.stdout, "stderr": p.stderr}
        except subprocess.TimeoutExpired:
            result = {"status": b"timeout", "stdout": b"", "stderr": b""}
        for root, _, files in os.walk(folder):
            for name in files:
                path = os.path.join(root, name)
                with open(path, "rb") as f:
                    result["file " + os.path.relpath(path, folder)] = f.read()
        return result
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def filtered(data):
    return b"".join(line for line in data.splitlines(keepends=True) if not FILTERED.match(line.rstrip(b"\n")))


def short_diff(key, a, b, lines=8):
    diff = difflib.unified_diff(a.decode("latin-1").splitlines(), b.decode("latin-1").splitlines(),
                                "base " + key, "after " + key, n=1, lineterm="")
    out = list(diff)
    return "\n".join(out[:lines] + (["    ..."] if len(out) > lines else []))


def compare(base, after):
    diffs = []
    for key in sorted(set(base) | set(after)):
        a, b = filtered(base.get(key, b"")), filtered(after.get(key, b""))
        if key not in base or key not in after:
            diffs.append(key + " written by " + ("after only" if key not in base else "base only"))
        elif a != b:
            diffs.append(short_diff(key, a, b))
    return diffs


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--base", required=True, help="binary before")
    ap.add_argument("--after", required=True, help="binary after")
    ap.add_argument("--samples", help="folder of real POFs (with SOURCES.tsv)")
    ap.add_argument("--replay", action="append", default=[], metavar="NAME=DIR",
                    help="a corpus of case folders (args file + inputs)")
    ap.add_argument("--accept", action="append", default=[], metavar="REGEX",
                    help="differences of runs whose description, standard output or error matches are expected")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--show", type=int, default=20, help="differences shown per corpus")
    opts = ap.parse_args()
    opts.base, opts.after = os.path.abspath(opts.base), os.path.abspath(opts.after)
    corpora = []
    if opts.samples:
        corpora.append(("samples", samples_corpus(opts.samples)))
    for spec in opts.replay:
        name, _, folder = spec.partition("=")
        corpora.append((name, replay_corpus(folder)))
    accept = [re.compile(a.encode()) for a in opts.accept]
    scratch = tempfile.mkdtemp(prefix="fusecvt-compare-")
    total_diff = 0
    try:
        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, opts.jobs)) as pool:
            for name, runs in corpora:
                def both(run):
                    _, args, inputs = run
                    return run_one(opts.base, args, inputs, scratch), run_one(opts.after, args, inputs, scratch)
                same = different = accepted = shown = 0
                for (label, _, _), (b, a) in zip(runs, pool.map(both, runs)):
                    diffs = compare(b, a)
                    if not diffs:
                        same += 1
                        continue
                    text = b"\n".join([label.encode()] + [r.get(k, b"") for r in (b, a) for k in ("stdout", "stderr")])
                    if any(r.search(text) for r in accept):
                        accepted += 1
                        continue
                    different += 1
                    if shown < opts.show:
                        shown += 1
                        print("DIFFERENT [%s] %s\n%s" % (name, label, "\n".join(diffs)))
                total_diff += different
                print("corpus %-8s runs %6d  identical %6d  different %6d  accepted %6d"
                      % (name, len(runs), same, different, accepted), flush=True)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    return 1 if total_diff else 0


if __name__ == "__main__":
    sys.exit(main())

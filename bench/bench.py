#!/usr/bin/env python3
"""Runs kxfcli and the floor program side by side and prints what the tool
costs above the floor.

The floor (build/kxfloor) links the stand-in library as kxfcli does and only
initialises it, gets the adapter list, walks it as far as the command needs,
uninitialises and prints one line. Every comparison runs the two programs in
pairs, interleaved (A B, then B A, ...), so that a machine busy with other work
slows both alike; the figures are the ratio of each pair's times, min and
median over the pairs. Standard output of both goes to /dev/null. Each run is started and measured by
build/kxmeasure (fork, exec, wait4), so that no interpreter's memory or start-up
counts.

  wall   elapsed time of the process, as a caller waits for it
  cpu    user + system time of the process (steadier on a loaded machine)
  rss    peak resident memory, median over the runs

With --callgrind, each case also runs once under valgrind's callgrind and the
instruction counts are printed: the tool's own instructions are its count less
the floor's, and per LUN where the inventory is generated.

--quick is what the test suite runs: small inventories, two pairs per case. It
checks that every run ends well and that each list holds as many identifiers
as the floor counts records; it asserts nothing about time.
"""

import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys

PORT = "FC_21:00:00:c8:a1:30:01:00"
# Generated inventories: adapters x ports x targets per port x LUNs per target.
FULL_SIZES = [(4, 2, 64, 16), (4, 2, 64, 64), (4, 2, 64, 256), (4, 2, 64, 512)]
QUICK_SIZES = [(1, 1, 4, 16), (2, 2, 8, 64)]
TRACE_LEVEL = "65535"  # the highest: every mask and the library's own trace


class Runner:
    def __init__(self, build, work):
        self.tool = os.path.join(build, "kxfcli")
        self.floor = os.path.join(build, "kxfloor")
        self.measure = os.path.join(build, "kxmeasure")
        for exe in (self.tool, self.floor, self.measure):
            if not os.access(exe, os.X_OK):
                sys.exit(f"bench: {exe} is missing; build first (cmake --build {build})")
        self.work = work
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(os.path.join(work, "var", "tmp"))
        self.base_env = {k: v for k, v in os.environ.items()
                         if not k.startswith(("KXSIM_", "KXFC_"))}
        self.base_env["KXFC_SANDBOX_ROOT"] = work
        self.base_env["KXSIM_STATE"] = os.path.join(work, "sim-state.json")
        self.trace_log = os.path.join(work, "var", "tmp", "kxfcli.log")

    def env(self, fixture=None, traced=False):
        env = dict(self.base_env)
        if fixture:
            env["KXSIM_FIXTURE"] = fixture
        if traced:
            env["KXFC_DEBUG_LEVEL"] = TRACE_LEVEL
        return env

    def run(self, argv, env):
        """One timed run: (wall seconds, cpu seconds, peak RSS in KiB)."""
        if os.path.exists(self.trace_log):
            os.remove(self.trace_log)  # a trace log that keeps growing would slow later runs
        done = subprocess.run([self.measure] + argv, env=env, capture_output=True, text=True, check=False)
        fields = done.stdout.split()
        if done.returncode != 0 or done.stderr or len(fields) != 4 or fields[3] != "0":
            sys.exit(f"bench: {' '.join(argv)} failed: {done.stdout}{done.stderr}")
        return float(fields[0]), float(fields[1]), int(fields[2])

    def output(self, argv, env):
        done = subprocess.run(argv, env=env, capture_output=True, text=True, check=False)
        if done.returncode != 0 or done.stderr:
            sys.exit(f"bench: {' '.join(argv)} ended with {done.returncode}: {done.stderr}")
        return done.stdout

    def callgrind(self, argv, env):
        out = os.path.join(self.work, "callgrind.out")
        done = subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}"] + argv,
                              env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, check=False)
        if os.path.exists(out):
            os.remove(out)
        m = re.search(r"refs:\s+([\d,]+)", done.stderr)
        if not m:
            sys.exit(f"bench: callgrind gave no count for {' '.join(argv)}:\n{done.stderr}")
        return int(m.group(1).replace(",", ""))


def paired(runner, a, b, reps):
    """a and b are (argv, env); returns per-pair ratios and each side's runs."""
    runs_a, runs_b = [], []
    for i in range(reps):
        if i % 2 == 0:
            runs_a.append(runner.run(*a))
            runs_b.append(runner.run(*b))
        else:
            runs_b.append(runner.run(*b))
            runs_a.append(runner.run(*a))
    return runs_a, runs_b


def ratios(runs_a, runs_b, field):
    return [x[field] / y[field] if y[field] > 0 else float("nan") for x, y in zip(runs_a, runs_b)]


def row(name, runs_a, runs_b, extra=""):
    wall = ratios(runs_a, runs_b, 0)
    cpu = ratios(runs_a, runs_b, 1)
    med = lambda runs, f: statistics.median(r[f] for r in runs)
    rss_a, rss_b = med(runs_a, 2), med(runs_b, 2)
    print(f"{name:<34} {min(wall):5.2f} {statistics.median(wall):5.2f}  {min(cpu):5.2f} {statistics.median(cpu):5.2f}"
          f"  {med(runs_a, 0) * 1000:8.1f} {med(runs_b, 0) * 1000:8.1f}"
          f"  {med(runs_a, 1) * 1000:8.1f} {med(runs_b, 1) * 1000:8.1f}"
          f"  {rss_a / 1024:7.1f} {rss_b / 1024:7.1f} {rss_a / rss_b:5.3f}{extra}")


def header(title, a, b, callgrind):
    print()
    print(f"{title}: {a} (A) against {b} (B)")
    print(f"{'':<34} {'wall A/B':<11}  {'cpu A/B':<11}  {'wall ms (median)':<17}  {'cpu ms (median)':<17}"
          f"  {'peak RSS MiB':<21}" + ("  instructions A, B, A/B" if callgrind else ""))
    print(f"{'':<34} {'min':>5} {'med':>5}  {'min':>5} {'med':>5}  {'A':>8} {'B':>8}  {'A':>8} {'B':>8}"
          f"  {'A':>7} {'B':>7} {'A/B':>5}")


def count_elements(document):
    return document.count("<string>")


def check_floor(runner, argv, env, what):
    line = runner.output(argv, env).strip()
    m = re.match(r"adapters=(\d+) targets=(\d+) luns=(\d+)", line)
    if not m:
        sys.exit(f"bench: the floor printed {line!r}")
    return dict(zip(("adapters", "targets", "luns"), map(int, m.groups())))[what]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--build", default=os.path.join(here, "..", "build"), help="build tree (default: build/)")
    p.add_argument("--quick", action="store_true", help="small inventories, two pairs: the test suite's run")
    p.add_argument("--reps", type=int, help="pairs per case (default 15, quick 2)")
    p.add_argument("--callgrind", action="store_true", help="also count instructions with callgrind")
    p.add_argument("--sizes", help="generated sizes as AxPxTxL,... (default 8k to 262k LUNs; empty for none)")
    args = p.parse_args()
    build = os.path.abspath(args.build)
    reps = args.reps or (2 if args.quick else 15)
    sizes = QUICK_SIZES if args.quick else FULL_SIZES
    if args.sizes is not None:
        sizes = [tuple(int(n) for n in s.split("x")) for s in args.sizes.split(",") if s]
    runner = Runner(build, os.path.join(build, "bench-work" + ("-quick" if args.quick else "")))
    tool, floor = runner.tool, runner.floor
    counts = {}

    # ---- the default inventory: one-shot commands ----
    default = runner.env()
    one_shot = [
        (["-t", "adapter", "listcli"], []),
        (["-t", "port", "listcli"], []),
        (["-t", "port", "-s", "info", "getcli", PORT], []),
        (["-t", "lun", "list"], ["luns"]),
    ]
    if count_elements(runner.output([tool, "-t", "lun", "list"], default)) != check_floor(runner, [floor, "luns"], default, "luns"):
        sys.exit("bench: lun list and the floor disagree on the default inventory")
    header("Default inventory", "kxfcli", "kxfloor", args.callgrind)
    for words, floor_words in one_shot:
        a, b = paired(runner, ([tool] + words, default), ([floor] + floor_words, default), reps)
        extra = ""
        if args.callgrind:
            ti, fi = runner.callgrind([tool] + words, default), runner.callgrind([floor] + floor_words, default)
            extra = f"  Ir {ti:,} {fi:,} {ti / fi:5.3f}"
        row(" ".join(words).replace(PORT, "<port>"), a, b, extra)

    header("Traced at level " + TRACE_LEVEL, "traced kxfcli", "untraced kxfcli", args.callgrind)
    traced = runner.env(traced=True)
    for words, _ in one_shot:
        a, b = paired(runner, ([tool] + words, traced), ([tool] + words, default), reps)
        extra = ""
        if args.callgrind:
            ti, ui = runner.callgrind([tool] + words, traced), runner.callgrind([tool] + words, default)
            extra = f"  Ir {ti:,} {ui:,} {ti / ui:5.3f}"
        row(" ".join(words).replace(PORT, "<port>"), a, b, extra)

    # ---- generated inventories ----
    for adapters, ports, targets, luns in sizes:
        total = adapters * ports * targets * luns
        fixture = os.path.join(runner.work, f"generated-{total}.json")
        with open(fixture, "w") as f:
            json.dump({"generate": {"adapters": adapters, "ports": ports, "targets": targets, "luns": luns}}, f)
        env = runner.env(fixture)
        lun_doc = runner.output([tool, "-t", "lun", "list"], env)
        floor_luns = check_floor(runner, [floor, "luns"], env, "luns")
        floor_targets = check_floor(runner, [floor, "targets"], env, "targets")
        if count_elements(lun_doc) != floor_luns or floor_luns != total:
            sys.exit(f"bench: lun list holds {count_elements(lun_doc)} LUNs, the floor counts {floor_luns}")
        if count_elements(runner.output([tool, "-t", "target", "list"], env)) != floor_targets:
            sys.exit("bench: target list and the floor disagree")
        last = re.findall(r"<string>([^<]*)</string>", lun_doc)[-1]
        if "Lun Number" not in runner.output([tool, "-t", "lun", "-v", "info", "getcli", last], env):
            sys.exit(f"bench: lun info of {last} shows no LUN")
        counts[total] = floor_luns

        header(f"Generated {adapters}x{ports}x{targets}x{luns}, {total} LUNs", "kxfcli", "kxfloor walking the records",
               args.callgrind)
        cases = [
            ("lun list", ["-t", "lun", "list"], ["luns"], total),
            ("target list", ["-t", "target", "list"], ["targets"], None),
            ("lun -v info getcli <last LUN>", ["-t", "lun", "-v", "info", "getcli", last], ["luns"], total),
        ]
        for name, words, floor_words, per in cases:
            a, b = paired(runner, ([tool] + words, env), ([floor] + floor_words, env), reps)
            extra = ""
            if args.callgrind:
                ti, fi = runner.callgrind([tool] + words, env), runner.callgrind([floor] + floor_words, env)
                extra = f"  Ir {ti:,} {fi:,} {ti / fi:5.3f}"
                if per:
                    extra += f"  own/LUN {(ti - fi) / per:,.0f}"
            row(name, a, b, extra)

    print()
    print(f"{reps} interleaved pairs per case; build {build}")
    if args.callgrind:
        print("own/LUN: the tool's instructions less the floor's, per LUN of the inventory")
    return 0


if __name__ == "__main__":
    sys.exit(main())

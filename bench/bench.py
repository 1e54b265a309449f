#!/usr/bin/env python3
"""Times the program's silent run against find(1) on identical copies of one tree.

The tree: FILES files in DIRS directories up to depth 4 below its root (with
--flat, all in the root itself); of every 20 files one has no dot in its
name, the rest are half *.log and half *.txt; last-write times are spread
evenly over the 200 days before the tree was made, so an age limit of 100
days selects about half of them.

The program runs as a scheduler would start it: `vorn /auto`, from a copy of
the executable with the run's vorn.ini beside it, at full speed. Beside it,
the floor of the default filters: floor_walk lists, reads each *.log file's
stored attributes and unlinks, nothing else.

Every run gets a fresh copy of the tree (cp -a keeps the times) and is timed
alone; the figures are wall, user and system seconds of that one process,
its peak resident memory and, for the program, the most workers it ran at
once, the median of REPEAT rounds. With --through, the copy is still made
and counted in the work folder, but the runs see it through a mount of that
folder (the share bench/share.sh makes). A round runs every case once, every
other round in reverse order, and the ratios are taken within the round (a
run against the find run of the same round) before their median is taken: a
slow spell of the machine then weighs on both sides of a ratio instead of on
one of them. Ages are taken at each run's own start, so the age runs may
leave a file or two more or less than each other when one crosses the
100-day mark in between.

With --baseline, every vorn run also runs with a second executable (an older
build, say) in the same rounds, as "NAME (baseline)": the two builds then meet
the same spells of the machine, and each is compared with the same find runs.
"""

import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import threading
import time

DAY = 86400
SPREAD_DAYS = 200
AGE_DAYS = 100
BRANCHING = (5, 6, 7)  # children per directory at depths 1, 2 and 3; the rest go to depth 4


def directory_paths(root, count):
    """COUNT directories: whole levels of BRANCHING while they fit, the rest one level further down."""
    if count == 0:
        return [root]
    levels = [[root]]
    made = 0
    for children in BRANCHING:
        level = [os.path.join(parent, "d%d" % i) for parent in levels[-1] for i in range(children)]
        if made + len(level) > count:
            break
        levels.append(level)
        made += len(level)
    parents = levels[-1]
    deepest = [os.path.join(parents[i % len(parents)], "e%d" % i) for i in range(count - made)]
    return [path for level in levels[1:] for path in level] + deepest


def file_name(rng, index):
    if index % 20 == 19:
        return "plain%d" % index
    return "f%d.%s" % (index, "log" if rng.random() < 0.5 else "txt")


def make_tree(root, files, dirs):
    rng = random.Random(3)
    now = time.time()
    paths = directory_paths(root, dirs)
    os.makedirs(root)
    for path in paths[1 if dirs == 0 else 0:]:
        os.makedirs(path)
    for index in range(files):
        path = os.path.join(paths[index % len(paths)], file_name(rng, index))
        with open(path, "w") as f:
            f.write("x")
        stamp = now - rng.random() * SPREAD_DAYS * DAY
        os.utime(path, (stamp, stamp))


class Peaks(threading.Thread):
    """A running program's peak resident memory (MB) and most threads, looked at every SAMPLE seconds.

    The kernel's own peak (wait4's ru_maxrss) would count the memory of the
    Python process forked to start the program: it survives exec. The peak of
    the program's own memory (VmHWM) is only read while it runs: growth in its
    last SAMPLE seconds is missed.
    """
    SAMPLE = 0.01

    def __init__(self, pid):
        super().__init__(daemon=True)
        self.status = "/proc/%d/status" % pid
        self.memory = 0.0
        self.threads = 0
        self.done = threading.Event()
        self.start()

    def run(self):
        while not self.done.wait(self.SAMPLE):
            try:
                with open(self.status) as status:
                    fields = dict(line.split(":", 1) for line in status)
                self.memory = max(self.memory, int(fields["VmHWM"].split()[0]) / 1024)
                self.threads = max(self.threads, int(fields["Threads"]))
            except (OSError, KeyError, ValueError):
                pass  # ended, or gone to be a zombie

    def stop(self):
        self.done.set()
        self.join()
        return self.memory, self.threads


# The program's status when another instance holds its guard: on a machine
# shared with other runs of it, the run waits and starts again.
ALREADY_RUNNING = 3


def timed(command):
    """Runs a command; its wall, user and system seconds, its peak resident memory in MB, its most threads."""
    while True:
        start = time.monotonic()
        process = subprocess.Popen(command, stdout=subprocess.PIPE)
        peaks = Peaks(process.pid)
        output = process.stdout.read().decode(errors="replace").strip()
        _, status, usage = os.wait4(process.pid, 0)
        figures = (time.monotonic() - start, usage.ru_utime, usage.ru_stime) + peaks.stop()
        if command[-1] != "/auto" or os.waitstatus_to_exitcode(status) != ALREADY_RUNNING:
            break
        print("  another instance runs; waiting", flush=True)
        time.sleep(1)
    if status != 0:
        sys.exit("%s failed: %s" % (command[0], output))
    return figures


def settings_text(root, pattern, **changes):
    """vorn.ini for one run: the shipped defaults at full speed, then `changes`."""
    values = dict(filepath=root, filename=pattern, regex="false", subdir="true", system="false",
                  readonly="true", hidden="true", dirtree="true", expiredays=0, speed=3)
    values.update(changes)
    return "[vorn]\r\n" + "".join("%s=%s\r\n" % item for item in values.items())


def program(work, vorn, name, ini):
    """A directory holding a copy of the program and the given vorn.ini; the command that runs it."""
    folder = os.path.join(work, "programs", name.replace(" ", "_").replace("*", "").replace(",", ""))
    os.makedirs(folder, exist_ok=True)
    shutil.copy2(vorn, os.path.join(folder, "vorn"))
    with open(os.path.join(folder, "vorn.ini"), "w", newline="") as out:
        out.write(ini)
    return [os.path.join(folder, "vorn"), "/auto"]


def count_files(root):
    return sum(len(names) for _, _, names in os.walk(root))


# Threads of `vorn /auto` beside the sweep's workers: the one that waits for
# the sweep's end and the one that watches for stop signals.
OTHER_THREADS = 2

# The runs compared with each other rather than with find, when both are in.
PAIRS = [
    ("vorn *.log", "vorn *.log, one worker", "vorn *.log, against one worker"),
    ("vorn *.log, default filters", "vorn *.log, default filters, one worker", "default filters, against one worker"),
    ("vorn *.log, default filters", "floor, default filters", "default filters, against the floor"),
    ("vorn *.log", "unlink calls alone, two threads", "vorn *.log, against two threads' unlinks"),
    ("unlink calls alone, two threads", "unlink calls alone", "two threads' unlinks, against one thread's"),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    built = os.path.join(here, "..", "build-bench")  # where bench/build.sh puts them
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--vorn", default=os.path.join(built, "vorn"), help="the vorn executable")
    parser.add_argument("--unlink", default=os.path.join(built, "bench", "unlink_list"),
                        help="the unlink_list executable")
    parser.add_argument("--floor", default=os.path.join(built, "bench", "floor_walk"),
                        help="the floor_walk executable")
    parser.add_argument("--work", default=os.path.join(here, "out"), help="where the trees are made")
    parser.add_argument("--through", metavar="DIR",
                        help="a mount of the work folder (bench/share.sh): the runs see the tree through it")
    parser.add_argument("--files", type=int, default=200000)
    parser.add_argument("--dirs", type=int, default=2000)
    parser.add_argument("--flat", action="store_true", help="every file in one directory, no subdirectories")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--only", nargs="+", metavar="RUN", help="these runs (and the find runs they are compared with)")
    parser.add_argument("--baseline", metavar="VORN", help="another vorn executable, run beside each vorn run")
    args = parser.parse_args()

    if args.flat:
        args.dirs = 0
    template = os.path.join(args.work, "template-%d-%d" % (args.files, args.dirs))
    copy = os.path.join(args.work, "run")
    # Where the runs see the copy: the copy itself, or the copy through the share.
    seen = os.path.join(args.through, "run") if args.through else copy
    listing = os.path.join(args.work, "list")
    if not os.path.isdir(template):
        print("making the tree in", template, flush=True)
        make_tree(template + ".part", args.files, args.dirs)
        os.rename(template + ".part", template)
    if os.path.exists(copy):
        shutil.rmtree(copy)

    twins = {}

    def vorn(name, **changes):
        ini = settings_text(seen, "*.log", **changes)
        command = program(args.work, args.vorn, name, ini)
        if args.baseline:
            twins[command[0]] = program(args.work, args.baseline, name + " baseline", ini)
        return command

    unlimited = dict(system="true", readonly="true", hidden="true")
    find_age = ["-mtime", "+%d" % (AGE_DAYS - 1)]
    # Full speed takes one worker for each processor the program may run on:
    # confined to one, it sweeps with one worker.
    one_worker = ["taskset", "-c", str(min(os.sched_getaffinity(0)))]
    cases = [
        ("find *.log", ["find", seen, "-name", "*.log", "-type", "f", "-delete"], None),
        ("vorn *.log", vorn("all", **unlimited), "find *.log"),
        ("vorn *.log, one worker", one_worker + vorn("one worker", **unlimited), "find *.log"),
        ("vorn *.log, default filters", vorn("defaults"), "find *.log"),
        ("vorn *.log, default filters, one worker", one_worker + vorn("defaults one worker"), "find *.log"),
        ("floor, default filters", [args.floor, seen], "find *.log"),
        ("unlink calls alone", [args.unlink, listing], "find *.log"),
        ("unlink calls alone, two threads", [args.unlink, listing, "2"], "find *.log"),
        ("find *.log -mtime", ["find", seen, "-name", "*.log", "-type", "f"] + find_age + ["-delete"], None),
        ("vorn *.log, age", vorn("age", expiredays=AGE_DAYS, **unlimited), "find *.log -mtime"),
    ]
    if args.only:
        unknown = set(args.only) - {name for name, _, _ in cases}
        if unknown:
            sys.exit("no such run: %s" % ", ".join(sorted(unknown)))
        wanted = set(args.only) | {versus for name, _, versus in cases if name in args.only}
        cases = [case for case in cases if case[0] in wanted]
    # The program's copy stands before "/auto", after whatever confines it.
    cases += [(name + " (baseline)", command[:-2] + twins[command[-2]], versus) for name, command, versus in cases
              if command[-2] in twins]
    timings = {name: [] for name, _, _ in cases}
    left = {}
    for round_number in range(1, args.repeat + 1):
        print("round %d of %d" % (round_number, args.repeat), flush=True)
        for name, command, _ in cases if round_number % 2 else reversed(cases):
            subprocess.run(["cp", "-a", template, copy], check=True)
            if command[0] == args.unlink:
                with open(listing, "wb") as out:
                    subprocess.run(["find", seen, "-name", "*.log", "-type", "f", "-print0"], stdout=out, check=True)
            subprocess.run(["sync"], check=True)
            timings[name].append(timed(command))
            print("  %-42s %8.2f %8.2f %8.2f %7.1f %3d" % ((name,) + timings[name][-1]), flush=True)
            left[name] = count_files(copy)
            shutil.rmtree(copy)

    def ratios(name, versus, measure):
        return [measure(run) / measure(base) for run, base in zip(timings[name], timings[versus])]

    median = {name: [statistics.median(run[i] for run in runs) for i in range(5)] for name, runs in timings.items()}
    print("%-44s %8s %8s %8s %9s %8s %13s %7s %7s  %s" % (
        "median of %d" % args.repeat, "wall s", "user s", "sys s", "wall/find", "cpu/find", "cpu/find from",
        "peak MB", "workers", "files left"))

    def row(name, versus, label):
        wall, user, system, peak, threads = median[name]
        shown = ("", "", "")
        if versus:
            cpu = ratios(name, versus, lambda run: run[1] + run[2])
            shown = ("%.3f" % statistics.median(ratios(name, versus, lambda run: run[0])),
                     "%.3f" % statistics.median(cpu), "%.3f to %.3f" % (min(cpu), max(cpu)))
        # Only the most seen over the rounds: a round may have looked too late.
        workers = max(run[4] for run in timings[name]) - OTHER_THREADS if name.startswith("vorn") else ""
        print("%-44s %8.2f %8.2f %8.2f %9s %8s %13s %7.1f %7s  %d" % (
            (label, wall, user, system) + shown + (peak, workers, left[name])))

    for name, _, versus in cases:
        row(name, versus, name)
    # The workers' gain and the filters' cost, within the same rounds: against
    # another run, not find.
    pairs = [pair for pair in PAIRS if pair[0] in timings and pair[1] in timings]
    if pairs:
        print("%-44s %8s %8s %8s %9s" % ("", "", "", "", "/other"))
    for name, versus, label in pairs:
        row(name, versus, label)

if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""What the tests are worth: a mutation run over the production sources.

Each mutant is one small change of the kind a real fault makes (a comparison
flipped, a condition negated, a constant moved by one, a call's statement
dropped, a returned truth value turned over). The script applies one at a time
to a copy-free work tree (the file is restored after every mutant, also on
Ctrl+C or a kill), rebuilds incrementally, runs the test programs that link the mutated
code, cheapest first, and records whether a test failed (killed), none did
(survived), the change did not build, or the tests ran past their time.

Each mutant has an identity that does not move with line numbers: its file, the
mutated line's text (stripped), which occurrence of that same text in the file
it is, the column within that text and the kind of change. A seed picks the
sample as the candidates whose sha256 of seed and identity is smallest, so an
edit to one file changes only that file's part of the sample (and a few at the
margin); the same seed on the same sources gives the same mutants.

    tests/mutate.py --sample 400 --seed 29          # hours on two cores
    tests/mutate.py --sample 5 --list               # the mutants only
    tests/mutate.py --only sweep/PatternMatcher.cpp:120  # one line's mutants
    tests/mutate.py --sample 400 --seed 29 --resume # on with the record so far
    tests/mutate.py --carry old.tsv --list          # what would run again
    tests/mutate.py --killed-in tests/mutation/record.tsv --out after.tsv  # does a changed suite still kill them?
    tests/mutate.py --survived-in tests/mutation/record.tsv --out rest.tsv  # and does it kill these now?
    tests/mutate.py --killed-in tests/mutation/record.tsv --matrix --out matrix.tsv  # which tests kill each
    tests/mutate.py --sole matrix.tsv                # the tests that alone kill some mutant, and the rest
    tests/mutate.py --removable matrix.tsv           # tests that may go together, every kill kept

The record is a tab-separated file (tests/mutation/record.tsv unless --out
says otherwise) whose header names the date, the commit and the seed; each
row names the mutant's identity, where it was, the verdict, and what the
verdict was taken on: a hash of the mutated file as it was, a hash of the
tests, the test programs run, and the commit.

Carrying a verdict over (--carry RECORD, or --resume for the record in --out):
a row is kept, and its mutant not run again, when its identity is in today's
sample, the hash of its source file equals the file's content today, and the
hash of the tests equals today's (every file under tests/ but this script, its
test and tests/mutation/, so a test added, changed or removed anywhere runs everything
again), and the test programs run for its folder are the same. Edits to other production files keep the row: a verdict is held to
the code it mutated and the tests that judged it. Every other mutant of the
sample runs.

Survivors found to be equivalent (no behaviour can tell them apart) are
marked by hand in tests/mutation/equivalent.tsv, one identity a line (as the
record names it) with the reason after a tab, and are counted apart in the
score; survivors that a check outside the test programs catches (the shell
checks ./test.sh runs) are listed the same way in tests/mutation/elsewhere.tsv
with the check, and count as killed. Marks keyed by identity keep matching
when lines move.

A matrix run (--matrix) names, for each mutant, the tests that fail on it
(or were running when their program crashed or hung) instead of the first
program: every program runs whole, until a second test has failed. A test
that is the only one to fail on some mutant catches what no other test does;
--sole lists them, and the tests seen failing only with others.

Only .cpp files are mutated: a header's change rebuilds most of the tree.
Linux sources only (the _win, _qt and front-end sources build elsewhere).
"""

import argparse
import collections
import datetime
import hashlib
import os
import re
import selectors
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
# ccache, where the machine has it, keeps the rebuild of a restored file cheap.
LAUNCHER = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []

# The folders mutated, and the test programs that link their code (ui_qt_tests
# apart, for the toolkit-free code below ui/core), the quickest and most direct
# first: the first failure ends a mutant's run.
COVERAGE = {
    "ExtLib": ["extlib_tests", "config_tests", "app_tests", "pattern_tests", "sweep_tests", "ui_core_tests",
               "program_tests"],
    "config": ["config_tests", "ui_core_tests", "app_tests", "pattern_tests", "sweep_tests", "program_tests"],
    "platform": ["platform_tests", "stop_requests_tests", "read_ahead_tests", "extlib_tests", "config_tests",
                 "app_tests", "pattern_tests", "sweep_tests", "ui_core_tests", "program_tests"],
    "sweep": ["pattern_tests", "sweep_tests", "app_tests", "ui_core_tests", "program_tests"],
    "ui/core": ["ui_core_tests", "ui_qt_tests"],
    "app": ["app_tests", "program_tests"],
}
# Sources of another system or of a window toolkit, built and tested elsewhere.
SKIPPED = re.compile(r"(_win|_qt|_handoff)\.cpp$|/ConsoleLauncher\.cpp$|/main\.cpp$")

# Each operator: a pattern over a line whose strings and comments are masked,
# and what a match becomes. Binary operators need the spaces the code's style
# puts around them, so templates, includes and arrows are never taken.
OPERATORS = [
    ("relation", re.compile(r" (==|!=|<=|>=|<|>) "),
     lambda m: {"==": " != ", "!=": " == ", "<=": " < ", ">=": " > ", "<": " <= ", ">": " >= "}[m.group(1)]),
    ("logic", re.compile(r" (&&|\|\|) "), lambda m: " || " if m.group(1) == "&&" else " && "),
    ("arith", re.compile(r" ([+-]) (?=\w)"), lambda m: " - " if m.group(1) == "+" else " + "),
    ("negation", re.compile(r"(?<=[(\s])!(?=[\w(])"), lambda m: ""),
    ("condition", re.compile(r"\b(if|while) \("), lambda m: f"{m.group(1)} (!("),
    ("constant", re.compile(r"(?<![\w.])(\d+)(?![\w.'])"), lambda m: str(int(m.group(1)) + 1)),
    ("truth", re.compile(r"\breturn (true|false);"), lambda m: "return false;" if m.group(1) == "true" else "return true;"),
]
# A statement that is a call alone on its line (its result unused).
CALL_STATEMENT = re.compile(r"^(\s*)(?!return\b|if\b|while\b|for\b|else\b|case\b|delete\b)[\w:.>\-\[\]]+\(.*\);\s*$")


@dataclass(frozen=True)
class Mutant:
    path: str        # relative to the repository
    line: int        # 1-based, where the run finds it
    column: int      # where the change starts in the line
    operator: str
    before: str      # the whole line before
    after: str       # the whole line after
    occurrence: int  # which line of the file with the same stripped text, from 1

    def key(self):
        """Where the mutant is today: file, line, column and kind."""
        return f"{self.path}:{self.line}:{self.column}:{self.operator}"

    def identity(self):
        """What the mutant is, whatever lines move around it: file, which occurrence of the
        stripped line text, column in that text, kind, and the text itself (tabs as spaces)."""
        text = self.before.strip()
        offset = self.column - (len(self.before) - len(self.before.lstrip()))
        return f"{self.path}:{self.occurrence}:{offset}:{self.operator}:{text.replace(chr(9), ' ')}"


def rank(seed, mutant):
    return hashlib.sha256(f"{seed}\n{mutant.identity()}".encode()).hexdigest()


def digest(data):
    return hashlib.sha256(data).hexdigest()[:16]


def masked(line):
    """The line with string and character literals blanked and a trailing // comment cut."""
    out, quote, escaped = [], None, False
    for i, ch in enumerate(line):
        if quote:
            closing = ch == quote and not escaped
            escaped = ch == "\\" and not escaped
            out.append(ch if closing else " ")
            quote = None if closing else quote
        elif line.startswith("//", i):
            break
        else:
            quote = ch if ch in "\"'" else None
            out.append(ch)
    return "".join(out)


def mutants_of(rel, text):
    in_block_comment = False
    seen = {}
    for number, line in enumerate(text.splitlines(), 1):
        stripped = line.strip()
        seen[stripped] = occurrence = seen.get(stripped, 0) + 1
        if in_block_comment or stripped.startswith("/*"):
            in_block_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith(("#", "//", "static_assert", "constexpr", "TEST")):
            continue
        code = masked(line)
        for name, pattern, replace in OPERATORS:
            for m in pattern.finditer(code):
                after = line[:m.start()] + replace(m) + line[m.end():]
                if name == "condition":
                    after = close_condition(code, len(line), m.end() - 1, after)
                if after and after != line:
                    yield Mutant(rel, number, m.start(), name, line, after, occurrence)
        call = CALL_STATEMENT.match(code)
        if call and "=" not in code.split("(")[0]:
            yield Mutant(rel, number, len(call.group(1)), "call", line, call.group(1) + ";", occurrence)


def close_condition(code, length, open_paren, after):
    """Closes the negation opened after an if or while, just before the condition's own ')'."""
    depth = 0
    for i in range(open_paren, len(code)):
        depth += {"(": 1, ")": -1}.get(code[i], 0)
        if depth == 0:
            shift = len(after) - length
            return after[:i + shift] + ")" + after[i + shift:]
    return None  # the condition goes on past this line: not taken


def folder_of(rel):
    return "ui/core" if rel.startswith("ui/core/") else rel.split("/")[0]


def programs_of(mutant):
    return ",".join(COVERAGE[folder_of(mutant.path)])


def sources():
    """The mutated files, relative to the repository."""
    return [path.relative_to(ROOT).as_posix() for folder in COVERAGE
            for path in sorted((ROOT / folder).glob("*.cpp")) if not SKIPPED.search(path.as_posix())]


def candidates():
    return [m for rel in sources() for m in mutants_of(rel, (ROOT / rel).read_text(encoding="utf-8"))]


def tests_digest():
    """One hash of every file under tests/ but this script, its test, the records and caches."""
    tests = ROOT / "tests"
    whole = hashlib.sha256()
    for path in sorted(p for p in tests.rglob("*") if p.is_file()):
        rel = path.relative_to(tests).as_posix()
        if rel in ("mutate.py", "mutate_test.py") or rel.startswith("mutation/") or "__pycache__" in rel:
            continue
        whole.update(f"{rel}\0{digest(path.read_bytes())}\n".encode())
    return whole.hexdigest()[:16]


def run(cmd, timeout, cwd=None, env=None):
    """Runs a command in a process group of its own, ended whole on a time-out (status None)."""
    return run_reading(cmd, timeout, lambda line: False, cwd, env)


def run_reading(cmd, timeout, enough, cwd=None, env=None):
    """Runs a command in a process group of its own, handing each line of its output to
    `enough`, and ends it early once that returns true, or whole on a time-out; the
    status, STOPPED, or None on a time-out."""
    proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    deadline = time.time() + timeout
    outcome = None  # the program ended by itself
    pending = b""
    with selectors.DefaultSelector() as selector:
        selector.register(proc.stdout, selectors.EVENT_READ)
        while time.time() < deadline:
            # A child left behind may hold the output open after the program ended.
            if not selector.select(min(1.0, deadline - time.time())):
                if proc.poll() is not None:
                    break
                continue
            chunk = os.read(proc.stdout.fileno(), 1 << 16)
            if not chunk:
                break
            *lines, pending = (pending + chunk).split(b"\n")
            if any(enough(line.decode("utf-8", "replace")) for line in lines):
                outcome = STOPPED
                break
        else:
            outcome = TIMED_OUT
    if proc.poll() is None:
        os.killpg(proc.pid, signal.SIGKILL)
    status = proc.wait()
    proc.stdout.close()
    if outcome == STOPPED:
        return STOPPED
    return None if outcome == TIMED_OUT else status


STOPPED, TIMED_OUT = "stopped", "timed out"
GTEST_LINE = re.compile(r"^\[ *(RUN|OK|FAILED|SKIPPED) *\] ([^\s,]+\.[^\s,]+)")


class Failures:
    """The tests of one mutant that failed, named program:Suite.Test, in order: those
    GoogleTest reports as failed, and the one running when its program crashed or hung."""

    def __init__(self):
        self.names, self.program, self.running = [], "", None

    def add(self, test):
        name = f"{self.program}:{test}"
        if name not in self.names:
            self.names.append(name)

    def read(self, line):
        """Takes one line of the program's output; true once two tests have failed."""
        seen = GTEST_LINE.match(line)
        if seen:
            self.running = seen.group(2) if seen.group(1) == "RUN" else None
            if seen.group(1) == "FAILED":
                self.add(seen.group(2))
        return len(self.names) >= 2

    def ended(self, status):
        """The program ended (None: it hung) without reading on to a second failure."""
        if status == 0 or status == STOPPED:
            return
        if self.running:
            self.add(self.running)
        elif status is None or not any(n.startswith(self.program + ":") for n in self.names):
            self.add("(timeout)" if status is None else f"(status {status})")


def sole_killers(record_path):
    """From a matrix record: for each test, how many mutants it alone failed on, and how many with others."""
    alone, shared = {}, {}
    for row in rows(record_path):
        names = [n for n in row["killed_by"].split(",") if n]
        for name in names:
            tally = alone if len(names) == 1 else shared
            tally[name] = tally.get(name, 0) + 1
    return alone, {name: count for name, count in shared.items() if name not in alone}


def removable(record_path):
    """From a matrix record: tests that may all go at once, as every mutant keeps one of the
    tests named failing on it. Those named on the fewest mutants are let go first; a test
    some mutant names alone stays, and so does a program's hang or crash with no test named."""
    killers = [{n for n in row["killed_by"].split(",") if n} for row in rows(record_path)]
    named = collections.Counter(name for names in killers for name in names)
    gone = set()
    for name in sorted(named, key=lambda n: (named[n], n)):
        if ":(" not in name and all(names - gone - {name} for names in killers if name in names):
            gone.add(name)
    return sorted(gone)


class Build:
    def __init__(self, directory, jobs, timeout):
        self.dir, self.jobs, self.timeout = Path(directory), jobs, timeout
        self.programs = {}

    def configure(self):
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(self.dir), "-DCMAKE_BUILD_TYPE=Debug",
                        "-DCMAKE_CXX_FLAGS=-O1", *LAUNCHER], check=True, stdout=subprocess.DEVNULL)
        targets = sorted({t for tests in COVERAGE.values() for t in tests})
        self.build(targets, check=True)
        for target in targets:
            found = [p for p in self.dir.rglob(target) if p.is_file()]
            if not found:
                sys.exit(f"no test program {target}: the coverage map names what the build lacks")
            self.programs[target] = found[0]

    def build(self, targets, check=False):
        result = subprocess.run(["cmake", "--build", str(self.dir), "-j", str(self.jobs), "--target", *targets],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if check and result.returncode:
            sys.exit("the unmutated tree does not build")
        return result.returncode == 0

    def verdict(self, mutant):
        targets = COVERAGE[folder_of(mutant.path)]
        if not self.build(targets):
            return "unbuilt", ""
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        for target in targets:
            program = self.programs[target]
            status = run([str(program), "--gtest_fail_fast", "--gtest_brief=1"], self.timeout,
                         cwd=program.parent, env=env)
            if status is None:
                return "timeout", target
            if status != 0:
                return "killed", target
        return "survived", ""

    def failing_tests(self, mutant):
        """The matrix verdict: which tests fail, read until the second (see Failures)."""
        targets = COVERAGE[folder_of(mutant.path)]
        if not self.build(targets):
            return "unbuilt", ""
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        failures = Failures()
        for target in targets:
            program = self.programs[target]
            failures.program, failures.running = target, None
            failures.ended(run_reading([str(program)], self.timeout, failures.read, cwd=program.parent, env=env))
            if len(failures.names) >= 2:
                break
        return ("killed" if failures.names else "survived"), ",".join(failures.names)


def apply(mutant, text):
    lines = text.split("\n")
    assert lines[mutant.line - 1] == mutant.before
    lines[mutant.line - 1] = mutant.after
    return "\n".join(lines)


def head_commit():
    return subprocess.run(["git", "-C", str(ROOT), "rev-parse", "HEAD"], capture_output=True, text=True).stdout.strip()


COLUMNS = ["identity", "at", "result", "killed_by", "seconds", "change", "source", "tests", "programs",
           "commit"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--sample", type=int, default=400)
    parser.add_argument("--seed", type=int, default=29)
    parser.add_argument("--build", default=str(ROOT / "build-mutate"))
    parser.add_argument("--out", default=str(ROOT / "tests/mutation/record.tsv"))
    parser.add_argument("--jobs", type=int, default=os.cpu_count())
    parser.add_argument("--timeout", type=int, default=300, help="seconds for one test program")
    parser.add_argument("--only", help="file:line: every mutant of that line, not a sample")
    parser.add_argument("--list", action="store_true", help="print the mutants that would run and stop")
    parser.add_argument("--carry", metavar="RECORD", help="keep the verdicts of RECORD that still hold; run the rest")
    parser.add_argument("--resume", action="store_true", help="--carry the record named by --out")
    parser.add_argument("--killed-in", metavar="RECORD",
                        help="instead of a sample, every mutant RECORD counts as killed by the test programs")
    parser.add_argument("--survived-in", metavar="RECORD",
                        help="instead of a sample, every mutant that survived in RECORD, marked or not")
    parser.add_argument("--matrix", action="store_true",
                        help="name the tests that fail on each mutant, reading on to the second")
    parser.add_argument("--sole", metavar="RECORD", help="from a matrix record, the tests that alone kill a mutant")
    parser.add_argument("--removable", metavar="RECORD",
                        help="from a matrix record, tests that may all go while each mutant keeps a test failing on it")
    args = parser.parse_args()
    if args.sole:
        alone, shared = sole_killers(Path(args.sole))
        for name, count in sorted(alone.items()):
            print(f"{name}\talone on {count}")
        for name, count in sorted(shared.items()):
            print(f"{name}\tonly with others, on {count}")
        return
    if args.removable:
        print("\n".join(removable(Path(args.removable))))
        return
    # A run ended from outside restores the mutated file, as Ctrl+C does. A
    # shell starting the run in the background ignores Ctrl+C and Ctrl+\ for
    # it, and its test programs would inherit that: a test of what a signal
    # does would then fail whatever the mutant.
    for ending in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(ending, signal.default_int_handler)
    signal.signal(signal.SIGQUIT, signal.SIG_DFL)

    everything = candidates()
    if args.only:
        sample = [m for m in everything if f"{m.path}:{m.line}" == args.only]
    elif args.killed_in or args.survived_in:
        record = args.killed_in or args.survived_in
        chosen = judged_in(Path(record), KILLS if args.killed_in else ("survived",))
        sample = [m for m in everything if m.identity() in chosen]
        if len(sample) < len(chosen):
            print(f"{len(chosen) - len(sample)} mutants chosen from {record} are no longer in the sources",
                  file=sys.stderr)
    else:
        sample = sorted(everything, key=lambda m: rank(args.seed, m))[:args.sample]
    tests = tests_digest()
    carry = args.out if args.resume else args.carry
    kept = carried(Path(carry), sample, tests) if carry else {}
    if args.list:
        for m in sample:
            if m.identity() not in kept:
                print(f"{m.key()}\t{m.after.strip()}")
        print(f"{len(sample)} of {len(everything)} candidates, {len(kept)} carried over", file=sys.stderr)
        return

    out = Path(args.out)
    commit = head_commit()
    build = Build(args.build, args.jobs, args.timeout)
    build.configure()
    out.parent.mkdir(parents=True, exist_ok=True)
    fresh = out.with_name(out.name + ".new")
    with fresh.open("w", encoding="utf-8") as record:
        record.write(f"# {datetime.date.today()} commit {commit} seed {args.seed} "
                     f"sample {len(sample)} of {len(everything)}\n")
        record.write("\t".join(COLUMNS) + "\n")
        record.writelines("\t".join(row[c] for c in COLUMNS) + "\n" for row in kept.values())
    fresh.replace(out)
    print(f"{len(kept)} of {len(sample)} carried over", flush=True)
    with out.open("a", encoding="utf-8") as record:
        for index, mutant in enumerate(sample, 1):
            if mutant.identity() in kept:
                continue
            path = ROOT / mutant.path
            original = path.read_bytes()
            started = time.time()
            try:
                path.write_bytes(apply(mutant, original.decode("utf-8")).encode("utf-8"))
                result, by = build.failing_tests(mutant) if args.matrix else build.verdict(mutant)
            finally:
                path.write_bytes(original)
            row = [mutant.identity(), mutant.key(), result, by, str(round(time.time() - started)),
                   mutant.after.strip(), digest(original), tests, programs_of(mutant), commit[:12]]
            record.write("\t".join(row) + "\n")
            record.flush()
            print(f"[{index}/{len(sample)}] {result:8} {mutant.key()}", flush=True)
    build.build(sorted(build.programs))  # leave the build matching the sources
    print(score(out), flush=True)


def rows(path):
    """The rows of a record as dictionaries; rows of another layout are passed over."""
    lines = path.read_text(encoding="utf-8").splitlines() if path.exists() else []
    return [dict(zip(COLUMNS, fields)) for fields in (line.split("\t") for line in lines if not line.startswith("#"))
            if len(fields) == len(COLUMNS) and fields != COLUMNS]


# What a record counts as killed by the test programs: a time-out is one.
KILLS = ("killed", "timeout")


def judged_in(record_path, verdicts):
    """The identities a record gives one of `verdicts`."""
    return {row["identity"] for row in rows(record_path) if row["result"] in verdicts}


def carried(record_path, sample, tests):
    """The rows whose verdict still holds: same mutant, same source file content, same tests."""
    wanted = {m.identity(): m for m in sample}
    sources = {}
    kept = {}
    for row in rows(record_path):
        mutant = wanted.get(row["identity"])
        if mutant is None or row["tests"] != tests or row["programs"] != programs_of(mutant):
            continue
        if mutant.path not in sources:
            sources[mutant.path] = digest((ROOT / mutant.path).read_bytes())
        if row["source"] == sources[mutant.path]:
            kept[row["identity"]] = row
    return kept


def marked(path):
    """The identities a hand-kept file of the record's folder lists, one a line, the reason after a tab."""
    if not path.exists():
        return set()
    return {line.split("\t")[0] for line in path.read_text(encoding="utf-8").splitlines()
            if line and not line.startswith("#")}


def score(record_path):
    equivalent = marked(Path(record_path).with_name("equivalent.tsv"))
    elsewhere = marked(Path(record_path).with_name("elsewhere.tsv"))
    counts = {}
    for row in rows(Path(record_path)):
        result = row["result"]
        if result == "survived" and row["identity"] in equivalent:
            result = "equivalent"
        elif result == "survived" and row["identity"] in elsewhere:
            result = "killed elsewhere"
        counts[result] = counts.get(result, 0) + 1
    killed = sum(counts.get(k, 0) for k in (*KILLS, "killed elsewhere"))
    judged = killed + counts.get("survived", 0)
    percent = 100 * killed / judged if judged else 0
    return f"score {killed}/{judged} = {percent:.1f}% (" + ", ".join(f"{k} {v}" for k, v in sorted(counts.items())) + ")"


if __name__ == "__main__":
    main()

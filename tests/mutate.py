#!/usr/bin/env python3
"""What the tests are worth: a mutation run over the production sources.

Each mutant is one small change of the kind a real fault makes (a comparison
flipped, a condition negated, a constant moved by one, a call's statement
dropped, a returned truth value turned over). The script applies one at a time
to a copy-free work tree (the file is restored after every mutant, also on
Ctrl+C or a kill), rebuilds incrementally, runs the test programs that link the mutated
code, cheapest first, and records whether a test failed (killed), none did
(survived), the change did not build, or the tests ran past their time.

A fixed seed picks the sample from every candidate in a stable order, so the
same seed on the same sources gives the same mutants: a suite before and after
a change can be held to the same record.

    tests/mutate.py --sample 400 --seed 29          # hours on two cores
    tests/mutate.py --sample 5 --list               # the mutants only
    tests/mutate.py --only sweep/PatternMatcher.cpp:120  # one line's mutants
    tests/mutate.py --sample 400 --seed 29 --resume # on with an interrupted run

The record is a tab-separated file (tests/mutation/record.tsv unless --out
says otherwise) whose header names the date, the commit and the seed;
survivors found to be equivalent (no behaviour can tell them apart) are
marked by hand in tests/mutation/equivalent.tsv, one mutant's key a line
(as the record names it) with the reason after a tab, and are counted apart in the score;
survivors that a check outside the test programs catches (the shell checks ./test.sh runs) are
listed the same way in tests/mutation/elsewhere.tsv with the check, and count as killed.

Only .cpp files are mutated: a header's change rebuilds most of the tree.
Linux sources only (the _win, _qt and front-end sources build elsewhere).
"""

import argparse
import datetime
import os
import random
import re
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

# The folders mutated, and the test programs that link their code, the
# quickest and most direct first: the first failure ends a mutant's run.
COVERAGE = {
    "ExtLib": ["extlib_tests", "config_tests", "app_tests", "pattern_tests", "sweep_tests", "program_tests"],
    "config": ["config_tests", "ui_core_tests", "app_tests", "sweep_tests", "program_tests"],
    "platform": ["platform_tests", "stop_requests_tests", "extlib_tests", "config_tests", "pattern_tests",
                 "sweep_tests", "program_tests"],
    "sweep": ["pattern_tests", "sweep_tests", "ui_core_tests", "program_tests"],
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
    path: str    # relative to the repository
    line: int    # 1-based
    column: int  # where the change starts in the line
    operator: str
    before: str  # the whole line before
    after: str   # the whole line after

    def key(self):
        return f"{self.path}:{self.line}:{self.column}:{self.operator}"


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


def mutants_of(path):
    rel = path.relative_to(ROOT).as_posix()
    in_block_comment = False
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        stripped = line.strip()
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
                    yield Mutant(rel, number, m.start(), name, line, after)
        call = CALL_STATEMENT.match(code)
        if call and "=" not in code.split("(")[0]:
            yield Mutant(rel, number, len(call.group(1)), "call", line, call.group(1) + ";")


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


def candidates():
    found = []
    for folder in COVERAGE:
        for path in sorted((ROOT / folder).glob("*.cpp")):
            if not SKIPPED.search(path.as_posix()):
                found.extend(mutants_of(path))
    return found


def run(cmd, timeout, cwd=None, env=None):
    """Runs a command in a process group of its own, ended whole on a time-out."""
    proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    try:
        return proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
        return None


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


def apply(mutant, text):
    lines = text.split("\n")
    assert lines[mutant.line - 1] == mutant.before
    lines[mutant.line - 1] = mutant.after
    return "\n".join(lines)


def head_commit():
    return subprocess.run(["git", "-C", str(ROOT), "rev-parse", "HEAD"], capture_output=True, text=True).stdout.strip()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--sample", type=int, default=400)
    parser.add_argument("--seed", type=int, default=29)
    parser.add_argument("--build", default=str(ROOT / "build-mutate"))
    parser.add_argument("--out", default=str(ROOT / "tests/mutation/record.tsv"))
    parser.add_argument("--jobs", type=int, default=os.cpu_count())
    parser.add_argument("--timeout", type=int, default=300, help="seconds for one test program")
    parser.add_argument("--only", help="file:line: every mutant of that line, not a sample")
    parser.add_argument("--list", action="store_true", help="print the sample and stop")
    parser.add_argument("--resume", action="store_true",
                        help="go on with the record's run: same commit, seed and sample; its mutants are skipped")
    args = parser.parse_args()
    # A run ended from outside restores the mutated file, as Ctrl+C does.
    for ending in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(ending, signal.default_int_handler)

    everything = candidates()
    if args.only:
        sample = [m for m in everything if f"{m.path}:{m.line}" == args.only]
    else:
        sample = random.Random(args.seed).sample(everything, min(args.sample, len(everything)))
    if args.list:
        for m in sample:
            print(f"{m.key()}\t{m.after.strip()}")
        print(f"{len(sample)} of {len(everything)} candidates", file=sys.stderr)
        return

    out = Path(args.out)
    header = f"commit {head_commit()} seed {args.seed} sample {len(sample)} of {len(everything)}"
    done = recorded(out, header) if args.resume else set()
    build = Build(args.build, args.jobs, args.timeout)
    build.configure()
    out.parent.mkdir(parents=True, exist_ok=True)
    with out.open("a" if args.resume else "w", encoding="utf-8") as record:
        if not args.resume:
            record.write(f"# {datetime.date.today()} {header}\n")
            record.write("mutant\tresult\tkilled_by\tseconds\tchange\n")
        for index, mutant in enumerate(sample, 1):
            if mutant.key() in done:
                continue
            path = ROOT / mutant.path
            original = path.read_text(encoding="utf-8")
            started = time.time()
            try:
                path.write_text(apply(mutant, original), encoding="utf-8")
                result, by = build.verdict(mutant)
            finally:
                path.write_text(original, encoding="utf-8")
            seconds = round(time.time() - started)
            record.write(f"{mutant.key()}\t{result}\t{by}\t{seconds}\t{mutant.after.strip()}\n")
            record.flush()
            print(f"[{index}/{len(sample)}] {result:8} {mutant.key()}", flush=True)
    build.build(sorted(build.programs))  # leave the build matching the sources
    print(score(out), flush=True)


def recorded(out, header):
    """The mutants a record already holds, when it is the record of the same run."""
    lines = out.read_text(encoding="utf-8").splitlines() if out.exists() else []
    if not lines or not lines[0].endswith(header):
        sys.exit(f"{out} is not a record of this run ({header})")
    return {line.split("\t")[0] for line in lines[2:]}


def marked(path):
    """The keys a hand-kept file of the record's folder lists, one a line, the reason after a tab."""
    if not path.exists():
        return set()
    return {line.split("\t")[0] for line in path.read_text(encoding="utf-8").splitlines()
            if line and not line.startswith("#")}


def score(record_path):
    equivalent = marked(Path(record_path).with_name("equivalent.tsv"))
    elsewhere = marked(Path(record_path).with_name("elsewhere.tsv"))
    counts = {}
    for line in Path(record_path).read_text(encoding="utf-8").splitlines()[2:]:
        key, result = line.split("\t")[:2]
        if result == "survived" and key in equivalent:
            result = "equivalent"
        elif result == "survived" and key in elsewhere:
            result = "killed elsewhere"
        counts[result] = counts.get(result, 0) + 1
    killed = sum(counts.get(k, 0) for k in ("killed", "timeout", "killed elsewhere"))
    judged = killed + counts.get("survived", 0)
    percent = 100 * killed / judged if judged else 0
    return f"score {killed}/{judged} = {percent:.1f}% (" + ", ".join(f"{k} {v}" for k, v in sorted(counts.items())) + ")"

if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The mutation run's sample and carry-over, on a small tree of its own."""

import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import mutate  # noqa: E402

FIRST = """int Compare(int a, int b) {
    if (a < b) return -1;
    if (a < b) return -1;
    return a == b ? 0 : 1;
}
"""
SECOND = """bool Check(int n) {
    while (n > 0) n = n - 2;
    return n == 0;
}
"""


class MutateTest(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.TemporaryDirectory()
        self.root = Path(self.temp.name)
        self.saved_root, mutate.ROOT = mutate.ROOT, self.root
        self.write("sweep/First.cpp", FIRST)
        self.write("sweep/Second.cpp", SECOND)
        self.write("tests/sweep/FirstTest.cpp", "// a test\n")

    def tearDown(self):
        mutate.ROOT = self.saved_root
        self.temp.cleanup()

    def write(self, rel, text):
        (self.root / rel).parent.mkdir(parents=True, exist_ok=True)
        (self.root / rel).write_text(text, encoding="utf-8")

    def identities(self):
        return {m.identity() for m in mutate.candidates()}

    def test_identity_follows_the_line_text_not_its_number(self):
        before = self.identities()
        self.write("sweep/First.cpp", "// moved down\n\n" + FIRST.replace("    if", "        if"))
        self.assertEqual(self.identities(), before)
        repeated = [m for m in mutate.candidates() if m.path == "sweep/First.cpp" and m.operator == "relation"]
        self.assertEqual(len({m.identity() for m in repeated}), len(repeated))

    def test_the_sample_is_the_same_for_the_same_seed_and_moves_with_it(self):
        everything = mutate.candidates()
        ranked = [m.identity() for m in sorted(everything, key=lambda m: mutate.rank(29, m))]
        self.assertEqual(ranked, [m.identity() for m in sorted(everything[::-1], key=lambda m: mutate.rank(29, m))])
        self.assertNotEqual(ranked, [m.identity() for m in sorted(everything, key=lambda m: mutate.rank(30, m))])

    def record(self, tests=None, results=lambda m: "killed"):
        """A record of every candidate as the tree is now (or with other tests)."""
        path = self.root / "record.tsv"
        lines = ["# a record", "\t".join(mutate.COLUMNS)]
        for m in mutate.candidates():
            source = mutate.digest((self.root / m.path).read_bytes())
            row = {"identity": m.identity(), "at": m.key(), "result": results(m), "killed_by": "sweep_tests",
                   "seconds": "1", "change": m.after.strip(), "source": source,
                   "tests": tests or mutate.tests_digest(), "programs": mutate.programs_of(m), "commit": "c"}
            lines.append("\t".join(row[c] for c in mutate.COLUMNS))
        path.write_text("\n".join(lines) + "\n", encoding="utf-8")
        return path

    def kept_files(self, record):
        sample = mutate.candidates()
        kept = mutate.carried(record, sample, mutate.tests_digest())
        return sorted({identity.split(":")[0] for identity in kept}), len(kept), len(sample)

    def test_a_verdict_is_kept_while_its_source_and_the_tests_are_unchanged(self):
        record = self.record()
        files, kept, sample = self.kept_files(record)
        self.assertEqual((files, kept), (["sweep/First.cpp", "sweep/Second.cpp"], sample))
        self.write("sweep/First.cpp", "// an edit\n" + FIRST)
        self.assertEqual(self.kept_files(record)[0], ["sweep/Second.cpp"])
        self.write("tests/sweep/FirstTest.cpp", "// another test\n")
        self.assertEqual(self.kept_files(record)[:2], ([], 0))
        self.assertEqual(self.kept_files(self.record(tests="other"))[:2], ([], 0))

    def test_a_changed_suite_is_held_to_what_the_record_killed(self):
        verdicts = ["killed", "timeout", "survived", "unbuilt"]
        everything = mutate.candidates()
        record = self.record(results=lambda m: verdicts[everything.index(m) % 4])
        for verdicts, picked in ((mutate.KILLS, (0, 1)), (("survived",), (2,))):
            expected = {m.identity() for i, m in enumerate(everything) if i % 4 in picked}
            self.assertEqual(mutate.judged_in(record, verdicts), expected)

    def test_a_matrix_names_the_failing_tests_up_to_the_second(self):
        run, ok, failed = "[ RUN      ] A.One", "[       OK ] A.One", "[  FAILED  ] A.One (3 ms)"
        cases = [  # output lines, how the program ended (None: it hung), the names, whether it read to the end
            ([run, ok, "[ RUN      ] A.Two", "[  FAILED  ] A.Two (1 ms)"], 1, ["p:A.Two"], True),
            ([run, failed, "[ RUN      ] B.X/0", "[  FAILED  ] B.X/0, where GetParam() = 2 (0 ms)", "more"],
             mutate.STOPPED, ["p:A.One", "p:B.X/0"], False),
            ([run, failed, "[  FAILED  ] 1 test, listed below:", "[  FAILED  ] A.One"], 1, ["p:A.One"], True),
            ([run], -11, ["p:A.One"], True),
            ([run, ok], None, ["p:(timeout)"], True),
            ([run, ok], 1, ["p:(status 1)"], True),
            (["[ RUN      ] A.Skip", "[  SKIPPED ] A.Skip (0 ms)"], 0, [], True),
        ]
        for lines, status, names, to_the_end in cases:
            failures = mutate.Failures()
            failures.program = "p"
            read = 0
            for line in lines:
                read += 1
                if failures.read(line):
                    break
            failures.ended(status)
            self.assertEqual((failures.names, read == len(lines)), (names, to_the_end), lines)

    def test_a_program_read_is_ended_when_enough_is_read_or_its_time_is_up(self):
        start = mutate.time.time()
        cases = [  # shell, seconds allowed, what it returns
            ("echo a; echo b; sleep 30", 20, mutate.STOPPED),
            ("sleep 30", 1, None),
            ("echo a; exit 3", 20, 3),
            ("sleep 12 & exit 0", 20, 0),  # its child holds the output open
        ]
        for shell, timeout, expected in cases:
            status = mutate.run_reading(["sh", "-c", shell], timeout, lambda line: line == "b")
            self.assertEqual(status, expected, shell)
        self.assertLess(mutate.time.time() - start, 10)

    def matrix(self, killed_by):
        path = self.root / "matrix.tsv"
        lines = ["\t".join(mutate.COLUMNS)]
        for index, by in enumerate(killed_by):
            row = dict.fromkeys(mutate.COLUMNS, "x") | {"identity": f"m{index}", "killed_by": by}
            lines.append("\t".join(row[c] for c in mutate.COLUMNS))
        path.write_text("\n".join(lines) + "\n", encoding="utf-8")
        return path

    def test_the_sole_killers_are_told_from_those_never_alone(self):
        path = self.matrix(["a:T1", "a:T1,b:T2", "b:T3,a:T1", ""])
        self.assertEqual(mutate.sole_killers(path), ({"a:T1": 1}, {"b:T2": 1, "b:T3": 1}))

    def test_tests_go_together_only_while_every_mutant_keeps_a_killer(self):
        # Named least, T4, T5 and T6 go first; T2 and T3 are then each the last
        # killer of a mutant, and T1 always was. A hang with no test named stays.
        path = self.matrix(["a:T1", "a:T2,b:T3", "b:T3,b:T4", "a:T2,a:T5", "b:(timeout),a:T6", ""])
        self.assertEqual(mutate.removable(path), ["a:T5", "a:T6", "b:T4"])

    def test_the_record_and_this_script_are_not_tests(self):
        before = mutate.tests_digest()
        self.write("tests/mutation/record.tsv", "rows\n")
        self.write("tests/mutate.py", "# changed\n")
        self.assertEqual(mutate.tests_digest(), before)


if __name__ == "__main__":
    unittest.main()

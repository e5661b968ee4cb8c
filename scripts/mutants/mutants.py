#!/usr/bin/env python3
"""Mutation testing of the portable core (see scripts/mutants.sh)."""
import argparse
import hashlib
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
FOLDERS = ["lib/core", "lib/hw", "lib/timing"]
# Generated register byte tables: a mutant there only changes quoted data
# (one byte of one timing record or clock slot), thousands of them, and the
# tables are checked as data by timing_defaults_test; their rows are left out.
DATA_FILES = re.compile(r"lib/timing/defaults_\w+\.cpp$")
DATA_ROW = re.compile(r"(?:[^=]*=\s*)?[\s{},]*(?:0[xX][0-9A-Fa-f]{2}[\s{},;]+){8,}")
TEST_TARGETS = ["duo_native_tests", "duo_sequence_test"]


class Interrupted(Exception):
    pass


@dataclass
class Mutant:
    path: str        # relative to the tree
    line: int
    start: int       # byte offsets into the file's text
    end: int
    replacement: str
    operator: str
    original: str

    def apply(self, text):
        return text[: self.start] + self.replacement + text[self.end:]

    def describe(self, text):
        """The lines the mutant touches, before and after, on one line each."""
        line_start = text.rfind("\n", 0, self.start) + 1
        line_end = text.find("\n", self.end)
        line_end = len(text) if line_end < 0 else line_end
        before = text[line_start:line_end]
        after = before[: self.start - line_start] + self.replacement + before[self.end - line_start:]
        return " ".join(before.split()), " ".join(after.split())


# ---------------------------------------------------------------- operators

def read_operators(path):
    ops = []
    for raw in Path(path).read_text().splitlines():
        line = raw.split("#", 1)[0].strip() if not raw.lstrip().startswith("#") else ""
        if not line:
            continue
        fields = line.split()
        kind, name, args = fields[0], fields[1], fields[2:]
        if kind not in ("swap", "literal", "drop", "guard"):
            raise SystemExit(f"{path}: unknown operator kind {kind}")
        ops.append((kind, name, args))
    if not ops:
        raise SystemExit(f"{path}: no operators")
    return ops


# ---------------------------------------------------------------- masking

def mask(text, data_rows):
    """The text with everything no operator may touch blanked out (same
    length, newlines kept): comments, string and character literals,
    preprocessor lines, static_asserts and, in data files, table rows."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    at_line_start = True
    while i < n:
        c = text[i]
        if at_line_start and c in " \t":
            i += 1
            continue
        if at_line_start and c == "#":
            j = i
            while j < n:
                e = text.find("\n", j)
                e = n if e < 0 else e
                if e > 0 and text[e - 1] == "\\":
                    j = e + 1
                    continue
                j = e
                break
            blank(i, j)
            i = j
            continue
        at_line_start = False
        if text.startswith("//", i):
            e = text.find("\n", i)
            e = n if e < 0 else e
            blank(i, e)
            i = e
        elif text.startswith("/*", i):
            e = text.find("*/", i + 2)
            e = n if e < 0 else e + 2
            blank(i, e)
            i = e
        elif c == '"' or (c == "'" and not (i > 0 and text[i - 1].isalnum())):
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            blank(i, min(j + 1, n))
            i = j + 1
        else:
            if c == "\n":
                at_line_start = True
            i += 1
    masked = "".join(out)
    for m in re.finditer(r"\bstatic_assert\b", masked):
        e = masked.find(";", m.start())
        blank(m.start(), n if e < 0 else e + 1)
    # Rows of register byte tables: in the built-in timing files every line
    # that starts with a brace, elsewhere lines of eight or more hex bytes and
    # nothing else (the chip and mode rule tables stay in).
    pos = 0
    for line in masked.split("\n"):
        if (data_rows and line.lstrip().startswith(("{", "}"))) or DATA_ROW.fullmatch(line + "\n"):
            blank(pos, pos + len(line))
        pos += len(line) + 1
    return "".join(out)


TOKEN = re.compile(r"<<=|>>=|<=>|->\*|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||[-+*/%&|^]=|::|[-+*/%<>=!&|^~?:]")
LITERAL = re.compile(r"(?<![\w.'])(0[xX][0-9A-Fa-f]+|[0-9]+)([uUlL]*)(?![\w.'])")


def matching(masked, open_pos, opener, closer):
    depth = 0
    for k in range(open_pos, len(masked)):
        if masked[k] == opener:
            depth += 1
        elif masked[k] == closer:
            depth -= 1
            if depth == 0:
                return k
    return -1


def previous_char(masked, pos):
    k = pos - 1
    while k >= 0 and masked[k] in " \t\n":
        k -= 1
    return masked[k] if k >= 0 else ";", k


def statement_starts_at(masked, pos):
    c, k = previous_char(masked, pos)
    if c in ";{}":
        return True
    if masked[max(0, k - 3): k + 1] == "else" and not (k >= 4 and masked[k - 4].isalnum()):
        return True
    if c == ")":
        # The closing parenthesis of an if/for/while condition.
        depth = 0
        for j in range(k, -1, -1):
            if masked[j] == ")":
                depth += 1
            elif masked[j] == "(":
                depth -= 1
                if depth == 0:
                    head = masked[:j].rstrip()
                    return re.search(r"\b(if|for|while)$", head) is not None
    return False


def generate(path, text, operators):
    masked = mask(text, DATA_FILES.search(path) is not None)
    mutants = []

    def line_of(pos):
        return text.count("\n", 0, pos) + 1

    def add(start, end, replacement, operator):
        mutants.append(Mutant(path, line_of(start), start, end, replacement, operator, text[start:end]))

    tokens = [(m.start(), m.group()) for m in TOKEN.finditer(masked)]
    for kind, name, args in operators:
        if kind == "swap":
            src, dst = args
            for pos, tok in tokens:
                if tok != src:
                    continue
                before = masked[pos - 1] if pos > 0 else "\n"
                after = masked[pos + len(tok)] if pos + len(tok) < len(masked) else "\n"
                if before in " \t\n" and after in " \t\n":
                    add(pos, pos + len(tok), dst, f"{name} {src} -> {dst}")
        elif kind == "literal":
            delta = int(args[0])
            for m in LITERAL.finditer(masked):
                digits, suffix = m.group(1), m.group(2)
                if len(digits) > 1 and digits.startswith("0") and not digits[1] in "xX":
                    continue  # octal: none in this code, leave alone
                value = int(digits, 0) + delta
                if value < 0:
                    continue
                if digits[:2] in ("0x", "0X"):
                    body = digits[2:]
                    new = format(value, "X" if body.upper() == body and any(ch.isalpha() for ch in body) or body.isdigit() else "x")
                    new = digits[:2] + new.zfill(len(body))
                else:
                    new = str(value)
                add(m.start(1), m.end(1), new, f"{name}")
        elif kind == "drop":
            names = "|".join(re.escape(a) for a in args)
            call = re.compile(r"(?<![\w.>:])((?:\w+(?:\.|->|::))*(?:" + names + r"))\s*\(")
            for m in call.finditer(masked):
                if not statement_starts_at(masked, m.start()):
                    continue
                close = matching(masked, m.end() - 1, "(", ")")
                if close < 0:
                    continue
                semi = close + 1
                while semi < len(masked) and masked[semi] in " \t\n":
                    semi += 1
                if semi >= len(masked) or masked[semi] != ";":
                    continue
                add(m.start(), semi + 1, "{}", f"{name} {m.group(1)}")
        elif kind == "guard":
            mode = args[0]
            for m in re.finditer(r"\bif\s*\(", masked):
                if masked[max(0, m.start() - 9): m.start()].rstrip().endswith("constexpr"):
                    continue
                open_pos = m.end() - 1
                close = matching(masked, open_pos, "(", ")")
                if close < 0:
                    continue
                body = close + 1
                while body < len(masked) and masked[body] in " \t\n":
                    body += 1
                guard = False
                if masked.startswith("return", body) and not masked[body + 6: body + 7].isalnum():
                    guard = True
                elif masked[body: body + 1] == "{":
                    end = matching(masked, body, "{", "}")
                    inner = masked[body + 1: end]
                    # A return at the block's own level.
                    depth = 0
                    for k, ch in enumerate(inner):
                        if ch == "{":
                            depth += 1
                        elif ch == "}":
                            depth -= 1
                        elif depth == 0 and inner.startswith("return", k) and not inner[k - 1: k].isalnum() \
                                and not inner[k + 6: k + 7].isalnum():
                            guard = True
                            break
                if not guard:
                    continue
                cond = text[open_pos + 1: close]
                if ";" in masked[open_pos + 1: close]:
                    continue  # an if with an initialiser
                if mode == "negate" and re.fullmatch(r"[^&|]*[=!]=[^&|=]*", masked[open_pos + 1: close]):
                    continue  # the same mutant as the comparison swap
                replacement = "false" if mode == "false" else f"!({cond})"
                add(open_pos + 1, close, replacement, name)
    # One mutant per distinct mutated text.
    seen, unique = set(), []
    for mu in sorted(mutants, key=lambda x: (x.start, x.operator)):
        key = (mu.start, mu.end, mu.replacement)
        if key in seen:
            continue
        seen.add(key)
        unique.append(mu)
    return unique


def source_files(patterns):
    files = []
    for folder in FOLDERS:
        for p in sorted((ROOT / folder).glob("*.cpp")):
            rel = p.relative_to(ROOT).as_posix()
            if rel.endswith("_win.cpp"):
                continue
            files.append(rel)
    if patterns:
        chosen = []
        for pat in patterns:
            matched = [f for f in files if re.search(pat, f)]
            # An explicit path (a header, say) is taken as given.
            if not matched and (ROOT / pat).is_file():
                matched = [pat]
            if not matched:
                raise SystemExit(f"--files {pat}: no portable source file matches")
            chosen += [m for m in matched if m not in chosen]
        files = chosen
    return files


# ---------------------------------------------------------------- the copy

def sha(data):
    return hashlib.sha256(data).hexdigest()


def sync_tree(dest):
    """Mirror the sources the native tree builds from into dest, touching
    only files whose bytes differ (so ninja rebuilds only what changed)."""
    listing = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                             capture_output=True, check=True).stdout.decode().split("\0")
    wanted = set()
    for rel in listing:
        if not rel or not (ROOT / rel).is_file():
            continue
        wanted.add(rel)
        src, dst = ROOT / rel, dest / rel
        data = src.read_bytes()
        if dst.is_file() and dst.read_bytes() == data:
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        dst.write_bytes(data)
    for p in list(dest.rglob("*")):
        if p.is_file() and p.relative_to(dest).as_posix() not in wanted:
            p.unlink()


class Worker:
    def __init__(self, base, index, cxx_flags):
        self.src = base / f"src{index}"
        self.build = base / f"build{index}"
        self.src.mkdir(parents=True, exist_ok=True)
        sync_tree(self.src)
        if not (self.build / "build.ninja").is_file():
            subprocess.run(["cmake", "-S", str(self.src), "-B", str(self.build), "-G", "Ninja",
                            "-DCMAKE_BUILD_TYPE=", f"-DCMAKE_CXX_FLAGS={cxx_flags}",
                            "-DCMAKE_EXE_LINKER_FLAGS=" + linker_flag(), "-DDUO_WERROR=OFF"],
                           check=True, stdout=subprocess.DEVNULL)
        self.pending = None  # (path, original bytes) while a mutant is in place
        # Left by a run that was killed outright: the objects may hold a
        # mutant, so every mutable source is written anew to rebuild them.
        self.marker = self.build / "mutant-in-place"
        if self.marker.exists():
            for folder in FOLDERS:
                for f in (self.src / folder).glob("*"):
                    f.write_bytes(f.read_bytes())
            self.marker.unlink()

    def place(self, path, mutated):
        self.marker.write_text(str(path))
        self.pending = (path, path.read_bytes())
        path.write_bytes(mutated)

    def restore(self):
        if self.pending is None:
            return
        path, original = self.pending
        # Written anew (fresh mtime) so the next build recompiles it.
        path.write_bytes(original)
        if path.read_bytes() != original:
            raise SystemExit(f"restore of {path} failed")
        self.pending = None
        self.marker.unlink(missing_ok=True)

    def build_tests(self, timeout, jobs=1):
        status, log = spawn(["ninja", "-C", str(self.build), f"-j{jobs}"] + TEST_TARGETS, None, timeout, capture=True)
        return status == "pass", log


def linker_flag():
    return "-fuse-ld=lld" if shutil.which("ld.lld") else ""


# Every child runs in its own process group (a Ctrl-C reaches only this
# script, which ends them itself and then restores).
ACTIVE = set()
ACTIVE_LOCK = threading.Lock()
STOP = threading.Event()


def spawn(cmd, env, timeout, capture=False):
    """('pass' | 'fail' | 'timeout', output); the child's whole process group
    is ended on a timeout or a stop (ninja is asked to stop: it runs each
    compiler in a process group of its own and waits for them)."""
    with ACTIVE_LOCK:
        if STOP.is_set():
            return "fail", "stopped"
        p = subprocess.Popen(cmd, env=env, stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
                             stderr=subprocess.STDOUT if capture else subprocess.DEVNULL, start_new_session=True)
        ACTIVE.add(p)
    try:
        out, _ = p.communicate(timeout=timeout)
        status = "pass" if p.returncode == 0 else "fail"
    except subprocess.TimeoutExpired:
        end_child(p)
        out, _ = p.communicate()
        status = "timeout"
    finally:
        with ACTIVE_LOCK:
            ACTIVE.discard(p)
    return status, (out or b"").decode(errors="replace")


def kill_group(p):
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


def end_child(p):
    if Path(p.args[0]).name == "ninja":
        p.terminate()
        try:
            p.wait(timeout=60)
            return
        except subprocess.TimeoutExpired:
            pass
    kill_group(p)


def stop_children():
    with ACTIVE_LOCK:
        STOP.set()
        running = list(ACTIVE)
    for p in running:
        end_child(p)


def run_limited(cmd, env, timeout):
    return spawn(cmd, env, timeout)[0]


def run_tests(worker, args, unit_limit, seq_limit):
    env = dict(os.environ, DUO_SEQUENCE_SECONDS=str(args.sequence_seconds))
    env.pop("DUO_SEQUENCE_STEPS", None)  # the sequence runs for its time here
    bin_dir = worker.build / "bin"
    r = run_limited([str(bin_dir / "duo_native_tests"), "--gtest_fail_fast", "--gtest_brief=1"], env, unit_limit)
    if r != "pass":
        return r
    for seed in args.sequence_seeds:
        env["DUO_SEED"] = str(seed)
        r = run_limited([str(bin_dir / "duo_sequence_test")], env, seq_limit)
        if r != "pass":
            return r
    return "pass"


# ---------------------------------------------------------------- main

def main():
    ap = argparse.ArgumentParser(prog="scripts/mutants.sh", description=__doc__)
    ap.add_argument("--sample", type=int, default=0, help="test N mutants drawn at random (0: all)")
    ap.add_argument("--seed", type=int, default=1, help="seed of the sample")
    ap.add_argument("--files", nargs="+", default=[], help="regexes over the portable source paths")
    ap.add_argument("--match", help="only mutants whose 'path:line operator' matches this regex")
    ap.add_argument("--only-survivors", metavar="REPORT",
                    help="only the mutants a previous --report lists as survived or timed out")
    ap.add_argument("--jobs", type=int, default=1, help="mutants tested side by side (one tree copy each)")
    ap.add_argument("--list", action="store_true", help="print the mutants and stop")
    ap.add_argument("--sequence-seconds", type=float, default=2)
    ap.add_argument("--sequence-seeds", type=int, nargs="+", default=[12])
    ap.add_argument("--operators", default=str(ROOT / "scripts/mutants/operators.txt"))
    ap.add_argument("--work", default=os.environ.get("DUO_MUTANTS_DIR", str(ROOT / "build-mutants")))
    ap.add_argument("--cxx-flags", default="-O1", help="compiler flags of the mutants' trees")
    ap.add_argument("--report", help="also write the summary and survivors to this file")
    args = ap.parse_args()

    operators = read_operators(args.operators)
    files = source_files(args.files)
    texts = {f: (ROOT / f).read_bytes().decode() for f in files}
    mutants = [m for f in files for m in generate(f, texts[f], operators)]
    if args.only_survivors:
        wanted = set()
        for line in Path(args.only_survivors).read_text().splitlines():
            fields = line.split("\t")
            if len(fields) == 4 and fields[0] in ("survived", "timeout"):
                wanted.add(tuple(fields[1:]))

        def key(m):
            before, after = m.describe(texts[m.path])
            return (f"{m.path}:{m.line}", m.operator, f"{before}  ->  {after}")

        mutants = [m for m in mutants if key(m) in wanted]
    if args.match:
        mutants = [m for m in mutants if re.search(args.match, f"{m.path}:{m.line} {m.operator}")]
    if args.sample and args.sample < len(mutants):
        mutants = random.Random(args.seed).sample(mutants, args.sample)
    # Grouped by file so each rebuild recompiles as little as possible.
    order = {f: i for i, f in enumerate(files)}
    mutants.sort(key=lambda m: (order[m.path], m.start, m.operator))
    if args.list:
        for m in mutants:
            before, after = m.describe(texts[m.path])
            print(f"{m.path}:{m.line}: {m.operator}: {before}  ->  {after}")
        print(f"{len(mutants)} mutants in {len(files)} files")
        return 0
    if not mutants:
        print("mutants: no mutant generated", file=sys.stderr)
        return 2

    tree_was_clean = subprocess.run(["git", "diff", "--quiet", "--"] + FOLDERS, cwd=ROOT).returncode == 0
    before_hashes = {f: sha((ROOT / f).read_bytes()) for f in files}

    def on_signal(signum, _frame):
        # Once: a second Ctrl-C must not cut the restore short.
        for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            signal.signal(s, signal.SIG_IGN)
        raise Interrupted(signal.Signals(signum).name)

    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, on_signal)

    base = Path(args.work)
    started = time.time()
    workers = []
    results = []
    lock = threading.Lock()
    status = 0
    try:
        print(f"mutants: {len(mutants)} mutants in {len(files)} files, {args.jobs} job(s), work in {base}")
        for i in range(args.jobs):
            workers.append(Worker(base, i, args.cxx_flags))
        # Baseline: the unmutated tree builds and passes, and gives the time limits.
        w0 = workers[0]
        t = time.time()
        ok, log = w0.build_tests(1800, jobs=2)
        build_time = time.time() - t
        if not ok:
            print(log[-3000:])
            raise SystemExit("mutants: the unmutated tree does not build")
        t = time.time()
        env = dict(os.environ, DUO_SEQUENCE_SECONDS=str(args.sequence_seconds))
        env.pop("DUO_SEQUENCE_STEPS", None)
        base_unit = run_limited([str(w0.build / "bin/duo_native_tests")], env, 600)
        unit_time = time.time() - t
        t = time.time()
        base_seq = "pass"
        for seed in args.sequence_seeds:
            env["DUO_SEED"] = str(seed)
            base_seq = base_seq if base_seq != "pass" else run_limited([str(w0.build / "bin/duo_sequence_test")], env, 600)
        seq_time = (time.time() - t) / len(args.sequence_seeds)
        if base_unit != "pass" or base_seq != "pass":
            raise SystemExit(f"mutants: the unmutated tree fails its tests (unit {base_unit}, sequence {base_seq})")
        for w in workers[1:]:
            if not w.build_tests(1800)[0]:
                raise SystemExit("mutants: a worker tree does not build")
        unit_limit = max(10.0, 4 * unit_time + 5)
        seq_limit = max(10.0, 3 * seq_time + 5)
        print(f"mutants: baseline build {build_time:.0f} s, unit {unit_time:.1f} s, sequence {seq_time:.1f} s per seed; "
              f"limits {unit_limit:.0f} s and {seq_limit:.0f} s", flush=True)

        queue = list(mutants)
        failure = []

        def work(w):
            try:
                while True:
                    with lock:
                        if not queue or failure or STOP.is_set():
                            return
                        m = queue.pop(0)
                    target = w.src / m.path
                    original = target.read_bytes()
                    if sha(original) != before_hashes[m.path]:
                        raise SystemExit(f"{target} differs from the tree before mutation")
                    w.place(target, m.apply(texts[m.path]).encode())
                    ok, log = w.build_tests(600)
                    if ok and f"{Path(m.path).name}.o" not in log:
                        raise SystemExit(f"mutants: the build did not recompile {m.path}; the mutant was not applied")
                    outcome = "stillborn" if not ok else \
                        {"pass": "survived", "fail": "killed", "timeout": "timeout"}[run_tests(w, args, unit_limit, seq_limit)]
                    w.restore()
                    if STOP.is_set():
                        return
                    with lock:
                        results.append((m, outcome))
                        done = len(results)
                        if outcome == "survived" or done % 25 == 0 or done == len(mutants):
                            before, after = m.describe(texts[m.path])
                            k = sum(1 for _, o in results if o == "killed")
                            print(f"[{done}/{len(mutants)} {time.time() - started:.0f} s, {k} killed] "
                                  f"{outcome}: {m.path}:{m.line} {m.operator}: {before} -> {after}", flush=True)
            except BaseException as e:  # noqa: BLE001 - handed to the main thread
                with lock:
                    failure.append(e)

        threads = [threading.Thread(target=work, args=(w,)) for w in workers]
        for th in threads:
            th.start()
        try:
            while any(th.is_alive() for th in threads):
                for th in threads:
                    th.join(0.2)
        finally:
            # On a signal: end the children and let each worker put its file back.
            if any(th.is_alive() for th in threads):
                stop_children()
                for th in threads:
                    th.join()
        if failure:
            raise failure[0]
    except Interrupted as e:
        print(f"\nmutants: interrupted ({e}); restoring", file=sys.stderr)
        status = 130
    except SystemExit as e:
        print(e, file=sys.stderr)
        status = 2
    finally:
        for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            signal.signal(s, signal.SIG_IGN)
        for w in workers:
            try:
                w.restore()
            except SystemExit as e:
                print(e, file=sys.stderr)
                status = 3
        # The copies are back as the tree, and the tree itself never changed.
        for w in workers:
            for f in files:
                if sha((w.src / f).read_bytes()) != before_hashes[f]:
                    print(f"mutants: {w.src / f} not restored", file=sys.stderr)
                    status = 3
        for f in files:
            if sha((ROOT / f).read_bytes()) != before_hashes[f]:
                print(f"mutants: {f} changed during the run", file=sys.stderr)
                status = 3
        if tree_was_clean and subprocess.run(["git", "diff", "--quiet", "--"] + FOLDERS, cwd=ROOT).returncode != 0:
            print("mutants: lib/ is no longer clean (git diff)", file=sys.stderr)
            status = 3

    counts = {k: sum(1 for _, o in results if o == k) for k in ("killed", "survived", "timeout", "stillborn")}
    live = counts["killed"] + counts["survived"] + counts["timeout"]
    score = 100.0 * counts["killed"] / live if live else 0.0
    lines = [f"mutants: {len(results)} tested of {len(mutants)}; killed {counts['killed']}, "
             f"survived {counts['survived']}, timeout {counts['timeout']}, stillborn {counts['stillborn']}",
             f"mutants: score {score:.1f} % (killed of the {live} that built; timeouts not counted as killed), "
             f"{time.time() - started:.0f} s"]
    survivors = sorted((m for m, o in results if o == "survived"), key=lambda m: (m.path, m.line))
    if survivors:
        lines.append("survivors:")
        for m in survivors:
            before, after = m.describe(texts[m.path])
            lines.append(f"  {m.path}:{m.line}: {m.operator}: {before}  ->  {after}")
    timeouts = [m for m, o in results if o == "timeout"]
    for m in timeouts:
        before, after = m.describe(texts[m.path])
        lines.append(f"  timeout {m.path}:{m.line}: {m.operator}: {before}  ->  {after}")
    print("\n".join(lines))
    if args.report:
        every = []
        for m, o in sorted(results, key=lambda r: (r[0].path, r[0].start, r[0].operator)):
            before, after = m.describe(texts[m.path])
            every.append(f"{o}\t{m.path}:{m.line}\t{m.operator}\t{before}  ->  {after}")
        Path(args.report).write_text("\n".join(lines) + "\n\nevery mutant:\n" + "\n".join(every) + "\n")
    if status == 0 and len(results) != len(mutants):
        status = 2
    if status == 0 and counts["killed"] == 0:
        print("mutants: no mutant was killed; the mutants do not reach the tests", file=sys.stderr)
        status = 2
    return status


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Mutation sample: how many single-token faults in src/ does the C++ suite catch?

Used to show that trimming or reshaping tests keeps their fault-finding: run the
same mutant set against two revisions of the tests and compare.

    python3 scripts/mutate.py run --rev <commit> --label before [--count 240] [--jobs 4]
    python3 scripts/mutate.py run --rev <commit> --label after --mutants-from before \
        [--discarded-from before] [--max-id N]
    python3 scripts/mutate.py run --rev <commit> --label recheck --mutants-from before --only 3,17
    python3 scripts/mutate.py compare before after [--survivors]

What it does
  * Sites: every token of a chosen kind in the library's compiled sources
    (src/fendro/**/*.cpp except the Python binding, plus headers that at most
    8 objects include, so that a mutant rebuilds a handful of objects), with
    comments, string/char literals and preprocessor lines blanked out first.
    Kinds: arithmetic (` + ` <-> ` - `, ` * ` <-> ` / `, and the compound
    assignments), comparison (` < ` <-> ` <= `, ` > ` <-> ` >= `, ` == ` <->
    ` != `), off-by-one (an integer literal n -> n+1 or n-1) and constant (a
    floating literal x -> 2x, or 0 -> 1).
  * A fixed seed picks --count sites at random; the list depends only on src/,
    so two runs on revisions with the same src/ get the same mutants (checked:
    the src tree id is recorded).
  * The revision is exported with `git archive` into /tmp/fendro_mut/<label>/,
    never into a worktree. Each worker has its own copy, mounted in a private
    mount namespace at the one path /tmp/fendro_mut/tree, so that every copy
    and the compiler cache see identical paths and a mutant rebuilds only the
    objects that include the mutated file, then relinks.
  * Per mutant: apply, rebuild (-j1, nice'd); a compile failure is discarded;
    a mutant whose rebuilt objects are byte-identical to the unmutated ones is
    discarded as not compiled (dead or equivalent); otherwise ctest runs with a
    per-test timeout and the mutant is killed (any failure or timeout) or
    survived. The file is restored afterwards.
  * Results: /tmp/fendro_mut/<label>.jsonl (one line per mutant) and a summary;
    `compare` lists mutants killed by one run and not the other.
Needs root (mount namespaces) and `source /work/wt/env.sh` for ccache.
"""
import argparse
import hashlib
import json
import os
import random
import re
import shutil
import subprocess
import sys
import time

ROOT = "/tmp/fendro_mut"
TREE = ROOT + "/tree"
SEED = 13
MAX_HEADER_DEPENDENTS = 8


def sh(cmd, cwd=None, timeout=None, check=True):
    r = subprocess.run(cmd, shell=True, cwd=cwd, timeout=timeout,
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if check and r.returncode != 0:
        raise SystemExit(f"failed: {cmd}\n{r.stdout[-4000:]}")
    return r


def blank_non_code(text):
    """Same length as text; comments, string/char literals and # lines become blanks."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            j = text.find("\n", i)
            j = n if j < 0 else j
            while j > 0 and text[j - 1] == "\\" and j < n:  # continued directive
                k = text.find("\n", j + 1)
                j = n if k < 0 else k
            blank(i, j)
            i = j
            continue
        if c == "\n":
            line_start = True
            i += 1
            continue
        if not c.isspace():
            line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            k = text.find("(", i)
            delim = text[i + 2:k]
            j = text.find(")" + delim + '"', k)
            j = n if j < 0 else j + len(delim) + 2
            blank(i, j)
            i = j
        elif c in "\"'":
            if c == "'" and 0 < i < n - 1 and text[i - 1].isdigit() and text[i + 1].isalnum():  # digit separator 1'000
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            blank(i, j)
            i = j
        else:
            i += 1
    return "".join(out)


SWAPS = {
    " + ": ("arithmetic", " - "), " - ": ("arithmetic", " + "),
    " * ": ("arithmetic", " / "), " / ": ("arithmetic", " * "),
    " += ": ("arithmetic", " -= "), " -= ": ("arithmetic", " += "),
    " *= ": ("arithmetic", " /= "), " /= ": ("arithmetic", " *= "),
    " < ": ("comparison", " <= "), " <= ": ("comparison", " < "),
    " > ": ("comparison", " >= "), " >= ": ("comparison", " > "),
    " == ": ("comparison", " != "), " != ": ("comparison", " == "),
}
OP_RE = re.compile(r"(?<=[\w\)\]]) (\+=|-=|\*=|/=|<=|>=|==|!=|\+|-|\*|/|<|>) (?=[\w\(\-!.])")
NUM_RE = re.compile(r"(?<![\w.'])(\d+\.\d*(?:[eE][+-]?\d+)?|\d+[eE][+-]?\d+|\d+)([uUlLfF]*)(?![\w.'])")


def sites_in(path, rel):
    text = open(path, encoding="utf-8").read()
    code = blank_non_code(text)
    found = []
    for m in OP_RE.finditer(code):
        tok = " " + m.group(1) + " "
        kind, new = SWAPS[tok]
        found.append((rel, m.start(), tok, new, kind))
    for m in NUM_RE.finditer(code):
        lit, suffix = m.group(1), m.group(2)
        if "." in lit or "e" in lit or "E" in lit:
            v = float(lit)
            new = "1.0" if v == 0 else repr(v * 2)
            if "e" not in new and "." not in new:
                new += ".0"
            found.append((rel, m.start(), lit + suffix, new + suffix, "constant"))
        else:
            v = int(lit)
            found.append((rel, m.start(), lit + suffix, str(v + 1) + suffix, "off_by_one"))
            if v >= 1:
                found.append((rel, m.start(), lit + suffix, str(v - 1) + suffix, "off_by_one"))
    return found


def ninja_deps(build):
    """object -> list of absolute dependency paths, from ninja's deps log."""
    out = sh(f"ninja -C {build} -t deps").stdout
    deps, cur = {}, None
    for line in out.splitlines():
        if not line.strip():
            continue
        if not line.startswith(" "):
            cur = line.split(":")[0]
            deps[cur] = []
        elif cur:
            p = line.strip()
            deps[cur].append(os.path.normpath(os.path.join(build, p)))
    return deps


def file_hash(p):
    return hashlib.sha256(open(p, "rb").read()).hexdigest()


def line_of(text, pos):
    return text.count("\n", 0, pos) + 1


def in_namespace(copy, inner):
    """Runs inner (shell) with copy mounted at TREE in a private mount namespace."""
    return (f"unshare -m --propagation private sh -c "
            f"'mount --bind {copy} {TREE} && {inner}'")


def prepare(args):
    base = f"{ROOT}/{args.label}"
    shutil.rmtree(base, ignore_errors=True)
    os.makedirs(base + "/w0")
    os.makedirs(TREE, exist_ok=True)
    src_id = sh(f"git rev-parse {args.rev}:src").stdout.strip()
    sh(f"git archive {args.rev} | tar -x -C {base}/w0")
    configure = (f"cd {TREE} && cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "
                 f"-DFENDRO_BUILD_BENCH=OFF >/dev/null && nice cmake --build build -j4 >/dev/null "
                 f"&& ctest --test-dir build -j4 >/dev/null")
    sh(in_namespace(f"{base}/w0", configure))
    for w in range(1, args.jobs):
        sh(f"cp -a {base}/w0 {base}/w{w}")
    return base, src_id


def choose_mutants(tree, deps, count):
    header_users = {}
    for obj, ds in deps.items():
        for d in ds:
            header_users.setdefault(d, []).append(obj)
    files = []
    for dirpath, _, names in os.walk(tree + "/src/fendro"):
        if "/module/python" in dirpath:
            continue
        for name in sorted(names):
            p = os.path.join(dirpath, name)
            if name.endswith(".cpp") and header_users.get(p):
                files.append(p)
            elif name.endswith(".hpp") and 0 < len(header_users.get(p, [])) <= MAX_HEADER_DEPENDENTS:
                files.append(p)
    files.sort()
    sites = []
    for p in files:
        sites.extend(sites_in(p, os.path.relpath(p, tree)))
    rng = random.Random(SEED)
    picked = rng.sample(sites, count)
    mutants = []
    for i, (rel, pos, old, new, kind) in enumerate(picked):
        text = open(os.path.join(tree, rel), encoding="utf-8").read()
        mutants.append({"id": i, "file": rel, "pos": pos, "line": line_of(text, pos),
                        "kind": kind, "old": old, "new": new})
    return mutants, len(sites), len(files)


def worker(args):
    """Runs inside the namespace: TREE is this worker's copy."""
    mutants = json.load(open(args.mutants))
    build = TREE + "/build"
    deps = ninja_deps(build)
    users = {}
    for obj, ds in deps.items():
        for d in ds:
            users.setdefault(d, []).append(os.path.join(build, obj))
    base_hash = {}
    out = open(args.out, "a")
    for m in mutants:
        if m["id"] % args.jobs != args.worker:
            continue
        path = os.path.join(TREE, m["file"])
        objs = users.get(path, [])
        for o in objs:
            base_hash.setdefault(o, file_hash(o))
        original = open(path, encoding="utf-8").read()
        assert original[m["pos"]:m["pos"] + len(m["old"])] == m["old"], m
        mutated = original[:m["pos"]] + m["new"] + original[m["pos"] + len(m["old"]):]
        t0 = time.time()
        try:
            open(path, "w", encoding="utf-8").write(mutated)
            b = sh(f"nice -n 10 ninja -C {build} -j1", check=False, timeout=900)
            if b.returncode != 0:
                status = "compile_error"
            elif all(file_hash(o) == base_hash[o] for o in objs):
                status = "not_compiled"
            else:
                try:
                    t = sh(f"nice -n 10 ctest --test-dir {build} -j1 --timeout 60", check=False, timeout=600)
                    status = "killed" if t.returncode != 0 else "survived"
                    if status == "killed":
                        m["failed"] = re.findall(r"\d+ - (\w+) \(", t.stdout)
                except subprocess.TimeoutExpired:
                    status = "killed"
                    m["failed"] = ["timeout"]
        finally:
            open(path, "w", encoding="utf-8").write(original)
        m["status"] = status
        m["seconds"] = round(time.time() - t0, 1)
        out.write(json.dumps(m) + "\n")
        out.flush()
    # Leave the copy consistent with the unmutated source.
    sh(f"nice -n 10 ninja -C {build} -j1", check=False)


def summarize(rows):
    counts = {}
    for r in rows:
        counts[r["status"]] = counts.get(r["status"], 0) + 1
    valid = counts.get("killed", 0) + counts.get("survived", 0)
    return counts, valid


def run(args):
    args.rev = sh(f"git rev-parse {args.rev}").stdout.strip()  # fixed before anything is built
    base, src_id = prepare(args)
    deps = ninja_deps(f"{base}/w0/build")
    # deps were recorded under TREE; read sources from the worker copy at the same relative path
    deps = {o: [d.replace(f"{base}/w0", TREE) for d in ds] for o, ds in deps.items()}
    mutants, nsites, nfiles = choose_mutants_from_copy(base + "/w0", deps, args.count)
    if args.mutants_from:
        # The eligible headers are those few objects include, tests among them,
        # so a change of the tests could move the sample: take the earlier list.
        mutants = json.load(open(f"{ROOT}/{args.mutants_from}/mutants.json"))
    if args.max_id is not None:
        mutants = [m for m in mutants if m["id"] < args.max_id]
    if args.only:
        wanted = {int(i) for i in args.only.split(",")}
        mutants = [m for m in mutants if m["id"] in wanted]
    out = f"{ROOT}/{args.label}.jsonl"
    if os.path.exists(out):
        os.remove(out)
    if args.discarded_from:
        # Whether a mutant compiles and changes an object depends on src/ only:
        # take those verdicts from an earlier run over the same mutants.
        earlier = {r["id"]: r for r in map(json.loads, open(f"{ROOT}/{args.discarded_from}.jsonl"))}
        keep = []
        with open(out, "w") as f:
            for m in mutants:
                r = earlier[m["id"]]
                assert (r["file"], r["pos"], r["old"], r["new"]) == (m["file"], m["pos"], m["old"], m["new"])
                if r["status"] in ("compile_error", "not_compiled"):
                    f.write(json.dumps(dict(m, status=r["status"], seconds=0.0)) + "\n")
                else:
                    keep.append(m)
        mutants = keep
    mpath = f"{base}/mutants.json"
    json.dump(mutants, open(mpath, "w"))
    procs = []
    me = os.path.abspath(__file__)
    for w in range(args.jobs):
        inner = (f"python3 {me} worker --mutants {mpath} --out {out} "
                 f"--worker {w} --jobs {args.jobs}")
        procs.append(subprocess.Popen(in_namespace(f"{base}/w{w}", inner), shell=True))
    for p in procs:
        p.wait()
    rows = [json.loads(l) for l in open(out)]
    counts, valid = summarize(rows)
    summary = {"label": args.label, "rev": sh(f"git rev-parse {args.rev}").stdout.strip(),
               "src_tree": src_id, "seed": SEED, "sites": nsites, "files": nfiles,
               "mutants": len(rows), "counts": counts, "valid": valid}
    json.dump(summary, open(f"{ROOT}/{args.label}.summary.json", "w"), indent=1)
    print(json.dumps(summary, indent=1))


def choose_mutants_from_copy(copy, deps, count):
    # deps name files under TREE; the copy holds the same files under `copy`
    mapped = {o: [d.replace(TREE, copy) for d in ds] for o, ds in deps.items()}
    return choose_mutants(copy, mapped, count)


def compare(args):
    a = {r["id"]: r for r in map(json.loads, open(f"{ROOT}/{args.a}.jsonl"))}
    b = {r["id"]: r for r in map(json.loads, open(f"{ROOT}/{args.b}.jsonl"))}
    def summary(label):
        p = f"{ROOT}/{label}.summary.json"
        return json.load(open(p)) if os.path.exists(p) else None  # none while a run goes on
    sa, sb = summary(args.a), summary(args.b)
    if sa and sb and sa["src_tree"] != sb["src_tree"]:
        sys.exit("the two runs mutated different sources")
    common = sorted(set(a) & set(b))
    print(f"mutants run by both: {len(common)} (ids {common[0]}..{common[-1]})")
    for name, rows in ((args.a, a), (args.b, b)):
        counts, valid = summarize([rows[i] for i in common])
        print(name, counts, "valid", valid)
    for i in common:
        ra, rb = a[i], b[i]
        if ra["status"] != rb["status"]:
            print(f"#{i} {ra['file']}:{ra['line']} {ra['old']!r}->{ra['new']!r}: "
                  f"{args.a}={ra['status']} {args.b}={rb['status']}")
    if args.survivors:
        for i in common:
            if b[i]["status"] == "survived":
                r = b[i]
                print(f"survived #{i} {r['file']}:{r['line']} {r['kind']} {r['old']!r}->{r['new']!r}")


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = p.add_subparsers(dest="cmd", required=True)
    r = sub.add_parser("run")
    r.add_argument("--rev", required=True)
    r.add_argument("--label", required=True)
    r.add_argument("--count", type=int, default=240)
    r.add_argument("--jobs", type=int, default=4)
    r.add_argument("--max-id", type=int, help="run only the mutants numbered below this")
    r.add_argument("--only", help="comma-separated mutant numbers to run (a re-check)")
    r.add_argument("--mutants-from", help="label of an earlier run whose mutant list is reused")
    r.add_argument("--discarded-from", help="label of an earlier run whose compile failures and "
                   "unchanged objects are taken as they are")
    w = sub.add_parser("worker")
    w.add_argument("--mutants", required=True)
    w.add_argument("--out", required=True)
    w.add_argument("--worker", type=int, required=True)
    w.add_argument("--jobs", type=int, required=True)
    c = sub.add_parser("compare")
    c.add_argument("a")
    c.add_argument("b")
    c.add_argument("--survivors", action="store_true")
    args = p.parse_args()
    {"run": run, "worker": worker, "compare": compare}[args.cmd](args)


if __name__ == "__main__":
    main()

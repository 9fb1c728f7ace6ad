"""Prints the benchmark table of scripts/bench.sh from the JSON results.

Usage: bench_table.py RESULTS_FOLDER SIZE_MB...
Throughputs are the medians of the repetitions (wall clock). A ratio is the
other side's time over ours, for the same work: the same export set, or for
the OBJ readers the same geometry, compared per byte of each one's own file
and per record (point or face) read. Memory ratios are peak resident memory
over what the work holds. Exits 1 when a target is missed.
"""
import json
import os
import sys

KINDS = [("shaped", "shaped"), ("uniform", "uniform +-1000")]

# (label, program, our benchmark, other benchmark or None, unit, target of ours in MB/s, target ratio)
SPEED = [
    ("Write", "bench_write", "Write", None, "MB/s", 2000.0, None),
    ("  on 1 thread", "bench_write", "WriteOneThread", None, "MB/s", None, None),
    ("  on 2 threads", "bench_write", "WriteTwoThreads", None, "MB/s", None, None),
    ("  2 threads vs 1", "bench_write", "WriteTwoThreads", "WriteOneThread", "bytes", None, None),
    ("  vs fprintf", "bench_write", "Write", "WriteReference", "bytes", None, 20.0),
    ("  vs std::to_chars", "bench_write", "Write", "WriteToChars", "bytes", None, None),
    ("Read", "bench_read", "Read", None, "MB/s", 2000.0, None),
    ("  on 1 thread", "bench_read", "ReadOneThread", None, "MB/s", None, None),
    ("  on 2 threads", "bench_read", "ReadTwoThreads", None, "MB/s", None, None),
    ("  2 threads vs 1", "bench_read", "ReadTwoThreads", "ReadOneThread", "bytes", None, None),
    ("  vs fgetc, atoi, atof", "bench_read", "Read", "ReadReference", "bytes", None, None),
    ("  vs block tokeniser, from_chars", "bench_read", "Read", "ReadFromChars", "bytes", None, None),
    ("  vs tinyobjloader on OBJ, per byte", "bench_read", "Read", "ReadTinyObj", "bytes", None, None),
    ("  vs tinyobjloader on OBJ, per record", "bench_read", "Read", "ReadTinyObj", "items", None, None),
    ("  vs assimp on OBJ, per byte", "bench_read", "Read", "ReadAssimpObj", "bytes", None, None),
    ("  vs assimp on OBJ, per record", "bench_read", "Read", "ReadAssimpObj", "items", None, None),
]
# (label, program, ours, reference): measured on the shaped set only.
SHAPED_ONLY = [
    ("Tokeniser::NextToken vs fgetc", "bench_tokeniser", "NextToken", "NextTokenReference"),
    ("BlockTokeniser::NextToken vs fgetc", "bench_tokeniser", "BlockNextToken", "NextTokenReference"),
]
EXPORT = ("CollectScene+Write, 1M triangles", "bench_export", "CollectSceneWrite", "CollectSceneWriteReference")
# (label, benchmark, target)
MEMORY = [
    ("Read: peak / export set", "ReadPeak", 1.10),
    ("Export, patch objects: peak / (host data + set)", "ExportPeak", 1.10),
    ("Export, 1M triangles: peak / (host data + set)", "ExportConvertedPeak", 1.10),
]


def load(folder, program, mb):
    path = os.path.join(folder, f"{program}-{mb}.json")
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return json.load(f)["benchmarks"]


def median(benchmarks, name):
    """The median row of the benchmark called name (with its argument, as
    "Read/shaped"), or its only row without repetitions."""
    def plain_name(b):
        parts = [p for p in b.get("run_name", "").split("/") if p != "real_time" and not p.startswith("iterations:")]
        return "/".join(parts)

    rows = [b for b in benchmarks if plain_name(b) == name]
    for b in rows:
        if b.get("aggregate_name") == "median":
            return b
    plain = [b for b in rows if b.get("run_type") == "iteration"]
    return plain[0] if plain else None


failed = False


def verdict(ok):
    global failed
    failed = failed or not ok
    return "ok" if ok else "MISSED"


def cell(benchmarks, kind, ours_name, other_name, unit, target_mbps, target_ratio):
    """One measurement and its verdict, or None when a result is missing."""
    ours = median(benchmarks, f"{ours_name}/{kind}")
    if not ours:
        return None
    if other_name is None:
        value = ours.get("bytes_per_second", 0.0) / 1e6
        return f"{value:7.0f} MB/s", (value >= target_mbps) if target_mbps else None
    other = median(benchmarks, f"{other_name}/{kind}")
    if not other:
        return None
    key = "bytes_per_second" if unit == "bytes" else "items_per_second"
    ratio = ours.get(key, 0.0) / other[key] if other.get(key) else 0.0
    return f"{ratio:7.2f}x   ", (ratio >= target_ratio) if target_ratio else None


def main():
    folder, sizes = sys.argv[1], sys.argv[2:]
    for mb in sizes:
        print(f"\nExport sets of {mb} MB of patch text (medians; a ratio is the other's time over ours)")
        print(f"  {'':<40}" + "".join(f"{title:>18}" for _, title in KINDS) + "   target")
        for label, program, ours, other, unit, target_mbps, target_ratio in SPEED:
            benchmarks = load(folder, program, mb)
            cells, verdicts = [], []
            for kind, _ in KINDS:
                result = cell(benchmarks, kind, ours, other, unit, target_mbps, target_ratio)
                if result is None:
                    cells.append(f"{'(no result)':>18}")
                    verdicts.append(False)
                    continue
                text, ok = result
                cells.append(f"{text:>18}")
                if ok is not None:
                    verdicts.append(ok)
            goal = f">= {target_mbps:g} MB/s" if target_mbps else (f">= {target_ratio:g}x" if target_ratio else "")
            judged = " ".join(verdict(ok) for ok in verdicts) if (target_mbps or target_ratio) else ""
            print(f"  {label:<40}" + "".join(cells) + f"   {goal} {judged}")
        if mb == sizes[0]:
            for label, program, ours, reference in SHAPED_ONLY + [EXPORT]:
                benchmarks = load(folder, program, mb)
                a, b = median(benchmarks, ours), median(benchmarks, reference)
                if not a or not b:
                    print(f"  {label:<40}{'(no result)':>18}")
                    continue
                print(f"  {label:<40}{b['real_time'] / a['real_time']:14.2f}x   "
                      f"({a.get('bytes_per_second', 0.0) / 1e6:.0f} MB/s)")
        print(f"\nExport set of {mb} MB: peak resident memory")
        memory = load(folder, "bench_memory", mb)
        for label, name, target in MEMORY:
            row = median(memory, name)
            if not row or "ratio" not in row:
                print(f"  {label:<50} (no result)")
                verdict(False)
                continue
            held = row.get("set_MB", 0.0) + row.get("host_MB", 0.0)
            ok = verdict(row["ratio"] <= target)
            peak = f"(peak {row['peak_MB']:.0f} MB, held {held:.0f} MB)"
            print(f"  {label:<50} {row['ratio']:5.2f}  {peak}  <= {target:g}  {ok}")
    print()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

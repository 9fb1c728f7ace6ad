"""Prints the benchmark table of scripts/bench.sh from the JSON results.

Usage: bench_table.py RESULTS_FOLDER SIZE_MB...
Throughput ratios are reference time / our time, from the medians of the
repetitions (wall clock; the CPU-time ratio beside it). Memory ratios are
peak resident memory over what the work holds. Exits 1 when a target is
missed.
"""
import json
import os
import sys

# (label, program, our benchmark, reference benchmark, target ratio)
SPEED = [
    ("Write", "bench_write", "Write", "WriteReference", 5.0),
    ("Read", "bench_read", "Read", "ReadReference", 5.0),
    ("Tokeniser::NextToken", "bench_tokeniser", "NextToken", "NextTokenReference", None),
    ("BlockTokeniser::NextToken", "bench_tokeniser", "BlockNextToken", "NextTokenReference", None),
]
EXPORT = ("CollectScene+Write, 1M triangles", "bench_export", "CollectSceneWrite", "CollectSceneWriteReference", None)
# (label, benchmark, target)
MEMORY = [
    ("Read: peak / export set", "ReadPeak", 1.25),
    ("Export, patch objects: peak / (host data + set)", "ExportPeak", 1.10),
    ("Export, 1M triangles: peak / (host data + set)", "ExportConvertedPeak", 1.10),
]


def load(folder, program, mb):
    path = os.path.join(folder, f"{program}-{mb}.json")
    if not os.path.exists(path):
        return None
    with open(path) as f:
        return json.load(f)["benchmarks"]


def median(benchmarks, name):
    """The median row of name/real_time, or its only row without repetitions."""
    rows = [b for b in benchmarks if b.get("run_name", "").split("/")[0] == name]
    for b in rows:
        if b.get("aggregate_name") == "median":
            return b
    plain = [b for b in rows if b.get("run_type") == "iteration"]
    return plain[0] if plain else None


def mbps(row):
    return row.get("bytes_per_second", 0.0) / 1e6


failed = False


def verdict(ok):
    global failed
    if ok is None:
        return ""
    failed = failed or not ok
    return "ok" if ok else "MISSED"


def speed_line(label, benchmarks, ours_name, ref_name, target):
    ours = median(benchmarks, ours_name) if benchmarks else None
    ref = median(benchmarks, ref_name) if benchmarks else None
    if not ours or not ref:
        print(f"  {label:<34} (no result)")
        return verdict(False)
    ratio = ref["real_time"] / ours["real_time"]
    cpu_ratio = ref["cpu_time"] / ours["cpu_time"] if ours["cpu_time"] > 0 else 0.0
    goal = f">= {target:g}x" if target else ""
    ok = verdict(ratio >= target) if target else ""
    print(f"  {label:<34} {mbps(ours):8.0f} MB/s {mbps(ref):8.0f} MB/s {ratio:6.2f}x {cpu_ratio:6.2f}x  {goal:<7} {ok}")


def main():
    folder, sizes = sys.argv[1], sys.argv[2:]
    header = f"  {'':<34} {'ours':>13} {'reference':>13} {'ratio':>7} {'(cpu)':>7}  target"
    for mb in sizes:
        print(f"\nExport set of {mb} MB of patch text: throughput (medians, ratio = reference time / our time)")
        print(header)
        for label, program, ours, ref, target in SPEED:
            speed_line(label, load(folder, program, mb), ours, ref, target)
        if mb == sizes[0]:
            label, program, ours, ref, target = EXPORT
            speed_line(label, load(folder, program, mb), ours, ref, target)
        print(f"\nExport set of {mb} MB: peak resident memory")
        memory = load(folder, "bench_memory", mb) or []
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

#!/usr/bin/env python3
"""The batch export over a folder of models (default: every model of
assimp-testmodels): wall time with --jobs 1 and with --jobs 2, the median of
some runs each, taken in turns. The two runs' outputs and reports are first
checked to be identical, byte for byte and record for record."""
import argparse
import filecmp
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def run_batch(host, models, out, jobs):
    report = out + ".json"
    shutil.rmtree(out, ignore_errors=True)
    start = time.perf_counter()
    done = subprocess.run([host, "export", models, "-o", out, "--jobs", str(jobs), "--report", report],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    seconds = time.perf_counter() - start
    if done.returncode not in (0, 2):
        sys.exit(f"batch_export: the batch with --jobs {jobs} exited {done.returncode}")
    with open(report) as f:
        records = json.load(f)
    return seconds, records, done.stdout


def same_outputs(first, second):
    """Whether two output folders hold the same files with the same bytes."""
    compared = filecmp.dircmp(first, second)
    pending = [compared]
    while pending:
        d = pending.pop()
        if d.left_only or d.right_only or d.funny_files:
            return False
        _, mismatch, errors = filecmp.cmpfiles(d.left, d.right, d.common_files, shallow=False)
        if mismatch or errors:
            return False
        pending.extend(d.subdirs.values())
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("host", help="the ferrule-host program")
    parser.add_argument("--models", default="/usr/share/assimp/models")
    parser.add_argument("--repeats", type=int, default=3)
    args = parser.parse_args()

    scratch = tempfile.mkdtemp(prefix="ferrule-batch-bench-")
    try:
        times = {1: [], 2: []}
        summary = ""
        for repeat in range(args.repeats):
            outputs = {}
            for jobs in ((1, 2) if repeat % 2 == 0 else (2, 1)):
                out = os.path.join(scratch, f"jobs{jobs}")
                seconds, records, summary = run_batch(args.host, args.models, out, jobs)
                times[jobs].append(seconds)
                outputs[jobs] = (out, [(r["input"], r["status"], r["patches"]) for r in records])
            if outputs[1][1] != outputs[2][1] or not same_outputs(outputs[1][0], outputs[2][0]):
                sys.exit("batch_export: --jobs 1 and --jobs 2 wrote different outputs")
        count = len(outputs[1][1])
        one, two = statistics.median(times[1]), statistics.median(times[2])
        print(f"Batch export of {count} files ({args.models}), medians of {args.repeats} runs")
        print(f"  --jobs 1   {one:7.2f} s")
        print(f"  --jobs 2   {two:7.2f} s   ({one / two:.2f}x)")
        print(summary.rstrip())
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()

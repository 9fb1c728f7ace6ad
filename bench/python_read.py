#!/usr/bin/env python3
"""Times gantline.read against the C++ PatchIO::Read of the same file.

    python_read.py BENCH_READ_FILE [--mb 40] [--repeats 5] [--target 1.2]

BENCH_READ_FILE is the built bench_read_file program, which writes the
generated export set (GANTLINE_BENCH_MB megabytes of patch text) and times
the C++ read; the gantline module must be importable (PYTHONPATH at the
build's python folder). The two sides take turns, reading the file
`repeats` times each, and keep their fastest read (on the Python side with
every object's arrays made); both must read the same number of records.
Both read a file on every core, through the same library call. Prints the ratio Python time / C++ time and exits 1 when it is above the
target (--target 0 only checks that both read alike)."""
import argparse
import gc
import os
import subprocess
import sys
import tempfile
import time

import gantline
import numpy  # noqa: F401  numpy loads with the first array; here, outside the timings


def records(s):
    return sum(len(o.verts) + len(o.vecs) + len(o.patches) for o in s.patch_objects) + len(s.cameras)


def arrays(s):
    return [(o.verts, o.vecs, o.patches) for o in s.patch_objects]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("program")
    parser.add_argument("--mb", type=float, default=40)
    parser.add_argument("--repeats", type=int, default=5)
    parser.add_argument("--target", type=float, default=1.2)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "generated.txt")
        env = dict(os.environ, GANTLINE_BENCH_MB=str(args.mb))
        subprocess.run([args.program, "write", path], env=env, check=True)
        # Turn about, one read each, so that a machine that gets busier or
        # quieter slows both alike.
        cpp_seconds, python_seconds, read = float("inf"), float("inf"), None
        for _ in range(args.repeats):
            timed = subprocess.run([args.program, "time", path, "1"], check=True, capture_output=True,
                                   text=True).stdout.split()
            cpp_seconds, cpp_records = min(cpp_seconds, float(timed[0])), int(timed[1])
            read = None
            gc.collect()
            start = time.perf_counter()
            read = gantline.read(path)
            arrays(read)
            python_seconds = min(python_seconds, time.perf_counter() - start)
        size = os.path.getsize(path) / 1e6

    if records(read) != cpp_records:
        print(f"python_read: gantline.read gave {records(read)} records, PatchIO::Read {cpp_records}", file=sys.stderr)
        return 1
    ratio = python_seconds / cpp_seconds
    print(f"{size:.1f} MB, {cpp_records} records: PatchIO::Read {cpp_seconds * 1e3:.1f} ms, "
          f"gantline.read {python_seconds * 1e3:.1f} ms, ratio {ratio:.3f}"
          + (f" (target <= {args.target})" if args.target > 0 else ""))
    return 1 if args.target > 0 and ratio > args.target else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The page of patchtext view for a large model: its size, the time to write it, and the time headless chromium
(software WebGL) takes to open it, against the page of a six-patch box. Not a test: it prints what it measured.

    view_page.py PATCHTEXT FERRULE_HOST [MODEL] [--runs N]

MODEL is any scene that ferrule-host exports (default: the COLLADA duck of assimp-testmodels, 2,160 patches).
"""
import argparse
import os
import re
import statistics
import subprocess
import tempfile
import time

BOX = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "box.obj")  # six patches


def chromium(page, profile):
    """Seconds until chromium has loaded page and exited, and the page's own milliseconds until it was ready."""
    start = time.perf_counter()
    dom = subprocess.run(["chromium", "--headless=new", "--no-sandbox", "--disable-gpu", "--use-angle=swiftshader",
                          "--enable-unsafe-swiftshader", "--host-resolver-rules=MAP * ~NOTFOUND",
                          "--user-data-dir=" + profile, "--window-size=1024,768", "--dump-dom", "file://" + page],
                         capture_output=True, text=True, timeout=600).stdout
    seconds = time.perf_counter() - start
    ready = re.search(r'data-ready-ms="(\d+)"', dom)
    return seconds, int(ready.group(1)) if ready else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("patchtext")
    parser.add_argument("host")
    parser.add_argument("model", nargs="?", default="/usr/share/assimp/models/Collada/duck.dae")
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    work = tempfile.mkdtemp()
    txt, small = os.path.join(work, "model.txt"), os.path.join(work, "small.txt")
    subprocess.run([args.host, "export", args.model, "-o", txt, "--no-open"], check=True, capture_output=True)
    subprocess.run([args.host, "export", BOX, "-o", small, "--no-open"], check=True, capture_output=True)
    profile = os.path.join(work, "profile")
    for steps in (4, 8):
        page, base = os.path.join(work, "model.html"), os.path.join(work, "small.html")
        start = time.perf_counter()
        subprocess.run([args.patchtext, "view", txt, "-o", page, "--no-open", "--steps", str(steps)], check=True,
                       capture_output=True)
        write = time.perf_counter() - start
        subprocess.run([args.patchtext, "view", small, "-o", base, "--no-open"], check=True, capture_output=True)
        runs = [(chromium(page, profile), chromium(base, profile)) for _ in range(args.runs)]
        opened = statistics.median(m[0] - b[0] for m, b in runs)
        ready = statistics.median(m[1] - b[1] for m, b in runs if m[1] is not None and b[1] is not None)
        print("%s, --steps %d: page %.1f MB (of it %.1f MB three.js and the page), written in %.2f s; "
              "chromium opens it in %.2f s more than the box's page, ready %d ms later (medians of %d)"
              % (os.path.basename(args.model), steps, os.path.getsize(page) / 1e6, os.path.getsize(base) / 1e6,
                 write, opened, ready, args.runs))


if __name__ == "__main__":
    main()

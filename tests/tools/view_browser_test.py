#!/usr/bin/env python3
"""The pages of patchtext view in a real browser: Debian's chromium, headless, with software WebGL and no
network. Loads the pages of the default scene, the teapot, a closed box and the COLLADA duck; reads the info
panel from the DOM; checks screenshots by pixel statistics; fails on any error the page reports.

    view_browser_test.py PATCHTEXT FERRULE_HOST PROJECT_DIR WORK_DIR

Exits 77 (skipped) where chromium is missing, unless CI is set in the environment.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import zlib

import numpy as np

WIDTH, HEIGHT = 800, 600
PANEL_RIGHT = 330  # the info panel covers the view left of this
BACKGROUND = np.array([0x7d, 0x87, 0x96])
DUCK = "/usr/share/assimp/models/Collada/duck.dae"
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def run(*command):
    result = subprocess.run(command, capture_output=True, text=True, timeout=300)
    if result.returncode != 0:
        sys.exit("failed (%d): %s\n%s" % (result.returncode, " ".join(command), result.stderr))
    return result.stdout


def chromium(browser, work, url, *what):
    """Runs headless chromium on url with what it should do (--dump-dom, --screenshot=...)."""
    command = [browser, "--headless=new", "--no-sandbox", "--disable-gpu", "--use-angle=swiftshader",
               "--enable-unsafe-swiftshader", "--host-resolver-rules=MAP * ~NOTFOUND", "--hide-scrollbars",
               "--user-data-dir=" + os.path.join(work, "profile"), "--window-size=%d,%d" % (WIDTH, HEIGHT),
               "--virtual-time-budget=60000", *what, url]
    result = subprocess.run(command, capture_output=True, text=True, timeout=300)
    if result.returncode != 0:
        sys.exit("chromium failed (%d):\n%s" % (result.returncode, result.stderr[-3000:]))
    return result.stdout


def read_png(path):
    """The RGB pixels of an 8-bit, non-interlaced PNG (what chromium's screenshots are)."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    assert depth == 8 and interlace == 0 and colour in (2, 6), (depth, colour, interlace)
    bpp = 3 if colour == 2 else 4
    raw = np.frombuffer(zlib.decompress(idat), dtype=np.uint8).reshape(height, 1 + width * bpp)
    out = np.zeros((height, width * bpp), dtype=np.int32)
    previous = np.zeros(width * bpp, dtype=np.int32)
    for y in range(height):
        kind, row = raw[y, 0], raw[y, 1:].astype(np.int32)
        if kind == 0:
            line = row
        elif kind == 1:
            line = np.cumsum(row.reshape(width, bpp), axis=0).reshape(-1) % 256
        elif kind == 2:
            line = (row + previous) % 256
        else:
            line = row.copy()
            for x in range(width * bpp):
                a = line[x - bpp] if x >= bpp else 0
                b, c = previous[x], (previous[x - bpp] if x >= bpp else 0)
                if kind == 3:
                    line[x] = (line[x] + (a + b) // 2) % 256
                else:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) % 256
        out[y], previous = line, line
    return out.reshape(height, width, bpp)[:, :, :3]


def view_region(pixels):
    return pixels[:, PANEL_RIGHT:, :]


def covered(pixels):
    """The share of the view (right of the panel) that is not background."""
    region = view_region(pixels)
    return float(np.mean(np.abs(region - BACKGROUND).max(axis=2) > 12))


def red(pixels):
    region = view_region(pixels)
    return int(np.sum((region[:, :, 0] >= 200) & (region[:, :, 1] <= 60) & (region[:, :, 2] <= 60)))


def panel(dom):
    """The info panel's words: the counts, per object details, the errors and the status."""
    text = lambda html: re.sub(r"<[^>]+>", "", html).strip()
    counts = [text(item) for item in re.findall(r"<li>(.*?)</li>", dom)]
    objects = [text(item) for item in re.findall(r'<div class="detail">(.*?)</div>', dom)]
    errors = re.search(r'<pre id="errors">(.*?)</pre>', dom, re.S)
    status = re.search(r'<div id="status"[^>]*>(.*?)</div>', dom)
    return counts, objects, text(errors.group(1)) if errors else "no error element", status and status.group(1)


def main():
    patchtext, host, project, work = sys.argv[1:5]
    browser = shutil.which("chromium")
    if not browser:
        if os.environ.get("CI"):
            sys.exit("chromium is missing (scripts/install-deps.sh installs it)")
        print("chromium is missing: skipped")
        return 77
    os.makedirs(work, exist_ok=True)
    files = {"scene": [], "teapot": [os.path.join(project, "data", "teapot.bpt")],
             "box": [os.path.join(project, "data", "box.obj")], "duck": [DUCK]}
    pages = {}
    for name, source in files.items():
        txt = os.path.join(work, name + ".txt")
        run(host, "export", *source, "-o", txt, "--no-open")
        pages[name] = os.path.join(work, name + ".html")
        run(patchtext, "view", txt, "-o", pages[name], "--no-open")

    expected = {
        "scene": ["2 patch objects", "38 patches (0 triangular, 38 quadrilateral)", "2 cameras", "24 open edges"],
        "teapot": ["1 patch object", "32 patches (0 triangular, 32 quadrilateral)", "0 cameras", "24 open edges"],
        "box": ["1 patch object", "6 patches (0 triangular, 6 quadrilateral)", "0 cameras", "0 open edges"],
        "duck": ["1 patch object", None, "1 camera", None],
    }
    shots, panels = {}, {}
    for name, page in pages.items():
        counts, details, errors, status = panels[name] = panel(chromium(browser, work, "file://" + page, "--dump-dom"))
        check(status == "ready", "%s: the page says ready (%s)" % (name, status))
        check(errors == "", "%s: no error on the page (%s)" % (name, errors[:300]))
        check(len(counts) == 4, "%s: four counts in the panel %s" % (name, counts))
        for want, got in zip(expected[name], counts):
            if want:
                check(got == want, "%s: %r in the panel (%r)" % (name, want, got))
        check(any(d.startswith("box (") for d in details), "%s: an object's bounding box in the panel" % name)
        shot = os.path.join(work, name + ".png")
        chromium(browser, work, "file://" + page, "--screenshot=" + shot)
        shots[name] = read_png(shot)
    duck_counts = panels["duck"][0]
    check(re.fullmatch(r"2160 patches \(\d+ triangular, \d+ quadrilateral\)", duck_counts[1]) is not None,
          "duck: 2160 patches (%s)" % duck_counts[1])

    for name in pages:
        share = covered(shots[name])
        check(share > 0.2, "%s: the surface covers the view (%.0f%%)" % (name, 100 * share))
    check(red(shots["scene"]) > 50, "scene: red open edges drawn (%d pixels)" % red(shots["scene"]))
    check(red(shots["teapot"]) > 50, "teapot: red open edges drawn (%d pixels)" % red(shots["teapot"]))
    check(red(shots["box"]) == 0, "box: no red on a closed surface (%d pixels)" % red(shots["box"]))

    through = os.path.join(work, "scene_camera1.png")
    chromium(browser, work, "file://" + pages["scene"] + "#camera=1", "--screenshot=" + through)
    changed = float(np.mean(np.abs(read_png(through) - shots["scene"]).max(axis=2) > 24))
    check(changed > 0.05, "scene: #camera=1 changes the view (%.0f%% of pixels)" % (100 * changed))
    dom = chromium(browser, work, "file://" + pages["scene"] + "#camera=1", "--dump-dom")
    check('<button class="chosen">camera 1</button>' in dom, "scene: #camera=1 chooses camera 1 in the list")

    with_net = os.path.join(work, "teapot_net.png")
    chromium(browser, work, "file://" + pages["teapot"] + "#net", "--screenshot=" + with_net)
    net = read_png(with_net)
    green = lambda p: int(np.sum((p[:, :, 1] > p[:, :, 0] + 40) & (p[:, :, 1] > p[:, :, 2] + 40)))
    check(green(net) > 100 and green(shots["teapot"]) == 0,
          "teapot: #net draws the control net (%d green pixels, %d without)" % (green(net), green(shots["teapot"])))

    # The error check itself: a page whose model does not parse shows the error.
    broken = os.path.join(work, "broken.html")
    html = open(pages["teapot"], encoding="utf-8").read().replace('id="model">{', 'id="model">{]', 1)
    open(broken, "w", encoding="utf-8").write(html)
    errors = panel(chromium(browser, work, "file://" + broken, "--dump-dom"))[2]
    check(errors.startswith("error:"), "a broken page reports its error (%s)" % errors[:100])

    if failures:
        print("%d checks failed" % len(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

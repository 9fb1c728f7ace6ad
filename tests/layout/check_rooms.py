#!/usr/bin/env python3
"""Checks the tree against the README's Layout table: every #include of a
room's sources names the room itself, a room its row allows, or no room at
all (the standard library, the libraries the room was built on, generated
headers). Exits 1 naming each include that runs the wrong way."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
readme = (root / "README.md").read_text(encoding="utf-8")
layout = readme[readme.index("## Layout"):]

rooms = []    # in table order
allowed = {}  # room -> the rooms it may use
for line in layout.splitlines():
    row = re.match(r"\| `([a-z]+)/` \|[^|]*\| ([^|]*) \|$", line)
    if not row:
        continue
    room, uses = row.group(1), row.group(2)
    if "every room above" in uses:
        allowed[room] = set(rooms)
    else:
        allowed[room] = set(re.findall(r"`([a-z]+)/`", uses))
    rooms.append(room)

if len(rooms) < 10:
    print(f"check_rooms: the Layout table names only {rooms}", file=sys.stderr)
    sys.exit(1)

wrong = []
for room in rooms:
    folder = root / room
    if not folder.is_dir():
        wrong.append(f"{room}/: the table names a room the tree does not have")
        continue
    for source in sorted(folder.rglob("*")):
        if source.suffix not in (".h", ".cpp", ".rc"):
            continue
        for number, text in enumerate(source.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            include = re.match(r'\s*#\s*include\s+"([a-z]+)/', text)
            if not include:
                continue
            used = include.group(1)
            if used in allowed and used != room and used not in allowed[room]:
                wrong.append(f"{source.relative_to(root)}:{number}: {room}/ uses {used}/, which its row does not allow")

for line in wrong:
    print(line, file=sys.stderr)
if wrong:
    sys.exit(1)
print(f"{len(rooms)} rooms, every include runs the way the Layout table says")

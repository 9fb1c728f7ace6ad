"""Reading, writing and read failures, against the C++ writer's golden files
and patchtext check's messages."""
import subprocess

import numpy as np
import pytest

import gantline


@pytest.mark.parametrize("name", ["empty_set.txt", "mixed_objects.txt", "worked_example.txt"])
def test_read_then_write_gives_the_same_bytes(golden, tmp_path, name):
    out = tmp_path / name
    gantline.write(gantline.read(golden / name), out)
    assert out.read_bytes() == (golden / name).read_bytes()


def test_a_set_built_from_arrays_writes_as_the_cpp_writer(golden, tmp_path):
    read = gantline.read(str(golden / "mixed_objects.txt"))
    built = gantline.ExportSet(
        patch_objects=[
            gantline.PatchObject(verts=o.verts.copy(), vecs=o.vecs.copy(), patches=o.patches.copy())
            for o in read.patch_objects
        ],
        cameras=read.cameras.copy(),
    )
    assert built.patch_objects == read.patch_objects
    gantline.write(built, tmp_path / "built.txt")
    assert (tmp_path / "built.txt").read_bytes() == (golden / "mixed_objects.txt").read_bytes()


def test_read_fills_the_lists(golden):
    s = gantline.read(golden / "worked_example.txt")
    (o,) = s.patch_objects
    assert o.verts.dtype == np.float32 and o.verts.shape == (3, 3)
    assert o.vecs.shape == (9, 3)
    assert o.patches.dtype == np.int32
    assert o.patches.tolist() == [[3, 0, 1, 2, -1, 0, 1, 2, 3, 4, 5, -1, -1, 6, 7, 8, -1, -1, -1, -1, -1]]
    assert s.cameras.dtype == np.float32
    assert s.cameras.tolist() == [[[0, -200, 50.5], [0, 0, 0]]]


GOOD = (
    "VERSION\t1.10\nPATCHOBJECTS\t1\nPATCHOBJECT 0\n\tNUMVERTS 0\n\tNUMVECS 0\n\tNUMPATCHES 1\n"
    "\t\tPATCH 0\n\t\t\tSIDES 4\n\t\t\tVERTS -1 -1 -1 -1 \n\t\t\tVECS -1 -1 -1 -1 -1 -1 -1 -1 \n"
    "\t\t\tINTERIOR -1 -1 -1 -1 \n\t\t\tADJACENT -1 -1 -1 -1 \nNUMCAMERAS 0\n"
)


@pytest.mark.parametrize(
    "text",
    [
        GOOD.replace("SIDES 4", "SIDES 5"),
        GOOD.replace("PATCHOBJECTS", "PATCHOBJECT"),
        GOOD.replace("VERSION", "VERSIONS"),
        GOOD[: GOOD.index("ADJACENT")],
        GOOD.replace("NUMCAMERAS 0\n", "NUMCAMERAS"),
        GOOD.replace("PATCH 0", "PATCH\xe9 0"),
    ],
    ids=["sides", "keyword", "first-token", "end", "end-without-line-end", "not-ascii"],
)
def test_read_error_says_what_patchtext_check_says(tmp_path, patchtext, text):
    path = tmp_path / "broken.txt"
    path.write_bytes(text.encode("latin-1"))
    with pytest.raises(gantline.ReadError) as caught:
        gantline.read(path)
    error = caught.value
    check = subprocess.run([patchtext, "check", str(path)], capture_output=True, text=True, errors="replace")
    assert check.returncode != 0
    place, reason = check.stderr.splitlines()[0].split(": error: ", 1)
    assert place == f"{path}:{error.line}:{error.column}"
    assert reason == error.reason
    assert str(error) == f"{path}:{error.line}:{error.column}: {error.reason}"
    assert error.expected and error.expected in reason
    assert error.path == str(path)
    assert isinstance(error, ValueError)


def test_read_error_keeps_the_token_found(tmp_path):
    path = tmp_path / "broken.txt"
    path.write_text(GOOD.replace("SIDES 4", "SIDES 5"))
    with pytest.raises(gantline.ReadError) as caught:
        gantline.read(path)
    assert (caught.value.line, caught.value.column, caught.value.found) == (8, 10, "5")
    assert caught.value.expected == "3 or 4 sides"


def test_a_missing_file_is_file_not_found(tmp_path):
    with pytest.raises(FileNotFoundError) as caught:
        gantline.read(tmp_path / "missing.txt")
    assert caught.value.filename == str(tmp_path / "missing.txt")


def test_a_file_in_a_missing_folder_is_not_written(tmp_path):
    with pytest.raises(FileNotFoundError) as caught:
        gantline.write(gantline.ExportSet(), tmp_path / "no" / "such" / "folder.txt")
    assert caught.value.filename == str(tmp_path / "no" / "such" / "folder.txt")


def test_help_explains_the_module():
    assert "Example:" in gantline.__doc__
    for name in ("read", "write", "tessellate", "PatchObject", "ExportSet", "ReadError"):
        assert getattr(gantline, name).__doc__

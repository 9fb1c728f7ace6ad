"""gantline.validate: the format library's validator on sets read from files
and built or edited as arrays, with patchtext check's messages."""
import subprocess

import numpy as np
import pytest

import gantline


@pytest.mark.parametrize("name", ["empty_set.txt", "worked_example.txt"])
def test_sound_golden_files_have_no_finding(golden, name):
    assert gantline.validate(gantline.read(golden / name)) == []


def edited(golden, edit):
    scene = gantline.read(golden / "worked_example.txt")
    edit(scene.patch_objects[0], scene.cameras)
    return gantline.validate(scene)


def set_vert_slot(o, c):
    o.patches[0, 3] = 7  # VERTS slot 2


def set_sides(o, c):
    o.patches[0, 0] = 5


def set_nan_vertex(o, c):
    o.verts[1, 0] = np.nan


def set_infinite_target(o, c):
    c[0, 1, 2] = np.inf


def set_self_neighbour(o, c):
    o.patches[0, 18] = 0  # ADJACENT slot 1


@pytest.mark.parametrize(
    "edit, where, message",
    [
        (set_vert_slot, (0, 0, -1, "verts", 2, -1), "patch object 0, patch 0: VERTS slot 2 is 7, outside the 3 vertices"),
        (set_sides, (0, 0, -1, "sides", -1, -1), "patch object 0, patch 0: SIDES is 5, not 3 or 4"),
        (set_nan_vertex, (0, -1, -1, "vertex", 1, 0), "patch object 0, vertex 1: x is not a number"),
        (set_infinite_target, (-1, -1, 0, "target", -1, 2), "camera 0: target z is infinite"),
        (set_self_neighbour, (0, 0, -1, "adjacent", 1, -1),
         "patch object 0, patch 0: ADJACENT slot 1 names the patch itself as its neighbour"),
    ],
)
def test_each_finding_says_where_and_what(golden, edit, where, message):
    found = edited(golden, edit)
    assert found, "nothing found"
    f = found[0]
    assert (f.object, f.patch, f.camera, f.field, f.slot, f.axis) == where
    assert f.message == message
    assert str(f) == message


def test_findings_are_what_patchtext_check_warns(golden, tmp_path, patchtext):
    scene = gantline.read(golden / "worked_example.txt")
    scene.patch_objects[0].patches[0, 9] = -9  # VECS slot 5
    scene.patch_objects[0].vecs[2, 1] = np.inf
    gantline.write(scene, tmp_path / "bad.txt")
    check = subprocess.run([patchtext, "check", str(tmp_path / "bad.txt")], capture_output=True, text=True)
    for f in gantline.validate(gantline.read(tmp_path / "bad.txt")):
        assert "warning: " + f.message + "\n" in check.stderr


def test_only_patch_objects_are_validated():
    with pytest.raises(TypeError):
        gantline.validate(gantline.ExportSet(patch_objects=[1]))
    with pytest.raises(TypeError):
        gantline.validate("teapot.txt")


def test_most_stops_after_that_many(golden):
    scene = gantline.read(golden / "worked_example.txt")
    scene.patch_objects[0].patches[0, 1:17] = 99
    everything = gantline.validate(scene)
    assert len(everything) > 3
    assert [f.message for f in gantline.validate(scene, most=3)] == [f.message for f in everything[:3]]
    assert gantline.validate(scene, most=0) == []
    assert len(gantline.validate(scene, most=10_000)) == len(everything)
    with pytest.raises(ValueError):
        gantline.validate(scene, most=-1)
    with pytest.raises(TypeError):
        gantline.validate(scene, most="3")

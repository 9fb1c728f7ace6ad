"""The arrays are views of the records, and what builds records is checked."""
import gc

import numpy as np
import pytest

import gantline

ROW = [4, 0, 1, 2, 3] + list(range(8)) + [-1] * 8


def square():
    return gantline.PatchObject(
        verts=[[0, 0, 0], [1, 0, 0], [1, 1, 0], [0, 1, 0]], vecs=np.zeros((8, 3)), patches=[ROW]
    )


@pytest.mark.parametrize("name", ["verts", "vecs", "patches"])
def test_lists_are_views_of_the_object(name):
    o = square()
    first, second = getattr(o, name), getattr(o, name)
    assert np.shares_memory(first, second)
    assert not first.flags.owndata and first.base is o
    first[0, 1] = 7
    assert getattr(o, name)[0, 1] == 7


def test_a_view_keeps_its_object_alive(golden):
    cameras = gantline.read(golden / "mixed_objects.txt").cameras
    verts = gantline.read(golden / "mixed_objects.txt").patch_objects[0].verts
    gc.collect()
    assert verts[0].tolist() == pytest.approx([-2.5, 0.1, 0.0])
    assert cameras[1, 0].tolist() == [1.5, -2.25, 3.0]


def test_edits_through_views_are_written(golden, tmp_path):
    s = gantline.read(golden / "worked_example.txt")
    s.patch_objects[0].verts *= 2
    s.cameras[0, 1] = (1, 2, 3)
    gantline.write(s, tmp_path / "edited.txt")
    again = gantline.read(tmp_path / "edited.txt")
    assert again.patch_objects[0].verts[1].tolist() == [20, 0, 0]
    assert again.cameras[0, 1].tolist() == [1, 2, 3]


def test_construction_copies_and_converts():
    verts = np.arange(12, dtype=np.float64).reshape(4, 3)
    o = gantline.PatchObject(verts=verts, patches=np.array([ROW], dtype=np.int64))
    assert o.verts.dtype == np.float32 and o.verts.tolist() == verts.tolist()
    assert not np.shares_memory(o.verts, verts)
    assert o.vecs.shape == (0, 3) and o.patches.dtype == np.int32


def test_cameras_of_the_right_kind_are_kept_as_given():
    cameras = np.zeros((2, 2, 3), np.float32)
    assert gantline.ExportSet(cameras=cameras).cameras is cameras
    assert gantline.ExportSet().cameras.shape == (0, 2, 3)


@pytest.mark.parametrize(
    "arguments, error",
    [
        (dict(verts=np.zeros((4, 2))), ValueError),
        (dict(verts=np.zeros(12)), ValueError),
        (dict(verts=np.zeros((4, 3), bool)), TypeError),
        (dict(vecs=[["a", "b", "c"]]), TypeError),
        (dict(patches=np.zeros((1, 21), bool)), TypeError),
        (dict(patches=np.full((1, 21), 4.5)), ValueError),
        (dict(patches=np.zeros((1, 20), np.int32)), ValueError),
        (dict(patches=[[5] + ROW[1:]]), ValueError),
        (dict(patches=[ROW[:20] + [2**31]]), OverflowError),
    ],
    ids=["verts-2-columns", "verts-flat", "verts-bool", "vecs-text", "patches-bool", "patches-half", "patches-20",
         "sides-5",
         "beyond-int32"],
)
def test_wrong_arrays_are_refused(arguments, error):
    with pytest.raises(error):
        gantline.PatchObject(**arguments)


@pytest.mark.parametrize(
    "cameras, error",
    [(np.zeros((1, 3, 3)), ValueError), (np.zeros((2, 3)), ValueError), (np.array([[["x"] * 3] * 2]), TypeError)],
    ids=["three-points", "flat", "text"],
)
def test_wrong_cameras_are_refused(cameras, error):
    with pytest.raises(error):
        gantline.ExportSet(cameras=cameras)


def test_assigning_keeps_the_length_and_kind():
    o = square()
    with pytest.raises(ValueError):
        o.verts = np.zeros((5, 3))
    with pytest.raises(ValueError, match="not an integer"):
        o.patches = o.patches * 0.5
    o.verts = np.ones((4, 3))
    assert o.verts.sum() == 12


def test_only_patch_objects_are_written(tmp_path):
    with pytest.raises(TypeError, match="PatchObject"):
        gantline.write(gantline.ExportSet(patch_objects=["not one"]), tmp_path / "x.txt")


def test_large_arrays_of_other_kinds_are_converted_whole():
    # Larger than the allocator's heap blocks: a conversion freed too early
    # would be unmapped under the copy.
    rng = np.random.default_rng(5)
    verts = rng.uniform(-1000, 1000, (200_000, 3))            # float64
    patches = np.full((50_000, 21), -1, np.int32)            # int32, read as int64
    patches[:, 0] = 4
    patches[:, 1:5] = rng.integers(0, len(verts), (len(patches), 4))
    o = gantline.PatchObject(verts=verts, vecs=verts[:10], patches=patches)
    assert np.array_equal(o.verts, verts.astype(np.float32))
    assert np.array_equal(o.patches, patches)

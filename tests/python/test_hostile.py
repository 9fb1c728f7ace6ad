"""The module as a hostile user meets it: every dtype, order, stride and size
of array, objects that were never built, Ctrl-C in the middle of long work,
and paths that cannot be read or written."""
import copy
import errno
import io
import mmap
import os
import pickle
import signal
import socket
import subprocess
import sys
import threading

import numpy as np
import pytest

import gantline

REALS = [np.float16, np.float32, np.float64, np.longdouble]
INTEGERS = [np.int8, np.int16, np.int32, np.int64, np.uint8, np.uint16, np.uint32, np.uint64]
LAYOUTS = ["C", "F", "every-other-row", "reversed", "column-slice", "transposed"]
SIZES = [0, 1, 100]
BIG = 1_000_000
ROW = [4, 0, 1, 2, 3] + list(range(8)) + [-1] * 8


def laid_out(a, layout):
    """The same values as a, held in memory the given way."""
    if layout == "C":
        return np.ascontiguousarray(a)
    if layout == "F":
        return np.asfortranarray(a)
    if layout == "every-other-row":
        wide = np.repeat(a, 2, axis=0)
        return wide[::2]
    if layout == "reversed":
        return np.ascontiguousarray(a[::-1])[::-1]
    if layout == "column-slice":
        wide = np.repeat(a, 2, axis=-1)
        return wide[..., ::2]
    if layout == "transposed":
        axes = tuple(reversed(range(a.ndim)))
        return np.ascontiguousarray(a.transpose(axes)).transpose(axes)
    raise AssertionError(layout)


def values(dtype, shape, rng):
    """Values across dtype's range (reals also beyond float32's)."""
    if np.issubdtype(dtype, np.integer):
        info = np.iinfo(dtype)
        return rng.integers(info.min, info.max, size=shape, dtype=dtype, endpoint=True)
    a = rng.normal(size=shape).astype(dtype) * 1000
    if a.size >= 4:
        a.flat[:4] = [-0.0, 1e-40, 3.4e38, np.finfo(dtype).max]
    return a


def indices(dtype, rows, rng):
    """(rows, 21) patch rows of dtype: sides 3 or 4, indices across what
    both dtype and 32 bits hold."""
    if np.issubdtype(dtype, np.integer):
        info = np.iinfo(dtype)
        low, high = max(info.min, -(2**31)), min(info.max, 2**31 - 1)
    else:
        low, high = (-2048, 2048) if dtype == np.float16 else (-(2**24), 2**24)
    a = rng.integers(low, high, size=(rows, 21), endpoint=True)
    a[:, 0] = rng.choice([3, 4], size=rows)
    if rows >= 2 and np.issubdtype(dtype, np.signedinteger) and np.iinfo(dtype).bits >= 32:
        a[1, 1:3] = [-(2**31), 2**31 - 1]
    return a.astype(dtype)


def same(got, expected):
    assert got.shape == expected.shape and got.dtype == expected.dtype
    assert np.array_equal(got, expected, equal_nan=True)


def conversion_cases():
    for dtype in REALS + INTEGERS:
        for layout in LAYOUTS:
            for size in SIZES:
                yield pytest.param(dtype, layout, size, id=f"{np.dtype(dtype).name}-{layout}-{size}")
    for dtype in (np.float64, np.int64, np.uint32):
        for layout in ("F", "every-other-row"):
            yield pytest.param(dtype, layout, BIG, id=f"{np.dtype(dtype).name}-{layout}-1M")


@pytest.mark.parametrize("dtype, layout, size", conversion_cases())
@pytest.mark.parametrize("name", ["verts", "vecs"])
def test_points_convert_as_numpy_does(name, dtype, layout, size):
    a = laid_out(values(dtype, (size, 3), np.random.default_rng(size)), layout)
    with np.errstate(over="ignore"):
        expected = np.asarray(a, dtype=np.float32)
        built = gantline.PatchObject(**{name: a})
        same(getattr(built, name), expected)
        assigned = gantline.PatchObject(**{name: np.zeros((size, 3))})
        setattr(assigned, name, a)
    same(getattr(assigned, name), expected)


@pytest.mark.parametrize("dtype, layout, size", conversion_cases())
def test_patches_convert_as_numpy_does(dtype, layout, size):
    a = laid_out(indices(dtype, size, np.random.default_rng(size)), layout)
    expected = np.asarray(a, dtype=np.int32)
    assert np.array_equal(expected, a)
    same(gantline.PatchObject(patches=a).patches, expected)
    assigned = gantline.PatchObject(patches=np.full((size, 21), 3))
    assigned.patches = a
    same(assigned.patches, expected)


@pytest.mark.parametrize("dtype, layout, size", conversion_cases())
def test_cameras_convert_as_numpy_does(dtype, layout, size):
    a = laid_out(values(dtype, (size, 2, 3), np.random.default_rng(size)), layout)
    with np.errstate(over="ignore"):
        expected = np.asarray(a, dtype=np.float32)
        same(gantline.ExportSet(cameras=a).cameras, expected)
        s = gantline.ExportSet()
        s.cameras = a
    same(s.cameras, expected)
    assert s.cameras.flags.c_contiguous


def test_the_objects_read_build_again(golden):
    for t in gantline.read(golden / "mixed_objects.txt").patch_objects:
        assert gantline.PatchObject(verts=t.verts, vecs=t.vecs, patches=t.patches) == t


def test_converted_rows_write_as_the_same_file(golden, tmp_path):
    s = gantline.read(golden / "mixed_objects.txt")
    again = gantline.ExportSet(
        patch_objects=[
            gantline.PatchObject(
                verts=np.asfortranarray(o.verts.astype(np.float64)),
                vecs=o.vecs.astype(np.longdouble)[::-1][::-1],
                patches=np.asfortranarray(o.patches.astype(np.int64)),
            )
            for o in s.patch_objects
        ],
        cameras=s.cameras.astype(np.float64).transpose(2, 1, 0).copy().transpose(2, 1, 0),
    )
    assert gantline.dumps(again) == (golden / "mixed_objects.txt").read_bytes()


def bad_row(column, value):
    rows = np.array([ROW] * 4, np.int64)
    rows[2, column] = value
    return rows


REFUSED = [
    ("verts", np.zeros((4, 2)), ValueError, r"verts must have shape \(n, 3\), not \(4, 2\)"),
    ("verts", np.zeros(12), ValueError, r"verts must have shape"),
    ("verts", np.float64(1.0), ValueError, r"verts must have shape"),
    ("vecs", np.zeros((2, 3, 1)), ValueError, r"vecs must have shape"),
    ("verts", np.zeros((4, 3), bool), TypeError, r"verts must hold real numbers, not bool"),
    ("verts", np.zeros((4, 3), complex), TypeError, r"verts must hold real numbers"),
    ("vecs", [["a", "b", "c"]], TypeError, r"vecs must hold real numbers"),
    ("verts", [[1, 2, 3], [1, 2]], TypeError, r"verts is not an array"),
    ("verts", np.array([[object(), 1, 2]]), TypeError, r"verts does not convert"),
    ("patches", np.zeros((1, 20), np.int32), ValueError, r"patches must have shape \(n, 21\)"),
    ("patches", np.zeros((1, 21), bool), TypeError, r"patches must hold integers"),
    ("patches", bad_row(0, 5), ValueError, r"patches\[2, 0\]: sides is 5, not 3 or 4"),
    ("patches", bad_row(7, 2**32 + 4), OverflowError, r"patches\[2, 7\] is 4294967300, outside 32-bit"),
    ("patches", bad_row(20, -(2**31) - 1), OverflowError, r"patches\[2, 20\] is -2147483649"),
    ("patches", np.abs(bad_row(3, 2**31)).astype(np.uint64), OverflowError, r"patches\[2, 3\] is 2147483648"),
    ("patches", np.abs(bad_row(3, 0)).astype(np.uint64) + np.uint64(2**63), OverflowError, r"patches\[0, 0\]"),
    ("patches", bad_row(5, 0).astype(float) + 0.5, ValueError, r"patches\[0, 0\] is 4.5, not an integer"),
    ("patches", bad_row(5, 0).astype(float) * np.where(bad_row(5, -7) == -7, np.nan, 1), ValueError,
     r"patches\[2, 5\] is nan"),
    ("patches", bad_row(6, 3e9).astype(float), OverflowError, r"patches\[2, 6\] is 3000000000.0"),
]


@pytest.mark.parametrize("name, value, error, message", REFUSED)
def test_wrong_arrays_are_refused_in_both_ways(name, value, error, message):
    with pytest.raises(error, match=message):
        gantline.PatchObject(**{name: value})
    o = gantline.PatchObject(verts=np.zeros((4, 3)), vecs=np.zeros((4, 3)), patches=[ROW] * 4)
    before = getattr(o, name).copy()
    with pytest.raises((error, ValueError), match=name):
        setattr(o, name, value)
    same(getattr(o, name), before)


@pytest.mark.parametrize(
    "value, error, message",
    [
        (np.zeros((1, 3, 3)), ValueError, r"cameras must have shape \(n, 2, 3\)"),
        (np.zeros((2, 3)), ValueError, r"cameras must have shape"),
        (np.array([[["x"] * 3] * 2]), TypeError, r"cameras must hold real numbers"),
        (np.zeros((1, 2, 3), complex), TypeError, r"cameras must hold real numbers"),
    ],
)
def test_wrong_cameras_are_refused_in_both_ways(value, error, message):
    with pytest.raises(error, match=message):
        gantline.ExportSet(cameras=value)
    s = gantline.ExportSet()
    with pytest.raises(error, match=message):
        s.cameras = value


def test_assigning_another_length_is_refused():
    o = gantline.PatchObject(verts=np.zeros((4, 3)))
    with pytest.raises(ValueError, match="verts takes 4 rows, not 5"):
        o.verts = np.ones((5, 3))
    assert o.verts.sum() == 0


UNBUILT_OBJECT = [
    ("repr", lambda o: repr(o)),
    ("verts", lambda o: o.verts),
    ("vecs", lambda o: o.vecs),
    ("patches", lambda o: o.patches),
    ("set-verts", lambda o: setattr(o, "verts", np.zeros((0, 3)))),
    ("set-patches", lambda o: setattr(o, "patches", np.zeros((0, 21)))),
    ("equal", lambda o: o == gantline.PatchObject()),
    ("equal-right", lambda o: gantline.PatchObject() == o),
    ("tessellate", lambda o: gantline.tessellate(o)),
    ("in-a-set", lambda o: gantline.ExportSet(patch_objects=[o])),
    ("pickle", lambda o: pickle.dumps(o)),
    ("copy", lambda o: copy.copy(o)),
    ("deepcopy", lambda o: copy.deepcopy(o)),
]


def unbuilt_patch_object():
    return gantline.PatchObject.__new__(gantline.PatchObject)


def failed_patch_object():
    o = gantline.PatchObject.__new__(gantline.PatchObject)
    with pytest.raises(ValueError):
        o.__init__(verts=np.zeros((1, 2)))
    return o


@pytest.mark.parametrize("make", [unbuilt_patch_object, failed_patch_object], ids=["new", "failed-init"])
@pytest.mark.parametrize("use", [u for _, u in UNBUILT_OBJECT], ids=[n for n, _ in UNBUILT_OBJECT])
def test_a_patch_object_never_built_is_refused(make, use):
    with pytest.raises(TypeError, match="never initialised"):
        use(make())


def sneaked_into_a_set():
    s = gantline.ExportSet(patch_objects=[gantline.PatchObject()])
    s.patch_objects.append(unbuilt_patch_object())
    return s


UNBUILT_SET = [
    ("repr", lambda s: repr(s)),
    ("patch_objects", lambda s: s.patch_objects),
    ("cameras", lambda s: s.cameras),
    ("set-cameras", lambda s: setattr(s, "cameras", np.zeros((0, 2, 3)))),
    ("equal", lambda s: s == gantline.ExportSet()),
    ("write", lambda s: gantline.write(s, io.BytesIO())),
    ("dumps", lambda s: gantline.dumps(s)),
    ("pickle", lambda s: pickle.dumps(s)),
    ("deepcopy", lambda s: copy.deepcopy(s)),
]


@pytest.mark.parametrize("use", [u for _, u in UNBUILT_SET], ids=[n for n, _ in UNBUILT_SET])
def test_an_export_set_never_built_is_refused(use):
    with pytest.raises(TypeError, match="never initialised"):
        use(gantline.ExportSet.__new__(gantline.ExportSet))


@pytest.mark.parametrize("operation", [gantline.dumps, lambda s: gantline.write(s, io.BytesIO())])
def test_an_unbuilt_member_of_a_set_is_refused(operation):
    with pytest.raises(TypeError, match=r"patch_objects\[1\].*never initialised"):
        operation(sneaked_into_a_set())


def test_write_refuses_sides_the_reader_refuses_and_keeps_the_old_file(tmp_path):
    path = tmp_path / "kept.txt"
    o = gantline.PatchObject(verts=np.zeros((4, 3)), vecs=np.zeros((8, 3)), patches=[ROW, ROW])
    s = gantline.ExportSet(patch_objects=[gantline.PatchObject(), o])
    gantline.write(s, path)
    before = path.read_bytes()
    o.patches[1, 0] = 7
    for write in (lambda: gantline.write(s, path), lambda: gantline.dumps(s)):
        with pytest.raises(ValueError, match=r"patch_objects\[1\], patch 1: sides is 7, not 3 or 4"):
            write()
    assert path.read_bytes() == before
    assert sorted(os.listdir(tmp_path)) == ["kept.txt"]


class Endless(io.RawIOBase):
    """A stream of blanks that never ends."""

    def readable(self):
        return True

    def readinto(self, buffer):
        buffer[:] = b" " * len(buffer)
        return len(buffer)


class Slow(io.RawIOBase):
    """A destination that takes a long while for each block."""

    def writable(self):
        return True

    def write(self, data):
        threading.Event().wait(0.05)
        return len(data)


def big_set(objects=1, verts=BIG):
    o = gantline.PatchObject(verts=np.random.default_rng(0).normal(size=(verts, 3)))
    return gantline.ExportSet(patch_objects=[o] * objects)


def many_patches():
    rng = np.random.default_rng(3)
    row = [4, 0, 1, 2, 3] + list(range(8)) + [8, 9, 10, 11] + [-1] * 4
    return gantline.PatchObject(verts=rng.normal(size=(4, 3)), vecs=rng.normal(size=(12, 3)), patches=[row] * 5000)


def zeros(size):
    """size bytes of zeros in memory that is never touched (nor reserved)."""
    no_reserve = getattr(mmap, "MAP_NORESERVE", 0x4000)  # Linux's value, which Python 3.11 does not name
    return mmap.mmap(-1, size, flags=mmap.MAP_PRIVATE | mmap.MAP_ANONYMOUS | no_reserve)


def fifo(tmp_path):
    path = tmp_path / "fifo"
    os.mkfifo(path)
    return path


def sparse(tmp_path):
    """A regular file of 8 GB, all but its first line a hole of zeros (which
    the reader passes as delimiters), read by the library on every core."""
    path = tmp_path / "sparse.txt"
    with open(path, "wb") as f:
        f.write(b"VERSION 1.10\nPATCHOBJECTS 1\n")
        f.truncate(8 << 30)
    return path


INTERRUPTED = [
    ("read-dev-zero", lambda tmp: gantline.read("/dev/zero")),
    ("read-sparse-file", lambda tmp: gantline.read(sparse(tmp))),
    ("read-endless-stream", lambda tmp: gantline.read(Endless())),
    ("read-fifo-without-writer", lambda tmp: gantline.read(fifo(tmp))),
    ("loads-8-GB-of-zeros", lambda tmp: gantline.loads(zeros(8 << 30))),
    ("write-slow-stream", lambda tmp: gantline.write(big_set(), Slow())),
    ("write-fifo-without-reader", lambda tmp: gantline.write(gantline.ExportSet(), fifo(tmp))),
    ("write-many-objects", lambda tmp: gantline.write(big_set(2000, 50_000), "/dev/null")),
    ("dumps-many-objects", lambda tmp: gantline.dumps(big_set(2000, 50_000))),
    ("tessellate", lambda tmp: gantline.tessellate(many_patches(), 128)),
]


@pytest.mark.parametrize("work", [w for _, w in INTERRUPTED], ids=[n for n, _ in INTERRUPTED])
def test_ctrl_c_stops_long_work(work, tmp_path):
    timer = threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT))
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            work(tmp_path)
    finally:
        timer.cancel()
        timer.join()


def as_nobody(code, path):
    """Runs code (with path as PATH) where file permissions hold: as root,
    as the user nobody."""
    run = dict(user=65534) if os.geteuid() == 0 else {}
    return subprocess.run(
        [sys.executable, "-c", code, str(path)], capture_output=True, text=True, env=os.environ, **run
    )


PERMISSION = """
import sys, gantline
try:
    {}
except PermissionError as e:
    print(e.errno, e.filename)
"""


@pytest.mark.parametrize(
    "operation", ["gantline.read(sys.argv[1])", "gantline.write(gantline.ExportSet(), sys.argv[1])"]
)
def test_a_file_without_permission_is_a_permission_error(tmp_path, operation):
    os.chmod(tmp_path, 0o777)
    path = tmp_path / "private.txt"
    path.write_text("VERSION 1.10")
    os.chmod(path, 0)
    done = as_nobody(PERMISSION.format(operation), path)
    assert done.stdout.split() == [str(errno.EACCES), str(path)], done.stderr


@pytest.mark.parametrize(
    "operation, path, error, number",
    [
        ("read", "missing.txt", FileNotFoundError, errno.ENOENT),
        ("read", ".", IsADirectoryError, errno.EISDIR),
        ("write", ".", IsADirectoryError, errno.EISDIR),
        ("write", "no/such/folder.txt", FileNotFoundError, errno.ENOENT),
        ("read", "file.txt/below", NotADirectoryError, errno.ENOTDIR),
        ("write", "file.txt/below", NotADirectoryError, errno.ENOTDIR),
    ],
)
@pytest.mark.parametrize("kind", [str, os.fsencode, lambda p: p], ids=["str", "bytes", "pathlike"])
def test_file_errors_are_the_os_error_subclasses(tmp_path, operation, path, error, number, kind):
    (tmp_path / "file.txt").write_text("x")
    full = tmp_path / path
    with pytest.raises(error) as caught:
        if operation == "read":
            gantline.read(kind(full))
        else:
            gantline.write(gantline.ExportSet(), kind(full))
    assert caught.value.errno == number
    assert caught.value.strerror == os.strerror(number)
    assert os.fsdecode(caught.value.filename) == str(full)
    assert (tmp_path / "file.txt").read_text() == "x"


def test_memory_and_file_objects_hold_the_same_text(golden, tmp_path):
    data = (golden / "mixed_objects.txt").read_bytes()
    s = gantline.read(golden / "mixed_objects.txt")
    assert gantline.dumps(s) == data
    assert gantline.loads(data) == s
    assert gantline.loads(bytearray(data)) == s
    assert gantline.loads(data.decode()) == s
    assert gantline.read(io.BytesIO(data)) == s
    with open(golden / "mixed_objects.txt", "rb") as f:
        assert gantline.read(f) == s
    out = io.BytesIO()
    gantline.write(s, out)
    assert out.getvalue() == data
    with open(tmp_path / "out.txt", "wb") as f:
        gantline.write(s, f)
    assert (tmp_path / "out.txt").read_bytes() == data


def test_a_file_object_that_keeps_what_it_is_handed_reaches_only_its_own_memory(golden):
    data = (golden / "mixed_objects.txt").read_bytes()

    class Keeper(io.RawIOBase):
        def __init__(self):
            super().__init__()
            self.inner = io.BytesIO(data)
            self.kept = []

        def readable(self):
            return True

        def writable(self):
            return True

        def readinto(self, buffer):
            self.kept.append(buffer)
            return self.inner.readinto(buffer)

        def write(self, buffer):
            self.kept.append(buffer)
            return len(buffer)

    reader = Keeper()
    s = gantline.read(reader)
    assert gantline.dumps(s) == data
    # What it kept is its own: writing into it after the read touches
    # nothing of the module's.
    for buffer in reader.kept:
        memoryview(buffer).cast("B")[:] = b"\xff" * len(buffer)
    writer = Keeper()
    gantline.write(s, writer)
    assert b"".join(bytes(buffer) for buffer in writer.kept) == data


def test_a_socket_file_reads(golden):
    data = (golden / "mixed_objects.txt").read_bytes()
    ours, theirs = socket.socketpair()
    sender = threading.Thread(target=lambda: (theirs.sendall(data), theirs.close()))
    sender.start()
    with ours, ours.makefile("rb") as f:
        s = gantline.read(f)
    sender.join()
    assert gantline.dumps(s) == data


@pytest.mark.parametrize(
    "source, error",
    [(b"VERSION 1.10 PATCHOBJECTS", gantline.ReadError), (12, TypeError), (memoryview(b"abcd")[::2], TypeError)],
)
def test_loads_refuses_what_is_not_patch_text(source, error):
    with pytest.raises(error):
        gantline.loads(source)


def test_a_read_error_of_a_stream_names_it(golden):
    with pytest.raises(gantline.ReadError, match=r"^<stream>:1:1: ") as caught:
        gantline.read(io.BytesIO(b"VERSIONS"))
    assert caught.value.line == 1


def test_an_error_of_the_file_object_is_raised():
    class Broken(io.RawIOBase):
        def readinto(self, buffer):
            raise OSError(errno.EIO, "the disk is gone")

    with pytest.raises(OSError, match="the disk is gone"):
        gantline.read(Broken())


def test_sets_and_objects_are_values(golden):
    s = gantline.read(golden / "mixed_objects.txt")
    t = gantline.loads((golden / "mixed_objects.txt").read_bytes())
    assert s == t and not (s != t)
    for make in (copy.copy, copy.deepcopy, lambda x: pickle.loads(pickle.dumps(x))):
        assert make(s) == s
        assert make(s.patch_objects[1]) == s.patch_objects[1]
    deep = copy.deepcopy(s)
    deep.patch_objects[0].verts[0, 0] += 1
    deep.cameras[0, 0, 0] += 1
    assert deep != s and gantline.dumps(s) == (golden / "mixed_objects.txt").read_bytes()
    t.cameras[0, 0, 0] += 1
    assert s != t
    for value in (s, s.patch_objects[0]):
        with pytest.raises(TypeError):
            hash(value)
    assert (s == 3) is False
    assert len(repr(big_set(3))) < 80


def test_the_version_is_the_projects():
    assert gantline.__version__ == os.environ.get("GANTLINE_VERSION", gantline.__version__)
    assert gantline.__version__.split(".")[0].isdigit()


@pytest.mark.parametrize("name", ["read", "loads", "write", "dumps", "tessellate"])
def test_each_function_shows_one_signature(name):
    function = getattr(gantline, name)
    import inspect

    assert str(inspect.signature(function)).startswith("(")
    assert function.__doc__.count(f"{name}(") <= 1

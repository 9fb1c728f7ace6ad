"""Tessellated points lie on the Bezier surfaces, evaluated here afresh."""
import numpy as np
import pytest

import gantline

# A curved quad: P[row][column] on a 4x4 grid with heights, laid out as the
# patch's corners, edge vectors and interior vectors name them.
GRID = np.array([[[c, r, np.sin(r + 2 * c)] for c in range(4)] for r in range(4)], np.float32)
CORNERS = [(0, 0), (0, 3), (3, 3), (3, 0)]
EDGES = [(0, 1), (0, 2), (1, 3), (2, 3), (3, 2), (3, 1), (2, 0), (1, 0)]
INTERIOR = [(1, 1), (1, 2), (2, 2), (2, 1)]


def curved_quad():
    verts = np.array([GRID[p] for p in CORNERS])
    vecs = np.array([GRID[p] for p in EDGES + INTERIOR])
    row = [4, 0, 1, 2, 3] + list(range(8)) + [8, 9, 10, 11] + [-1] * 4
    return gantline.PatchObject(verts=verts, vecs=vecs, patches=[row])


def bernstein(t):
    return np.array([(1 - t) ** 3, 3 * t * (1 - t) ** 2, 3 * t * t * (1 - t), t**3])


@pytest.mark.parametrize("steps", [1, 3, 8])
def test_points_lie_on_the_surface(steps):
    positions, normals, triangles = gantline.tessellate(curved_quad(), steps)
    grid = GRID.astype(np.float64)
    expected = [
        np.einsum("r,c,rcx->x", bernstein(r / steps), bernstein(c / steps), grid)
        for r in range(steps + 1)
        for c in range(steps + 1)
    ]
    assert len(positions) == (steps + 1) ** 2
    for point in expected:
        assert np.min(np.linalg.norm(positions - point, axis=1)) < 1e-9
    assert triangles.shape == (2 * steps * steps, 3) and triangles.dtype == np.int32
    assert np.allclose(np.linalg.norm(normals, axis=1), 1)


def test_corners_are_the_corner_vertices_exactly():
    o = curved_quad()
    positions, _, _ = gantline.tessellate(o, 4)
    for corner in o.verts.astype(np.float64):
        assert (positions == corner).all(axis=1).any()


def test_triangles_turn_about_their_normals():
    positions, normals, triangles = gantline.tessellate(curved_quad(), 4)
    a, b, c = (positions[triangles[:, k]] for k in range(3))
    assert (np.einsum("ij,ij->i", np.cross(b - a, c - a), normals[triangles[:, 0]]) > 0).all()


def test_a_patch_without_a_surface_is_left_out_with_a_warning(golden):
    (o,) = gantline.read(golden / "mixed_objects.txt").patch_objects[:1]
    with pytest.warns(RuntimeWarning, match="no surface"):
        positions, _, triangles = gantline.tessellate(o, 2)
    assert positions.shape == (0, 3) and triangles.shape == (0, 3)


@pytest.mark.parametrize("steps", [0, 129])
def test_steps_outside_the_range_are_refused(steps):
    with pytest.raises(ValueError):
        gantline.tessellate(curved_quad(), steps)

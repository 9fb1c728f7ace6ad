# A correct script: mypy --strict passes it with the module's stubs.
import io
import pathlib

import numpy as np
import numpy.typing as npt

import gantline

scene: gantline.ExportSet = gantline.read(pathlib.Path("teapot.txt"))
again = gantline.read(b"teapot.txt")
teapot = scene.patch_objects[0]
verts: npt.NDArray[np.float32] = teapot.verts
teapot.verts = verts * 2
teapot.patches = teapot.patches[::-1]
positions, normals, triangles = gantline.tessellate(teapot, 8)
corners: npt.NDArray[np.int32] = triangles
data: bytes = gantline.dumps(scene)
same: bool = gantline.loads(data) == scene
buffer = io.BytesIO()
gantline.write(scene, buffer)
gantline.write(gantline.ExportSet(patch_objects=[teapot], cameras=np.zeros((0, 2, 3))), "out.txt")
version: str = gantline.__version__
try:
    gantline.read("missing.txt")
except gantline.ReadError as error:
    line: int = error.line

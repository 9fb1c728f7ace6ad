# Types of the gantline module (patch text files as numpy arrays), for
# type checkers; installed beside the module.
import os
from typing import IO, Any, Iterable, Optional, Tuple, Union

import numpy as np
import numpy.typing as npt

__version__: str

_Path = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]
_Source = Union[_Path, IO[bytes]]
_Target = Union[_Path, IO[bytes]]
_Float32 = npt.NDArray[np.float32]
_Int32 = npt.NDArray[np.int32]
_Float64 = npt.NDArray[np.float64]

class ReadError(ValueError):
    path: str
    line: int
    column: int
    found: str
    expected: str
    reason: str

class PatchObject:
    def __init__(
        self,
        verts: Optional[npt.ArrayLike] = None,
        vecs: Optional[npt.ArrayLike] = None,
        patches: Optional[npt.ArrayLike] = None,
    ) -> None: ...
    @property
    def verts(self) -> _Float32: ...
    @verts.setter
    def verts(self, value: npt.ArrayLike) -> None: ...
    @property
    def vecs(self) -> _Float32: ...
    @vecs.setter
    def vecs(self, value: npt.ArrayLike) -> None: ...
    @property
    def patches(self) -> _Int32: ...
    @patches.setter
    def patches(self, value: npt.ArrayLike) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    __hash__: None  # type: ignore[assignment]

class ExportSet:
    def __init__(
        self,
        patch_objects: Optional[Iterable[PatchObject]] = None,
        cameras: Optional[npt.ArrayLike] = None,
    ) -> None: ...
    @property
    def patch_objects(self) -> list[PatchObject]: ...
    @patch_objects.setter
    def patch_objects(self, value: Iterable[PatchObject]) -> None: ...
    @property
    def cameras(self) -> _Float32: ...
    @cameras.setter
    def cameras(self, value: npt.ArrayLike) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    __hash__: None  # type: ignore[assignment]

def read(source: _Source) -> ExportSet: ...
def loads(data: Union[bytes, bytearray, memoryview, str]) -> ExportSet: ...
def write(set: ExportSet, target: _Target) -> None: ...
def dumps(set: ExportSet) -> bytes: ...
def tessellate(patch_object: PatchObject, steps: int = 8) -> Tuple[_Float64, _Float64, _Int32]: ...

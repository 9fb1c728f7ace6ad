import os
import pathlib

import pytest

DATA = pathlib.Path(os.environ.get("GANTLINE_TEST_DATA", pathlib.Path(__file__).parents[1] / "data"))


@pytest.fixture
def golden():
    return DATA / "golden"


@pytest.fixture
def patchtext():
    program = os.environ.get("PATCHTEXT_PROGRAM")
    if not program:
        pytest.skip("PATCHTEXT_PROGRAM names no patchtext program")
    return program

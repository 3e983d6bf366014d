"""What the Python tests are handed: homing-sim, to hold the module to."""

import os
import pathlib

import pytest


@pytest.fixture(scope="session")
def homing_sim():
    path = os.environ.get("HOMING_SIM")
    if not path or not pathlib.Path(path).is_file():
        pytest.fail("HOMING_SIM must name the homing-sim the module is held to")
    return path

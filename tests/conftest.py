import importlib

import pytest


@pytest.fixture(scope="session")
def core():
    return importlib.import_module("selvo._core")


@pytest.fixture(scope="session")
def tf():
    """The test-only frame module (built with -DSELVO_TEST_HOOKS=ON)."""
    try:
        return importlib.import_module("selvo._testframe")
    except ImportError as exc:  # pragma: no cover - a build without test hooks
        pytest.fail(f"selvo._testframe is missing; install with -C cmake.define.SELVO_TEST_HOOKS=ON ({exc})")

"""selvo: Turkish natural-language processing.

The work is done by the compiled module :mod:`selvo._core`; this package
re-exports its public names, so ``selvo.to_turkish_lower`` and
``selvo._core.to_turkish_lower`` are the same function.
"""

from . import _core
from ._core import *  # noqa: F401,F403

#: Raised for a fault inside the library itself (never for bad input). It
#: derives from BaseException, so ``except Exception`` does not hide it.
InternalFault = _core._InternalFault

__all__ = [name for name in dir(_core) if not name.startswith("_")] + ["InternalFault"]
__version__ = "0.1.0"

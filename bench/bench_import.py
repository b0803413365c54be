"""Time of `import selvo._core` in a fresh interpreter (best of several)."""

import subprocess
import sys

CODE = "import time; t = time.perf_counter(); import selvo._core; print(time.perf_counter() - t)"
BASE = "import time; t = time.perf_counter(); import json; print(time.perf_counter() - t)"


def best(code: str, runs: int = 15) -> float:
    return min(float(subprocess.check_output([sys.executable, "-c", code], text=True)) for _ in range(runs))


if __name__ == "__main__":
    t = best(CODE)
    print(f"import selvo._core: {t * 1e3:.2f} ms (best of 15 fresh interpreters; import json: {best(BASE) * 1e3:.2f} ms)")

#!/usr/bin/env bash
# Prepares a Debian machine for building selvo: installs the system packages
# the C++ core links against (when missing) and a virtual environment in
# .venv with the build tools. Sourced by tools/demo.sh and .ci/run.
set -euo pipefail

SELVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PYTHON="${PYTHON:-python3}"
APT_PACKAGES=(g++ pkg-config libicu-dev libpcre2-dev zlib1g-dev nlohmann-json3-dev libgtest-dev)

missing=()
for pkg in "${APT_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if ! "$PYTHON" -c 'import ensurepip, venv' >/dev/null 2>&1; then
  missing+=(python3-venv)
fi
if [ "${#missing[@]}" -gt 0 ]; then
  echo "selvo: installing system packages: ${missing[*]}" >&2
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

"$PYTHON" -c 'import sys; sys.exit(0 if sys.version_info >= (3, 11) else "selvo needs Python 3.11 or newer")'

VENV="$SELVO_ROOT/.venv"
if [ ! -x "$VENV/bin/python" ]; then
  "$PYTHON" -m venv "$VENV"
fi
VPY="$VENV/bin/python"
"$VPY" -m pip install -q --disable-pip-version-check "cmake>=3.26" ninja "scikit-build-core>=0.10"

export PATH="$VENV/bin:$PATH"

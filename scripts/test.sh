#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
# An optional preset name (default: "default") picks the build, e.g. "asan".
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-default}
bash scripts/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
QT_QPA_PLATFORM=offscreen ctest --preset "$preset"

#!/usr/bin/env bash
# Builds the utility and the simulator (preset "app") and the Debian package
# build/app/tolvar-utility_<version>_<arch>.deb. Install it with
#   sudo apt-get install ./build/app/tolvar-utility_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset app >/dev/null
cmake --build --preset app
(cd build/app && cpack -G DEB)
ls build/app/tolvar-utility_*.deb

#!/usr/bin/env bash
# Installs what the build and its tests need on Debian 12 (ansible-core for the playbook test):
# with apt-get as root, through sudo otherwise.
# Without root and without sudo it prints the exact command and fails.
# `install-deps.sh fuzz` adds clang and its libFuzzer runtime, which only the fuzz preset needs.
set -euo pipefail
. "$(dirname "$0")/lib/apt.sh"

packages=(g++ cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
          ansible-core)
if [ "${1:-}" = fuzz ]; then
    packages+=(clang libclang-rt-14-dev)
fi
ensure_packages "${packages[@]}"

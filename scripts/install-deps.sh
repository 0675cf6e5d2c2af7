#!/usr/bin/env bash
# Installs what the build and its tests need on Debian 12 (ansible-core for the playbook test):
# with apt-get as root, through sudo otherwise.
# Without root and without sudo it prints the exact command and fails.
# `install-deps.sh fuzz` adds clang and its libFuzzer runtime, which only the fuzz preset needs.
set -euo pipefail

packages=(g++ cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
          ansible-core)
if [ "${1:-}" = fuzz ]; then
    packages+=(clang libclang-rt-14-dev)
fi
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "error: missing packages: ${missing[*]}" >&2
    echo "Run as root:  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq || { echo "error: apt-get update failed" >&2; exit 1; }
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null ||
    { echo "error: apt-get install ${missing[*]} failed" >&2; exit 1; }

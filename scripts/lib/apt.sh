# Sourced by the scripts that install Debian packages.
# as_root: runs a command as root, directly or through sudo.
# ensure_packages PACKAGE...: installs those of the packages that are missing; without root and
# without sudo it prints the exact command and fails.

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "error: needs root (or sudo) for: $*" >&2
        return 1
    fi
}

ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null 2>&1; then
        echo "error: missing packages: ${missing[*]}" >&2
        echo "Run as root:  apt-get update && apt-get install -y ${missing[*]}" >&2
        return 1
    fi
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq || { echo "error: apt-get update failed" >&2; return 1; }
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null ||
        { echo "error: apt-get install ${missing[*]} failed" >&2; return 1; }
}

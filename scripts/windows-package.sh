#!/usr/bin/env bash
# Cross-builds the utility, the simulator and the command line for 64-bit Windows and packs them
# with the DLLs they load into build/windows/tolvar-utility-<version>-win64.zip.
#
# Qt for Windows is built once from Debian's own qt6-base source (Core, Gui, Widgets, Network and
# the windows platform plugin) into a cache that later runs reuse: build/qt6-win by default,
# TOLVAR_QT_WIN_CACHE to put it elsewhere. The first run takes about 30 minutes on 2 cores.
#
#   scripts/windows-package.sh         everything
#   scripts/windows-package.sh qt      only the Qt for Windows cache
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
. scripts/lib/apt.sh

fail() { echo "error: $*" >&2; exit 1; }

jobs=2
triplet=x86_64-w64-mingw32
cache=${TOLVAR_QT_WIN_CACHE:-$repo/build/qt6-win}
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
qt_src_dir=$cache/src
qt_build=$cache/build
qt_prefix=$cache/prefix
qt_marker=$qt_prefix/.tolvar-qt-finished
toolchain=$repo/cmake/mingw-w64.cmake
host_cmake_dir=/usr/lib/x86_64-linux-gnu/cmake

ensure_packages g++-mingw-w64-x86-64-posix qt6-base-dev-tools cmake ninja-build xz-utils zip \
                wine64 xvfb xauth imagemagick

# The source package comes from the Debian archive this machine already installs from: add the
# matching deb-src entry unless apt already knows the source.
enable_deb_src() {
    if apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Package: qt6-base'; then
        return 0
    fi
    local list=/etc/apt/sources.list.d/tolvar-deb-src.sources entries=""
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        # Stanzas of binary packages from the Debian archive (not the security one), as deb-src.
        entries+=$(awk 'BEGIN { RS = ""; ORS = "\n\n" }
            /(^|\n)Types:[^\n]*deb/ && /URIs:[^\n]*\/debian\/?(\n|$)/ {
                out = ""
                n = split($0, lines, "\n")
                for (i = 1; i <= n; i++) {
                    if (lines[i] ~ /^#/) continue
                    if (lines[i] ~ /^Types:/) lines[i] = "Types: deb-src"
                    out = out lines[i] "\n"
                }
                printf "%s\n", out
            }' "$file")
    done
    if [ -z "$entries" ] && [ -f /etc/apt/sources.list ]; then
        # One-line format: deb [options] URI suite components...
        entries=$(awk '$1 == "deb" && $0 ~ /\/debian\/? / {
                sub(/^deb/, "deb-src"); print }' /etc/apt/sources.list)
        list=/etc/apt/sources.list.d/tolvar-deb-src.list
    fi
    [ -n "$entries" ] || fail "found no Debian archive entry in /etc/apt/sources.list* to add deb-src for"
    echo "Adding $list"
    printf '%s\n' "$entries" | as_root tee "$list" >/dev/null
    as_root apt-get update -qq || fail "apt-get update failed after adding $list"
    apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Package: qt6-base' ||
        fail "apt still knows no source for qt6-base (see $list)"
}

fetch_qt_source() {
    local orig
    orig=$(ls "$qt_src_dir"/qt6-base_*.orig.tar.* 2>/dev/null | head -n 1 || true)
    if [ -z "$orig" ]; then
        enable_deb_src
        mkdir -p "$qt_src_dir"
        (cd "$qt_src_dir" && apt-get source --download-only qt6-base) ||
            fail "apt-get source --download-only qt6-base failed"
        orig=$(ls "$qt_src_dir"/qt6-base_*.orig.tar.* 2>/dev/null | head -n 1 || true)
        [ -n "$orig" ] || fail "no qt6-base_*.orig.tar.* in $qt_src_dir after apt-get source"
    fi
    qt_tree=$qt_src_dir/tree
    if [ ! -f "$qt_tree/.unpacked" ]; then
        echo "Unpacking $(basename "$orig")"
        rm -rf "$qt_tree"
        mkdir -p "$qt_tree"
        tar -xf "$orig" -C "$qt_tree" --strip-components=1 || fail "cannot unpack $orig"
        touch "$qt_tree/.unpacked"
    fi
}

build_qt() {
    if [ -f "$qt_marker" ]; then
        echo "Qt for Windows: reusing $qt_prefix"
        return 0
    fi
    fetch_qt_source
    local start end
    start=$(date +%s)
    echo "Qt for Windows: configuring in $qt_build (log: $cache/configure.log)"
    # Only what the programs need; the bundled third-party libraries, since there are no
    # Windows builds of the system ones. The Debian source leaves out the tablet header the
    # windows plugin includes, and dynamicgl needs OpenGL, which is off. Neither the Direct2D
    # platform plugin nor JPEG images are used; without Direct2D, Qt 6.4 links DirectWrite
    # fonts only halfway, so fonts go through GDI.
    nice cmake -S "$qt_tree" -B "$qt_build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" \
        -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_testlib=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_jpeg=OFF \
        -DINPUT_openssl=no -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_jpeg=OFF \
        -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF \
        >"$cache/configure.log" 2>&1 ||
        fail "Qt configure failed: see the end of $cache/configure.log"
    echo "Qt for Windows: building (log: $cache/build.log)"
    nice cmake --build "$qt_build" --parallel "$jobs" >"$cache/build.log" 2>&1 ||
        fail "Qt build failed: see the end of $cache/build.log"
    nice cmake --install "$qt_build" >"$cache/install.log" 2>&1 ||
        fail "Qt install failed: see the end of $cache/install.log"
    [ -f "$qt_prefix/bin/Qt6Core.dll" ] && [ -f "$qt_prefix/plugins/platforms/qwindows.dll" ] ||
        fail "Qt installed into $qt_prefix without Qt6Core.dll or platforms/qwindows.dll"
    end=$(date +%s)
    echo "$(date -u +%FT%TZ) Qt for Windows built in $(( (end - start) / 60 )) min $(( (end - start) % 60 )) s" |
        tee -a "$cache/build-time.log"
    touch "$qt_marker"
}

build_qt
[ "${1:-}" = qt ] && exit 0

version=$(sed -n 's/^project([^)]* VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt | head -n 1)
[ -n "$version" ] || fail "no VERSION in the project() line of CMakeLists.txt"
out=$repo/build/windows
build=$out/build
name=tolvar-utility-$version-win64
stage=$out/$name
zipfile=$out/$name.zip
programs=(tolvar-utility tolvar-gateway-sim tolvar-cli)

mkdir -p "$out"
start=$(date +%s)
echo "Configuring the programs for Windows in $build"
nice cmake -S "$repo" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTOLVAR_QT_WIN_PREFIX="$qt_prefix" \
    -DCMAKE_PREFIX_PATH="$qt_prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" \
    -DCMAKE_BUILD_TYPE=Release -DTOLVAR_BUILD_TESTS=OFF -DTOLVAR_BUILD_BENCH=OFF \
    >"$out/configure.log" 2>&1 || { tail -n 30 "$out/configure.log" >&2; fail "configure failed (log: $out/configure.log)"; }
echo "Building ${programs[*]}"
nice cmake --build "$build" --parallel "$jobs" --target "${programs[@]}" >"$out/build.log" 2>&1 ||
    { grep -m 20 -B 2 -A 8 'error' "$out/build.log" >&2 || tail -n 30 "$out/build.log" >&2
      fail "build failed (log: $out/build.log)"; }
end=$(date +%s)
echo "Programs built in $((end - start)) s"

echo "Staging $stage"
rm -rf "$stage" "$zipfile"
mkdir -p "$stage/platforms" "$stage/examples"
for program in "${programs[@]}"; do
    exe=$(find "$build" -name "$program.exe" -type f | head -n 1)
    [ -n "$exe" ] || fail "no $program.exe under $build"
    cp "$exe" "$stage/"
done
# Loaded at run time by name, so no import table points at them.
cp "$qt_prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"
if [ -f "$qt_prefix/plugins/styles/qwindowsvistastyle.dll" ]; then
    mkdir -p "$stage/styles"
    cp "$qt_prefix/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
fi
cp examples/small.json examples/multi.json examples/maximal.json "$stage/examples/"
cp packaging/windows/README.txt "$stage/README.txt"
sed -i "s/@VERSION@/$version/g; s/\$/\r/" "$stage/README.txt"

# Every DLL a program or plugin imports is either in the package (copied from the Qt prefix or
# the MinGW runtime) or part of Windows; Wine's list of builtin DLLs tells which names those are.
wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
[ -d "$wine_dlls" ] || fail "no $wine_dlls to tell Windows' own DLLs from missing ones (wine64)"
dll_dirs=("$qt_prefix/bin" /usr/lib/gcc/$triplet/*-posix /usr/$triplet/lib)
imports() { "$triplet-objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
pending=("$stage"/*.exe "$stage"/*/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
    file=${pending[0]}
    pending=("${pending[@]:1}")
    while read -r dll; do
        [ -n "$dll" ] || continue
        [ -f "$stage/$dll" ] && continue
        lower=${dll,,}
        case "$lower" in api-ms-win-*|ext-ms-win-*) continue ;; esac
        if [ -f "$wine_dlls/$lower" ] && [[ "$lower" != lib* ]] && [[ "$lower" != qt6* ]]; then
            continue
        fi
        found=
        for dir in "${dll_dirs[@]}"; do
            if [ -f "$dir/$dll" ]; then found=$dir/$dll; break; fi
        done
        [ -n "$found" ] || fail "$(basename "$file") needs $dll, found neither in the package nor in ${dll_dirs[*]}"
        cp "$found" "$stage/"
        pending+=("$stage/$dll")
    done < <(imports "$file")
done
"$triplet-strip" --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll
echo "In the package:"
(cd "$stage" && find . -type f | sort | sed 's|^\./|  |')

(cd "$out" && zip -q -r -9 "$zipfile" "$name") || fail "zip failed"
echo "Wrote $zipfile ($(du -h "$zipfile" | cut -f1), $(du -sh "$stage" | cut -f1) unpacked)"

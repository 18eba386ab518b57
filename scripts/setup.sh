#!/usr/bin/env bash
# Brings a fresh Debian machine to the point where every target builds: installs the
# packages that are missing and builds libjpeg-turbo for the two Windows targets from
# Debian's source package. Safe to run again; it only does what is still missing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"

# Commands and the packages that provide them.
declare -A needed=(
    [cmake]=cmake
    [ninja]=ninja-build
    [g++]=g++
    [clang++]=clang
    [x86_64-w64-mingw32-g++-posix]=g++-mingw-w64-x86-64-posix
    [i686-w64-mingw32-g++-posix]=g++-mingw-w64-i686-posix
    [x86_64-w64-mingw32-windres]=binutils-mingw-w64-x86-64
    [/usr/lib/wine/wine64]=wine64
    [Xvfb]=xvfb
    [xdotool]=xdotool
    [xdpyinfo]=x11-utils
    [dpkg-source]=dpkg-dev
    # chmcmd compiles the demo client's help (payload/help).
    [chmcmd]=fp-utils
    # lnkinfo reads back the shortcut an install writes (tests/setup/e2e).
    [lnkinfo]=liblnk-utils
    # The compiler launcher of every build when it is there (cmake/compiler_cache.cmake).
    [ccache]=ccache
)
# Headers and libraries, by a file each package installs.
declare -A needed_files=(
    [/usr/include/zlib.h]=zlib1g-dev
    [/usr/include/jpeglib.h]=libjpeg-dev
    # libpng is the reference of the PNG decoder's benchmark (bench/png_bench.cpp).
    [/usr/include/png.h]=libpng-dev
    [/usr/x86_64-w64-mingw32/include/zlib.h]=libz-mingw-w64-dev
    [/usr/src/googletest/CMakeLists.txt]=googletest
    # ImageMagick and PIL make the test pictures (tests/fixtures/make_fixtures.sh).
    [/usr/bin/convert]=imagemagick
    [/usr/lib/python3/dist-packages/PIL/__init__.py]=python3-pil
)

missing=()
for cmd in "${!needed[@]}"; do
    command -v "$cmd" >/dev/null 2>&1 || [ -x "$cmd" ] || missing+=("${needed[$cmd]}")
done
for file in "${!needed_files[@]}"; do
    [ -e "$file" ] || missing+=("${needed_files[$file]}")
done
# libFuzzer's runtime, wherever this clang keeps it.
if command -v clang++ >/dev/null 2>&1; then
    fuzzer_runtime=$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)
    [ -f "$fuzzer_runtime" ] || missing+=(libclang-rt-dev)
else
    missing+=(libclang-rt-dev)
fi

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"
    elif command -v sudo >/dev/null 2>&1; then sudo "$@"
    else
        echo "setup: root rights are needed to run: $*" >&2
        return 1
    fi
}

apt_updated=
apt_update() {
    [ -n "$apt_updated" ] && return 0
    as_root apt-get update -q >/dev/null
    apt_updated=1
}

if [ ${#missing[@]} -gt 0 ]; then
    mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
    echo "setup: installing ${missing[*]}"
    if ! { apt_update && as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >/dev/null; }; then
        echo "setup: could not install the packages; as root, run:" >&2
        echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
fi

# libjpeg-turbo for Windows, built from Debian's source package once per machine and tree.
# Fetches and unpacks Debian's source package (with Debian's patches applied) into $1.
fetch_jpeg_source() {
    local dir=$1
    mkdir -p "$dir"
    ( cd "$dir" && apt-get source libjpeg-turbo >/dev/null 2>&1 ) && return 0
    # No deb-src entry yet: add one with the same origin as the machine's Debian entry.
    local src=/etc/apt/sources.list.d/debian.sources
    if [ -f "$src" ]; then
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             $0 ~ /URIs:[^\n]*\/debian\/?(\n|$)/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$src" \
            | as_root tee /etc/apt/sources.list.d/kalvo-deb-src.sources >/dev/null
    else
        grep -h '^deb ' /etc/apt/sources.list 2>/dev/null | sed 's/^deb /deb-src /' \
            | as_root tee /etc/apt/sources.list.d/kalvo-deb-src.list >/dev/null
    fi
    apt_updated=
    apt_update
    ( cd "$dir" && apt-get source libjpeg-turbo >"$dir/apt-source.log" 2>&1 ) ||
        { cat "$dir/apt-source.log" >&2; return 1; }
}

build_jpeg() {
    local arch=$1 toolchain=$2
    local prefix="$deps/libjpeg-$arch"
    [ -f "$prefix/lib/libjpeg.a" ] && return 0
    local src_dir="$deps/src"
    local unpacked
    unpacked=$(ls -d "$src_dir"/libjpeg-turbo-*/ 2>/dev/null | head -n 1 || true)
    if [ -z "$unpacked" ] || [ ! -f "$unpacked/CMakeLists.txt" ]; then
        echo "setup: fetching libjpeg-turbo's source package"
        rm -rf "$src_dir"
        fetch_jpeg_source "$src_dir"
        unpacked=$(ls -d "$src_dir"/libjpeg-turbo-*/ | head -n 1)
    fi
    echo "setup: building libjpeg-turbo for $arch"
    local work="$deps/build-libjpeg-$arch"
    rm -rf "$work"
    cmake -S "$unpacked" -B "$work" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
        -DWITH_JPEG8=OFF -DCMAKE_POLICY_DEFAULT_CMP0091=NEW >"$work.log" 2>&1 \
        && cmake --build "$work" >>"$work.log" 2>&1 \
        && cmake --install "$work" >>"$work.log" 2>&1 \
        || { echo "setup: building libjpeg-turbo for $arch failed, see $work.log" >&2; exit 1; }
    rm -rf "$work"
}

build_jpeg win64 toolchain-mingw-x86_64.cmake
build_jpeg win32 toolchain-mingw-i686.cmake

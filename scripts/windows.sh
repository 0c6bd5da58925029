#!/usr/bin/env bash
# Builds Kladdo for 64-bit Windows on Debian: installs mingw-w64 and Wine,
# builds Qt for Windows once from Debian's source package into a cache
# outside the checkout, cross-builds Kladdo, runs its tests under Wine and
# packs the portable zip.
#
#   scripts/windows.sh            everything
#   scripts/windows.sh --qt-only  only the Qt for Windows (for a background start)
#
# KLADDO_WINDOWS_BUILD (default build-windows) is Kladdo's build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
ensure_packages scripts/packages-build.txt scripts/packages-test.txt scripts/packages-windows.txt

jobs=2
cache=${XDG_CACHE_HOME:-$HOME/.cache}/kladdo
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
build=$(realpath -m "${KLADDO_WINDOWS_BUILD:-build-windows}")

# Qt's host tools (moc, rcc, uic) come from Debian's Qt, so the source must
# be of the very same version.
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)

# Qt for Windows: Core, Gui, Widgets, Network and Test, shared, with the
# image and text libraries bundled; JPEG too, since a note page may hold
# JPEG pictures, which a Qt without the plugin would drop when it saves.
# Debian's source lacks the tablet library, and
# QWindowsDirectWriteFontDatabase needs Direct2D's headers.
qt_configure=(
  -G Ninja
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF
  -DFEATURE_sql=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF
  -DFEATURE_printsupport=OFF
  -DFEATURE_opengl=OFF
  -DFEATURE_vulkan=OFF
  -DFEATURE_direct2d=OFF
  -DFEATURE_directwrite3=OFF
  -DFEATURE_tabletevent=OFF
  -DFEATURE_ssl=OFF
  -DFEATURE_openssl=OFF
  -DFEATURE_schannel=OFF
  -DFEATURE_jpeg=ON
  -DFEATURE_system_jpeg=OFF
  -DFEATURE_mimetype_database=OFF
  -DFEATURE_system_zlib=OFF
  -DFEATURE_system_png=OFF
  -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_freetype=OFF
  -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_doubleconversion=OFF
)
# Debian's own patch for its cross-builds assumes a Linux target.
qt_skipped_patches=(cross.patch)
# Ours, on top of Debian's.
qt_own_patches=(scripts/qt-windows/*.patch)

qt_hash=$( { printf '%s\n' "$qt_version" "${qt_configure[@]}" "${qt_skipped_patches[@]}";
             cat "$toolchain" "${qt_own_patches[@]}"; } | sha256sum | cut -c1-16)
qt_prefix=$cache/qt-windows-$qt_hash
# The unpacked source with every patch applied, named by what was applied:
# a patch changed or added unpacks a source of its own rather than going
# over the old one.
qt_source_hash=$( { printf '%s\n' "${qt_skipped_patches[@]}"; cat "${qt_own_patches[@]}"; } | sha256sum | cut -c1-16)
qt_source=$cache/qt6-base-src-$qt_version-$qt_source_hash

# fetch_qt_source DIR: Debian's qt6-base source of $qt_version, unpacked
# into DIR with Debian's patches and ours applied; renamed into place when
# complete, so that a half-patched source is never taken for it. A
# temporary sources list and package lists of its own leave the system's
# apt set-up untouched.
fetch_qt_source() {
  local dir=$1 apt tmp mirror codename
  tmp=$(mktemp -d "$cache/apt.XXXXXX")
  mirror=$(sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1)
  [ -n "$mirror" ] || mirror=http://deb.debian.org/debian
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || { echo "windows.sh: /etc/os-release names no VERSION_CODENAME" >&2; exit 1; }
  echo "deb-src $mirror $codename main" > "$tmp/sources.list"
  mkdir -p "$tmp/lists/partial" "$tmp/cache/archives/partial"
  apt=(apt-get -o "Dir::Etc::sourcelist=$tmp/sources.list" -o Dir::Etc::sourceparts=-
       -o "Dir::State::Lists=$tmp/lists" -o "Dir::Cache=$tmp/cache")
  "${apt[@]}" update -qq
  (cd "$tmp" && "${apt[@]}" source --download-only "qt6-base=$qt_version")
  dpkg-source --skip-patches -x "$tmp"/qt6-base_*.dsc "$tmp/src" >/dev/null
  local patch
  while read -r patch _; do
    case "$patch" in ''|'#'*) continue ;; esac
    if [[ " ${qt_skipped_patches[*]} " == *" ${patch##*/} "* ]]; then continue; fi
    patch -d "$tmp/src" -p1 -s --forward < "$tmp/src/debian/patches/$patch"
  done < "$tmp/src/debian/patches/series"
  for patch in "${qt_own_patches[@]}"; do
    patch -d "$tmp/src" -p1 -s --forward < "$patch"
  done
  mv "$tmp/src" "$dir"
  rm -rf "$tmp"
}

# build_qt: Qt for Windows into $qt_prefix, unless it is there already. It
# is installed beside the cache and renamed into place when complete, so
# an interrupted build is never taken for the cache.
build_qt() {
  if [ -f "$qt_prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
    echo "Qt for Windows: $qt_prefix"
    return 0
  fi
  mkdir -p "$cache"
  # Not `[ -d ] || fetch_qt_source`: on the right of || set -e is off
  # inside the function, and a patch that fails would not stop it.
  if [ ! -d "$qt_source" ]; then
    fetch_qt_source "$qt_source"
  fi
  local work=$cache/qt-windows-$qt_hash.build
  rm -rf "$work"
  mkdir -p "$work"
  local started=$SECONDS
  cmake -S "$qt_source" -B "$work/build" "${qt_configure[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$qt_prefix"
  cmake --build "$work/build" -j "$jobs"
  DESTDIR=$work/stage cmake --install "$work/build" >/dev/null
  mv "$work/stage$qt_prefix" "$qt_prefix"
  rm -rf "$work"
  echo "Qt for Windows built in $(( (SECONDS - started) / 60 )) min: $qt_prefix"
}

build_qt
[ "${1:-}" = --qt-only ] && exit 0

# The Linux kladdo-data, with which the end-to-end step reads and writes the
# data folder from the Linux side.
host_build=$build-linux
cmake -S . -B "$host_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKLADDO_BUILD_TESTS=OFF > /dev/null
cmake --build "$host_build" --target kladdo-data -j "$jobs"

# The DLLs the test programs need, which lie beside none of them.
runtime_dirs=$qt_prefix/bin
for runtime in libstdc++-6.dll libwinpthread-1.dll; do
  runtime_dirs+=:$(dirname "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name=$runtime)")")
done
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKLADDO_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKLADDO_QT_WINDOWS="$qt_prefix" -DCMAKE_PREFIX_PATH="$qt_prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=$PWD/tests/wine/run.sh;--dlls;$runtime_dirs" \
  -DKLADDO_LINUX_DATA_TOOL="$host_build/bin/kladdo-data"
cmake --build "$build" -j "$jobs"

# Wine's prefix for the unit tests, made once; and a display for Wine,
# though the tests themselves draw offscreen. Whatever ends the script, a
# failed test included, ends the prefix's Wine processes too, then the
# display (bench/xvfb.sh's cleanup).
export KLADDO_WINEPREFIX=$cache/wine
source bench/xvfb.sh
end_wine() {
  WINEPREFIX=$KLADDO_WINEPREFIX wineserver -k 2>/dev/null || true
}
trap 'end_wine; cleanup' EXIT
if [ ! -f "$KLADDO_WINEPREFIX/system.reg" ]; then
  WINEPREFIX=$KLADDO_WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d" \
    wineboot -i > /dev/null 2>&1
  WINEPREFIX=$KLADDO_WINEPREFIX wineserver -w
fi
start_xvfb 1280
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8
ctest --test-dir "$build" --output-on-failure -j "$jobs"
end_wine

(cd "$build" && cpack > /dev/null)
echo "Windows package: $(ls "$build"/kladdo-*-windows-x86_64.zip)"

#!/usr/bin/env bash
# Builds the Debian package in build-deb: a Release build with Debian's
# hardening flags, laid out as an installed program, its dependencies found
# by dpkg-shlibdeps; then checks the desktop entry, the AppStream file and
# the package with lintian. The package's path is the last line printed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
ensure_packages scripts/packages-build.txt scripts/packages-deb.txt >&2
umask 022

# Debian's hardening flags, all of them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DKLADDO_BUILD_TESTS=OFF -DKLADDO_PACKAGE=deb \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" \
  -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" >&2
cmake --build build-deb >&2
rm -f build-deb/kladdo_*.deb
(cd build-deb && cpack >&2)
package=$(ls build-deb/kladdo_*.deb)

desktop-file-validate packaging/kladdo.desktop >&2
appstreamcli validate --no-net --pedantic build-deb/packaging/deb/io.github.kladdo.kladdo.metainfo.xml >&2
# The tags left, and why, are in packaging/deb/lintian-explained; an error
# fails the build.
lintian --fail-on error --suppress-tags-from-file packaging/deb/lintian-explained "$package" >&2
realpath "$package"

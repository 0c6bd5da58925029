#!/usr/bin/env bash
# Sets up, builds and starts Kladdo from build/bin, with DATA/ beside it;
# kladdo-data is built beside it for mending the data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
ensure_packages scripts/packages-build.txt
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKLADDO_BUILD_TESTS=OFF
cmake --build build --target kladdo kladdo-data
exec build/bin/kladdo

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a plain build and once more
# in a build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
ctest --test-dir "$here/build" --output-on-failure -j"$(nproc)"
"$here/scripts/setup.sh" "$here/build-asan" -DTKV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir "$here/build-asan" --output-on-failure -j"$(nproc)"

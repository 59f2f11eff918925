#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the plain build, then the sanitizer build.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"
"$top/scripts/deps.sh" "$top/scripts/test-packages.txt"
"$top/scripts/printing-setup.sh"
cd "$top"
export QT_QPA_PLATFORM=offscreen
presets=("$@")
((${#presets[@]})) || presets=(default asan)
for preset in "${presets[@]}"; do
    echo "=== $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j2
done
(($#)) || "$top/scripts/fuzz.sh"
bash "$top/scripts/test-install.sh" # the installed tree and the Debian package

#!/usr/bin/env bash
# Installs what is missing, builds, and starts Norvanta in its working folder (build/default/stage).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"
cd "$top"
cmake --preset default >/dev/null
cmake --build --preset default
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "Norvanta is built in build/default/stage, but no display is available (DISPLAY is not set)." >&2
    echo "Start it from a desktop session, or render its windows with build/default/tools/norvanta-screenshot." >&2
    exit 1
fi
cd "$top/build/default/stage"
exec ./Norvanta "$@"

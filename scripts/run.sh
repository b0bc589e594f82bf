#!/usr/bin/env bash
# Installs what is missing, builds kv8demo and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target kv8demo kv8standin

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "kv8demo is built (build/kv8demo), but there is no display to show its window on:" >&2
    echo "neither DISPLAY nor WAYLAND_DISPLAY is set. Run this from a desktop session," >&2
    echo "or under a virtual display, e.g.: xvfb-run -a scripts/run.sh" >&2
    exit 1
fi
exec ./build/kv8demo "$@"

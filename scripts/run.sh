#!/usr/bin/env bash
# Builds the 64-bit Windows program and starts it under wine64: in a window when there is a
# display, otherwise on a private Xvfb, writing a screenshot instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
cmake --preset win64 >build/configure-win64.log 2>&1 || { cat build/configure-win64.log; exit 1; }
cmake --build --preset win64 --target kalvo_demo
program="$root/build/win64/app/kalvo_demo.exe"
session="$root/build/run-session"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    source "$root/scripts/wine-env.sh" "$session"
    ensure_prefix
    exec "$WINE" "$program"
fi

shots="$root/build/screenshots"
mkdir -p "$shots"
# Wine reaches the Unix file system through drive Z:.
KALVO_DEMO_SCREENSHOT="Z:$shots/demo.png" "$root/scripts/wine-run.sh" "$session" "$program"
echo "No display: the window ran on a private Xvfb; screenshot in $shots/demo.png"

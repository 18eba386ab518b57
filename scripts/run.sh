#!/usr/bin/env bash
# Builds the 64-bit Windows program and starts it under wine64: in a window when there is a
# display, otherwise on a private Xvfb, where a script tours it and writes screenshots.
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

# No display: the demo's scripted tour on a private Xvfb; the program writes its screenshots
# into the working folder, which Wine reaches through drive Z:.
shots="$root/build/screenshots"
mkdir -p "$shots"
cd "$shots"
KALVO_AUTOMATION="Z:$root/app/demo/tour.script" KALVO_AUTOMATION_LOG="Z:$shots/tour.log" \
    "$root/scripts/wine-run.sh" "$session" "$program"
echo "No display: the demo toured on a private Xvfb; screenshots in $shots (demo.png, demo-filled.png, about.png)"

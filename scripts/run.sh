#!/usr/bin/env bash
# Builds the 64-bit Windows setup program and starts it under wine64: in a window when there
# is a display, otherwise on a private Xvfb, where scripts tour its pages and write
# screenshots.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
cmake --preset win64 >build/configure-win64.log 2>&1 || { cat build/configure-win64.log; exit 1; }
cmake --build --preset win64 --target kalvo_setup kalvo_demo_setup
demo_setup="$root/build/win64/kalvo_net_setup.exe"
session="$root/build/run-session"
run="$root/build/run"

# The setup file as a user downloads it: the program followed by the demo payload.
full_setup() {
    mkdir -p "$1"
    cp "$demo_setup" "$1/kalvo_setup.exe"
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    rm -rf "$run/download"
    full_setup "$run/download"
    source "$root/scripts/wine-env.sh" "$session"
    ensure_prefix
    cd "$run/download"
    exec "$WINE" ./kalvo_setup.exe
fi

# No display: tours on a private Xvfb, one after the other in the same session, so that each
# finds what the one before left: an install on a clean machine, the same setup file started
# again beside the record the install wrote (the update), the installed uninstall.exe (the
# uninstall) and that program once more after the uninstall. Each runs the program in a
# folder of its own; the program writes its screenshots there, which Wine reaches through Z:.
shots="$root/build/screenshots"
mkdir -p "$shots"
rm -rf "$run"
"$root/scripts/wine-session.sh" start "$session" >/dev/null
trap '"$root/scripts/wine-session.sh" stop "$session"' EXIT
tour() { # FOLDER PROGRAM SCRIPT
    (cd "$1" && KALVO_AUTOMATION="Z:$root/app/tour/$3" KALVO_AUTOMATION_LOG="Z:$1/${3%.script}.log" \
        "$root/scripts/wine-run.sh" "$session" "$2") ||
        { echo "the tour $3 failed:"; cat "$1/${3%.script}.log"; exit 1; }
    cp "$1"/*.png "$shots/"
}
# A clean machine: what an earlier run installed into the session's prefix goes first.
drive_c="$session/prefix/drive_c"
rm -rf "$drive_c/Program Files/kalvo" "$drive_c"/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Kalvo
rm -f "$drive_c"/users/*/Desktop/Kalvo.Net.lnk "$drive_c"/users/*/Desktop/Kalvo.Net.desktop
full_setup "$run/download"
tour "$run/download" ./kalvo_setup.exe install.script
tour "$run/download" ./kalvo_setup.exe update.script
# The uninstall empties the installation folder: the screenshots go elsewhere.
uninstaller='C:\Program Files\kalvo\uninstall.exe'
mkdir -p "$run/uninstall" "$run/finished"
tour "$run/uninstall" "$uninstaller" uninstall.script
tour "$run/finished" "$uninstaller" finished.script
echo "No display: the setup toured on a private Xvfb; screenshots in $shots"

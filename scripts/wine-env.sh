# Sourced by the Wine scripts: the environment of a private Wine session kept in folder $1.
# The prefix and HOME are the session's own, so that nothing lands in a real home folder.
wine_session_dir=$(mkdir -p "$1" && cd "$1" && pwd)
export WINEPREFIX="$wine_session_dir/prefix"
export HOME="$wine_session_dir/home"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
mkdir -p "$HOME"

# Starts a private Xvfb on the first free display number and exports DISPLAY.
start_private_display() {
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb could not start" >&2; return 1; }
        sleep 0.1
    done
    export DISPLAY=":$n"
}

# Makes the prefix when it does not exist yet (about ten seconds the first time).
ensure_prefix() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    "$WINE" wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w
}

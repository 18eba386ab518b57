# Sourced by the Wine scripts: the environment of a private Wine session kept in folder $1.
# The prefix and HOME are the session's own, so that nothing lands in a real home folder.
wine_session_dir=$(mkdir -p "$1" && cd "$1" && pwd)
# X authority is looked up in HOME, which changes below.
export XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}"
export WINEPREFIX="$wine_session_dir/prefix"
export HOME="$wine_session_dir/home"
export WINEDEBUG=-all
# KALVO_WINEDLLOVERRIDES adds overrides of a test's own (no Mono or Gecko installers always).
export WINEDLLOVERRIDES="mscoree,mshtml=${KALVO_WINEDLLOVERRIDES:+;$KALVO_WINEDLLOVERRIDES}"
export WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
mkdir -p "$HOME"

# Starts a private Xvfb on a display number it chooses itself, exports DISPLAY and sets
# xvfb_pid. Its output goes nowhere: ctest waits for every holder of a test's output.
start_private_display() {
    local numberfile="$wine_session_dir/display"
    rm -f "$numberfile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberfile" </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
        if [ -s "$numberfile" ]; then
            export DISPLAY=":$(head -n 1 "$numberfile")"
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "Xvfb could not start" >&2
    kill "$xvfb_pid" 2>/dev/null
    return 1
}

# Whether a recorded process is still the Xvfb we started (and not a later process that
# got its number).
is_our_xvfb() {
    [ -n "${1:-}" ] && [ "$(cat "/proc/$1/comm" 2>/dev/null)" = Xvfb ]
}

# Makes the prefix when it does not exist yet (about ten seconds the first time). There is
# no window manager on a private display: Wine draws window frames itself and does not wait
# for a manager to map or withdraw windows.
# Debian's Wine does not find the Marlett font in its own data folder, and without it window
# frames show letters where the caption buttons belong; the prefix gets a copy.
ensure_prefix() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    "$WINE" wineboot -i &&
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" &&
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f &&
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
        "$WINESERVER" -w
}

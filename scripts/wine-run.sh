#!/usr/bin/env bash
# wine-run.sh DIR PROGRAM [ARGS...]: runs a Windows program under wine64 in the Wine session
# kept in DIR (see wine-session.sh). Without a running session it makes one for this run alone.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
session=$1
shift
source "$here/wine-env.sh" "$session"

if [ -f "$wine_session_dir/env" ]; then
    source "$wine_session_dir/env"
    if is_our_xvfb "${KALVO_XVFB_PID:-}"; then
        exec "$WINE" "$@"
    fi
fi

"$here/wine-session.sh" start "$session" >/dev/null || exit 1
trap '"$here/wine-session.sh" stop "$session"' EXIT
source "$wine_session_dir/env"
"$WINE" "$@"

#!/usr/bin/env bash
# wine-run.sh DIR PROGRAM [ARGS...]: runs a Windows program under wine64 in the Wine session
# kept in DIR (see wine-session.sh). Without a running session it makes one for this run alone.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
session=$1
shift
source "$here/wine-env.sh" "$session"

if [ -f "$wine_session_dir/env" ] && source "$wine_session_dir/env" &&
    kill -0 "${KALVO_XVFB_PID:-0}" 2>/dev/null; then
    exec "$WINE" "$@"
fi

"$here/wine-session.sh" start "$session" >/dev/null || exit 1
source "$wine_session_dir/env"
"$WINE" "$@"
status=$?
"$here/wine-session.sh" stop "$session"
exit $status

#!/usr/bin/env bash
# x_input.sh SESSION PROGRAM WORKDIR: drives the demo window with real X input (xdotool on
# the Wine session's display) and lets the program check the effect: its script waits while
# this script clicks into the name field, types and presses OK, then expects what a user
# would see. Passes when the program exits 0.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
session=$1
program=$2
work=$3
source "$session/env" # DISPLAY of the session's Xvfb
mkdir -p "$work"
dump="$work/x-input.json"
rm -f "$dump"
script="$work/x-input.script"
cat >"$script" <<SCRIPT
wait-idle
dump Z:$dump
sleep 6000
expect NameEdit.Text = "Ann"
expect StatusLabel.Caption = "Kept: Ann, English, shortcut, just me."
quit
SCRIPT

KALVO_AUTOMATION="Z:$script" KALVO_AUTOMATION_LOG="Z:$work/x-input.log" \
    "$here/../../scripts/wine-run.sh" "$session" "$program" &
demo=$!

for _ in $(seq 1 100); do
    [ -s "$dump" ] && break
    sleep 0.1
done
[ -s "$dump" ] || { echo "the demo wrote no dump"; kill $demo; exit 1; }

# Screen positions of the centres of the name field and the OK button.
read -r name_x name_y ok_x ok_y < <(/usr/bin/python3 - "$dump" <<'PY'
import json, sys
def find(node, name):
    if node.get("name") == name:
        return node
    for child in node.get("children", []):
        hit = find(child, name)
        if hit:
            return hit
form = next(w for w in json.load(open(sys.argv[1], encoding="utf-8")) if w["name"] == "DemoForm")
ox, oy = form["clientOrigin"]
out = []
for name in ("NameEdit", "OkButton"):
    x, y, w, h = find(form, name)["bounds"]
    out += [ox + x + w // 2, oy + y + h // 2]
print(*out)
PY
)

xdotool mousemove "$name_x" "$name_y" click 1
sleep 0.3
xdotool type --delay 50 "Ann"
sleep 0.3
xdotool mousemove "$ok_x" "$ok_y" click 1

wait $demo

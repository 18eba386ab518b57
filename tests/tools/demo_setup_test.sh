#!/usr/bin/env bash
# demo_setup_test.sh BUNDLER SETUP STUB FILE0..FILE5: the demo setup file lists its six chunks
# and ends with its payload, and bundling the same inputs again gives the same bytes.
set -euo pipefail
bundle=$1 setup=$2
shift 2
listing=$("$bundle" list "$setup")
echo "$listing"
for chunk in "0 kalvo.exe" "1 help.chm" "2 kalvo.lcf" "3 kalvo.uri" "4 media\\media1.avi" "5 kalvo.dll"; do
    grep -qF "chunk $chunk: " <<<"$listing" || { echo "no chunk $chunk"; exit 1; }
done
grep -qx "image: 1641984 bytes" <<<"$listing" || { echo "wrong image size"; exit 1; }
again=$(mktemp)
trap 'rm -f "$again"' EXIT
"$bundle" make "$@" "$again"
cmp "$setup" "$again" && echo "bundled again: the same bytes"

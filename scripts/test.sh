#!/usr/bin/env bash
# Builds every target and runs every test: the portable core natively, again under ASan and
# UBSan with a short run of each fuzz target, the Windows tests under wine64; the 32-bit
# Windows build (the release) is compiled and linked, and its files are checked by the tests
# that run none of its programs (this kernel cannot run 32-bit programs).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh" || exit 1

status=0
passed=0
failed=0
for preset in native sanitize win64 win32; do
    echo "== $preset: build"
    if ! { cmake --preset "$preset" >"build/configure-$preset.log" 2>&1 || { cat "build/configure-$preset.log"; false; }; } ||
        ! cmake --build --preset "$preset"; then
        echo "== $preset: BUILD FAILED"
        status=1
        continue
    fi
    echo "== $preset: test"
    log="build/ctest-$preset.log"
    ctest --preset "$preset" 2>&1 | tee "$log"
    [ "${PIPESTATUS[0]}" = 0 ] || status=1
    if summary=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log"); then
        total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
        bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$summary")
        passed=$((passed + total - bad))
        failed=$((failed + bad))
    else
        status=1
    fi
done
[ $status = 0 ] || echo "Some builds or tests failed; see above."
echo "$passed passed, $failed failed"
exit $status

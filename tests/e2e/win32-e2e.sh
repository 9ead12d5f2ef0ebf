#!/usr/bin/env bash
# End to end under Wine: the real Windows program started as Explorer starts it with a path that
# holds blanks (one pair of double quotes around it), then the drive root C:\ dragged onto its
# window from an X client, and "実行" clicked with real X input; the recording tool must get both
# paths exactly, the root with its backslash.
# Usage: tests/e2e/win32-e2e.sh MINGW_BUILD_DIR DRAG_SOURCE
#   (inside an X server, with WINEPREFIX set up as scripts/test-win32 does)
set -euo pipefail
build=$(realpath "$1")
drag_source=$(realpath "$2")
drive_c="$WINEPREFIX/drive_c"
work=$(mktemp -d "$drive_c/zarvo-e2e-XXXXXX")
name=${work##*/}
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/drag.sh"

mkdir "$work/app" "$work/a b"
cp "$build/bin/diff-zarvo.exe" "$work/app/"
cp "$build/bin/zarvo_record_args.exe" "$work/record-args.exe"
printf 'x\n' > "$work/a b/x y.txt"
printf '[WINDIFF]\r\nExePath=C:\\%s\\record-args.exe\r\n' "$name" > "$work/app/Zarvo.ini"

# Wine puts an argument that holds blanks in one pair of quotes, as Explorer does.
LC_ALL=ja_JP.UTF-8 wine "$work/app/diff-zarvo.exe" "C:\\$name\\a b\\x y.txt" </dev/null &
pids+=($!)
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Diff-Zarvo$' | head -n 1) \
  || fail "the window did not open"
wait_for_drop_target "$window"
eval "$(xdotool getwindowgeometry --shell "$window")"
left=$X top=$Y width=$WIDTH height=$HEIGHT
at() { echo "$(( left + $1 * width / 4710 )) $(( top + $2 * height / 3030 ))"; }

# The drive root, dragged onto the guide text by a file manager of the X side.
read -r tx ty < <(at 600 500)
drag_to "$drag_source" "$drive_c/" "$tx" "$ty"

read -r gx gy < <(at 847 2647)
xdotool mousemove --sync "$gx" "$gy" click 1
for _ in $(seq 30); do
  records=("$work"/record-args.exe.*.args)
  [ -e "${records[0]}" ] && break
  inotifywait -qq -t 1 -e moved_to "$work" || true
done
[ -e "${records[0]}" ] || fail "the comparison tool was not started"
expected=$(printf 'C:\\\0C:\\%s\\a b\\x y.txt\0' "$name" | od -An -c)
actual=$(od -An -c < "${records[0]}")
[ "$expected" = "$actual" ] || fail "the tool received$actual instead of$expected"
echo "1 passed, 0 failed: end-to-end under Wine"

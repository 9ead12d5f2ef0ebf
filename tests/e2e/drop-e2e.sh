#!/usr/bin/env bash
# End to end: files dragged from another X client onto the real program's window (the guide text,
# then the first-path box), paired, and compared with "実行": first with a recording tool named in
# the settings file, then, with no settings file, with our own viewer as the default tool. The
# second file's name is not UTF-8: it must arrive, and be saved, as its bytes.
# Usage: tests/e2e/drop-e2e.sh BUILD_DIR   (run inside an X server, e.g. under xvfb-run)
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/drag.sh"

mkdir "$work/app"
cp "$build/bin/diff-zarvo" "$build/bin/diff-zarvo-view" "$work/app/"
cp "$build/bin/zarvo_record_args" "$work/record-args"
first="$work/first file.txt"
second="$work/二番目$(printf '\xfe').txt"
printf 'a\n' > "$first"
printf 'b\n' > "$second"
printf '[WINDIFF]\r\nExePath=%s\r\n' "$work/record-args" > "$work/app/Zarvo.ini"

start_front_end() {
  "$work/app/diff-zarvo" &
  front_end=$!
  pids+=("$front_end")
  # This process's window: the one of a program just ended may not be gone yet.
  window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$front_end" --name "^Diff-Zarvo\$" | head -n 1) \
    || fail "the window did not open"
  wait_for_drop_target "$window"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  left=$X top=$Y width=$WIDTH height=$HEIGHT
}
at() {  # at TWIPS_X TWIPS_Y: the screen point of a place in the window's client area
  echo "$(( left + $1 * width / 4710 )) $(( top + $2 * height / 3030 ))"
}

# drag FILE TWIPS_X TWIPS_Y: a drag source holding FILE, dragged onto that point of the window.
drag() {
  read -r tx ty < <(at "$2" "$3")
  drag_to "$build/bin/zarvo_drag_source" "$1" "$tx" "$ty"
}

pair_and_compare() {
  drag "$first" 600 500      # onto the guide text
  drag "$second" 2000 1455   # onto the first-path box
  read -r gx gy < <(at 847 2647)
  xdotool mousemove --sync "$gx" "$gy" click 1
}

start_front_end
pair_and_compare

for _ in $(seq 30); do
  records=("$work"/record-args.*.args)
  [ -e "${records[0]}" ] && break
  inotifywait -qq -t 1 -e moved_to "$work" || true
done
[ -e "${records[0]}" ] || fail "the comparison tool was not started: the drops did not arrive"
expected=$(printf '%s\0%s\0' "$second" "$first" | od -An -c)
actual=$(od -An -c < "${records[0]}")
[ "$expected" = "$actual" ] || fail "the tool received$actual instead of$expected"

# No settings file: the viewer beside the program is the tool, and it opens on the pair.
kill "$front_end"
wait "$front_end" || true
rm "$work/app/Zarvo.ini"
start_front_end
pair_and_compare
# Its title names both files (the newest first) and counts the differences.
viewer=$(timeout 20 xdotool search --sync --onlyvisible \
  --name '^二番目.*\.txt ⇔ first file\.txt — 相違 1 箇所 — Diff-Zarvo ビューアー$' | head -n 1) \
  || fail "the viewer did not open"
pids+=("$(xdotool getwindowpid "$viewer")")
printf '[DiffPath]\r\nLIST1=%s\r\n' "$first" | cmp -s - "$work/app/Zarvo.ini" \
  || fail "unexpected settings file after the viewer started: $(cat -A "$work/app/Zarvo.ini")"
echo "2 passed, 0 failed: end-to-end drops"

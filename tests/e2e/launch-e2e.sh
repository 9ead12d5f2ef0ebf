#!/usr/bin/env bash
# End to end: the real program under Xvfb, started with a file argument (relative, and not UTF-8),
# its "実行" button clicked with real X input; checks what the comparison tool received and what was
# saved.
# Usage: tests/e2e/launch-e2e.sh BUILD_DIR   (run inside an X server, e.g. under xvfb-run)
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'kill "${app_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

# The program in a folder of its own, with a settings file that names the recording tool.
mkdir "$work/app"
cp "$build/bin/diff-zarvo" "$work/app/"
cp "$build/bin/zarvo_record_args" "$work/record-args"
older="$work/older file.txt"
newer="$work/-新しい \"file\" $(printf '\xff').txt"
printf 'old\n' > "$older"
printf 'new\n' > "$newer"
# The history holds its one entry under LIST3, so saving it adds LIST1.
printf '[WINDIFF]\r\nExePath=%s\r\n[DiffPath]\r\nLIST3=%s\r\n' "$work/record-args" "$older" \
  > "$work/app/Zarvo.ini"

(cd "$work" && exec app/diff-zarvo "${newer##*/}") &
app_pid=$!
# This process's window, by its _NET_WM_PID: never one a program run before left on the display.
window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$app_pid" --name '^Diff-Zarvo$' | head -n 1)

# The 実行 button's centre, from the window's size in pixels and the layout in twips.
eval "$(xdotool getwindowgeometry --shell "$window")"
x=$(( (120 + 1455 / 2) * WIDTH / 4710 ))
y=$(( (2400 + 495 / 2) * HEIGHT / 3030 ))
xdotool mousemove --window "$window" "$x" "$y" click 1

# Wait on file-system events, with a bound, for the tool's record and the saved history.
for _ in $(seq 30); do
  records=("$work"/record-args.*.args)
  [ -e "${records[0]}" ] && grep -q '^LIST1=' "$work/app/Zarvo.ini" && break
  inotifywait -qq -t 1 -e create,moved_to,close_write "$work" "$work/app" || true
done

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -e "${records[0]}" ] || fail "the comparison tool was not started"
[ ${#records[@]} -eq 1 ] || fail "the tool was started ${#records[@]} times"
expected=$(printf '%s\0%s\0' "$newer" "$older" | od -An -c)
actual=$(od -An -c < "${records[0]}")
[ "$expected" = "$actual" ] || fail "the tool received$actual instead of$expected"
printf '[WINDIFF]\r\nExePath=%s\r\n[DiffPath]\r\nLIST3=%s\r\nLIST1=%s\r\n' "$work/record-args" \
  "$older" "$older" | cmp -s - "$work/app/Zarvo.ini" || fail "unexpected settings file: $(cat -A "$work/app/Zarvo.ini")"
kill -0 "$app_pid" || fail "the program exited"
echo "1 passed, 0 failed: end-to-end launch"

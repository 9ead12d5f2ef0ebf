#!/usr/bin/env bash
# Run by scripts/test-deb as an ordinary user, once the package is installed, with HOME an empty
# folder of that user's: the installed programs from /usr/bin. The viewer writes a unified diff;
# the front end, started with a file under Xvfb, takes a second one from its Open dialog (Ctrl+O),
# presses 実行, starts the viewer beside it, and writes its settings into the user's own
# ~/.config/diff-zarvo, which it makes, and nowhere in /usr/lib/diff-zarvo.
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0"
fi
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY XDG_CONFIG_HOME

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}
waitFor() {  # waitFor SECONDS COMMAND...: polls until COMMAND succeeds
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

work=$(mktemp -d)
started=()
cleanup() {
  local pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
first=$work/first.txt
second=$work/second.txt
printf 'one\nsame\n' >"$first"
printf 'two\nsame\n' >"$second"
ini=$HOME/.config/diff-zarvo/Zarvo.ini

echo "--- diff-zarvo-view -u from /usr/bin, as $(id -un)"
status=0
/usr/bin/diff-zarvo-view -u "$first" "$second" >"$work/diff" || status=$?
check "diff-zarvo-view -u exits with 1 for different files" test "$status" -eq 1
check "its hunk is the change" \
  diff <(tail -n +3 "$work/diff") <(printf '@@ -1,2 +1,2 @@\n-one\n+two\n same\n')
check "the viewer wrote no settings" test ! -e "$HOME/.config"

echo "--- diff-zarvo from /usr/bin with a file"
cd "$work"
/usr/bin/diff-zarvo "$first" &
front=$!
started+=("$front")
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$front" --name '^Diff-Zarvo$' |
  head -n 1) || true
check "the window opens" test -n "$window"
# Ctrl+O, the second file typed into the Open dialog: it becomes the first path, and the file
# given at start moves into the history.
xdotool windowfocus --sync "$window" key ctrl+o
dialogOpen() { [ "$(xdotool search --onlyvisible --pid "$front" --name '.' | wc -l)" -ge 2 ]; }
check "Ctrl+O opens the Open dialog" waitFor 30 dialogOpen
xdotool type --delay 20 "$second"
xdotool key Return
dialogClosed() { [ "$(xdotool search --onlyvisible --pid "$front" --name '.' | wc -l)" -eq 1 ]; }
check "the dialog takes the file" waitFor 30 dialogClosed
# 実行 at the centre of its place in the layout (120, 2400 twips, 1455 x 495, in a client area of
# 4710 x 3030 twips).
eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=')"
xdotool mousemove --sync --window "$window" $(((120 * 2 + 1455) * WIDTH / (4710 * 2))) \
  $(((2400 * 2 + 495) * HEIGHT / (3030 * 2))) click 1
historySaved() { grep -qFx "LIST1=$first"$'\r' "$ini" 2>/dev/null; }
check "the history is saved in ~/.config/diff-zarvo/Zarvo.ini" waitFor 30 historySaved
check "the settings folder is the user's alone" \
  test "$(stat -c '%U %a' "$HOME/.config/diff-zarvo")" = "$(id -un) 700"
check "nothing is written beside the program" test ! -e /usr/lib/diff-zarvo/Zarvo.ini
viewer=$(timeout 30 xdotool search --sync --onlyvisible --name 'Diff-Zarvo ビューアー' | head -n 1) ||
  true
check "実行 opens the viewer from /usr/lib/diff-zarvo" test -n "$viewer"
if [ -n "$viewer" ]; then
  viewerPid=$(xdotool getwindowpid "$viewer")
  check "the viewer is the installed one" \
    test "$(readlink "/proc/$viewerPid/exe")" = /usr/lib/diff-zarvo/diff-zarvo-view
  kill "$viewerPid"
fi

echo "deb user test: $failures failed"
[ "$failures" -eq 0 ]

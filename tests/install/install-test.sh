#!/usr/bin/env bash
# Installs the program into a temporary prefix, as a user would into ~/.local, and checks it as a
# desktop would see it: the layout, the link in bin/, the desktop entry, icons and metadata, the
# "Open With" registration; then starts the installed program, through its link and through its
# desktop entry, under Xvfb, presses 実行, and checks that the comparison tool got the files and
# that Zarvo.ini was written beside the real executable; and under a headless Wayland compositor,
# that the window names its desktop entry. Ends with a staged install and the uninstall.
#
# Usage: tests/install/install-test.sh [BUILD_DIR]   (default: build/release, already built)
set -euo pipefail
cd "$(dirname "$0")/../.."
source=$PWD
build=$(realpath "${1:-build/release}")

# A real X server for the real program, unless one is given. -noreset: by default the server
# resets when its last client leaves and refuses connections meanwhile, and this test ends one
# program and starts the next.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$build"
fi
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

appId=io.github.diffzarvo.DiffZarvo
passes=0
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; passes=$((passes + 1)); }
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
not() { ! "$@"; }
# Polls until COMMAND succeeds, for at most SECONDS.
waitFor() {  # waitFor SECONDS COMMAND...
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

work=$(mktemp -d)
# Blanks, quotes, $ and a Japanese name in the prefix: the desktop entry must quote them right.
prefix="$work/home \$HOME 'q' \"dq\" \`b\` ローカル/.local"
started=()
manifest=$build/install_manifest.txt
[ -f "$manifest" ] && cp "$manifest" "$work/user-manifest"
cleanup() {
  local pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  # The user's own record of an earlier install stays what it was.
  if [ -f "$work/user-manifest" ]; then
    cp "$work/user-manifest" "$manifest"
  else
    rm -f "$manifest"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

echo "--- install into $prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1
programDir=$prefix/lib/diff-zarvo
link=$prefix/bin/diff-zarvo
desktop=$prefix/share/applications/$appId.desktop
metainfo=$prefix/share/metainfo/$appId.metainfo.xml
hicolor=$prefix/share/icons/hicolor

# Each user's settings go to their own folder where they cannot write the program's: an install
# by root needs no warning.
check "the install gives no warning" not grep -q "CMake Warning" "$work/install.log"

echo "--- layout"
expected=("$programDir/diff-zarvo" "$link" "$desktop" "$metainfo")
[ -e "$build/bin/diff-zarvo-view" ] && expected+=("$programDir/diff-zarvo-view")
for size in 16 32 48 64 128 256; do expected+=("$hicolor/${size}x$size/apps/$appId.png"); done
expected+=("$hicolor/scalable/apps/$appId.svg")
check "the manifest lists exactly the expected files" \
  diff <(printf '%s\n' "${expected[@]}" | sort) <(sort "$manifest")
check "the front end is an executable file in lib/diff-zarvo" \
  test -f "$programDir/diff-zarvo" -a ! -L "$programDir/diff-zarvo" -a -x "$programDir/diff-zarvo"
if [ -e "$build/bin/diff-zarvo-view" ]; then
  check "the viewer is an executable file beside the front end" \
    test -f "$programDir/diff-zarvo-view" -a -x "$programDir/diff-zarvo-view"
fi
check "bin/diff-zarvo is a relative link to it" \
  test "$(readlink "$link")" = "../lib/diff-zarvo/diff-zarvo"
check "the link resolves to the front end" \
  test "$(realpath "$link")" = "$(realpath "$programDir/diff-zarvo")"

echo "--- icons"
rgba() { convert "$1" -alpha on -depth 8 rgba:-; }
for size in 16 32 48 64 128 256; do
  icon=$hicolor/${size}x$size/apps/$appId.png
  check "the ${size}x$size icon is $size pixels square" \
    test "$(identify -format '%wx%h' "$icon")" = "${size}x$size"
done
# The menu's small icons are the window's own pixels.
check "the 32x32 icon is the window's 32x32 image" \
  cmp -s <(rgba "$source/app/Zarvo.ico[0]") <(rgba "$hicolor/32x32/apps/$appId.png")
check "the 16x16 icon is the window's 16x16 image" \
  cmp -s <(rgba "$source/app/Zarvo.ico[1]") <(rgba "$hicolor/16x16/apps/$appId.png")
# The scalable icon, rendered as desktops render it, is the same drawing.
for size in 32 64 256; do
  check "the SVG at $size pixels equals the ${size}x$size icon" \
    cmp -s <(rsvg-convert -w "$size" -h "$size" "$hicolor/scalable/apps/$appId.svg" | rgba png:-) \
    <(rgba "$hicolor/${size}x$size/apps/$appId.png")
done

echo "--- desktop entry and metadata"
check "desktop-file-validate accepts the entry" desktop-file-validate "$desktop"
# The whole tree: the metadata, and the desktop entry it names as its launchable.
check "appstreamcli accepts the installed metadata" appstreamcli validate-tree --no-net "$prefix"
# The value of a key, with the entry's string escapes undone.
entry() { sed -n "s/^$1=//p" "$desktop" | sed 's/\\\\/\\/g'; }
check "TryExec names the installed link" test "$(entry TryExec)" = "$link"
check "Icon is the application id" test "$(entry Icon)" = "$appId"
check "Exec passes one file" test "$(entry Exec | sed 's/.* //')" = "%f"
for type in text/plain application/octet-stream; do
  check "MimeType lists $type" grep -q "^MimeType=\(.*;\)\?$type;" "$desktop"
done
# "Open With" as GLib (GNOME, Xfce, ...) finds it, from the prefix's data folder alone.
openWith() {
  local offered
  offered=$(env -i PATH=/usr/bin:/bin HOME="$work" XDG_DATA_HOME="$prefix/share" \
    XDG_DATA_DIRS=/usr/share gio mime "$1" 2>/dev/null) || true
  grep -q "^[[:space:]]*$appId.desktop$" <<<"$offered"
}
# text/x-go is not listed: it comes through text/plain, as every text type does.
for type in text/plain text/x-csrc application/json application/octet-stream text/x-go; do
  check "\"Open With\" offers it for $type" openWith "$type"
done

echo "--- the installed program, started through its link"
tool="$work/record tool"
record="$work/recorded"
cat >"$tool" <<'TOOL'
#!/bin/sh
# Stands in for a comparison tool: records its arguments, NUL-separated, and exits.
printf '%s\0' "$@" >"$RECORD.part" && mv "$RECORD.part" "$RECORD"
TOOL
chmod +x "$tool"
export RECORD=$record
first="$work/first file.txt"
other="$work/other file.txt"
third="$work/third file.txt"
echo one >"$first"
echo two >"$other"
echo three >"$third"
ini=$programDir/Zarvo.ini
# A quoted history entry reads as the bare path; the save after 実行 writes it bare.
printf '[WINDIFF]\r\nExePath=%s\r\n[DiffPath]\r\nLIST1="%s"\r\n' "$tool" "$other" >"$ini"

# Finds the window of the given process and clicks 実行 at the centre of its place in the layout
# (120, 2400 twips, 1455 x 495, in a client area of 4710 x 3030 twips).
clickGo() {  # clickGo PID
  local window x y WIDTH HEIGHT
  window=$(timeout 30 xdotool search --sync --all --onlyvisible --pid "$1" --name '^Diff-Zarvo$' |
    head -n 1) || true
  if [ -z "$window" ]; then
    fail "the window of process $1 appears"
    return 1
  fi
  eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=')"
  x=$(((120 * 2 + 1455) * WIDTH / (4710 * 2)))
  y=$(((2400 * 2 + 495) * HEIGHT / (3030 * 2)))
  xdotool mousemove --sync --window "$window" "$x" "$y" click 1
}
# Clicks 実行 and waits for the recording tool's record.
pressGo() {  # pressGo PID
  rm -f "$record"
  clickGo "$1" && waitFor 30 test -f "$record"
}
recorded() { tr '\0' '\n' <"$record"; }
expectRecord() {  # expectRecord FIRST SECOND
  check "the tool got the two files as its two arguments" \
    diff <(printf '%s\n' "$1" "$2") <(recorded)
}
historySaved() { grep -qFx "LIST1=$1"$'\r' "$ini"; }

cd "$work"
"$link" "$first" &
front=$!
started+=("$front")
if pressGo "$front"; then
  expectRecord "$first" "$other"
  check "Zarvo.ini in lib/diff-zarvo holds the saved history" waitFor 30 historySaved "$other"
else
  fail "実行 started the tool named in lib/diff-zarvo/Zarvo.ini"
fi
check "no Zarvo.ini beside the link" test ! -e "$prefix/bin/Zarvo.ini"
check "no Zarvo.ini in the current folder" test ! -e "$work/Zarvo.ini"
kill "$front"
wait "$front" 2>/dev/null || true

echo "--- the installed program, started as \"Open With\" starts it"
# GLib reads Exec, expands %f with the chosen file and starts the program, as a file manager does.
# The window found below must be the new one: wait until the X server has dropped the window of
# the program started through the link.
windowLeft() { xdotool search --onlyvisible --name '^Diff-Zarvo$' >/dev/null; }
check "the window from before is gone" waitFor 30 not windowLeft
env XDG_DATA_HOME="$prefix/share" gio launch "$desktop" "$third" ||
  fail "gio launch takes the entry"
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Diff-Zarvo$' | head -n 1) || true
if [ -n "$window" ]; then
  pid=$(xdotool getwindowpid "$window")
  started+=("$pid")
  check "the desktop entry started the installed front end" \
    test "$(realpath "/proc/$pid/exe")" = "$(realpath "$programDir/diff-zarvo")"
  # The history still holds only the other file (the first one was never displaced): the new
  # file is the first path, the other file the second.
  if pressGo "$pid"; then expectRecord "$third" "$other"; else fail "実行 after \"Open With\""; fi
  kill "$pid"
else
  fail "the desktop entry started a window"
fi

if [ -e "$programDir/diff-zarvo-view" ]; then
  echo "--- the default comparison tool: the viewer beside the installed front end"
  printf '[DiffPath]\r\nLIST1=%s\r\n' "$other" >"$ini"
  "$link" "$first" &
  front=$!
  started+=("$front")
  if clickGo "$front"; then
    viewer=$(timeout 30 xdotool search --sync --onlyvisible --classname '^diff-zarvo-view$' |
      head -n 1) || true
    if [ -n "$viewer" ]; then
      pid=$(xdotool getwindowpid "$viewer")
      started+=("$pid")
      check "実行 without a chosen tool starts the installed viewer" \
        test "$(realpath "/proc/$pid/exe")" = "$(realpath "$programDir/diff-zarvo-view")"
      check "the viewer got the two files" \
        diff <(printf '%s\n' "$first" "$other") \
        <(tr '\0' '\n' <"/proc/$pid/cmdline" | sed -n '2,3p')
      kill "$pid"
    else
      fail "実行 without a chosen tool starts the installed viewer"
    fi
  fi
  kill "$front"
fi

echo "--- under Wayland: the window names its desktop entry"
# Wayland desktops know a window's menu entry (name, icon, dock) only by the app id it sends.
socket=zarvo-install-test-$$
weston --no-config --backend=headless-backend.so --shell=kiosk-shell.so --socket="$socket" \
  --idle-time=0 >"$work/weston.log" 2>&1 &
compositor=$!
started+=("$compositor")
if waitFor 30 test -S "$XDG_RUNTIME_DIR/$socket"; then
  WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
    "$link" "$first" 2>"$work/wayland.log" &
  front=$!
  started+=("$front")
  appIdSent() { grep -q 'xdg_toplevel@[0-9]*\.set_app_id(' "$work/wayland.log"; }
  waitFor 30 appIdSent || true
  check "the window's app id is the desktop entry's name" \
    grep -qF "set_app_id(\"$appId\")" "$work/wayland.log"
  kill "$front"
else
  fail "weston starts"
fi
kill "$compositor"

echo "--- a staged install, as a distribution package builds it"
DESTDIR=$work/stage cmake --install "$build" --prefix /usr >"$work/stage.log" 2>&1
staged=$work/stage/usr/share/applications
check "the staged entry names the final path" \
  grep -qx "Exec=/usr/bin/diff-zarvo %f" "$staged/$appId.desktop"
check "the staged install leaves the caches to the package manager" \
  test ! -e "$staged/mimeinfo.cache"
check "the staged link is relative" \
  test "$(readlink "$work/stage/usr/bin/diff-zarvo")" = "../lib/diff-zarvo/diff-zarvo"

echo "--- uninstall"
# Back to the temporary prefix's record, which the staged install replaced.
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1
"$source/scripts/uninstall" "$build" >"$work/uninstall.log"
left=$(cd "$prefix" && find . ! -type d | sort)
check "only the settings and the refreshed menu cache are left" \
  test "$left" = "$(printf '%s\n' ./lib/diff-zarvo/Zarvo.ini ./share/applications/mimeinfo.cache)"
check "\"Open With\" no longer offers it" not openWith text/plain

echo
echo "install: $passes passed, $failures failed"
[ $failures -eq 0 ]

#!/usr/bin/env bash
# Remakes the README's pictures of the window under Xvfb: docs/window.png (waiting for the first
# file) and docs/paired.png (two files paired, ready to compare).
# Usage: scripts/screenshot.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/diff-zarvo" "$work/"

shoot() {  # shoot OUTPUT [FILE]: starts the program, photographs its window, closes it
  export OUTPUT=$1
  shift
  xvfb-run -a -s "-screen 0 640x480x24 -dpi 96" bash -c '
    "$0" "$@" & pid=$!
    window=$(xdotool search --sync --onlyvisible --name "^Diff-Zarvo$" | head -n 1)
    import -window "$window" "$OUTPUT"
    kill $pid' "$work/diff-zarvo" "$@"
}

printf '[WINDIFF]\r\nExePath=/home/user/.local/lib/diff-zarvo/diff-zarvo-view\r\n' > "$work/Zarvo.ini"
shoot docs/window.png
printf '[DiffPath]\r\nLIST1=/home/user/doc/report-v1.txt\r\nLIST2=/home/user/doc/notes.txt\r\n' \
  >> "$work/Zarvo.ini"
shoot docs/paired.png /home/user/doc/report-v2.txt
echo "Wrote docs/window.png and docs/paired.png"

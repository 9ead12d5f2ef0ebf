#!/usr/bin/env bash
# End to end: `git mergetool` with the viewer as its tool, on a real repository with a conflict.
# The merge window is driven by its keys with real X input (Alt+Left takes MINE's side, Ctrl+S
# saves, Ctrl+W closes); checks the file git keeps, that git took it as resolved, and the exit
# status; and that a tool killed before saving leaves the conflict to git as it was.
# Usage: tests/e2e/mergetool-e2e.sh BUILD_DIR   (run inside an X server, e.g. xvfb-run)
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'kill "${tool_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

cd "$work"
git init -q -b main repo
cd repo
git config user.email e2e@example.com
git config user.name e2e
printf 'one\ntwo\nthree\nfour\nfive\nsix\nseven\n' > f.txt
git add f.txt && git commit -qm base
git checkout -qb feature
printf 'one\ntwo (feature)\nthree\nFOUR\nfive\nsix\nseven\n' > f.txt
git commit -qam feature
git checkout -q main
printf 'one\ntwo (main)\nthree\nfour\nfive\nSIX\nseven\n' > f.txt
git commit -qam main
if git merge -q feature >/dev/null 2>&1; then echo "the merge should conflict"; exit 1; fi

# The git configuration README gives.
git config mergetool.zarvo.cmd \
  "\"$build/bin/diff-zarvo-view\" \"\$LOCAL\" \"\$BASE\" \"\$REMOTE\" -o \"\$MERGED\""
git config mergetool.zarvo.trustExitCode true
git config mergetool.keepBackup false

# First the tool is killed before it saves: git must keep the file unresolved, untouched.
cp f.txt "$work/conflicted"
git mergetool --tool=zarvo --no-prompt f.txt > "$work/mergetool.log" 2>&1 &
tool_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '\(マージ\)' | head -n 1)
kill "$(xdotool getwindowpid "$window")"
status=0
wait "$tool_pid" || status=$?
[ "$status" -ne 0 ] || { echo "git mergetool took a killed tool as a resolution"; exit 1; }
[ "$(git diff --name-only --diff-filter=U)" = "f.txt" ] || { echo "f.txt was taken as resolved"; exit 1; }
cmp f.txt "$work/conflicted" || { echo "f.txt was written by a tool that never saved"; exit 1; }

# Then resolved by the keys.
git mergetool --tool=zarvo --no-prompt f.txt > "$work/mergetool.log" 2>&1 &
tool_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '\(マージ\)' | head -n 1)
xdotool windowfocus --sync "$window"
# It opens on the conflict: MINE's side, save, close. X delivers the keys in order.
xdotool key --clearmodifiers alt+Left ctrl+s ctrl+w
status=0
wait "$tool_pid" || status=$?
tool_pid=
[ "$status" -eq 0 ] || { echo "git mergetool exited $status"; cat "$work/mergetool.log"; exit 1; }

# The result as saved: MINE's side of the conflict, THEIRS' FOUR and MINE's SIX merged.
expected=$'one\ntwo (main)\nthree\nFOUR\nfive\nSIX\nseven'
[ "$(cat f.txt)" = "$expected" ] || { echo "f.txt is:"; cat f.txt; exit 1; }
[ "$(od -An -c f.txt | tr -d ' \n' | tail -c 2)" = '\n' ] || { echo "f.txt lost its last newline"; exit 1; }
# git took the file as resolved: staged, nothing left unmerged, no backup.
[ -z "$(git diff --name-only --diff-filter=U)" ] || { echo "f.txt is still unmerged"; exit 1; }
[ "$(git diff --cached --name-only)" = "f.txt" ] || { echo "f.txt is not staged"; exit 1; }
[ ! -e f.txt.orig ] || { echo "a backup was left"; exit 1; }
echo "git mergetool: resolved and staged"

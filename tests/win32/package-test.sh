#!/usr/bin/env bash
# The Windows packages as a user meets them, under Wine with code page 932: the portable zips hold
# both programs and the Japanese read-me; the installer, run silently, installs per user, adds the
# Start menu and Send To entries and its uninstall entry, and its uninstaller removes them all but
# Zarvo.ini (unless asked). Needs WINEPREFIX and DISPLAY set, and no wineserver left running.
# Usage: tests/win32/package-test.sh PACKAGES_DIR BUILD32 BUILD64
set -euo pipefail
packages=$(cd "$1" && pwd)
export LC_ALL=ja_JP.UTF-8
fail() { echo "package-test: $*" >&2; exit 1; }

# The zips: exactly these files, names flagged UTF-8, the programs as built.
for arch in win32 win64; do
  build=$2
  [ $arch = win64 ] && build=$3
  python3 - "$packages/diff-zarvo-1.02.0002-$arch.zip" "$build/bin" <<'PY' || exit 1
import sys, zipfile
path, bin = sys.argv[1:]
folder = path.rsplit("/", 1)[1][:-4]
with zipfile.ZipFile(path) as archive:
    names = sorted(info.filename for info in archive.infolist())
    expected = sorted(f"{folder}/{n}" for n in
                      ["diff-zarvo.exe", "diff-zarvo-view.exe", "お読みください.txt", "LICENSE.txt"])
    if names != expected:
        sys.exit(f"package-test: {path} holds {names}, not {expected}")
    readme = archive.getinfo(f"{folder}/お読みください.txt")
    if not readme.flag_bits & 0x800:
        sys.exit(f"package-test: {path}: the read-me's name is not flagged UTF-8")
    text = archive.read(readme).decode("utf-8-sig")
    for needed in ["diff-zarvo.exe", "Zarvo.ini", "shell:sendto", "送る"]:
        if needed not in text:
            sys.exit(f"package-test: the read-me does not mention {needed}")
    for program in ["diff-zarvo.exe", "diff-zarvo-view.exe"]:
        if archive.read(f"{folder}/{program}") != open(f"{bin}/{program}", "rb").read():
            sys.exit(f"package-test: {path}: {program} is not the one built")
print(f"{path}: {len(names)} files, as built")
PY
done

user=$(id -un)  # Wine's user is the Unix one
profile=$WINEPREFIX/drive_c/users/$user
dir=$profile/AppData/Local/Programs/Diff-Zarvo
menu=$profile/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Diff-Zarvo.lnk
sendto=$profile/AppData/Roaming/Microsoft/Windows/SendTo/Diff-Zarvo.lnk
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Diff-Zarvo'

# Runs a Windows program and waits until it and everything it started have ended (the
# uninstaller runs from a copy of itself that it starts).
run() {
  wine "$@" </dev/null >/dev/null 2>&1 || true
  wineserver -w
}

installed() {
  for file in diff-zarvo.exe diff-zarvo-view.exe uninstall.exe お読みください.txt LICENSE.txt; do
    [ -f "$dir/$file" ] || fail "$file was not installed in $dir"
  done
  cmp -s "$dir/diff-zarvo.exe" "$1/bin/diff-zarvo.exe" || fail "the installed diff-zarvo.exe is not the one built"
  for link in "$menu" "$sendto"; do
    [ -f "$link" ] || fail "no shortcut $link"
    # The shortcut names the installed program.
    python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); sys.exit(0 if "Diff-Zarvo\\diff-zarvo.exe".encode("utf-16-le") in d or b"Diff-Zarvo\\diff-zarvo.exe" in d else 1)' "$link" ||
      fail "$link does not start the installed program"
  done
  wine reg query "$key" /v UninstallString </dev/null 2>/dev/null | grep -q 'Diff-Zarvo\\uninstall.exe' ||
    fail "no uninstall entry"
  wine reg query "$key" /v DisplayVersion </dev/null 2>/dev/null | grep -q '1.02.0002' ||
    fail "the uninstall entry has no version"
}

removed() {
  for file in diff-zarvo.exe diff-zarvo-view.exe uninstall.exe; do
    [ ! -e "$dir/$file" ] || fail "$file is left after uninstalling"
  done
  [ ! -e "$menu" ] && [ ! -e "$sendto" ] || fail "a shortcut is left after uninstalling"
  ! wine reg query "$key" </dev/null >/dev/null 2>&1 || fail "the uninstall entry is left"
}

# The installers, the 64-bit one included, are 32-bit programs (NSIS): a machine that cannot run
# those checks the zips only.
if [ "${ZARVO_RUN32:-no}" != yes ]; then
  echo "package-test: installers not run: they are 32-bit programs, and this machine runs none"
  exit 0
fi

for arch in win32 win64; do
  build=$2
  [ $arch = win64 ] && build=$3
  [ $arch = win32 ] && [ "${ZARVO_RUN32:-no}" != yes ] && continue
  rm -rf "$dir"
  run "$packages/diff-zarvo-1.02.0002-setup-$arch.exe" /S
  installed "$build"
  # The program keeps its settings there; a silent uninstall keeps them.
  printf '[WINDIFF]\r\nExePath=C:\\tool.exe\r\n' >"$dir/Zarvo.ini"
  run "$dir/uninstall.exe" /S
  removed
  [ -f "$dir/Zarvo.ini" ] || fail "a silent uninstall removed Zarvo.ini"
  # Installed again over the kept settings, then removed with them.
  run "$packages/diff-zarvo-1.02.0002-setup-$arch.exe" /S
  installed "$build"
  [ -f "$dir/Zarvo.ini" ] || fail "installing again removed Zarvo.ini"
  run "$dir/uninstall.exe" /S /REMOVESETTINGS
  removed
  [ ! -e "$dir" ] || fail "uninstalling with /REMOVESETTINGS left $dir"
  echo "setup-$arch: silent install (files, Start menu, Send To, uninstall entry) and uninstall, Zarvo.ini kept unless asked"
done

# A user whose folder the code page (932) cannot spell: installed there, the program starts with
# no settings, takes two files sent together (Send To passes each in its own quotes) as a pair,
# and "実行" opens the installed viewer on them; the history it saves names them without a '?'.
# While it runs, a silent reinstall and a silent uninstall fail and change nothing.
jose_dir='C:\users\José\AppData\Local\Programs\Diff-Zarvo'
jose=$WINEPREFIX/drive_c/users/José
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
for arch in win32 win64; do
  [ $arch = win32 ] && [ "${ZARVO_RUN32:-no}" != yes ] && continue
  setup=$packages/diff-zarvo-1.02.0002-setup-$arch.exe
  target=$jose/AppData/Local/Programs/Diff-Zarvo
  rm -rf "$jose"
  mkdir -p "$jose/data"
  printf 'one\n' >"$jose/data/a 1.txt"
  printf 'two\n' >"$jose/data/b 2.txt"
  run "$setup" /S "/D=$jose_dir"
  [ -f "$target/diff-zarvo.exe" ] && [ -f "$target/diff-zarvo-view.exe" ] || fail "$arch: not installed in $target"

  # Wine puts each argument that holds blanks in its own pair of quotes, as Send To does.
  wine "$target/diff-zarvo.exe" 'C:\users\José\data\a 1.txt' 'C:\users\José\data\b 2.txt' </dev/null >/dev/null 2>&1 &
  pids+=($!)
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Diff-Zarvo$' | head -n 1) || fail "$arch: the window did not open"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --sync $(( X + 847 * WIDTH / 4710 )) $(( Y + 2647 * HEIGHT / 3030 )) click 1
  viewer=$(timeout 60 xdotool search --sync --onlyvisible --name 'b 2\.txt.*a 1\.txt' | head -n 1) ||
    fail "$arch: the viewer did not open on the two files"
  python3 - "$target/Zarvo.ini" <<'PY' || fail "$arch: the history does not name the first file"
import sys
data = open(sys.argv[1], "rb").read()
assert b"?" not in data and all(b < 0x80 for b in data), data
assert b"[DiffPath]\r\nLIST1=C:\\users\\" in data and b"\\data\\a 1.txt\r\n" in data, data
PY

  # Running: a silent reinstall and uninstall fail, and leave every file and the entry as it was.
  printf 'marker' >>"$target/LICENSE.txt"
  before=$(cd "$target" && sha256sum ./* | sort)
  status=0; wine "$setup" /S "/D=$jose_dir" </dev/null >/dev/null 2>&1 || status=$?
  [ "$status" -ne 0 ] || fail "$arch: a silent reinstall over the running program reported success"
  status=0; wine "$target/uninstall.exe" /S "_?=$jose_dir" </dev/null >/dev/null 2>&1 || status=$?
  [ "$status" -ne 0 ] || fail "$arch: a silent uninstall of the running program reported success"
  [ "$(cd "$target" && sha256sum ./* | sort)" = "$before" ] || fail "$arch: a failed reinstall or uninstall changed the files"
  wine reg query "$key" /v UninstallString </dev/null 2>/dev/null | grep -q 'uninstall.exe' ||
    fail "$arch: the uninstall entry went although the program stayed"

  kill "$(xdotool getwindowpid "$viewer")" "${pids[@]}" 2>/dev/null || true
  wineserver -w
  run "$target/uninstall.exe" /S /REMOVESETTINGS
  [ ! -e "$target/diff-zarvo.exe" ] || fail "$arch: not uninstalled once the program had ended"
  ! wine reg query "$key" </dev/null >/dev/null 2>&1 || fail "$arch: the uninstall entry is left"
  echo "setup-$arch in a user folder outside the code page: two files sent at once opened in the viewer; reinstall and uninstall while running refused"
done

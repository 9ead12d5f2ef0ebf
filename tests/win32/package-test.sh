#!/usr/bin/env bash
# The Windows packages as a user meets them, under Wine with code page 932: the portable zips hold
# both programs and the Japanese read-me; the installer, run silently, installs for the current
# user or for everyone, adds the Start menu and Send To entries and its uninstall entry, never one
# kind over the other, and its uninstaller removes them all but Zarvo.ini (unless asked); the
# registered quiet uninstall returns only when done, with its result. Needs WINEPREFIX and DISPLAY
# set, and no wineserver left running.
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
machine_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Diff-Zarvo'

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

# await_window PATTERN: the first visible window whose name matches, once there is one (a minute
# at most). xdotool stops on an X error when a window goes while it looks: it looks again.
await_window() {
  local end=$((SECONDS + 60)) found
  while [ $SECONDS -lt $end ]; do
    found=$(timeout $((end - SECONDS)) xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    if [ -n "$found" ]; then echo "$found"; return 0; fi
  done
  return 1
}

# quiet_uninstall KEY VIEW [SWITCH]: runs the entry's QuietUninstallString as a deployment tool
# does, the command line as it stands (with SWITCH after its /S), and sets status to its exit
# code once it has returned. Wine is not waited for: what the command reports must already be
# true.
quiet_uninstall() {
  local command
  command=$(wine reg query "$1" /v QuietUninstallString "$2" </dev/null 2>/dev/null |
    sed -n 's/^ *QuietUninstallString *REG_SZ *//p' | tr -d '\r')
  [ -n "$command" ] || fail "no QuietUninstallString in $1"
  [ -z "${3:-}" ] || command=${command/ \/S / \/S $3 }
  printf '@%s\r\n@exit /b %%errorlevel%%\r\n' "$command" >"$WINEPREFIX/drive_c/quiet-uninstall.cmd"
  status=0
  wine cmd /c 'C:\quiet-uninstall.cmd' </dev/null >/dev/null 2>&1 || status=$?
}

# What is gone once the uninstaller has returned (its own file goes once it has ended).
removed() {
  for file in diff-zarvo.exe diff-zarvo-view.exe お読みください.txt LICENSE.txt; do
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

# What an earlier run that was stopped may have left installed (the prefix is kept): gone.
for folder in "$WINEPREFIX/drive_c/Program Files/Diff-Zarvo" "$WINEPREFIX/drive_c/Program Files (x86)/Diff-Zarvo"; do
  [ ! -d "$folder" ] || chattr -i "$folder" 2>/dev/null || true
done
rm -rf "$dir" "$WINEPREFIX/drive_c/Program Files/Diff-Zarvo" "$WINEPREFIX/drive_c/Program Files (x86)/Diff-Zarvo" \
  "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Diff-Zarvo.lnk" "$menu" "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/SendTo/Diff-Zarvo.lnk
for entry in "$key /reg:64" "$machine_key /reg:64" "$machine_key /reg:32"; do
  wine reg delete $entry /f </dev/null >/dev/null 2>&1 || true
done

# Reads the installer's buttons and messages as shown (tests/win32/InstallerProbe.cpp).
probe=$3/bin/zarvo_installer_probe.exe

# pages_shown PAGES [everyone] COMMAND: what the probe read on the first page and the PAGES after
# it (see there); no button may be cut.
pages_shown() {
  local shown
  shown=$(wine "$probe" pages "$@" </dev/null 2>/dev/null | tr -d '\r') || fail "the probe could not read ${*: -1}"
  ! grep -q $'\tcut' <<<"$shown" || fail "buttons cut in ${*: -1}:"$'\n'"$shown"
  echo "$shown"
}
# expect_line SHOWN LINE WHAT
expect_line() { grep -qxF "$2" <<<"$1" || fail "$3: no \"$2\" in:"$'\n'"$1"; }

for arch in win32 win64; do
  build=$2
  [ $arch = win64 ] && build=$3
  [ $arch = win32 ] && [ "${ZARVO_RUN32:-no}" != yes ] && continue
  rm -rf "$dir"
  # Its pages, the first one (who is it for?) to the folder's, cancelled there.
  shown=$(pages_shown 2 "\"$(winepath -w "$packages/diff-zarvo-1.02.0002-setup-$arch.exe")\"")
  expect_line "$shown" $'インストール(&I)\tfits' "setup-$arch"
  expect_line "$shown" "folder: C:\\users\\$user\\AppData\\Local\\Programs\\Diff-Zarvo" "setup-$arch"
  [ ! -e "$dir" ] || fail "$arch: cancelled, setup installed"
  run "$packages/diff-zarvo-1.02.0002-setup-$arch.exe" /S
  installed "$build"
  if [ $arch = win32 ]; then  # the uninstaller's page, the same in both
    shown=$(pages_shown 0 "\"C:\\users\\$user\\AppData\\Local\\Programs\\Diff-Zarvo\\uninstall.exe\" _?=C:\\users\\$user\\AppData\\Local\\Programs\\Diff-Zarvo")
    expect_line "$shown" $'ｱﾝｲﾝｽﾄｰﾙ(&U)\tfits' "uninstall-$arch"
    installed "$build"
  fi
  # Installed for this user, it is not installed for everyone over it: setup says so, exit 2.
  status=0; wine "$packages/diff-zarvo-1.02.0002-setup-$arch.exe" /S /ALLUSERS </dev/null >/dev/null 2>&1 || status=$?
  [ "$status" -eq 2 ] || fail "$arch: installing for everyone over this user's install ended with $status, not 2"
  [ ! -e "$WINEPREFIX/drive_c/Program Files/Diff-Zarvo" ] && [ ! -e "$WINEPREFIX/drive_c/Program Files (x86)/Diff-Zarvo" ] ||
    fail "$arch: installing for everyone over this user's install put files in Program Files"
  installed "$build"
  # The program keeps its settings there; the quiet uninstall keeps them, and has removed the
  # rest when it returns.
  printf '[WINDIFF]\r\nExePath=C:\\tool.exe\r\n' >"$dir/Zarvo.ini"
  quiet_uninstall "$key" /reg:64
  [ "$status" -eq 0 ] || fail "$arch: the quiet uninstall ended with $status"
  removed
  wineserver -w
  [ -f "$dir/Zarvo.ini" ] || fail "a silent uninstall removed Zarvo.ini"
  [ ! -e "$dir/uninstall.exe" ] || fail "$arch: the quiet uninstall left uninstall.exe"
  # Installed again over the kept settings, then removed with them.
  run "$packages/diff-zarvo-1.02.0002-setup-$arch.exe" /S
  installed "$build"
  [ -f "$dir/Zarvo.ini" ] || fail "installing again removed Zarvo.ini"
  run "$dir/uninstall.exe" /S /REMOVESETTINGS
  removed
  [ ! -e "$dir" ] || fail "uninstalling with /REMOVESETTINGS left $dir"
  echo "setup-$arch for this user: buttons whole, files, Start menu, Send To, uninstall entry; not for everyone over it; the quiet uninstall waits and reports; Zarvo.ini kept unless asked"
done

pids=()

# For everyone (/ALLUSERS; Wine's user is an administrator, so no elevation is asked): the 32-bit
# programs under "Program Files (x86)", the 64-bit ones under "Program Files"; the Start menu entry
# for all users; Send To in each user's profile (here a second one, 花子, is made) and in the
# default profile new users start from, but one that has its own entry (太郎, from a per-user
# install of his), which stays as it was; the machine's uninstall entry in the registry view of
# the programs. Installed again over itself, it still removes all it made. Wine's user is always an
# administrator: with /ASUSER, the 32-bit setup and uninstaller act as a user without those rights
# would, handing the work to a copy of themselves run as administrator, whose result they report. The program, started by the user, keeps
# its settings in %APPDATA%\Diff-Zarvo: Windows lets users no write in Program Files, which Wine
# does not enforce, and file modes do not stop root, so the folder is made immutable meanwhile.
# Uninstalled by the quiet uninstall: exit 2 and nothing changed while the viewer runs, then done
# by the time it returns.
profiles='HKLM\Software\Microsoft\Windows NT\CurrentVersion\ProfileList'
wine reg add "$profiles\S-1-5-21-1-2-3-1001" /v ProfileImagePath /t REG_EXPAND_SZ /d 'C:\users\花子' /f /reg:64 </dev/null >/dev/null 2>&1
wine reg add "$profiles\S-1-5-21-1-2-3-1002" /v ProfileImagePath /t REG_EXPAND_SZ /d 'C:\users\太郎' /f /reg:64 </dev/null >/dev/null 2>&1
wine reg add "$profiles" /v Default /t REG_EXPAND_SZ /d '%SystemDrive%\users\Default' /f /reg:64 </dev/null >/dev/null 2>&1
sendto_of() { echo "$WINEPREFIX/drive_c/users/$1/AppData/Roaming/Microsoft/Windows/SendTo"; }
mkdir -p "$(sendto_of 花子)" "$(sendto_of 太郎)" "$(sendto_of Default)"
printf 'his own' >"$(sendto_of 太郎)/Diff-Zarvo.lnk"
common_menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Diff-Zarvo.lnk
appdata_ini=$profile/AppData/Roaming/Diff-Zarvo/Zarvo.ini
locked=""
immutable() {  # immutable on|off FOLDER
  if [ "$(id -u)" -eq 0 ]; then
    if [ "$1" = on ]; then chattr +i "$2"; else chattr -i "$2"; fi
  elif [ "$1" = on ]; then chmod a-w "$2"
  else chmod u+w "$2"
  fi
  locked=$2
  [ "$1" = on ] || locked=""
}
trap 'kill "${pids[@]}" 2>/dev/null || true; [ -z "$locked" ] || immutable off "$locked"' EXIT
for arch in win32 win64; do
  build=$2 programs='Program Files (x86)' view=/reg:32 as_user=/ASUSER
  [ $arch = win64 ] && build=$3 programs='Program Files' view=/reg:64 as_user=""
  target=$WINEPREFIX/drive_c/$programs/Diff-Zarvo
  windows_target="C:\\$programs\\Diff-Zarvo"
  [ ! -d "$target" ] || immutable off "$target"  # left so by a run that was stopped
  rm -rf "$target" "$dir" "$profile/AppData/Roaming/Diff-Zarvo"
  # A per-user install whose folder was deleted by hand leaves an entry that names nothing: it
  # does not stand in the way.
  wine reg add "$key" /v InstallLocation /d 'C:\gone\Diff-Zarvo' /f </dev/null >/dev/null 2>&1
  # Chosen on the first page, the folder offered is there.
  shown=$(pages_shown 2 everyone "\"$(winepath -w "$packages/diff-zarvo-1.02.0002-setup-$arch.exe")\"")
  expect_line "$shown" "folder: $windows_target" "setup-$arch for everyone"
  [ ! -e "$target" ] || fail "$arch: cancelled, setup installed for everyone"
  for time in first again; do
    status=0; wine "$packages/diff-zarvo-1.02.0002-setup-$arch.exe" /S /ALLUSERS $as_user </dev/null >/dev/null 2>&1 || status=$?
    [ "$status" -eq 0 ] || fail "$arch: the install for everyone ($time) ended with $status"
  done
  for file in diff-zarvo.exe diff-zarvo-view.exe uninstall.exe お読みください.txt LICENSE.txt; do
    [ -f "$target/$file" ] || fail "$arch: $file was not installed in $target"
  done
  cmp -s "$target/diff-zarvo-view.exe" "$build/bin/diff-zarvo-view.exe" || fail "$arch: the installed viewer is not the one built"
  [ ! -e "$dir" ] || fail "$arch: the install for everyone installed for the user too"
  wine reg delete "$key" /f </dev/null >/dev/null 2>&1
  for link in "$common_menu" "$sendto" "$(sendto_of 花子)/Diff-Zarvo.lnk" "$(sendto_of Default)/Diff-Zarvo.lnk"; do
    python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); n=sys.argv[2]; sys.exit(0 if n.encode("utf-16-le") in d or n.encode() in d else 1)' \
      "$link" "$programs\Diff-Zarvo\diff-zarvo.exe" || fail "$arch: $link does not start the installed program"
  done
  [ "$(cat "$(sendto_of 太郎)/Diff-Zarvo.lnk")" = 'his own' ] || fail "$arch: a user's own Send To entry was replaced"
  entry=$(wine reg query "$machine_key" $view </dev/null 2>/dev/null | tr -d '\r')
  grep -qxF "    InstallLocation    REG_SZ    $windows_target" <<<"$entry" &&
    grep -qxF "    QuietUninstallString    REG_SZ    \"$windows_target\\uninstall.exe\" /S _?=$windows_target" <<<"$entry" &&
    grep -qxF '    DisplayVersion    REG_SZ    1.02.0002' <<<"$entry" ||
    fail "$arch: the machine's uninstall entry is not as it should be: $entry"

  # Installed for everyone, it is not installed for this user over it, nor is the other build
  # installed for everyone beside it.
  status=0; wine "$packages/diff-zarvo-1.02.0002-setup-$arch.exe" /S </dev/null >/dev/null 2>&1 || status=$?
  [ "$status" -eq 2 ] && [ ! -e "$dir" ] || fail "$arch: installing for this user over the install for everyone was not refused (exit $status)"
  other=win64 other_programs='Program Files'
  [ $arch = win64 ] && other=win32 other_programs='Program Files (x86)'
  status=0; wine "$packages/diff-zarvo-1.02.0002-setup-$other.exe" /S /ALLUSERS </dev/null >/dev/null 2>&1 || status=$?
  [ "$status" -eq 2 ] && [ ! -e "$WINEPREFIX/drive_c/$other_programs/Diff-Zarvo" ] ||
    fail "$arch: the $other build was installed for everyone beside it (exit $status)"

  # The program run by the user, for the product's build (the 64-bit one is the same program,
  # run by the per-user tests below and by the suites).
  if [ $arch = win32 ]; then
    # The user starts it with two files and presses "実行": the viewer opens, the history is kept
    # in the user's own folder.
    immutable on "$target"
    mkdir -p "$WINEPREFIX/drive_c/data"
    printf 'one\n' >"$WINEPREFIX/drive_c/data/a 1.txt"
    printf 'two\n' >"$WINEPREFIX/drive_c/data/b 2.txt"
    wine "$target/diff-zarvo.exe" 'C:\data\a 1.txt' 'C:\data\b 2.txt' </dev/null >/dev/null 2>&1 &
    pids+=($!)
    window=$(await_window '^Diff-Zarvo$') || fail "$arch: the window did not open"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --sync $(( X + 847 * WIDTH / 4710 )) $(( Y + 2647 * HEIGHT / 3030 )) click 1
    viewer=$(await_window 'b 2\.txt.*a 1\.txt') ||
      fail "$arch: the viewer did not open on the two files"
    immutable off "$target"
    grep -q 'LIST1=C:\\data\\a 1.txt' "$appdata_ini" 2>/dev/null || fail "$arch: the history is not in $appdata_ini"
    [ ! -e "$target/Zarvo.ini" ] || fail "$arch: the program wrote its settings in $target"

    # With the front end closed and the viewer left, the uninstaller names the viewer alone.
    kill "${pids[@]}" 2>/dev/null || true
    wait "${pids[@]}" 2>/dev/null || true
    pids=()
    message=$(wine "$probe" message "\"$windows_target\\uninstall.exe\" _?=$windows_target" </dev/null 2>/dev/null | head -n 1 | tr -d '\r') || true
    [ "$message" = "Diff-Zarvo が実行中です (diff-zarvo-view.exe)。" ] ||
      fail "$arch: the uninstaller's message for the running viewer reads \"$message\""

    # The viewer runs: the quiet uninstall fails and changes nothing.
    before=$(cd "$target" && sha256sum ./* | sort)
    quiet_uninstall "$machine_key" $view $as_user
    [ "$status" -eq 2 ] || fail "$arch: the quiet uninstall of the running program ended with $status, not 2"
    [ "$(cd "$target" && sha256sum ./* | sort)" = "$before" ] && [ -f "$common_menu" ] ||
      fail "$arch: a refused uninstall changed the files"
    kill "$(xdotool getwindowpid "$viewer")" 2>/dev/null || true
    wineserver -w
  fi

  quiet_uninstall "$machine_key" $view $as_user
  [ "$status" -eq 0 ] || fail "$arch: the quiet uninstall ended with $status"
  for file in diff-zarvo.exe diff-zarvo-view.exe; do
    [ ! -e "$target/$file" ] || fail "$arch: the quiet uninstall returned before removing $file"
  done
  [ ! -e "$common_menu" ] && [ ! -e "$sendto" ] && [ ! -e "$(sendto_of 花子)/Diff-Zarvo.lnk" ] &&
    [ ! -e "$(sendto_of Default)/Diff-Zarvo.lnk" ] ||
    fail "$arch: the quiet uninstall returned before removing the shortcuts"
  ! wine reg query "$machine_key" $view </dev/null >/dev/null 2>&1 || fail "$arch: the machine's uninstall entry is left"
  [ "$(cat "$(sendto_of 太郎)/Diff-Zarvo.lnk")" = 'his own' ] || fail "$arch: uninstalling removed a user's own Send To entry"
  wineserver -w
  [ ! -e "$target" ] || fail "$arch: $target is left after uninstalling"
  [ $arch = win64 ] || [ -f "$appdata_ini" ] || fail "$arch: uninstalling removed the user's settings"
  echo "setup-$arch for everyone: chosen on the first page or by /ALLUSERS, in $programs, Start menu and Send To for each user, not over nor under a per-user install, quiet uninstall waits and reports$([ $arch = win32 ] && echo "; run by the user, settings in %APPDATA%; the running viewer named, its uninstall refused")"
done
rm -rf "$profile/AppData/Roaming/Diff-Zarvo" "$WINEPREFIX/drive_c/data"

# A user whose folder the code page (932) cannot spell: installed there, the program starts with
# no settings, takes two files sent together (Send To passes each in its own quotes) as a pair,
# and "実行" opens the installed viewer on them; the history it saves names them without a '?'.
# While it runs, a silent reinstall and a silent uninstall fail and change nothing.
jose_dir='C:\users\José\AppData\Local\Programs\Diff-Zarvo'
jose=$WINEPREFIX/drive_c/users/José
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
  window=$(await_window '^Diff-Zarvo$') || fail "$arch: the window did not open"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --sync $(( X + 847 * WIDTH / 4710 )) $(( Y + 2647 * HEIGHT / 3030 )) click 1
  viewer=$(await_window 'b 2\.txt.*a 1\.txt') ||
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

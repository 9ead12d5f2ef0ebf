#!/bin/sh
# Remakes docs/viewer-win32.png and docs/viewer-win32-side-by-side.png: the Windows viewer on
# the two sample files in docs/viewer-sample, in each of its two views, run under Wine on a
# virtual display of its own. The view is the one its settings file beside it remembers. Then
# docs/viewer-win32-take.png: the one list right after Alt+Right took the first difference into
# the second file (nothing is saved: the viewer is stopped before). Last
# docs/viewer-win32-merge.png: the merge window on the three files in docs/merge-sample, at their
# conflict (nothing is saved).
#
# Usage: scripts/screenshot-viewer-win32.sh [BUILD_DIR]   (default: build/mingw64, built here)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/mingw64}
if [ -z "${1:-}" ]; then
    cmake --preset mingw64 >/dev/null
    cmake --build --preset mingw64 --target diff-zarvo-view
fi
for tool in xdotool import; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (xdotool, imagemagick)" >&2; exit 1; }
done
if ! fc-list :lang=ja | grep -q .; then
    echo "no Japanese font found (install fonts-noto-cjk)" >&2
    exit 1
fi
work=$(mktemp -d)
. scripts/wine-display.sh
# A prefix of its own, whose window titles and menus are drawn in a Japanese font, as on a
# Japanese Windows (Wine's own Tahoma has no kana or kanji).
export WINEPREFIX="$work/prefix"
trap 'wine_display_stop; rm -rf "$work"' EXIT
wine_display_start
# Titles, menus and dialogs in IPA Gothic: Wine's own Tahoma has no kana or kanji.
for font in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'MS UI Gothic'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d IPAGothic /f \
        >/dev/null 2>&1 </dev/null
done
wine_server_start 96
cp "$build/bin/diff-zarvo-view.exe" "$work/"
for shot in list side take merge; do
    case $shot in
        list) view=0 out=docs/viewer-win32.png ;;
        side) view=1 out=docs/viewer-win32-side-by-side.png ;;
        take) view=0 out=docs/viewer-win32-take.png ;;
        merge) view=0 out=docs/viewer-win32-merge.png ;;
    esac
    printf '[Viewer]\r\nSideBySide=%s\r\n' "$view" >"$work/Zarvo.ini"
    if [ "$shot" = merge ]; then
        set -- docs/merge-sample/設定-自分.txt docs/merge-sample/設定-元.txt \
            docs/merge-sample/設定-相手.txt
        title='設定-自分.txt [(]マージ'
    else
        set -- docs/viewer-sample/設定-旧.txt docs/viewer-sample/設定-新.txt
        title='設定-旧.txt ⇔'
    fi
    LC_ALL=ja_JP.UTF-8 wine "$work/diff-zarvo-view.exe" "$@" >/dev/null 2>&1 &
    viewer=$!
    # The title names the files once the comparison is shown.
    window=$(xdotool search --sync --name "$title" | head -n 1)
    if [ "$shot" = take ]; then
        # It opens on the first difference; the title marks the changed file once it is taken.
        xdotool windowfocus "$window"
        xdotool key alt+Right
        xdotool search --sync --name '^● 設定-旧.txt ⇔' >/dev/null
    fi
    # The window is painted once two pictures of it in a row are the same.
    import -window "$window" "$work/before.png"
    for _ in $(seq 40); do
        import -window "$window" "$out"
        cmp -s "$out" "$work/before.png" && break
        cp "$out" "$work/before.png"
    done
    kill "$viewer" 2>/dev/null || true
    wait "$viewer" 2>/dev/null || true
    echo "wrote $out"
done

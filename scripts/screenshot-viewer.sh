#!/bin/sh
# Remakes docs/viewer.png, docs/viewer-side-by-side.png and docs/viewer-take.png: the viewer's
# window on the two sample files in docs/viewer-sample, in each of its two views and right after
# a change was taken across (not saved: the samples stay as they are), drawn on a virtual X
# display so it looks as on a desktop. Then docs/viewer-merge.png: the merge window on the three
# files in docs/merge-sample, at their conflict (the result is not saved).
#
# Usage: scripts/screenshot-viewer.sh [BUILD_DIR]   (default: build/tools, configured by the tools preset)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/tools}
[ -n "${1:-}" ] || cmake --preset tools >/dev/null

cmake --build "$build" --target viewer-screenshot
tool=$(find "$build" -type f -name viewer-screenshot -perm -u+x | head -n 1)
if [ -z "$tool" ]; then
    echo "viewer-screenshot was not built in $build" >&2
    exit 1
fi
# Japanese text needs a font that has it; Debian's fonts-noto-cjk is the usual one.
if ! fc-list :lang=ja | grep -q .; then
    echo "no Japanese font found (install fonts-noto-cjk)" >&2
    exit 1
fi
for view in one-list side-by-side take; do
    case $view in
        one-list) out=docs/viewer.png ;;
        side-by-side) out=docs/viewer-side-by-side.png ;;
        take) out=docs/viewer-take.png ;;
    esac
    # shellcheck disable=SC2046 # the view's word is the tool's fourth argument, or none
    LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
        "$tool" "docs/viewer-sample/設定-旧.txt" "docs/viewer-sample/設定-新.txt" "$out" \
        $( [ "$view" = one-list ] || echo "$view" )
    echo "wrote $out"
done
out=docs/viewer-merge.png
LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$tool" merge \
    "docs/merge-sample/設定-自分.txt" "docs/merge-sample/設定-元.txt" \
    "docs/merge-sample/設定-相手.txt" "$out"
echo "wrote $out"

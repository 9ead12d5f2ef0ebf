#!/bin/sh
# Remakes docs/viewer-folders.png: the viewer's folder window on two small versions of a project,
# drawn on a virtual X display so it looks as on a desktop.
#
# Usage: scripts/screenshot-folders.sh [BUILD_DIR]   (default: build/tools, configured by the tools preset)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/tools}
[ -n "${1:-}" ] || cmake --preset tools >/dev/null
cmake --build "$build" --target diff-zarvo-view
viewer=$(find "$build" -type f -name diff-zarvo-view -perm -u+x | head -n 1)
if ! fc-list :lang=ja | grep -q .; then
    echo "no Japanese font found (install fonts-noto-cjk)" >&2
    exit 1
fi

samples=$(mktemp -d)
trap 'rm -rf "$samples"' EXIT
for version in 1.0 1.1; do
    root=$samples/project-$version
    mkdir -p "$root/src" "$root/docs"
    printf '# Project\n' >"$root/README.md"
    printf 'int add(int a, int b) { return a + b; }\n' >"$root/src/util.c"
    printf 'int main(void) { return %s; }\n' "$([ $version = 1.0 ] && echo 0 || echo 1)" >"$root/src/main.c"
done
printf 'old notes\n' >"$samples/project-1.0/docs/notes.txt"
printf 'int sub(int a, int b) { return a - b; }\n' >"$samples/project-1.1/src/sub.c"
mkdir "$samples/project-1.1/LICENSE"
printf 'MIT\n' >"$samples/project-1.0/LICENSE"

out=$PWD/docs/viewer-folders.png
LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
    "$1" "$2" "$3" & viewer=$!
    # The title gives the counts once the walk has told its entries.
    window=$(xdotool search --sync --onlyvisible --name "第二だけ [1-9]" | head -n 1)
    xdotool sleep 0.5
    import -window "$window" "$4"
    kill "$viewer"
' sh "$viewer" "$samples/project-1.0" "$samples/project-1.1" "$out"
echo "wrote $out"

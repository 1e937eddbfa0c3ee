#!/usr/bin/env bash
# Pictures of the client window and its dialogs, drawn under Xvfb, for review.
# Usage: scripts/client_screenshots.sh BUILD_DIR OUT_DIR
# Writes client-window.png (the no-phone page), client-exit-question.png, client-settings.png and
# client-screen.png (the whole screen, to see where they are placed) into OUT_DIR.
set -euo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnel-shots.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A program folder of its own: the committed skin and a vendor host that answers nothing, so no
# picture depends on the network; no adb, so no phone; the user's own folders are never touched.
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
ln -s "$here/skin" "$work/home/skin"
printf '[URL]\nwebhost=127.0.0.1:9\n' >"$work/home/Update.ini"
export TARNEL_HOME="$work/home" TARNEL_ADB=/nonexistent/adb
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/run"
unset QT_QPA_PLATFORM

for state in window exit-question settings screen; do
    xvfb-run -a -s "-screen 0 1280x800x24" \
        "$build/tests/client_app/client_screenshots" --screenshot-state "$state" \
        --screenshot "$out/client-$state.png" 2>"$work/$state.log" ||
        { cat "$work/$state.log" >&2; exit 1; }
    echo "$out/client-$state.png"
done

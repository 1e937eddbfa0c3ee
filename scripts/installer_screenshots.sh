#!/usr/bin/env bash
# Pictures of the installer window in its states, drawn under Xvfb, for review.
# Usage: scripts/installer_screenshots.sh BUILD_DIR OUT_DIR
# Writes installer-empty.png, -loaded, -panel, -installing, -done and -failure into OUT_DIR.
set -euo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnel-shots.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The sample game of the demo: an APK built with aapt, a little game data and its icon.
package_name=com.tarnel.demo.starfall
apk="$work/$package_name.apk"
aapt package -f -M "$here/demo/sample-app/AndroidManifest.xml" -S "$here/demo/sample-app/res" \
    -I /usr/share/android-framework-res/framework-res.apk -F "$apk"
mkdir -p "$work/data/obb/$package_name"
head -c $((2 * 1024 * 1024)) /dev/urandom >"$work/data/obb/$package_name/main.7.$package_name.obb"
"$build/installer/mkpackage/tarnel-mkpackage" "$work/starfall.tpk" --apk "$apk" \
    --package "$package_name" --name "星落传说" --version 1.4.2 --min-sdk 9 \
    --icon "$here/demo/sample-app/res/drawable-xhdpi/icon.png" --data "$work/data" >/dev/null

# A program folder of its own: the committed skin, and a vendor host that answers nothing, so
# no picture depends on the network. No adb: the states are set through the window's view.
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
ln -s "$here/skin" "$work/home/skin"
printf '[URL]\nwebhost=127.0.0.1:9\n' >"$work/home/Update.ini"
export TARNEL_HOME="$work/home" TARNEL_ADB=/nonexistent/adb
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
unset QT_QPA_PLATFORM

xvfb-run -a -s "-screen 0 1024x768x24" \
    "$build/tests/installer_app/installer_window_screenshots" "$work/starfall.tpk" "$out"

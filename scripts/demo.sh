#!/usr/bin/env bash
# The demo: a simulated phone on its own adb server, a sample game package built here with the
# real aapt, and tarnelInstall installing it through the real adb.
set -euo pipefail
build=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnel-demo.XXXXXX")
package_name=com.tarnel.demo.starfall

free_port() {
    local port
    for port in $(shuf -i 20000-40000 -n 50); do
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return
        fi
    done
    return 1
}

export ADB_EMU=0
export ANDROID_ADB_SERVER_PORT
ANDROID_ADB_SERVER_PORT=$(free_port)
phone_port=$(free_port)
# The demo's own cache and settings, so a user's are never touched.
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"

sim_pid=
cleanup() {
    adb disconnect "127.0.0.1:$phone_port" >/dev/null 2>&1 || true
    adb kill-server >/dev/null 2>&1 || true
    [ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

echo "== A simulated phone (MI 8, Android 9) on 127.0.0.1:$phone_port"
mkdir -p "$work/phone"
"$build/sim/tarnel-phonesim" --port "$phone_port" --root "$work/phone" >"$work/phone.log" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do grep -q '^ready' "$work/phone.log" && break; sleep 0.1; done
adb start-server >/dev/null 2>&1
adb connect "127.0.0.1:$phone_port"
for _ in $(seq 50); do adb devices | grep -q "127.0.0.1:$phone_port[[:space:]]*device" && break; sleep 0.2; done
adb devices

echo
echo "== Building the sample game: an APK with aapt, 8 MiB of game data, an icon"
apk="$work/$package_name.apk"
aapt package -f -M "$here/demo/sample-app/AndroidManifest.xml" -S "$here/demo/sample-app/res" \
    -I /usr/share/android-framework-res/framework-res.apk -F "$apk"
data="$work/data/obb/$package_name"
mkdir -p "$data/levels"
head -c $((8 * 1024 * 1024)) /dev/urandom >"$data/main.7.$package_name.obb"
for level in 1 2 3 4 5; do echo "level $level: a field of stars" >"$data/levels/level$level.txt"; done
tpk="$work/games/starfall.tpk"
mkdir -p "$(dirname "$tpk")"
"$build/installer/mkpackage/tarnel-mkpackage" "$tpk" --apk "$apk" --package "$package_name" \
    --name "星落传说" --version 1.4.2 --min-sdk 9 \
    --icon "$here/demo/sample-app/res/drawable-xhdpi/icon.png" --data "$work/data"
ls -l "$tpk"

echo
echo "== tarnelInstall --info starfall.tpk"
"$build/installer/tarnelInstall" --info "$tpk"

echo
echo "== tarnelInstall --no-gui starfall.tpk"
"$build/installer/tarnelInstall" --no-gui "$tpk"

echo
echo "== What arrived on the phone"
adb shell pm list package | grep "$package_name"
adb shell ls -R "/sdcard/Android/obb/$package_name"

echo
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
    echo "== The installer window with the sample game, on the same simulated phone (close it to end)"
    "$build/installer/tarnelInstall" "$tpk" || true
elif command -v xvfb-run >/dev/null; then
    echo "== No display here: pictures of the installer window, drawn under Xvfb"
    "$here/scripts/installer_screenshots.sh" "$build" "$build/installer-screenshots"
fi

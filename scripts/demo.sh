#!/usr/bin/env bash
# The demo: builds a sample game APK with the real aapt and shows what tarnelInstall reads from it.
set -euo pipefail
build=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnel-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT

apk="$work/starfall.apk"
aapt package -f -M "$here/demo/sample-app/AndroidManifest.xml" -S "$here/demo/sample-app/res" \
    -I /usr/share/android-framework-res/framework-res.apk -F "$apk"

echo "== tarnelInstall --info $(basename "$apk")"
"$build/installer/app/tarnelInstall" --info "$apk"

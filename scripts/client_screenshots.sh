#!/usr/bin/env bash
# Pictures of the client window and its dialogs, drawn under Xvfb, for review.
# Usage: scripts/client_screenshots.sh BUILD_DIR OUT_DIR
# Writes the no-phone page, the settings dialog, the exit question, the whole screen (to see where
# they are placed), the wizard and the device page with the simulated phone into OUT_DIR. The
# program runs in folders of its own: the user's own files are never touched.
set -euo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

cmake --build "$build" --target client_phone_pages_screenshots tarnel-phonesim >/dev/null
env -u TARNEL_ADB QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" \
    "$build/tests/client_app/client_phone_pages_screenshots" "$out"

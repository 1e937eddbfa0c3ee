#!/bin/sh
# Pictures of the client's no-phone page, connection wizard and device page under Xvfb, from the
# simulated phone, into the folder given (default: build/default/client-screenshots).
set -e
build=${BUILD:-build/default}
out=${1:-$build/client-screenshots}
mkdir -p "$out"
cmake --build "$build" --target client_phone_pages_screenshots tarnel-phonesim
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" \
    "$build/tests/client_app/client_phone_pages_screenshots" "$out"

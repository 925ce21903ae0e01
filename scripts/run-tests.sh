#!/usr/bin/env bash
# Installs what is missing, builds both trees and runs every test:
# the native tests first, then the Windows tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${SCRIVO_BUILD:-$root/build}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

. "$root/scripts/wine-session.sh"
scrivo_session_start

status=0
(cd "$build_root/native" && ctest --output-on-failure -j2 --timeout 600 </dev/null) || status=1
# The Windows tests run one at a time: many of them drive windows, message
# boxes, the clipboard and the foreground window of the one shared desktop.
(cd "$build_root/win" && ctest --output-on-failure -j1 --timeout 600 </dev/null) || status=1
exit $status

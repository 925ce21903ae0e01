#!/usr/bin/env bash
# The main job: installs what is missing, builds, and prints a job through as
# much of the print path as exists, saying what it did.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${SCRIVO_BUILD:-$root/build}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

. "$root/scripts/wine-session.sh"
scrivo_session_start
echo "main: built the Windows programs in $build_root/win/bin; the print path is not yet assembled."

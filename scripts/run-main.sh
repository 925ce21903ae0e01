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

bin="$build_root/win/bin"
say() { echo "main: $*"; }
reg() { wine reg "$@" >/dev/null 2>&1; }

# A clean product key with the trace log on; reports go to the screen-less
# notify broadcast instead of message boxes.
reg delete 'HKLM\Software\Scrivo' /f || true
reg add 'HKLM\Software\Scrivo' /v Log /t REG_DWORD /d 1 /f
reg add 'HKLM\Software\Scrivo' /v 'Message Mode' /t REG_DWORD /d 1 /f
log="$WINEPREFIX/drive_c/vp_log.txt"
rm -f "$log"

say "starting the print agent (inkagent.exe)"
wine "$bin/inkagent.exe" &
agent_pid=$!
for _ in $(seq 1 100); do
  grep -qa "W.a.i.t.i.n.g" "$log" 2>/dev/null && break
  sleep 0.1
done

say "the spool stand-in writes a job of sample pages and signals it"
wine "$bin/spoolside.exe" --pages 3 --document "Main job" | sed 's/^/    /'
sleep 2

say "stopping the agent through its kill event"
wine "$bin/spoolside.exe" --kill | sed 's/^/    /'
wait "$agent_pid" && status=0 || status=$?
say "the agent ended with exit code $status"

say "the agent's trace log (C:\\vp_log.txt):"
iconv -f UTF-16 -t UTF-8 "$log" | tr -d '\r' | sed 's/^/    /'
reg delete 'HKLM\Software\Scrivo' /f || true

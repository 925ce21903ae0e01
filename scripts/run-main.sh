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



# A clean product key with the trace log on; reports go out as the notify
# broadcast instead of message boxes, so nothing waits for a click.
reg delete 'HKLM\Software\Scrivo' /f || true
reg add 'HKLM\Software\Scrivo' /v Log /t REG_DWORD /d 1 /f
reg add 'HKLM\Software\Scrivo' /v 'Message Mode' /t REG_DWORD /d 1 /f
# The pages stay for the receiver.
reg add 'HKCU\Software\Scrivo' /v 'EMF: Enabled' /t REG_DWORD /d 1 /f
log="$WINEPREFIX/drive_c/vp_log.txt"
rm -f "$log"

# The receiver: the client when it is built, otherwise the stand-in client
# that records the command line it was given.
records="$WINEPREFIX/drive_c/scrivo-main-records.txt"
rm -f "$records"
if [ -f "$bin/inkclient.exe" ]; then
  receiver=inkclient.exe
else
  receiver=clientstub.exe
  reg add 'HKCU\Software\ScrivoStandins' /v 'Record File' /t REG_SZ /d 'C:\scrivo-main-records.txt' /f
fi
reg add 'HKLM\Software\Scrivo' /v 'Client Application' /t REG_SZ /d "$(winepath -w "$bin/$receiver")" /f
say "the job goes to $receiver by command line"

say "starting the print agent (inkagent.exe)"
wine "$bin/inkagent.exe" &
agent_pid=$!
for _ in $(seq 1 100); do
  grep -qa "W.a.i.t.i.n.g" "$log" 2>/dev/null && break
  sleep 0.1
done

say "the spool stand-in writes a job of three sample A4 pages and signals the agent"
wine "$bin/spoolside.exe" --pages 3 --document "Main job" --folder 'C:\Scrivo spool' --wait 60000 \
  | sed 's/^/    /'
for _ in $(seq 1 200); do
  grep -qa "R.u.n. .c.l.i.e.n.t" "$log" 2>/dev/null && break
  sleep 0.1
done
sleep 1
if [ -f "$records" ]; then
  say "what the stand-ins recorded (preprocess, progress indicator, client):"
  sed 's/^/    /' "$records"
fi

say "stopping the agent through its kill event"
wine "$bin/spoolside.exe" --kill | sed 's/^/    /'
wait "$agent_pid" && status=0 || status=$?
say "the agent ended with exit code $status"

say "the trace log of the agent and the converter (C:\\vp_log.txt):"
iconv -f UTF-16 -t UTF-8 "$log" | tr -d '\r' | sed 's/^/    /'
say "the job's files are in C:\\Scrivo spool ($WINEPREFIX/drive_c/Scrivo spool)"
reg delete 'HKLM\Software\Scrivo' /f || true
reg delete 'HKCU\Software\ScrivoStandins' /f || true

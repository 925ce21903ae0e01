#!/usr/bin/env bash
# The main job: installs what is missing, builds, and prints a job through the
# whole print path under Wine: the spool stand-in prints a sample job, the
# agent hands it to the client, the client shows the preview, Save is driven
# through its window (or left to the person, see below), the PDF writer and
# the options component write the PDF, and the PDF is checked.
#
#   SCRIVO_INTERACTIVE=1   the person saves (or cancels) in the client's window;
#                          also the default when SCRIVO_KEEP_DISPLAY gives a
#                          display of one's own (SCRIVO_INTERACTIVE=0 drives it)
#
# Exit code 0 when the PDF was written and passed the checks, else 1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${SCRIVO_BUILD:-$root/build}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

. "$root/scripts/wine-session.sh"
scrivo_session_start

bin="$build_root/win/bin"
out="$build_root/main-job"
say() { echo "main: $*"; }
fail() { echo "main: FAILED: $*" >&2; exit 1; }
reg() { wine reg "$@" >/dev/null 2>&1 </dev/null; }
indent() { sed 's/^/    /'; }

interactive=${SCRIVO_INTERACTIVE:-}
if [ -z "$interactive" ]; then
  if [ -n "${SCRIVO_KEEP_DISPLAY:-}" ]; then interactive=1; else interactive=0; fi
fi

# A clean product key with the trace log on; reports go out as the notify
# broadcast instead of message boxes, so nothing waits for a click.
reg delete 'HKLM\Software\Scrivo' /f || true
reg add 'HKLM\Software\Scrivo' /v Log /t REG_DWORD /d 1 /f
reg add 'HKLM\Software\Scrivo' /v 'Message Mode' /t REG_DWORD /d 1 /f
# The pages stay for the receiver.
reg add 'HKCU\Software\Scrivo' /v 'EMF: Enabled' /t REG_DWORD /d 1 /f
log="$WINEPREFIX/drive_c/vp_log.txt"
rm -f "$log"

show_trace() {
  say "the trace log of the agent and the converter (C:\\vp_log.txt):"
  if [ -f "$log" ]; then iconv -f UTF-16 -t UTF-8 "$log" | tr -d '\r' | indent; fi
}

# The receiver: the client when it is built, otherwise the stand-in client
# that records the command line it was given.
records="$WINEPREFIX/drive_c/scrivo-main-records.txt"
rm -f "$records"
if [ -f "$bin/inkclient.exe" ]; then
  receiver=inkclient.exe
  # The options component and the PDF writer, registered in the prefix.
  for dll in Tessera.dll quillkit.dll; do
    [ -f "$bin/$dll" ] || fail "$dll is not built"
    (cd "$bin" && wine regsvr32 /s "$dll" </dev/null >/dev/null 2>&1) || fail "regsvr32 $dll failed"
    say "registered $dll"
  done
  [ -f "$bin/clientdriver.exe" ] || fail "clientdriver.exe is not built"
else
  receiver=clientstub.exe
  reg add 'HKCU\Software\ScrivoStandins' /v 'Record File' /t REG_SZ /d 'C:\scrivo-main-records.txt' /f
fi
reg add 'HKLM\Software\Scrivo' /v 'Client Application' /t REG_SZ /d "$(winepath -w "$bin/$receiver")" /f
say "the job goes to $receiver by command line"

say "starting the print agent (inkagent.exe)"
wine "$bin/inkagent.exe" </dev/null &
agent_pid=$!
for _ in $(seq 1 600); do
  grep -qa "W.a.i.t.i.n.g" "$log" 2>/dev/null && break
  sleep 0.1
done

stop_agent() {
  say "stopping the agent through its kill event"
  wine "$bin/spoolside.exe" --kill </dev/null | indent
  local status=0
  wait "$agent_pid" || status=$?
  say "the agent ended with exit code $status"
}

say "the spool stand-in writes a job of three sample A4 pages and signals the agent"
wine "$bin/spoolside.exe" --pages 3 --document "Main job" --folder 'C:\Scrivo spool' --wait 60000 \
  </dev/null | indent

if [ "$receiver" = clientstub.exe ]; then
  for _ in $(seq 1 600); do
    grep -qa "R.u.n. .c.l.i.e.n.t" "$log" 2>/dev/null && break
    sleep 0.1
  done
  sleep 1
  if [ -f "$records" ]; then
    say "what the stand-ins recorded (preprocess, progress indicator, client):"
    indent <"$records"
  fi
  stop_agent
  show_trace
  say "the job's files are in C:\\Scrivo spool ($WINEPREFIX/drive_c/Scrivo spool)"
  say "inkclient.exe is not built: no PDF was written"
  reg delete 'HKLM\Software\Scrivo' /f || true
  reg delete 'HKCU\Software\ScrivoStandins' /f || true
  exit 0
fi

mkdir -p "$out"
pdf="$out/Main job.pdf"
shot="$out/preview.png"
rm -f "$pdf" "$shot"

say "waiting for the client's window with the preview"
wine "$bin/clientdriver.exe" wait --timeout 180000 </dev/null | indent ||
  { stop_agent; show_trace; fail "the client's window did not come up"; }
sleep 1  # the first page paints
if [ -x /usr/bin/import ]; then
  /usr/bin/import -display "$DISPLAY" -window root "$shot" && say "screenshot of the preview: $shot" ||
    say "no screenshot (import failed)"
fi

if [ "$interactive" = 1 ]; then
  say "over to you: save the PDF from the client's window (display $DISPLAY);"
  say "suggested file: $(winepath -w "$pdf")"
  ended=$(wine "$bin/clientdriver.exe" wait-end --timeout 3600000 </dev/null) ||
    { stop_agent; fail "the client was not closed within an hour"; }
  echo "$ended" | indent
  # Exit code 1 is a finished conversion; 2 a cancel.
  grep -q 'exit code 1$' <<<"$(tr -d '\r' <<<"$ended")" || { stop_agent; fail "no PDF was saved"; }
  # Where the person saved: the target the client stored in the options file.
  ini=$(find "$WINEPREFIX/drive_c/users" -maxdepth 4 -name RurAdazavu.ini 2>/dev/null | head -n 1)
  if [ -n "$ini" ]; then
    target=$(tr -d '\r' <"$ini" | sed -n 's/^Target file=//p' | head -n 1)
    [ -n "$target" ] && pdf=$(winepath -u "$target" 2>/dev/null)
  fi
else
  say "saving through the client's window as $(winepath -w "$pdf")"
  wine "$bin/clientdriver.exe" save --target "$(winepath -w "$pdf")" --timeout 300000 </dev/null |
    indent || { stop_agent; show_trace; fail "the save through the client did not complete"; }
fi

stop_agent
show_trace
reg delete 'HKLM\Software\Scrivo' /f || true

[ -s "$pdf" ] || fail "no PDF at $pdf"
say "checking the PDF with qpdf --check"
qpdf --check "$pdf" | indent || fail "qpdf finds $pdf damaged"
text=$(pdftotext "$pdf" -) || fail "pdftotext cannot read $pdf"
for expected in "Scrivo sample page 1 of 3" "Scrivo sample page 3 of 3" \
                "The quick brown fox jumps over the lazy dog."; do
  grep -qF "$expected" <<<"$text" || fail "the PDF lacks the sample's text \"$expected\""
done
say "the PDF holds the sample's text (pdftotext): $(grep -c . <<<"$text") lines"
say "the PDF: $pdf"
[ -f "$shot" ] && say "the screenshot of the preview: $shot"
exit 0

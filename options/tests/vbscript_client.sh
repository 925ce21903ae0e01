#!/usr/bin/env bash
# Runs the VBScript client of Tessera.dll under Wine's cscript. cscript swallows
# script errors and exits 0, so the script prints a final marker line and any
# mismatch as a "FAIL" line; both are checked here.
# Usage: vbscript_client.sh <bin folder> <folder of tessera_client.vbs>
set -euo pipefail
bin=$1
scripts=$2
(cd "$bin" && wine tessera_testtool.exe delete-options)
out=$(cd "$scripts" && wine cscript //nologo tessera_client.vbs 2>&1 | tr -d '\r')
echo "$out"
(cd "$bin" && wine tessera_testtool.exe delete-options)
if grep -q '^FAIL' <<<"$out"; then exit 1; fi
grep -qx 'TESSERA-VBS-DONE' <<<"$out"

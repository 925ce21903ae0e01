#!/usr/bin/env bash
# Checks a PDF of the print path: qpdf finds no damage, pdfinfo shows the
# given document information and pdftotext finds each expected text.
# usage: check_pdf.sh PDF [--info "Key: value"]... TEXT...
set -uo pipefail
pdf=$1; shift
[ -s "$pdf" ] || { echo "no PDF at $pdf"; exit 1; }
qpdf --check "$pdf" || { echo "qpdf finds $pdf damaged"; exit 1; }
# "Key:   value" lines with one blank after the colon, compared whole.
info=$(pdfinfo "$pdf" | sed -E 's/^([^:]+): +/\1: /') || { echo "pdfinfo cannot read $pdf"; exit 1; }
while [ $# -gt 1 ] && [ "$1" = --info ]; do
  if grep -qxF -- "$2" <<<"$info"; then
    echo "info: $2"
  else
    echo "MISSING info: $2"; echo "$info"; exit 1
  fi
  shift 2
done
text=$(pdftotext "$pdf" -) || { echo "pdftotext cannot read $pdf"; exit 1; }
status=0
for expected in "$@"; do
  if grep -qF -- "$expected" <<<"$text"; then
    echo "found: $expected"
  else
    echo "MISSING: $expected"
    status=1
  fi
done
[ $status = 0 ] || { echo "--- pdftotext gave:"; echo "$text"; }
exit $status

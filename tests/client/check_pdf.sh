#!/usr/bin/env bash
# Checks a PDF of the print path: qpdf finds no damage and pdftotext finds
# each expected text. usage: check_pdf.sh PDF TEXT...
set -uo pipefail
pdf=$1; shift
[ -s "$pdf" ] || { echo "no PDF at $pdf"; exit 1; }
qpdf --check "$pdf" || { echo "qpdf finds $pdf damaged"; exit 1; }
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

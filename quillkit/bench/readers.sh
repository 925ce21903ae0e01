#!/usr/bin/env bash
# Every PDF of a folder through three independent readers (run by hand):
# qpdf --check, mutool draw (every page) and pdf.js (every page's content and
# text). Prints the files a reader refuses and a summary line per reader.
#   quillkit/bench/readers.sh PDF_DIR
# pdf.js (npm pdfjs-dist) is installed under build/bench/pdfjs on first use.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build_root=${SCRIVO_BUILD:-$root/build}
dir=${1:?usage: $0 PDF_DIR}
mapfile -t pdfs < <(find "$dir" -maxdepth 1 -name '*.pdf' | sort)
[ ${#pdfs[@]} -gt 0 ] || { echo "readers: no PDF files in $dir" >&2; exit 2; }

home="$build_root/bench/pdfjs"
if [ ! -d "$home/node_modules/pdfjs-dist" ]; then
  mkdir -p "$home"
  (cd "$home" && npm init -y >/dev/null && npm install --no-audit --no-fund pdfjs-dist@4 >/dev/null) ||
    { echo "readers: could not install pdfjs-dist" >&2; exit 1; }
fi

status=0
qbad=0; mbad=0
for pdf in "${pdfs[@]}"; do
  if ! qpdf --check "$pdf" >/dev/null 2>&1; then echo "qpdf refuses $pdf"; qbad=$((qbad + 1)); fi
  if ! mutool draw -q -o /dev/null -F pnm -r 24 "$pdf" >/dev/null 2>&1; then
    echo "mutool refuses $pdf"; mbad=$((mbad + 1))
  fi
done
jsout=$(PDFJS_HOME="$home" node "$root/quillkit/bench/pdfjs_read.mjs" "${pdfs[@]}")
jbad=$(printf '%s\n' "$jsout" | grep -c '^FAIL' || true)
printf '%s\n' "$jsout" | grep '^FAIL' || true
n=${#pdfs[@]}
echo "qpdf --check: $((n - qbad)) of $n files pass"
echo "mutool draw:  $((n - mbad)) of $n files draw"
echo "pdf.js:       $((n - jbad)) of $n files read, every page"
[ $((qbad + mbad + jbad)) -eq 0 ] || status=1
exit $status

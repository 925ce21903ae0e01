#!/usr/bin/env bash
# Text recall of the PDF writer (run by hand): for every corpus file with
# character text records, the share of the words of those records that
# pdftotext finds in the PDF (each word counted as often as it occurs), for
# our PDF and for the peers' PDFs of the fidelity run when present. Glyph-index
# records carry glyph numbers, not characters, and are not counted.
#
#   quillkit/bench/recall.sh      (run fidelity.sh first for the peers' PDFs)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/quillkit/bench/common.sh"
qk_ensure_built
out=$bench_out/recall
fid=$bench_out/fidelity
rm -rf "$out"
mkdir -p "$out/ours"
tools=(ours)
for t in inkscape libreoffice; do [ -d "$fid/$t" ] && tools+=("$t"); done

# found WORDS-FILE TEXT-FILE: how many of the words (with repeats) the text holds.
found() {
  "$native_bin/emfscan" --split "$2" > "$2.words"
  awk 'NR == FNR { have[$0]++; next } { if (have[$0] > 0) { have[$0]--; n++ } } END { print n + 0 }' "$2.words" "$1"
}

declare -A sum_found
sum_words=0
{
  printf '%-40s %6s' file words
  for t in "${tools[@]}"; do printf ' %12s' "$t"; done
  printf '\n'
} > "$out/table.txt"
while IFS=$'\t' read -r name path; do
  "$native_bin/emfscan" --words "$path" > "$out/$name.words" || true
  words=$(wc -l < "$out/$name.words")
  [ "$words" -gt 0 ] || continue
  "$native_bin/emf2pdf" -q -o "$out/ours/$name.pdf" "$path" >/dev/null 2>&1 || true
  line=$(printf '%-40s %6d' "$name" "$words")
  for t in "${tools[@]}"; do
    pdf=$out/ours/$name.pdf
    [ "$t" = ours ] || pdf=$fid/$t/$name.pdf
    n=0
    if [ -s "$pdf" ] && pdftotext -enc UTF-8 "$pdf" "$out/$name.$t.txt" 2>/dev/null; then
      n=$(found "$out/$name.words" "$out/$name.$t.txt")
    fi
    sum_found[$t]=$(( ${sum_found[$t]:-0} + n ))
    line+=$(printf ' %11.1f%%' "$(awk -v a="$n" -v b="$words" 'BEGIN { print 100 * a / b }')")
  done
  sum_words=$((sum_words + words))
  echo "$line" >> "$out/table.txt"
done < <(qk_corpus_files)
{
  echo "Text recall over the corpus ($sum_words words of character text records)"
  for t in "${tools[@]}"; do
    printf '%-12s %s\n' "$t" "$(awk -v a="${sum_found[$t]:-0}" -v b="$sum_words" 'BEGIN { if (b) printf "%.1f%% (%d words)", 100 * a / b, a; else print "-" }')"
  done
} > "$out/summary.txt"
cat "$out/table.txt"
echo
cat "$out/summary.txt"

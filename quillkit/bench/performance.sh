#!/usr/bin/env bash
# Speed, size, validity, encryption and memory of emf2pdf, with the peers'
# speed and size from the same run (run by hand, not by the tests).
#
#   quillkit/bench/performance.sh [--with-peers] [--no-peers] [--pages N]
#     --with-peers   install Inkscape and LibreOffice with apt when missing
#     --no-peers     leave the peers out even when installed
#     --pages N      pages of the long document for the memory check (500)
#
# Prints the figures and writes them to build/bench/performance/summary.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/quillkit/bench/common.sh"
. "$root/quillkit/bench/pdf_checks.sh"

peers=auto
long_pages=500
while [ $# -gt 0 ]; do
  case $1 in
    --with-peers) peers=install ;;
    --no-peers) peers=none ;;
    --pages) long_pages=$2; shift ;;
    *) echo "usage: $0 [--with-peers] [--no-peers] [--pages N]" >&2; exit 2 ;;
  esac
  shift
done
[ "$peers" = install ] && qk_install_peers
qk_ensure_built
if [ ! -x /usr/bin/time ]; then  # GNU time reports the peak resident size
  apt-get install -y -qq time >/dev/null 2>&1 || { echo "performance: needs /usr/bin/time (package time)" >&2; exit 1; }
fi
emf2pdf=$native_bin/emf2pdf
out=$bench_out/performance
rm -rf "$out"
mkdir -p "$out/ours" "$out/src"
summary=$out/summary.txt
: > "$summary"
say() { echo "$*" | tee -a "$summary"; }
ratio() { awk -v a="$1" -v b="$2" -v f="${3:-%.1f}" 'BEGIN { if (b == 0) print "-"; else printf f, a / b }'; }
ms_per() { awk -v t="$1" -v n="$2" 'BEGIN { if (n == 0) print "-"; else printf "%.1f", 1000 * t / n }'; }
bytes_of() { local total=0 f; for f in "$@"; do [ -f "$f" ] && total=$((total + $(stat -c %s "$f"))); done; echo $total; }

mapfile -t files < <(qk_corpus_files | cut -f2)
n=${#files[@]}
for f in "${files[@]}"; do ln -sf "$f" "$out/src/$(basename "$(dirname "$f")")-$(basename "$f")"; done
say "Performance of emf2pdf over $n corpus files ($(date -u '+%Y-%m-%d %H:%M UTC'), $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo '?'))"
say ""

# Speed: a process a file (as a user converts them one by one), and one
# document of all pages (the writer alone, without process starts).
read -r w_each c_each < <(qk_timed bash -c 'for f in "$1"/src/*.emf; do "$2" -q -o "$1/ours/$(basename "$f" .emf).pdf" "$f"; done' _ "$out" "$emf2pdf")
read -r w_all c_all < <(qk_timed "$emf2pdf" -q -o "$out/all.pdf" "$out"/src/*.emf)
ours_pdfs=("$out"/ours/*.pdf)
ours_bytes=$(bytes_of "${ours_pdfs[@]}")
all_bytes=$(bytes_of "$out/all.pdf")

row() {  # label wall cpu pages bytes files-out [pages-written]
  printf '%-32s %9s %9s %9s %11s %9s\n' "$1" "$(ms_per "$2" "$4")" "$(ms_per "$3" "$4")" \
    "$(ratio "$4" "$3")" "$(ratio "$5" "${7:-${6%/*}}" '%.0f')" "$6" | tee -a "$summary"
}
say "Speed and size (load average $(cut -d' ' -f1-3 /proc/loadavg))"
say "                                  ms/file   CPU ms/file  pages/CPU s  bytes/page  files out"
row "emf2pdf, a process a file" "$w_each" "$c_each" "$n" "$ours_bytes" "${#ours_pdfs[@]}/$n"
row "emf2pdf, one $n-page document" "$w_all" "$c_all" "$n" "$all_bytes" "1/1" \
  "$(pdfinfo "$out/all.pdf" 2>/dev/null | sed -n 's/^Pages: *//p')"
if [ "$peers" != none ]; then
  for t in inkscape libreoffice; do
    case $t in inkscape) qk_have inkscape || continue ;; libreoffice) qk_have soffice || continue ;; esac
    mkdir -p "$out/$t"
    cp -P "$out"/src/*.emf "$out/$t/"
    if [ "$t" = inkscape ]; then read -r w c < <(qk_inkscape_batch "$out/$t"); else read -r w c < <(qk_libreoffice_batch "$out/$t"); fi
    rm -f "$out/$t/"*.emf
    peer_pdfs=("$out/$t"/*.pdf)
    [ -e "${peer_pdfs[0]}" ] || peer_pdfs=()
    row "$t, one batch" "$w" "$c" "$n" "$(bytes_of "${peer_pdfs[@]}")" "${#peer_pdfs[@]}/$n"
  done
fi
say ""

# Validity: every output passes qpdf --check; the corrupted files end in a
# clear error or a valid PDF, never in a crash.
bad=0 warned=0
for pdf in "${ours_pdfs[@]}" "$out/all.pdf"; do
  rc=0
  qpdf --check "$pdf" > "$pdf.check" 2>&1 || rc=$?
  case $rc in 0) ;; 3) warned=$((warned + 1)) ;; *) bad=$((bad + 1)); echo "  qpdf --check fails: $pdf" >> "$summary" ;; esac
done
say "Validity: qpdf --check on $(( ${#ours_pdfs[@]} + 1 )) outputs: $bad errors, $warned with warnings"
crashes=0 refused=0 written=0 written_bad=0
mkdir -p "$out/corrupted"
for f in "$corpus"/corrupted/*.emf; do
  pdf=$out/corrupted/$(basename "$f" .emf).pdf
  rc=0
  timeout 60 "$emf2pdf" -q -o "$pdf" "$f" > "$pdf.log" 2>&1 || rc=$?
  if [ $rc -ge 124 ]; then crashes=$((crashes + 1)); echo "  crash or hang ($rc): $f" >> "$summary"
  elif [ -s "$pdf" ]; then
    written=$((written + 1))
    qpdf --check "$pdf" >/dev/null 2>&1 || [ $? -eq 3 ] || written_bad=$((written_bad + 1))
  else refused=$((refused + 1)); fi
done
say "Corrupted files: $(ls "$corpus"/corrupted/*.emf | wc -l): $crashes crashes or hangs, $refused refused, $written written ($written_bad of them failing qpdf --check)"
say ""

# Encryption: both key lengths x the 16 permission combinations x four kinds
# of passwords, each checked with the user password in qpdf, pdfinfo and mutool.
enc_total=0 enc_bad=0
sample=$corpus/apps/test-068.emf
mkdir -p "$out/encryption"
for bits in 40 128; do
  for mask in $(seq 0 15); do
    for pws in none user owner both; do
      args=(--encrypt --key-length "$bits")
      yn() { [ $(( mask & $1 )) -ne 0 ] && echo yes || echo no; }
      print=$(yn 1) copy=$(yn 2) annotate=$(yn 4) modify=$(yn 8)
      [ "$print" = no ] && args+=(--no-print)
      [ "$copy" = no ] && args+=(--no-copy)
      [ "$annotate" = no ] && args+=(--no-annotations)
      [ "$modify" = no ] && args+=(--no-modify)
      user=
      case $pws in
        user) user=u-pass; args+=(--user-password "$user") ;;
        owner) args+=(--owner-password o-pass) ;;
        both) user=u-pass; args+=(--user-password "$user" --owner-password o-pass) ;;
      esac
      pdf=$out/encryption/e$bits-$mask-$pws.pdf
      enc_total=$((enc_total + 1))
      if ! "$emf2pdf" -q "${args[@]}" -o "$pdf" "$sample" >/dev/null 2>&1; then
        enc_bad=$((enc_bad + 1)); echo "  $bits bit, mask $mask, $pws: emf2pdf failed" >> "$summary"; continue
      fi
      if ! problems=$(qk_check_encryption "$pdf" "$user" "$bits" "$print" "$copy" "$annotate" "$modify"); then
        enc_bad=$((enc_bad + 1))
        echo "  $bits bit, mask $mask, $pws: $(tr '\n' ';' <<< "$problems")" >> "$summary"
      fi
      if [ "$pws" = both ] && qpdf --check --password=wrong "$pdf" >/dev/null 2>&1; then
        enc_bad=$((enc_bad + 1)); echo "  $bits bit, mask $mask: opens with a wrong password" >> "$summary"
      fi
    done
  done
done
say "Encryption matrix: $enc_total files (40/128 bit x 16 permission sets x no/user/owner/both passwords): $((enc_total - enc_bad)) reported correctly by qpdf, pdfinfo and mutool"
say ""

# Memory: peak resident size for a long document and for a tenth of it; a
# writer that streams its pages stays flat.
biggest=$(ls -S "${files[@]}" | sed -n 1p)
peak() {  # pages
  local list=() i
  for i in $(seq 1 "$1"); do list+=("$biggest"); done
  /usr/bin/time -v "$emf2pdf" -q -o "$out/long-$1.pdf" "${list[@]}" 2> "$out/long-$1.time" >/dev/null || true
  sed -n 's/.*Maximum resident set size (kbytes): //p' "$out/long-$1.time"
}
short_pages=$((long_pages / 10))
rss_short=$(peak "$short_pages")
rss_long=$(peak "$long_pages")
pages_long=$(pdfinfo "$out/long-$long_pages.pdf" 2>/dev/null | sed -n 's/^Pages: *//p')
check_long=ok
qpdf --check "$out/long-$long_pages.pdf" >/dev/null 2>&1 || [ $? -eq 3 ] || check_long=FAILS
say "Memory ($(basename "$biggest"), $(stat -c %s "$biggest") bytes a page): peak RSS $rss_short kB for $short_pages pages, $rss_long kB for $long_pages pages ($pages_long pages, $(stat -c %s "$out/long-$long_pages.pdf") bytes, qpdf --check $check_long)"
say ""
echo "(details: $out)"

#!/usr/bin/env bash
# Fidelity benchmark of the PDF writer (run by hand, not by the tests).
#
# For every drawable corpus file: GDI's own rendering at 96 dpi is the
# reference (gdiref under Wine); our PDF (emf2pdf) and, when installed, the
# PDFs of Inkscape and LibreOffice are rendered with pdftoppm at 96 dpi without
# anti-aliasing, and each is compared with the reference (imgcmp). Prints one
# line a file and the share of matching files, split by whether the file has
# text records; writes the same to build/bench/fidelity/summary.txt.
#
#   quillkit/bench/fidelity.sh [--with-peers] [--no-peers] [--only SUBSTRING]
#     --with-peers   install Inkscape and LibreOffice with apt when missing
#     --no-peers     leave the peers out even when installed
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/quillkit/bench/common.sh"

peers=auto
only=
while [ $# -gt 0 ]; do
  case $1 in
    --with-peers) peers=install ;;
    --no-peers) peers=none ;;
    --only) only=$2; shift ;;
    *) echo "usage: $0 [--with-peers] [--no-peers] [--only SUBSTRING]" >&2; exit 2 ;;
  esac
  shift
done
[ "$peers" = install ] && qk_install_peers
tools=(ours)
if [ "$peers" != none ]; then
  qk_have inkscape && tools+=(inkscape)
  qk_have soffice && tools+=(libreoffice)
fi

qk_ensure_built
out=$bench_out/fidelity
rm -rf "$out"
mkdir -p "$out/ref" "$out/src"
for t in "${tools[@]}"; do mkdir -p "$out/$t"; done

# The files, their text-record counts and links named after them.
: > "$out/files.txt"
while IFS=$'\t' read -r name path; do
  [ -n "$only" ] && [[ "$name" != *"$only"* ]] && continue
  text=$("$native_bin/emfscan" "$path" | sed -n 's/.*\ttext=\([0-9]*\).*/\1/p')
  printf '%s\t%s\t%s\n' "$name" "$path" "${text:-0}" >> "$out/files.txt"
  ln -s "$path" "$out/src/$name.emf"
done < <(qk_corpus_files)
count=$(wc -l < "$out/files.txt")
echo "fidelity: $count files, tools: ${tools[*]}" >&2

# GDI references, all files in one Wine process.
: > "$out/ref/list.txt"
while IFS=$'\t' read -r name path text; do
  printf '%s\t%s\n' "$(qk_wine_path "$path")" "$(qk_wine_path "$out/ref/$name.ppm")" >> "$out/ref/list.txt"
done < "$out/files.txt"
(
  . "$root/scripts/wine-session.sh"
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;explorer.exe=d"
  scrivo_session_start
  wine "$win_bin/gdiref.exe" --shrink --list "$(qk_wine_path "$out/ref/list.txt")" > "$out/ref/log.txt" 2>&1 || true
)
# The resolution of each reference: 96 dpi unless the page was too large for it.
declare -A dpi_of
while IFS=$'\t' read -r status input size dpi; do
  [ "$status" = ok ] || continue
  input=${input//\\//}
  dpi_of[$(basename "$(dirname "$input")")-$(basename "$input" .emf)]=${dpi#dpi=}
done < <(tr -d '\r' < "$out/ref/log.txt")

# Our PDFs, one file each, as users convert them.
while IFS=$'\t' read -r name path text; do
  "$native_bin/emf2pdf" -o "$out/ours/$name.pdf" "$path" >> "$out/ours/log.txt" 2>&1 || true
done < "$out/files.txt"

# The peers' PDFs, one batch each.
for t in "${tools[@]}"; do
  case $t in
    inkscape|libreoffice)
      cp -P "$out/src/"*.emf "$out/$t/"
      if [ "$t" = inkscape ]; then qk_inkscape_batch "$out/$t" > "$out/$t/seconds"
      else qk_libreoffice_batch "$out/$t" > "$out/$t/seconds"; fi
      rm -f "$out/$t/"*.emf ;;
  esac
done

# Render and compare. A missing reference leaves the file out of the count
# (GDI itself could not draw it); a missing PDF counts as a failure.
render() {  # pdf ppm-prefix dpi
  pdftoppm -r "$3" -aa no -aaVector no -f 1 -l 1 -singlefile "$1" "$2" >/dev/null 2>&1
}
summary=$out/summary.txt
{
  printf '%-40s %-5s' file text
  for t in "${tools[@]}"; do printf ' %-24s' "$t"; done
  printf '\n'
} > "$out/table.txt"
declare -A matched total
while IFS=$'\t' read -r name path text; do
  ref=$out/ref/$name.ppm
  [ -s "$ref" ] || { printf '%-40s no GDI reference\n' "$name" >> "$out/table.txt"; continue; }
  kind=notext
  [ "$text" -gt 0 ] && kind=text
  line=$(printf '%-40s %-5s' "$name" "$text")
  [ "${dpi_of[$name]:-96}" = 96 ] || line+=" (at ${dpi_of[$name]} dpi)"
  for t in "${tools[@]}"; do
    pdf=$out/$t/$name.pdf
    verdict=NOPDF
    if [ -s "$pdf" ] && render "$pdf" "$out/$t/$name" "${dpi_of[$name]:-96}"; then
      res=$("$native_bin/imgcmp" --diff "$out/$t/$name.diff.ppm" "$ref" "$out/$t/$name.ppm" || true)
      verdict=$(awk -F'\t' '{ sub("diff=", "", $2); sub("ink_diff=", "", $3); printf "%s %s/%s", $1, $2, $3 }' <<< "$res")
      [ "${res%%$'\t'*}" = MATCH ] && matched[$t.$kind]=$(( ${matched[$t.$kind]:-0} + 1 ))
    fi
    total[$t.$kind]=$(( ${total[$t.$kind]:-0} + 1 ))
    line+=$(printf ' %-24s' "$verdict")
  done
  echo "$line" >> "$out/table.txt"
done < "$out/files.txt"

share() {  # matched total
  awk -v m="$1" -v n="$2" 'BEGIN { if (n == 0) print "-"; else printf "%d/%d (%.0f%%)", m, n, 100 * m / n }'
}
{
  echo "Fidelity against GDI at 96 dpi (match: <=2% of pixels and <=50% of ink differ;"
  echo "pages too large for 96 dpi at the largest resolution that fits)"
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo '?')"
  printf '%-12s %-22s %-22s %-22s\n' tool "without text" "with text" all
  for t in "${tools[@]}"; do
    mn=${matched[$t.notext]:-0} nn=${total[$t.notext]:-0}
    mt=${matched[$t.text]:-0} nt=${total[$t.text]:-0}
    printf '%-12s %-22s %-22s %-22s\n' "$t" "$(share "$mn" "$nn")" "$(share "$mt" "$nt")" \
      "$(share $((mn + mt)) $((nn + nt)))"
  done
} > "$summary"
cat "$out/table.txt"
echo
cat "$summary"
echo "(details: $out)"

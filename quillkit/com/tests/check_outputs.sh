#!/usr/bin/env bash
# Checks the PDFs the writer's COM tests left in a folder against their
# NAME.expect files, with the PDF tools users' viewers are built on:
#   file F            the PDF (relative to the folder)
#   password P        the user password to open it with (may be empty)
#   pages N           page count (pdfinfo, and qpdf --check passes)
#   page I W H        size of page I in points (pdfinfo, to 0.05 pt)
#   info KEY TEXT     an Info entry (pdfinfo); TEXT "-" means absent
#   root KEY VALUE    a catalog entry (mutool show)
#   encrypt none | encrypt BITS print=.. copy=.. annotate=.. modify=..
#                     (qpdf --show-encryption, pdfinfo and mutool agree; BITS may be "any")
#   text WORDS        pdftotext finds WORDS (runs of white space count as one space)
#   fonts-embedded N  pdffonts lists at least N fonts, every one an embedded
#                     subset with a ToUnicode map
#   owner P | owner-unknown
#                     P opens the file as its owner; owner-unknown: the user
#                     password does not give owner rights
# Prints one line a failed check and "checked N files" at the end; exit 1 on any failure.
set -uo pipefail
dir=$1
failures=0 files=0
fail() { echo "FAIL $name: $*"; failures=$((failures + 1)); }

# The encryption checks are shared with the benchmarks.
. "$(dirname "$0")/../../bench/pdf_checks.sh"

for expect in "$dir"/*.expect; do
  [ -e "$expect" ] || continue
  name=$(basename "$expect" .expect)
  pdf= pw=
  while read -r key rest; do
    case $key in
      file) pdf=$dir/$rest; files=$((files + 1))
            [ -s "$pdf" ] || { fail "no file $rest"; continue 2; } ;;
      password) pw=$rest ;;
      pages)
        qpdf --check --password="$pw" "$pdf" >/dev/null 2>&1 || fail "qpdf --check fails"
        n=$(pdfinfo -upw "$pw" "$pdf" 2>/dev/null | sed -n 's/^Pages: *//p')
        [ "$n" = "$rest" ] || fail "$n pages, want $rest" ;;
      page)
        read -r i w h <<< "$rest"
        got=$(pdfinfo -upw "$pw" -f "$i" -l "$i" "$pdf" 2>/dev/null | sed -n "s/^Page *$i size: *\([0-9.]*\) x \([0-9.]*\) pts.*/\1 \2/p")
        awk -v g="$got" -v w="$w" -v h="$h" 'BEGIN { split(g, a, " "); d1 = a[1] - w; d2 = a[2] - h;
             exit !(g != "" && d1 < 0.05 && d1 > -0.05 && d2 < 0.05 && d2 > -0.05) }' \
          || fail "page $i is '$got' pt, want $w x $h" ;;
      info)
        k=${rest%% *} v=${rest#* }
        got=$(pdfinfo -upw "$pw" "$pdf" 2>/dev/null | sed -n "s/^$k: *//p")
        [ "$v" = - ] && v=
        [ "$got" = "$v" ] || fail "$k is '$got', want '$v'" ;;
      root)
        k=${rest%% *} v=${rest#* }
        got=$(mutool show -p "$pw" "$pdf" "trailer/Root/$k" 2>/dev/null | tr -d '\n')
        [ "$got" = "$v" ] || fail "$k is '$got', want '$v'" ;;
      encrypt)
        if [ "$rest" = none ]; then
          pdfinfo "$pdf" 2>/dev/null | grep -q '^Encrypted: *no' || fail "encrypted, want plain"
        else
          read -r bits perms <<< "$rest"
          set -- ${perms//=/ }
          problems=$(qk_check_encryption "$pdf" "$pw" "$bits" "$2" "$4" "$6" "$8") ||
            while read -r line; do fail "$line"; done <<< "$problems"
        fi ;;
      text)
        got=$(pdftotext -enc UTF-8 -upw "$pw" "$pdf" - 2>/dev/null | tr -s ' \t\n\f' '    ')
        case $got in *"$rest"*) ;; *) fail "text '$rest' not found in: $got" ;; esac ;;
      fonts-embedded)
        list=$(pdffonts -upw "$pw" "$pdf" 2>/dev/null | tail -n +3)
        n=$(grep -c . <<< "$list")
        [ "$n" -ge "$rest" ] || fail "$n fonts, want at least $rest"
        # emb, sub and uni are the 5th to 3rd columns from the end
        bad=$(awk '$(NF-4) != "yes" || $(NF-3) != "yes" || $(NF-2) != "yes" { print $1 }' <<< "$list")
        [ -z "$bad" ] || fail "not embedded subsets with ToUnicode: $bad" ;;
      owner)
        show=$(qpdf --show-encryption --password="$rest" "$pdf" 2>&1)
        grep -q 'Supplied password is owner password' <<< "$show" || fail "'$rest' is not the owner password" ;;
      owner-unknown)
        show=$(qpdf --show-encryption --password="$pw" "$pdf" 2>&1)
        grep -q 'Supplied password is owner password' <<< "$show" && fail "the user password opens as owner" ;;
    esac
  done < "$expect"
done
echo "checked $files files, $failures failures"
[ $failures -eq 0 ] && [ $files -gt 0 ]

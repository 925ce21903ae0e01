#!/usr/bin/env bash
# Checks the PDFs the end-to-end conversion tests left in a folder against
# their NAME.expect files, with qpdf, pdfinfo, mutool and pdftoppm:
#   file F             the PDF, relative to the folder (may contain blanks)
#   password P         the user password to open it with (may be empty)
#   pages N            page count (pdfinfo), and qpdf --check passes
#   mediabox I W H     width and height of page I's MediaBox in points (to 0.05)
#   info KEY TEXT      an Info entry as pdfinfo shows it
#   root KEY VALUE     a catalog entry (mutool show)
#   encrypt none | encrypt BITS print=.. copy=.. annotate=.. modify=..
#   owner P            P opens the file as its owner
#   owner-unknown      the user password does not give owner rights
#   pixel I X Y COLOUR page I drawn into 100 x 100 pixels: the pixel at column
#                      X, row Y is white, red, green or blue
# Prints one line a failed check and "checked N files" at the end; exit 1 on
# any failure or when there is nothing to check.
# Tool output is taken whole before it is searched: with pipefail, a grep -q
# that stops reading early would make the tool's broken pipe count as failure.
set -uo pipefail
dir=$1
failures=0 files=0
fail() { echo "FAIL $name: $*"; failures=$((failures + 1)); }

# The encryption checks of the PDF writer's own tests.
. "$(dirname "$0")/../../../../quillkit/bench/pdf_checks.sh"

colour_of() {  # r g b -> name
  awk -v r="$1" -v g="$2" -v b="$3" 'BEGIN {
    hi = 190; lo = 90;
    if (r > hi && g > hi && b > hi) print "white";
    else if (r > hi && g < lo && b < lo) print "red";
    else if (g > 100 && r < lo && b < lo) print "green";
    else if (b > hi && r < lo && g < lo) print "blue";
    else printf "rgb(%d,%d,%d)\n", r, g, b }'
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

for expect in "$dir"/*.expect; do
  [ -e "$expect" ] || continue
  name=$(basename "$expect" .expect)
  pdf= pw=
  while IFS= read -r line; do
    line=${line%$'\r'}  # written by a Windows program
    key=${line%% *} rest=
    [ "$key" != "$line" ] && rest=${line#* }
    case $key in
      file) pdf=$dir/$rest; files=$((files + 1))
            [ -s "$pdf" ] || { fail "no file $rest"; pdf=; } ;;
      password) pw=$rest ;;
    esac
    [ -n "$pdf" ] || continue
    case $key in
      pages)
        qpdf --check --password="$pw" "$pdf" >/dev/null 2>&1 || fail "$(basename "$pdf"): qpdf --check fails"
        n=$(pdfinfo -upw "$pw" "$pdf" 2>/dev/null | sed -n 's/^Pages: *//p')
        [ "$n" = "$rest" ] || fail "$(basename "$pdf"): $n pages, want $rest" ;;
      mediabox)
        read -r i w h <<< "$rest"
        got=$(pdfinfo -upw "$pw" -f "$i" -l "$i" -box "$pdf" 2>/dev/null |
              awk -v i="$i" '$1 == "Page" && $2 == i && $3 == "MediaBox:" { printf "%.2f %.2f", $6 - $4, $7 - $5 }')
        awk -v g="$got" -v w="$w" -v h="$h" 'BEGIN { split(g, a, " "); d1 = a[1] - w; d2 = a[2] - h;
             exit !(g != "" && d1 < 0.05 && d1 > -0.05 && d2 < 0.05 && d2 > -0.05) }' \
          || fail "$(basename "$pdf"): page $i MediaBox is '$got' pt, want $w x $h" ;;
      info)
        k=${rest%% *} v=${rest#* }
        got=$(pdfinfo -upw "$pw" "$pdf" 2>/dev/null | sed -n "s/^$k: *//p")
        [ "$got" = "$v" ] || fail "$(basename "$pdf"): $k is '$got', want '$v'" ;;
      root)
        k=${rest%% *} v=${rest#* }
        got=$(mutool show -p "$pw" "$pdf" "trailer/Root/$k" 2>/dev/null | tr -d '\n')
        [ "$got" = "$v" ] || fail "$(basename "$pdf"): $k is '$got', want '$v'" ;;
      encrypt)
        if [ "$rest" = none ]; then
          info=$(pdfinfo "$pdf" 2>/dev/null)
          grep -q '^Encrypted: *no' <<< "$info" || fail "$(basename "$pdf"): encrypted, want plain"
        else
          read -r bits perms <<< "$rest"
          set -- ${perms//=/ }
          problems=$(qk_check_encryption "$pdf" "$pw" "$bits" "$2" "$4" "$6" "$8") ||
            while read -r p; do fail "$(basename "$pdf"): $p"; done <<< "$problems"
        fi ;;
      owner)
        show=$(qpdf --show-encryption --password="$rest" "$pdf" 2>&1)
        grep -q 'Supplied password is owner password' <<< "$show" || fail "$(basename "$pdf"): '$rest' is not the owner password" ;;
      owner-unknown)
        show=$(qpdf --show-encryption --password="$pw" "$pdf" 2>&1)
        grep -q 'Supplied password is owner password' <<< "$show" && fail "$(basename "$pdf"): the user password opens as owner" ;;
      pixel)
        read -r i x y want <<< "$rest"
        rm -f "$tmp/px.ppm"
        pdftoppm -upw "$pw" -f "$i" -l "$i" -scale-to-x 100 -scale-to-y 100 -x "$x" -y "$y" -W 1 -H 1 \
                 -singlefile "$pdf" "$tmp/px" 2>/dev/null
        if [ -s "$tmp/px.ppm" ]; then
          read -r r g b <<< "$(tail -c 3 "$tmp/px.ppm" | od -An -tu1)"
          got=$(colour_of "$r" "$g" "$b")
        else
          got="no picture"
        fi
        [ "$got" = "$want" ] || fail "$(basename "$pdf"): page $i at $x,$y is $got, want $want" ;;
    esac
  done < "$expect"
done
echo "checked $files files, $failures failures"
[ $failures -eq 0 ] && [ $files -gt 0 ]

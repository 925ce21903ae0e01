#!/usr/bin/env bash
# The Windows emf2pdf with its fonts from GDI, run under Wine (inside the
# tests' Wine session): corpus pictures with text, glyph-index text among
# them, make a PDF that qpdf accepts, whose fonts are all embedded subsets
# with ToUnicode maps, and whose text pdftotext reads.
#   check_wine_fonts.sh EMF2PDF_EXE CORPUS_DIR OUT_DIR
set -uo pipefail
exe=$1 corpus=$2 out=$3
win() { printf 'Z:%s' "${1//\//\\}"; }
mkdir -p "$out"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

pdf=$out/gdi-fonts.pdf
rm -f "$pdf"
wine "$exe" -q --fonts gdi -o "$(win "$pdf")" "$(win "$corpus/synthetic/TestFonts.emf")" \
  "$(win "$corpus/apps/test-183.emf")" </dev/null
rc=$?
[ $rc -eq 0 ] || fail "emf2pdf exit code $rc"
[ -s "$pdf" ] || { fail "no PDF"; exit 1; }
qpdf --check "$pdf" >/dev/null 2>&1 || fail "qpdf --check fails"
fonts=$(pdffonts "$pdf" 2>/dev/null | tail -n +3)
[ "$(grep -c . <<< "$fonts")" -ge 3 ] || fail "fewer than 3 fonts: $fonts"
# emb, sub and uni are the 5th to 3rd columns from the end
bad=$(awk '$(NF-4) != "yes" || $(NF-3) != "yes" || $(NF-2) != "yes" { print $1 }' <<< "$fonts")
[ -z "$bad" ] || fail "not embedded subsets with ToUnicode: $bad"
text=$(pdftotext -enc UTF-8 "$pdf" - 2>/dev/null | tr -s ' \t\n\f' '    ')
for words in "This font is a standard font: Serif." "This font is a special font: MonotypeCorsiva." \
             "Hebrew text below:"; do
  case $text in *"$words"*) ;; *) fail "text '$words' not found" ;; esac
done

# Fonts from files stays available, for comparison.
wine "$exe" -q --fonts files -o "$(win "$out/file-fonts.pdf")" "$(win "$corpus/synthetic/TestFonts.emf")" \
  </dev/null >/dev/null 2>&1
qpdf --check "$out/file-fonts.pdf" >/dev/null 2>&1 || fail "--fonts files: qpdf --check fails"
echo "$failures failures"
[ $failures -eq 0 ]

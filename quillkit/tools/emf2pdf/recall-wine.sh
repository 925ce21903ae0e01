#!/usr/bin/env bash
# Text recall of the Windows emf2pdf.exe under Wine (run by hand): the
# corpus through textrecall.py with the Windows program in place of the
# native one, its fonts from GDI (the default) or from font files.
#   quillkit/tools/emf2pdf/recall-wine.sh [gdi|files] [OUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build_root=${SCRIVO_BUILD:-$root/build}
fonts=${1:-gdi}
case $fonts in gdi | files) ;; *) echo "usage: $0 [gdi|files] [OUT_DIR]" >&2; exit 2 ;; esac
out=${2:-$build_root/bench/recall-wine-$fonts}
corpus=$(cd "${QK_CORPUS:-$root/../shared/corpus}" && pwd)
[ -x "$build_root/win/bin/emf2pdf.exe" ] || cmake --build "$build_root/win" --target emf2pdf >/dev/null
mkdir -p "$out"
out=$(cd "$out" && pwd)

. "$root/scripts/wine-session.sh"
scrivo_session_start
export EMF2PDF_EXE=$build_root/win/bin/emf2pdf.exe EMF2PDF_WINE_OPTIONS="-q --fonts $fonts"
python3 "$root/quillkit/tools/textrecall/textrecall.py" "$root/quillkit/tools/emf2pdf/wine-emf2pdf.sh" "$corpus" "$out"

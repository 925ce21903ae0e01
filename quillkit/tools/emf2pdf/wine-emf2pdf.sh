#!/usr/bin/env bash
# The Windows emf2pdf.exe under Wine with the command line of the native one,
# for scripts that run the native tool (textrecall.py): absolute Unix paths
# become Z: paths. Needs a Wine session (recall-wine.sh starts one).
#   EMF2PDF_EXE            the program (required)
#   EMF2PDF_WINE_OPTIONS   options put before the caller's, e.g. "--fonts files"
set -euo pipefail
exe=${EMF2PDF_EXE:?EMF2PDF_EXE names emf2pdf.exe}
args=()
for a in "$@"; do
  case $a in /*) a="Z:${a//\//\\}" ;; esac
  args+=("$a")
done
# Input from nowhere: Wine's console programs wait on an inherited pipe.
# shellcheck disable=SC2086
exec wine "$exe" ${EMF2PDF_WINE_OPTIONS:-} "${args[@]}" </dev/null

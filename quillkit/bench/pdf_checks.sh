# Checks of a PDF's encryption with the tools viewers are built on (sourced).
#
# qk_check_encryption PDF PASSWORD BITS PRINT COPY ANNOTATE MODIFY
#   BITS: 40, 128 or "any"; the four permissions: yes or no.
#   Opens the file with PASSWORD (the user password) in qpdf, pdfinfo and
#   mutool and checks that each reports the revision, key length and
#   permissions given. Prints one line a disagreement; returns 1 when any.

qk__allowed() { [ "$1" = allowed ] && echo yes || echo no; }

qk_check_encryption() {
  local pdf=$1 pw=$2 bits=$3 want="print=$4 copy=$5 annotate=$6 modify=$7" bad=0
  local show got r json_bits info flags wantflags p mflags wantm
  show=$(qpdf --show-encryption --password="$pw" "$pdf" 2>&1) || { echo "qpdf cannot open it with the user password"; return 1; }
  got="print=$(qk__allowed "$(sed -n 's/^print low resolution: //p' <<< "$show")")"
  got+=" copy=$(qk__allowed "$(sed -n 's/^extract for any purpose: //p' <<< "$show")")"
  got+=" annotate=$(qk__allowed "$(sed -n 's/^modify annotations: //p' <<< "$show")")"
  got+=" modify=$(qk__allowed "$(sed -n 's/^modify other: //p' <<< "$show")")"
  [ "$got" = "$want" ] || { echo "qpdf permissions: $got, want $want"; bad=1; }
  r=$(sed -n 's/^R = //p' <<< "$show")
  case $bits in
    40) [ "$r" = 2 ] || { echo "qpdf: revision $r for 40 bits"; bad=1; } ;;
    128) [ "$r" = 3 ] || { echo "qpdf: revision $r for 128 bits"; bad=1; } ;;
  esac
  json_bits=$(qpdf --json --json-key=encrypt --password="$pw" "$pdf" 2>/dev/null | sed -n 's/.*"bits": \([0-9]*\).*/\1/p' | head -1)
  [ "$bits" = any ] || [ "$json_bits" = "$bits" ] || { echo "qpdf: key length $json_bits, want $bits"; bad=1; }

  info=$(pdfinfo -upw "$pw" "$pdf" 2>&1) || { echo "pdfinfo cannot open it with the user password"; return 1; }
  flags=$(sed -n 's/^Encrypted: *yes (\(.*\) algorithm.*/\1/p' <<< "$info" | sed 's/ *$//')
  wantflags="print:$4 copy:$5 change:$7 addNotes:$6"
  [ "$flags" = "$wantflags" ] || { echo "pdfinfo permissions '$flags', want '$wantflags'"; bad=1; }

  p=$(mutool show -p "$pw" "$pdf" trailer/Encrypt/P 2>/dev/null | tr -d ' \n')
  if [ -z "$p" ]; then
    echo "mutool cannot read the encryption dictionary"
    return 1
  fi
  mflags="print=$(( (p >> 2) & 1 )) copy=$(( (p >> 4) & 1 )) annotate=$(( (p >> 5) & 1 )) modify=$(( (p >> 3) & 1 ))"
  wantm=${want//=yes/=1}
  wantm=${wantm//=no/=0}
  [ "$mflags" = "$wantm" ] || { echo "mutool permissions $mflags, want $wantm"; bad=1; }
  mutool draw -p "$pw" -o /dev/null -F png "$pdf" 1 >/dev/null 2>&1 || { echo "mutool cannot draw it with the user password"; bad=1; }
  return $bad
}

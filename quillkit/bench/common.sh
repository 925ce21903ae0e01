# Shared by the benchmark scripts (sourced): paths, the corpus list and the
# peers. Needs: root (the source tree) set by the caller.

build_root=${SCRIVO_BUILD:-$root/build}
corpus=${QK_CORPUS:-$root/../shared/corpus}
native_bin=$build_root/native/bin
win_bin=$build_root/win/bin
bench_out=$build_root/bench

# Corpus files that are meant to be drawn (the corrupted ones only have to
# survive), as "name<TAB>path" lines; the name is folder-file without .emf.
qk_corpus_files() {
  local dir f
  for dir in apps ea synthetic; do
    for f in "$corpus/$dir"/*.emf; do
      [ -e "$f" ] || continue
      printf '%s-%s\t%s\n' "$dir" "$(basename "$f" .emf)" "$f"
    done
  done
}

# Windows form of an absolute Unix path (Wine maps / to drive Z:).
qk_wine_path() {
  local p=$1
  printf 'Z:%s' "${p//\//\\}"
}

qk_have() { command -v "$1" >/dev/null 2>&1; }

# Installs the peer converters with apt when they are missing (root only).
qk_install_peers() {
  local missing=()
  qk_have inkscape || missing+=(inkscape)
  qk_have soffice || missing+=(libreoffice-draw)
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing peers: ${missing[*]}" >&2
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

qk_ensure_built() {
  local missing=0 t
  for t in "$native_bin/emf2pdf" "$native_bin/imgcmp" "$native_bin/emfscan" "$win_bin/gdiref.exe"; do
    [ -x "$t" ] || missing=1
  done
  if [ $missing -eq 1 ]; then
    echo "building the tools first" >&2
    "$root/scripts/build.sh" >/dev/null
  fi
}

# Converts every EMF of a folder (symbolic links named NAME.emf) to NAME.pdf
# in the same folder with Inkscape, in one process. Prints the seconds taken.
qk_inkscape_batch() {
  local dir=$1 start end
  start=$(date +%s.%N)
  (cd "$dir" && inkscape --export-type=pdf ./*.emf >/dev/null 2>&1) || true
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}

# The same with LibreOffice (one process for the batch, its own profile).
qk_libreoffice_batch() {
  local dir=$1 start end profile
  profile=$(mktemp -d)
  start=$(date +%s.%N)
  (cd "$dir" && soffice -env:UserInstallation="file://$profile" --headless --convert-to pdf \
     --outdir "$dir" ./*.emf >/dev/null 2>&1) || true
  end=$(date +%s.%N)
  rm -rf "$profile"
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}

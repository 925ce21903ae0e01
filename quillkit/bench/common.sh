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

# Runs a command and prints "WALL CPU" in seconds (CPU: user + system time of
# the command and all its children): on a shared machine the CPU time is the
# fairer measure of the work done.
qk_timed() {
  local t
  t=$(mktemp)
  /usr/bin/time -f '%e %U %S' -o "$t" "$@" >/dev/null 2>&1 || true
  # The last line: a failing command's status line comes first.
  awk 'END { printf "%.3f %.3f\n", $1, $2 + $3 }' "$t"
  rm -f "$t"
}

# Converts every EMF of a folder (symbolic links named NAME.emf) to NAME.pdf
# in the same folder with Inkscape, in one process. Prints "WALL CPU".
qk_inkscape_batch() {
  local dir=$1
  (cd "$dir" && qk_timed inkscape --export-type=pdf ./*.emf)
}

# The same with LibreOffice (one process for the batch, its own profile).
qk_libreoffice_batch() {
  local dir=$1 profile
  profile=$(mktemp -d)
  (cd "$dir" && qk_timed soffice -env:UserInstallation="file://$profile" --headless --convert-to pdf \
     --outdir "$dir" ./*.emf)
  rm -rf "$profile"
}

# Shared steps of the end-to-end tests (sourced). Expects: root, tree.
tree=$(cd "$tree" && pwd)
host=$tree/bin/render-host.exe
[ -f "$host" ] || { echo "FAIL: no $host in the build" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The driver directory's "3" folder of the 32-bit environment, as a Linux path.
driver_folder() {
  . "$root/scripts/env.sh"
  printf '%s' "$WINEPREFIX/drive_c/windows/system32/spool/drivers/w32x86/3"
}

# Writes a job file from lines: job_file NAME LINE...
job_file() {
  local name=$1; shift
  printf '%s\r\n' "$@" >"$work/$name.ini"
}

# Prints job NAME with the stand-in into $work/NAME.prn, the injected bytes into
# $work/NAME.inj; extra arguments go to the stand-in. Output to files, never pipes (Wine's
# helpers would hold a pipe open). Returns the stand-in's exit code (124: it hung for
# ${render_timeout:-120} seconds and was stopped).
render() {
  local name=$1; shift
  local rc=0
  timeout "${render_timeout:-120}" "$root/scripts/wine" "$host" --job "$(winpath "$work/$name.ini")" \
    --out "$(winpath "$work/$name.prn")" --injected "$(winpath "$work/$name.inj")" "$@" \
    >"$work/$name.out" 2>"$work/$name.err" || rc=$?
  return "$rc"
}

# Compares a file with expected bytes given as a printf format string.
same_bytes() {  # what, file, expected-format
  printf "$3" >"$work/expected.bin"
  if ! cmp -s "$work/expected.bin" "$2"; then
    fail "$1: bytes differ"
    diff <(cat -A "$work/expected.bin") <(cat -A "$2") | head -10 >&2 || true
  fi
}

# Ghostscript reads the job file (PJL header and all) without an error.
gs_accepts() {  # what, file
  if ! gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage "$2" >"$work/gs.out" 2>&1; then
    fail "$1: Ghostscript refused the job: $(head -3 "$work/gs.out")"
  fi
}

finish() {  # test name
  if [ "$failures" -ne 0 ]; then
    echo "$1: $failures failure(s)" >&2
    exit 1
  fi
  echo "$1: ok"
}

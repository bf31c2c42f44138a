# Shared steps of the property-sheet tests (sourced). Expects: here, root; arguments: the 64-bit
# tree (ui-host.exe, vexui.dll) and the 32-bit tree beside it (render-host.exe).
win64=$(cd "${1:?usage: $0 <win64 tree> [<win32 tree>]}" && pwd)
tree=${2:-$win64/../win32}
[ -d "$tree" ] || { echo "FAIL: no 32-bit tree at $tree" >&2; exit 1; }
. "$root/tests/e2e/lib/e2e.bash"
uihost=$win64/bin/ui-host.exe
[ -f "$uihost" ] || { echo "FAIL: no $uihost" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test or start Xvfb" >&2; exit 1; }
artifacts=$win64/artifacts
mkdir -p "$artifacts"

# sheet NAME [--shot PNG] UI-HOST-ARGUMENTS...: runs ui-host into $work/NAME.{out,err}; with
# --shot it photographs the display while the sheet is up (the arguments must hold the sheet
# with --screenshot-wait). Returns ui-host's exit code.
sheet() {
  local name=$1 shot=; shift
  if [ "${1:-}" = --shot ]; then shot=$2; shift 2; rm -f "$artifacts/$shot"; fi
  "$root/scripts/wine" "$uihost" "$@" >"$work/$name.out" 2>"$work/$name.err" &
  local pid=$! rc=0 waited=0
  while kill -0 "$pid" 2>/dev/null; do
    if [ -n "$shot" ] && grep -q 'ui-host: sheet up' "$work/$name.out" 2>/dev/null; then
      sleep 0.5  # the sheet paints after it announces itself
      import -window root "$artifacts/$shot" || echo "import failed for $shot" >&2
      shot=
    fi
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -gt 1200 ]; then kill "$pid" 2>/dev/null; echo "$name: stopped after 120 s" >&2; fi
  done
  wait "$pid" || rc=$?
  return "$rc"
}

# shot_kept WHAT PNG: the picture was written for people to look at. What it shows is asserted
# by the script's expect steps before its shot; a missing file means the shot itself failed.
shot_kept() {
  if [ -s "$2" ]; then
    echo "screenshot: $2"
  else
    fail "$1: no screenshot $(basename "$2")"
  fi
}

# script NAME STEPS...: the dialog runner's script $work/NAME.txt, one step a line.
script() { local name=$1; shift; printf '%s\n' "$@" >"$work/$name.txt"; }

# What every sheet of a script gets: ui-host options before the command (the printer) and the
# document sheet's own options.
sheet_printer=()
sheet_docsheet=()
# play NAME [PRINTER-OPTIONS...] [-- DOCSHEET-OPTIONS...]: the document sheet with script NAME;
# the dump in $work/NAME.dump, the record that OK or Apply leaves in $work/NAME.rec. Returns
# ui-host's exit code.
play() {
  local name=$1 before=(); shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do before+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  sheet "$name" "${sheet_printer[@]}" "${before[@]}" docsheet "${sheet_docsheet[@]}" \
    --script "$(winpath "$work/$name.txt")" --dump "$(winpath "$work/$name.dump")" \
    --out-record "$(winpath "$work/$name.rec")" "$@"
}
# played NAME ARGS...: play, failing with what ui-host said when it does not exit 0.
played() {
  local name=$1 rc=0; shift
  play "$name" "$@" || rc=$?
  [ "$rc" -eq 0 ] || fail "$name: ui-host exited with $rc: $(said "$name")"
  return "$rc"
}

# said NAME [DUMP]: why ui-host's run NAME failed. Its standard error cuts a message at the first
# character outside ASCII (a caption, a control's text), so the script's failed step and the
# dialogs it left open come whole from the dump ($work/NAME.dump unless named).
said() {
  local why
  why=$(grep -h -e '^script line ' -e '^closed ' "${2:-$work/$1.dump}" 2>/dev/null | head -3)
  [ -n "$why" ] || why=$(grep -h 'ui-host: ' "$work/$1.err" 2>/dev/null | head -3)
  printf '%s' "${why:-$(tail -3 "$work/$1.err" 2>/dev/null)}"
}

# has FILE PATTERN WHAT / lacks FILE PATTERN WHAT: a fixed-string line check of a dump.
has() { grep -qF -- "$2" "$1" || fail "$3 (no \"$2\")"; }
lacks() { ! grep -qF -- "$2" "$1" || fail "$3 (\"$2\" present)"; }
# The dump line of the driver item with that keyword.
item_line() { grep -E "^item $2 " "$1" || true; }

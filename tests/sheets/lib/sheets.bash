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

# A screenshot that exists and shows more than a blank display.
shot_ok() {  # what, png
  if [ ! -s "$2" ]; then
    fail "$1: no screenshot $(basename "$2")"
  elif [ "$(convert "$2" -format '%k' info:)" -lt 3 ]; then
    fail "$1: $(basename "$2") shows nothing"
  else
    echo "screenshot: $2"
  fi
}

# has FILE PATTERN WHAT / lacks FILE PATTERN WHAT: a fixed-string line check of a dump.
has() { grep -qF -- "$2" "$1" || fail "$3 (no \"$2\")"; }
lacks() { ! grep -qF -- "$2" "$1" || fail "$3 (\"$2\" present)"; }
# The dump line of the driver item with that keyword.
item_line() { grep -E "^item $2 " "$1" || true; }

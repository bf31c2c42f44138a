#!/usr/bin/env bash
# The watermark preview on a palette display: where the display lacks the watermark's colour the
# preview gives the text a palette entry of its own (the system palette holds the colour after
# the drawing, not before) and the text still shows; on a true-colour display the text is drawn
# in its own colour and the palette is left alone. The palette display is an 8-bit X display of
# this test's own.
#   tests/wysiwyg/palette_display.sh <win64 tree>
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tree=$(cd "${1:?usage: $0 <win64 tree>}" && pwd)
probe=$tree/bin/watermark-preview-probe.exe
[ -f "$probe" ] || { echo "FAIL: no $probe" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test or start Xvfb" >&2; exit 1; }
. "$root/scripts/env.sh"
out=$(mktemp)
xvfb=
trap 'rm -f "$out"; [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true' EXIT

probe() {  # display; prints the probe's report
  DISPLAY=$1 "$root/scripts/wine" "$probe" palette >"$out" 2>&1 || { cat "$out" >&2; return 1; }
  grep '^palette-display ' "$out" | tr -d '\r'
}
field() { printf '%s\n' "$1" | awk -v k="$2" '{for (i = 1; i < NF; i += 2) if ($i == k) print $(i + 1)}'; }
status=0
check() {  # report, key, condition on the value, what it means
  local value; value=$(field "$1" "$2")
  if ! [ "$value" "${@:3:2}" ]; then echo "FAIL: $5 ($2 $value)" >&2; status=1; fi
}

report=$(probe "$DISPLAY")
echo "true colour: $report"
check "$report" palette-display -eq 0 "the test display is true-colour"
check "$report" exact -gt 1000 "the text is drawn in its own colour"

for n in $(seq 141 190); do [ -e "/tmp/.X$n-lock" ] || break; done
Xvfb ":$n" -screen 0 800x600x8 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
report=$(probe ":$n")
echo "8-bit: $report"
check "$report" palette-display -eq 1 "the 8-bit display is palette-based"
check "$report" before -eq 0 "the system palette lacks the colour before the drawing"
check "$report" after -eq 1 "the preview's palette entry holds the colour"
check "$report" nearest -gt 1000 "the text shows"
[ "$status" = 0 ] && echo "palette_display: ok"
exit "$status"

#!/usr/bin/env bash
# document-sheet: the time a user waits for the document sheet, from the driver's first call of
# the plug-in to the first page painted, with all of the plug-in's pages against the same sheet
# with the driver's pages only, 15 openings each, interleaved in one run; ratio = the medians'
# quotient. Needs DISPLAY (an X server) and a Wine server of the prefix (scripts/env.sh).
#   bench/document_sheet.sh [win64 build tree]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$root/build/win64}
host=$tree/bin/ui-host.exe
[ -f "$host" ] || { echo "document-sheet: no $host; run scripts/build first" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "document-sheet: no DISPLAY" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$root/scripts/env.sh"
openings=15
printer='VEX Sheet Bench'

# Microseconds until the first page was painted.
open_sheet() {  # extra docsheet options...
  local out
  out=$("$root/scripts/wine" "$host" --printer "$printer" --no-install docsheet --press cancel "$@" \
    2>"$work/err") || { echo "document-sheet: ui-host failed: $(cat "$work/err")" >&2; return 1; }
  sed -n 's/^ui-host: first page painted after \([0-9]*\) us (in the plug-in.s calls \([0-9]*\) us).*/\1 \2/p' <<<"$out"
}
median() {  # column
  awk -v c="$1" '{ print $c }' | sort -n |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

"$root/scripts/wine" "$host" --printer "$printer" docsheet --press cancel >/dev/null 2>&1  # installs
: >"$work/plugin"
: >"$work/driver"
# Each pair in turn starts with the other kind, so that neither profits from going second.
for i in $(seq "$openings"); do
  if [ $((i % 2)) -eq 1 ]; then
    open_sheet >>"$work/plugin"
    open_sheet --driver-pages-only >>"$work/driver"
  else
    open_sheet --driver-pages-only >>"$work/driver"
    open_sheet >>"$work/plugin"
  fi
done
awk -v p="$(median 1 <"$work/plugin")" -v c="$(median 2 <"$work/plugin")" \
  -v d="$(median 1 <"$work/driver")" -v n="$openings" 'BEGIN {
  printf "document-sheet to first paint, median of %d: with the plug-in %.1f ms (%.1f ms in its calls), driver pages only %.1f ms, ratio %.2f\n",
    n, p / 1000, c / 1000, d / 1000, (d > 0 ? p / d : 0) }'

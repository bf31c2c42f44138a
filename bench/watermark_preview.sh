#!/usr/bin/env bash
# watermark-preview: one redraw of the watermark preview (median of 1000; a 45-degree text with
# the double frame, at the list dialog's control size) against the floor of any preview, one
# off-screen ExtTextOutW of the same turned text plus one BitBlt of the page area, measured in
# one run; ratio = redraw / floor. Also prints the redraw into a memory DC and what making an
# off-screen surface costs (why each dialog keeps its surface between redraws).
#   bench/watermark_preview.sh [win64 build tree]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$root/build/win64}
probe=$tree/bin/watermark-preview-probe.exe
[ -f "$probe" ] || { echo "watermark-preview: no $probe; run scripts/build first" >&2; exit 1; }
. "$root/scripts/env.sh"
# The drawing needs an X display; without one there is nothing to measure (not a failure).
[ -n "${DISPLAY:-}" ] || { echo "watermark-preview: skipped, no DISPLAY"; exit 0; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# Output to a file, never a pipe: Wine's helpers would hold a pipe open.
"$root/scripts/wine" "$probe" bench >"$out" 2>&1 || { cat "$out" >&2; exit 1; }
grep '^watermark-preview-detail ' "$out" || true
# The line scripts/bench reads: "watermark-preview ... ratio N.NN".
grep '^watermark-preview ' "$out"

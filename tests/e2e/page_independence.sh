#!/usr/bin/env bash
# Job files stay page-independent: the PostScript of the sample job (watermark and the
# every-page overlay on every page) is cut into single pages with psselect, as a spooler or a
# print manager reorders and reprints pages; each page alone renders with Ghostscript without
# an error and looks exactly as the same page of the whole job.
# Overlays of the first, odd, even or listed pages are left out: the overlay resource picks them
# by counting the sheets it has shown, as the printer does, so a page printed alone counts as
# the first.
#   tests/e2e/page_independence.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: page_independence.sh <build tree>}
. "$here/lib/e2e.bash"
. "$here/lib/pixels.bash"
command -v psselect >/dev/null || { echo "FAIL: no psselect (scripts/setup installs psutils)" >&2; exit 1; }
pages=3

# The demo's job with a third page and only its every-page overlay (the order form and footer).
sed -e "s/^Pages=2\r\?\$/Pages=$pages\r/" -e 's/^overlayList=.*/overlayList=1,255,255,255\r/' \
  "$root/samples/demo-job.ini" >"$work/job.ini"
grep -q "^Pages=$pages" "$work/job.ini" && grep -q '^overlayList=1,255' "$work/job.ini" ||
  { echo "FAIL: the sample job has no Pages or overlayList line" >&2; exit 1; }
if ! render job; then
  echo "FAIL: render-host: $(cat "$work/job.err")" >&2
  exit 1
fi

# The PostScript document alone: from %!PS to %%EOF, without the PJL lines around it.
tr -d '\r' <"$work/job.prn" | awk '/^%!PS/ { on = 1 } on { print } /^%%EOF/ { exit }' >"$work/whole.ps"
[ "$(grep -c '^%%Page:' "$work/whole.ps")" -eq "$pages" ] ||
  fail "the job holds $(grep -c '^%%Page:' "$work/whole.ps") %%Page comments, not $pages"
cp "$work/whole.ps" "$work/whole.prn"
render_pages whole || exit 1
[ "$(page_count whole)" -eq "$pages" ] || fail "the whole job renders $(page_count whole) pages"

for page in $(seq 1 "$pages"); do
  name=page$page
  if ! psselect -q -p"$page" "$work/whole.ps" "$work/$name.prn" 2>"$work/$name.psselect"; then
    fail "psselect cannot take page $page: $(cat "$work/$name.psselect")"
    continue
  fi
  render_pages "$name" || continue
  if [ "$(page_count "$name")" -ne 1 ]; then
    fail "page $page alone renders $(page_count "$name") pages"
    continue
  fi
  differing=$(compare -metric AE "$work/whole-$page.png" "$work/$name-1.png" null: 2>&1 || true)
  [ "$differing" = 0 ] || fail "page $page alone differs from page $page of the whole job ($differing pixels)"
done

# What the plug-in added is on every page alone: the overlay's frames (pure blue) and the
# watermark (pure red).
for page in $(seq 1 "$pages"); do
  [ -f "$work/page$page-1.png" ] || continue
  blue=$(pixel_fraction "$work/page$page-1.png" 0 0 297 421 "$is_blue")
  red=$(pixel_fraction "$work/page$page-1.png" 0 0 297 421 '(r>0.85&&g<0.15&&b<0.15)')
  awk -v f="$blue" 'BEGIN { exit !(f > 0.001) }' || fail "page $page alone has no overlay frames"
  awk -v f="$red" 'BEGIN { exit !(f > 0.001) }' || fail "page $page alone has no watermark"
done

[ "$failures" -eq 0 ] || exit 1
echo "page independence: each of $pages pages renders alone as in the whole job"

#!/usr/bin/env bash
# The support page in the real document sheet: added from the support-page resource library that
# the configuration names (the secure sample model names both keys), with its controls and
# pictures; absent when the library key is empty or the library does not load; its button hands
# only web addresses to the shell.
#   tests/sheets/support_page.sh <win64 tree> [<win32 tree>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/lib/sheets.bash"
printer='VEX Sheet Support'
support=(--printer "$printer" --driver 'VEX Demo Secure PS' --files vexsupport.dll,vexcrypto.dll)
supportPage='page 3'  # after the driver's page, the job options page and the colour page

sheet_docsheet=(--press cancel)

# Both keys and the library: the page with its template's controls and pictures.
script shown "$supportPage" 'expect 1002 text "访问支持网站(&S)..."' 'expect 1001 exists 1' \
  'expect 1101 exists 1' 'page 1' 'page 3   # drawn again on activation' \
  "expect window \"$printer Printing Preferences\"" 'expect 1002 visible 1' 'expect 1001 visible 1' \
  'expect 1101 visible 1' 'controls' 'shot support-page'
if played shown "${support[@]}" -- --dump-controls "$(winpath "$work/shown.controls")"; then
  has "$work/shown.dump" 'sheet shown with 4 page(s)' "shown: the support page is missing"
  has "$work/shown.controls" 'window page "支持"' "shown: the page in front"
  shot_kept shown "$artifacts/support-page.png"
  # The framed picture and the emblem are drawn: the page holds more than its face colour.
  [ "$(convert "$artifacts/support-page.png" -format '%k' info:)" -ge 20 ] ||
    fail "shown: the page's pictures were not drawn"
fi

# "AskVexURL" set and "AskVexRES" empty: no page; a library that does not load: no page.
for case in no-library:'--model AskVexRES=' absent:'--model AskVexRES=vexabsent.dll' \
            no-address:'--model AskVexURL='; do
  name=${case%%:*}
  read -r -a extra <<<"${case#*:}"
  script "$name" 'page 0' 'expect 1001 rows 19'
  if played "$name" "${support[@]}" "${extra[@]}"; then
    has "$work/$name.dump" 'sheet shown with 3 page(s)' "$name: a support page was added"
  fi
done

# The button with an address that is not a web address starts nothing: the batch file would
# leave a mark if the shell were given it.
printf '@echo ran> "%s"\r\n' "$(winpath "$work/ran.txt")" >"$work/mark.cmd"
script program "$supportPage" 'click 1002' 'wait 2000' 'expect 1002 enabled 1'
played program "${support[@]}" --model "AskVexURL=$(winpath "$work/mark.cmd")" || true
sleep 2
[ ! -e "$work/ran.txt" ] || fail "program: the button started a program"

finish support_page

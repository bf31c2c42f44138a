#!/usr/bin/env bash
# Watermark records from any application: a font name or colour text that would end its token,
# a text of 513 characters without a terminator, texts with parentheses, backslashes and line
# breaks, angles, sizes and positions far outside their ranges, an index beyond the list. Every
# job renders in Ghostscript without an error, and only the tokens' own forms reach the job.
#   tests/e2e/watermark_hostile.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: watermark_hostile.sh <build tree>}
. "$here/lib/e2e.bash"
. "$here/lib/pixels.bash"

hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }

hostile_job() {  # name, record lines...
  local name=$1; shift
  job_file "$name" '[Printer]' 'Name=VEX WM Hostile' 'Driver=VEX WM Hostile PS' \
    'Model.JobInfoDll=' 'Files=' '[Features]' 'VXJob_Type=Normal' '[Record]' 'watermarkIndex=1' "$@" \
    '[Document]' "Name=$name" 'Pages=2'
  local rc=0
  render "$name" || rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"
    return 1
  fi
  render_pages "$name" || return 1
  [ "$(page_count "$name")" -eq 2 ] || { fail "$name: $(page_count "$name") pages"; return 1; }
}

# The operand line of the watermark's initialisation.
init_line() { grep -a -B1 '^/DriverOps /ProcSet 2 copy resourcestatus{' "$work/$1.inj" | head -1 | tr -d '\r'; }

# Font names that are not PostScript names fall back to the default font.
for font in 'Helvetica) show (' 'Times-Roman quit' 'A/B' 'F{}' 'X%Y'; do
  name=font-$(printf '%s' "$font" | tr -c 'A-Za-z0-9' '_')
  hostile_job "$name" 'wmText=Font' "wmFontFace=$font" || continue
  [[ "$(init_line "$name")" == '(Font) 0 /HeiseiMin-W3-90ms-RKSJ-H 0.75 0.75 0.75 '* ]] ||
    fail "$name: font token is \"$(init_line "$name")\""
done
hostile_job font-good 'wmText=Font' 'wmFontFace=Courier-Bold' &&
  { [[ "$(init_line font-good)" == '(Font) 0 /Courier-Bold '* ]] || fail "font-good: $(init_line font-good)"; }

# Colour texts that are not three numbers fall back to the default grey.
for color in '1 0 0 quit' '0 0 0 showpage' '1 1 1 1 1 1 1 1' '(x) 1 1' '1.0 0.5'; do
  name=colour-$(printf '%s' "$color" | tr -c 'A-Za-z0-9' '_')
  hostile_job "$name" 'wmText=Colour' 'wmFontFace=Helvetica' "wmColorText=$(hex "$color")00" ||
    continue
  [[ "$(init_line "$name")" == '(Colour) 0 /Helvetica 0.75 0.75 0.75 0 '* ]] ||
    fail "$name: colour is \"$(init_line "$name")\""
done
# Sixteen bytes of colour text without a terminator are not a colour either.
hostile_job colour-good 'wmText=Colour' "wmColorText=$(hex '1.00 0.5 0')00" &&
  { [[ "$(init_line colour-good)" == *' 1.00 0.5 0 0 '* ]] || fail "colour-good: $(init_line colour-good)"; }
hostile_job colour-unterminated 'wmText=Colour' "wmColorText=$(hex '1.00 1.00 1.00 2')" &&
  { [[ "$(init_line colour-unterminated)" == *' 0.75 0.75 0.75 '* ]] || fail "colour-unterminated"; }

# A record file: a text of 513 characters without a terminator (parentheses and backslashes
# that escaping doubles), then the same with a line break early on.
u16() { local s=$1 i; for ((i = 0; i < ${#s}; i++)); do printf '%s\000' "${s:i:1}"; done; }
record_with_text() {  # file, text (513 characters)
  {
    printf '\050\017\000\000''0002''\001\000\000\000'
    head -c $((2570 - 12)) /dev/zero
    u16 "$2" | head -c 1026
    head -c $((3880 - 2570 - 1026)) /dev/zero
  } >"$1"
}
long=$(for i in $(seq 171); do printf 'a()'; done)  # 513 characters
record_with_text "$work/long.rec" "$long"
if hostile_job long-text 'RecordFile=long.rec' 'watermarkIndex=1' 'wmSize=72'; then
  line=$(init_line long-text)
  text=${line%%) 72 /*}
  text=${text#(}
  [ "${#text}" -le 384 ] || fail "long-text: string of ${#text} bytes"
  [[ "$text" == 'a\(\)a\(\)'* ]] || fail "long-text: not escaped: ${text:0:20}"
fi
record_with_text "$work/break.rec" "first$(printf '\r')
second$(printf '%*s' 500 '' | tr ' ' x)"
hostile_job line-break 'RecordFile=break.rec' 'watermarkIndex=1' 'wmSize=72' &&
  { [[ "$(init_line line-break)" == '(first) 72 '* ]] || fail "line-break: $(init_line line-break)"; }

# Numbers far outside their ranges: the job still renders.
hostile_job extreme-numbers 'wmText=Big' 'wmFontFace=Helvetica' 'wmSize=2147483647' \
  'wmAngle=-32768' 'wmOffsetX=-2147483648' 'wmOffsetY=2147483647' 'wmPosition=-1' \
  'wmFrameStyle=32767' 'wmBackground=-5' 'wmFirstPageOnly=-1' 'wmFontStyle=-1' \
  'orientationSelection=2'
hostile_job extreme-angle 'wmText=Turned' 'wmAngle=32767' 'orientationSelection=1'

# An index beyond the list of sixteen is no watermark.
if hostile_job index-17 'watermarkIndex=17' 'wmText=Ghost'; then
  grep -q -a 'Ghost' "$work/index-17.inj" && fail "index-17: watermark initialised"
fi

finish watermark_hostile

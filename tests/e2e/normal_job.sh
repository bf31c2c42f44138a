#!/usr/bin/env bash
# A Normal job through the rendering stand-in and vexps: the job file holds exactly the PJL job
# header, the document's PostScript with the procedure set and the page-setup values at the start
# of its prolog, and the PJL trailer, on a device surface and on a bitmap surface; without the
# plug-in it holds the document alone; and Ghostscript renders its two pages.
#   tests/e2e/normal_job.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: normal_job.sh <build tree>}
. "$here/lib/e2e.bash"
expected=$here/expected/normal_job.prn

# Runs the stand-in; output goes to files, not pipes (Wine's helpers would hold a pipe open).
render_job() {  # name, job file, extra arguments...
  local name=$1 job=$2; shift 2
  local rc=0
  "$root/scripts/wine" "$host" --job "$(winpath "$job")" --out "$(winpath "$work/$name.prn")" "$@" \
    >"$work/$name.out" 2>"$work/$name.err" || rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"
    return 1
  fi
}

same_as_expected() {  # name
  if ! cmp -s "$expected" "$work/$1.prn"; then
    fail "$1: job file differs from $(basename "$expected")"
    diff <(cat -A "$expected") <(cat -A "$work/$1.prn") | head -20 >&2 || true
  fi
}

[ -f "$expected" ] || { echo "FAIL: no expected job file $expected" >&2; exit 1; }
[ -f "$host" ] || { echo "FAIL: no $host in the build" >&2; exit 1; }

job() {  # file, surface
  # No job-information library: the header holds only the plug-in's own lines.
  printf '%s\r\n' \
    '[Printer]' 'Model.JobInfoDll=' \
    '[Document]' 'Name=Normal job' 'Pages=2' "Surface=$2" \
    '[Features]' 'VXJob_Type=Normal' 'VXJobLimit=False' 'VXHDDSpool=False' \
    'VXOverlay=None' 'VXOverPrint=False' >"$1"
}
job "$work/device.ini" device
job "$work/bitmap.ini" bitmap

render_job device "$work/device.ini" && same_as_expected device
# The DrvSendPage hook writes nothing into the job on a bitmap surface.
render_job bitmap "$work/bitmap.ini" && same_as_expected bitmap
# Without the plug-in: the same document, without the PJL lines around it.
if render_job direct "$work/device.ini" --no-plugin; then
  header=$'\e%-12345X@PJL JOB NAME="Normal job"\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\n'
  trailer=$'\e%-12345X@PJL EOJ\r\n'
  # The plug-in's prolog: the procedure set, then one page a sheet, orientation 0, colour.
  { cat "$root/package/files/VEXPROC.PS"
    printf 'globaldict /VX@NupNumber 1 put \r\n\nglobaldict /VX@Orientation 0 put \r\n\n'
    printf 'globaldict /VX@ColorMono 2 put \r\n\n'; } >"$work/prolog.ps"
  { printf '%s' "$header"; sed "/^%%BeginProlog\$/r $work/prolog.ps" "$work/direct.prn"
    printf '%s' "$trailer"; } >"$work/wrapped.prn"
  cmp -s "$expected" "$work/wrapped.prn" || fail "direct: the document differs from the plug-in job's"
fi

# Ghostscript renders both pages without an error, and they are not blank.
if [ -f "$work/device.prn" ]; then
  mkdir "$work/png"
  if ! gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r50 -sOutputFile="$work/png/page-%d.png" \
       "$work/device.prn" >"$work/gs.out" 2>&1; then
    fail "Ghostscript failed: $(head -5 "$work/gs.out")"
  fi
  pages=$(find "$work/png" -name 'page-*.png' | wc -l)
  [ "$pages" -eq 2 ] || fail "Ghostscript rendered $pages pages, expected 2"
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=inkcov -sOutputFile="$work/inkcov.txt" \
    "$work/device.prn" >/dev/null 2>&1 || fail "Ghostscript (ink coverage) failed"
  inked=$(awk '$5 == "CMYK" && $6 == "OK" && ($1 + $2 + $3 + $4) > 0.01' "$work/inkcov.txt" | wc -l)
  [ "$inked" -eq 2 ] || fail "$inked of 2 pages carry ink: $(cat "$work/inkcov.txt")"
fi

if [ "$failures" -ne 0 ]; then
  echo "normal_job: $failures failure(s)" >&2
  exit 1
fi
echo "normal_job: ok"

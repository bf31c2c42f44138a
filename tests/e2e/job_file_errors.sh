#!/usr/bin/env bash
# The stand-in refuses bad command lines and job files with exit code 2 (a plug-in it cannot
# load: 4) and a message that names the problem, before anything is printed.
#   tests/e2e/job_file_errors.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: job_file_errors.sh <build tree>}
. "$here/lib/e2e.bash"

cases=0

run_host() {  # arguments...; leaves the exit code in $rc
  rc=0
  "$root/scripts/wine" "$host" "$@" >"$work/out" 2>"$work/err" || rc=$?
}

check() {  # label, expected exit code, expected message fragment
  cases=$((cases + 1))
  if [ "$rc" -ne "$2" ]; then
    echo "FAIL: $1: exit code $rc, expected $2; stderr: $(cat "$work/err")" >&2
    failures=$((failures + 1))
  elif ! grep -qF -- "$3" "$work/err"; then
    echo "FAIL: $1: stderr lacks \"$3\": $(cat "$work/err")" >&2
    failures=$((failures + 1))
  elif [ -e "$work/job.prn" ]; then
    echo "FAIL: $1: a job file was written" >&2
    failures=$((failures + 1))
  fi
  rm -f "$work/job.prn"
}

job_case() {  # label, exit code, fragment, job file lines...
  local label=$1 code=$2 fragment=$3; shift 3
  printf '%s\r\n' "$@" >"$work/job.ini"
  run_host --job "$(winpath "$work/job.ini")" --out "$(winpath "$work/job.prn")"
  check "$label" "$code" "$fragment"
}

head -c 3881 /dev/zero >"$work/long.rec"

#        label                     code  message fragment                       job file
job_case "unknown section"         2 "unknown section [Documnet]"               '[Documnet]' 'Pages=2'
job_case "unknown record field"    2 "watermarkIndx"                            '[Record]' 'watermarkIndx=3'
job_case "record value too large"  2 "watermarkIndex"                           '[Record]' 'watermarkIndex=4294967296'
job_case "record value not a number" 2 "nupSelection"                           '[Record]' 'nupSelection=two'
job_case "record file too long"    2 "larger than 3880 bytes"                   '[Record]' 'RecordFile=long.rec'
job_case "record file missing"     2 "cannot read"                              '[Record]' 'RecordFile=missing.rec'
job_case "unknown devmode member"  2 "unknown device-mode member \"dmColour\""   '[DevMode]' 'dmColour=2'
job_case "devmode value too large" 2 "dmColor=99999"                            '[DevMode]' 'dmColor=99999'
job_case "form name too long"      2 "dmFormName"                               '[DevMode]' "dmFormName=$(printf 'F%.0s' {1..32})"
job_case "no pages"                2 "Pages=0"                                  '[Document]' 'Pages=0'
job_case "pages not a number"      2 "Pages=many"                               '[Document]' 'Pages=many'
job_case "unknown surface"         2 "Surface=raster"                           '[Document]' 'Surface=raster'
job_case "unknown document key"    2 "unknown key \"Copies\""                   '[Document]' 'Copies=2'
job_case "body file missing"       2 "[Document] Body=none.ps"                   '[Document]' 'Body=none.ps'
job_case "unknown dialect"         2 "Dialect=4"                                '[Features]' 'Dialect=4'
job_case "option too long"         2 "at most 255 bytes"                        '[Features]' "VXJob_Type=$(printf 'N%.0s' {1..256})"
job_case "unknown printer key"     2 "unknown key \"Colour\""                   '[Printer]' 'Colour=1'
job_case "shared without a name"   2 "ShareName"                                '[Printer]' 'Shared=1'
job_case "package folder missing"  2 "Package=nowhere"                          '[Printer]' 'Package=nowhere'

printf '%s\r\n' '[Document]' 'Pages=1' >"$work/good.ini"
good=$(winpath "$work/good.ini")
out=$(winpath "$work/job.prn")
run_host --job "$good";                                   check "no --out" 2 "--job and --out are required"
run_host --job "$good" --out "$out" --colour;             check "unknown argument" 2 "unknown argument \"--colour\""
run_host --job "$good" --out "$out" --no-plugin --bench 4096; check "bench without plug-in" 2 "--bench"
run_host --job "$good" --out "$out" --bench 0;            check "bench of nothing" 2 "--bench"
run_host --job "$(winpath "$work/none.ini")" --out "$out"; check "job file missing" 2 "no job file"
run_host --job "$good" --out "$out" --plugin "$(winpath "$work/none.dll")"
check "plug-in missing" 4 "cannot load the plug-in"

if [ "$failures" -ne 0 ]; then
  echo "job_file_errors: $failures of $cases case(s) failed" >&2
  exit 1
fi
echo "job_file_errors: ok ($cases cases)"

#!/usr/bin/env bash
# What vexps collects about the job when the driver starts the document: the cleaned document
# name of the job's PJL name, and the request it gives the job-information library (printer
# name and configuration path cut to 64 characters, job id, pages per sheet, application name),
# seen through a library that echoes its request into the header; what of the library's text
# reaches the header, whatever size it reports; and where the library may be loaded from.
#   tests/e2e/job_info_record.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: job_info_record.sh <build tree>}
. "$here/lib/e2e.bash"
. "$here/lib/prolog.bash"

printer='VEX E2E Echo printer with a name of seventy characters for the library'
[ "${#printer}" -eq 70 ] || { echo "FAIL: the printer name must have 70 characters" >&2; exit 1; }

# record_case NAME DOCUMENT-NAME EXPECTED-JOB-NAME
# (with $printer, and $version/$app/$calls for what the library is asked, $application for the
# name the printing application publishes, $extra for the library's further lines that reach
# the header)
record_case() {
  local name=$1 document=$2 expected=$3
  local config="C:\\windows\\system32\\spool\\drivers\\w32x86\\3\\$printer.cap"
  job_file "$name" '[Printer]' "Name=$printer" "Driver=${driver:-VEX E2E Echo PS}" \
    'Model.JobInfoDll=test_jobinfo_echo.dll' 'Files=test_jobinfo_echo.dll' \
    '[Features]' 'VXJob_Type=Normal' '[Record]' 'nupSelection=4' "compression=${compression:-0}" \
    '[Document]' "Name=$document" "Application=${application:-Echo App}"
  local rc=0
  render "$name" || rc=$?
  if [ "$rc" -ne 0 ]; then fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"; return; fi
  local job
  job=$(sed -n 's/^render-host: job \([0-9]*\) written.*/\1/p' "$work/$name.out" | tr -d '\r')
  {
    printf '\033%%-12345X@PJL JOB NAME="%s"\r\n' "$expected"
    printf '@PJL COMMENT REQUEST version=%s|printer=%s|config=%s|job=%s|pages=9|app=%s|calls=%s\r\n' \
      "${version:-2}" "${printer:0:64}" "${config:0:64}" "$job" "${app:-Echo App}" "${calls:-2?,2?,2f,}"
    printf '%s' "${extra:-}"
    [ "${compression:-0}" -eq 0 ] || printf '@PJL COMMENT COMPRESSION:FLATE LEVEL:%s\r\n' "$level"
    printf '@PJL ENTER LANGUAGE=POSTSCRIPT\n'
    plugin_prolog 9
    printf '\033%%-12345X@PJL EOJ\r\n'
  } >"$work/$name.expected"
  if ! cmp -s "$work/$name.expected" "$work/$name.inj"; then
    fail "$name: header differs"
    diff <(cat -A "$work/$name.expected") <(cat -A "$work/$name.inj") | head -10 >&2 || true
  fi
  gs_accepts "$name" "$work/$name.prn"
}

record_case plain 'Quarterly report.docx' 'Quarterly report.docx'
record_case quotes 'The "Big" plan' 'The  Big  plan'
record_case long "$(printf 'x%.0s' {1..100})" "$(printf 'x%.0s' {1..80})"
record_case control-character $'Before\001after' 'Before'
record_case tab $'Col\tumn' $'Col\tumn'
# The job-information block comes before the compression comment.
compression=2 level=6 record_case compression 'Packed' 'Packed'
compression=3 level=9 record_case compression-9 'Packed' 'Packed'
# A library without version 2 is asked again with version 0 and no application name.
printer='VEX E2E Echo Refuse' driver='VEX E2E Echo Refuse PS' version=0 app=- calls='2?,0?,0f,' \
  record_case version-0 'Old library' 'Old library'
# The published name is passed on as printable text only.
application=$'Echo\001 App\tX\033' app='Echo AppX' record_case application-controls 'Names' 'Names'
# Of the library's text only clean "@PJL " lines reach the header: no exit sequence, control
# byte, bare LF, other language or end of job, and no last line without its CR LF.
printer='VEX E2E Echo Hostile' driver='VEX E2E Echo Hostile PS' extra=$'@PJL COMMENT KEPT\r\n' \
  record_case hostile-lines 'Lines' 'Lines'
# A library reporting a size of almost 4 GiB gets a bounded buffer and still fills its text.
printer='VEX E2E Echo Huge' driver='VEX E2E Echo Huge PS' record_case huge-size 'Huge' 'Huge'

# The job-information companion may report up to 64 KiB more than its text: the text still
# reaches the header.
switches="$(driver_folder)/vexjobinfo.ini"
printf '[Behaviour]\r\nExtraSize=65536\r\n[Values]\r\nComputerName=PC-01\r\nUserName=alice\r\nReceptionTime=2024/03/07 09:05:01\r\n' \
  >"$switches"
job_file extra-size '[Printer]' 'Name=VEX E2E Jobinfo Extra' 'Driver=VEX E2E Jobinfo Extra PS' \
  'Model.JobInfoDll=vexjobinfo.dll' 'Files=vexjobinfo.dll' '[Features]' 'VXJob_Type=Normal' \
  '[Document]' 'Name=Extra' 'Application=Writer'
rc=0
render extra-size || rc=$?
rm -f "$switches"
if [ "$rc" -ne 0 ]; then
  fail "extra-size: render-host exited with $rc: $(cat "$work/extra-size.err")"
else
  {
    printf '\033%%-12345X@PJL JOB NAME="Extra"\r\n'
    printf '@PJL VEXAUXJOBINFO DATA="%s"\r\n' 'ComputerName=PC-01' 'UserName=alice' \
      'ReceptionTime=2024/03/07 09:05:01' 'ApplicationName=Writer'
    printf '@PJL ENTER LANGUAGE=POSTSCRIPT\n'
    plugin_prolog
    printf '\033%%-12345X@PJL EOJ\r\n'
  } >"$work/extra-size.expected"
  cmp -s "$work/extra-size.expected" "$work/extra-size.inj" || {
    fail "extra-size: header differs"
    diff <(cat -A "$work/extra-size.expected") <(cat -A "$work/extra-size.inj") | head -10 >&2 || true
  }
fi

# "JobInfoDll" names a file of the driver's folder only: a library placed one folder above it,
# reached through "..", a full path or a drive, is never loaded into the rendering process.
outside=0
above="$(driver_folder)/../test_jobinfo_echo.dll"
cp "$tree/bin/test_jobinfo_echo.dll" "$above"
for value in '..\test_jobinfo_echo.dll' '../test_jobinfo_echo.dll' \
  'C:\windows\system32\spool\drivers\w32x86\test_jobinfo_echo.dll'; do
  name=outside-$((++outside))
  job_file "$name" '[Printer]' 'Name=VEX E2E Echo Outside' 'Driver=VEX E2E Echo Outside PS' \
    "Model.JobInfoDll=$value" 'Files=test_jobinfo_echo.dll' '[Features]' 'VXJob_Type=Normal' \
    '[Document]' 'Name=Outside'
  rc=0
  render "$name" || rc=$?
  if [ "$rc" -ne 0 ]; then
    fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"
    continue
  fi
  {
    printf '\033%%-12345X@PJL JOB NAME="Outside"\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\n'
    plugin_prolog
    printf '\033%%-12345X@PJL EOJ\r\n'
  } >"$work/$name.expected"
  cmp -s "$work/$name.expected" "$work/$name.inj" ||
    fail "$name: $value was loaded: $(grep -a REQUEST "$work/$name.inj" | head -c 200)"
done
rm -f "$above"
finish job_info_record

#!/usr/bin/env bash
# The PJL job header and trailer of every job type and option, byte for byte, as vexps injects
# them through the driver (the stand-in logs every injected byte), with the prolog's procedure
# set and page-setup values between them, and Ghostscript accepts each job file that reaches
# the spooler.
#   tests/e2e/pjl_headers.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: pjl_headers.sh <build tree>}
. "$here/lib/e2e.bash"

exit_seq='\033%%-12345X'
enter='@PJL ENTER LANGUAGE=POSTSCRIPT\n'
trailer='\033%%-12345X@PJL EOJ\r\n'
doc_line='@PJL JOB NAME="Header job"\r\n'

# header_case NAME EXPECTED-HEADER-FORMAT FEATURE-AND-RECORD-LINES...
# The job has no job-information library unless the lines name one. The stand-in must end with
# code ${expected_rc:-0}.
header_case() {
  local name=$1 expected=$2; shift 2
  job_file "$name" '[Printer]' 'Model.JobInfoDll=' "$@" '[Document]' 'Name=Header job' 'Pages=1'
  local rc=0
  render "$name" || rc=$?
  if [ "$rc" -ne "${expected_rc:-0}" ]; then
    fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"
    return
  fi
  # Between header and trailer the prolog: the procedure set and the page-setup values (one page
  # a sheet, orientation 0, colour; the card marker on IC-card printers).
  printf "$expected" >"$work/$name.head"
  if [ -s "$work/$name.head" ]; then
    {
      head -c -19 "$work/$name.head"
      if [ -n "${first_block_only:-}" ]; then
        head -c 1024 "$root/package/files/VEXPROC.PS"  # a refused write ends the file's sending
      else
        cat "$root/package/files/VEXPROC.PS"
      fi
      printf 'globaldict /VX@NupNumber 1 put \r\n\nglobaldict /VX@Orientation 0 put \r\n\n'
      printf 'globaldict /VX@ColorMono 2 put \r\n\n'
      [ -z "${card_marker:-}" ] || printf 'globaldict /VX@ICCARD true  put \r\n\n'
      tail -c 19 "$work/$name.head"
    } >"$work/$name.expected"
    cmp -s "$work/$name.expected" "$work/$name.inj" || {
      fail "$name: bytes differ"
      cmp "$work/$name.expected" "$work/$name.inj" >&2 || true
    }
  else
    same_bytes "$name" "$work/$name.inj" ""
  fi
}

header_case normal "$exit_seq$doc_line$enter$trailer" \
  '[Features]' 'VXJob_Type=Normal' 'VXHDDSpool=False'
header_case normal-hdd-spool "$exit_seq@PJL VEXSPOOL MODE=ALL\r\n$doc_line$enter$trailer" \
  '[Features]' 'VXJob_Type=Normal' 'VXHDDSpool=True'
header_case secure "$exit_seq@PJL VEXSECURE PASSWORD=1234\r\n@PJL JOB NAME=\"Budget\"\r\n$enter$trailer" \
  '[Features]' 'VXJob_Type=Secure' 'VXHDDSpool=True' '[Record]' 'jobName=Budget' 'jobPassword=1234'
header_case spool "$exit_seq@PJL VEXSECURE PASSWORD=0042 PERMANENT=ON\r\n@PJL JOB NAME=\"Keep me\"\r\n$enter$trailer" \
  '[Features]' 'VXJob_Type=Spool' '[Record]' 'jobName=Keep me' 'jobPassword=0042'
header_case unknown-type "$exit_seq$doc_line$enter$trailer" \
  '[Features]' 'VXJob_Type=Booklet' 'VXHDDSpool=True'
header_case feature-unknown-to-driver "$exit_seq$doc_line$enter$trailer"
for level in 1:1 2:6 3:9; do
  header_case "compression-${level%%:*}" \
    "$exit_seq$doc_line@PJL COMMENT COMPRESSION:FLATE LEVEL:${level##*:}\r\n$enter$trailer" \
    '[Features]' 'VXJob_Type=Normal' '[Record]' "compression=${level%%:*}"
done
header_case compression-0 "$exit_seq$doc_line$enter$trailer" \
  '[Features]' 'VXJob_Type=Normal' '[Record]' 'compression=0'
# EPS output: neither header nor trailer, and the job file is the document alone.
header_case eps "" '[Features]' 'VXJob_Type=Secure' 'Dialect=2'
grep -q '^%!PS-Adobe-3.0' "$work/eps.prn" || fail "eps: the document does not start the job file"

# Chip jobs on models without a crypto library: the header is injected, but the job's output
# is for the encrypted path, which cannot encrypt it; the plug-in cancels the job rather than
# send it in clear text, so the stand-in sees the injection points fail (code 7). Encrypted jobs
# themselves are tested in secure_jobs.sh.
first_block_only=1 expected_rc=7 header_case chip-plain-printer "$exit_seq$doc_line$enter$trailer" \
  '[Features]' 'VXJob_Type=Secure_Chip'
[ ! -s "$work/chip-plain-printer.prn" ] || fail "chip job output reached the spooler in clear text"
# "VXJobLimit" on a model with a crypto library makes every job an encrypted one: the header
# follows the effective job type, without the Secure, Spool or disk-spool lines the chosen type
# would have had (the library is absent here, so the job is then cancelled).
for chosen in Normal Secure Spool; do
  first_block_only=1 expected_rc=7 header_case "job-limit-$chosen" "$exit_seq$doc_line$enter$trailer" \
    'Name=VEX E2E Limit' 'Driver=VEX E2E Limit PS' 'Model.CryptoDll=absent.dll' \
    '[Features]' "VXJob_Type=$chosen" 'VXJobLimit=True' 'VXHDDSpool=True' \
    '[Record]' 'jobName=Budget' 'jobPassword=1234'
  [ ! -s "$work/job-limit-$chosen.prn" ] || fail "job-limit-$chosen: output reached the spooler in clear"
done
card_marker=1 first_block_only=1 expected_rc=7 header_case chip-card-printer \
  "$exit_seq$doc_line@PJL COMMENT Device Name :VEX E2E Card PS\r\n@PJL COMMENT Version     :1.00.0.0\r\n$enter$trailer" \
  'Name=VEX E2E Card' 'Driver=VEX E2E Card PS' 'Model.CARD_DLL=test_card_yes.dll' \
  'Files=test_card_yes.dll' '[Features]' 'VXJob_Type=Secure'
[ ! -s "$work/chip-card-printer.prn" ] || fail "chip job output reached the spooler in clear text"
card_marker=1 header_case card-printer-normal-job "$exit_seq$doc_line$enter$trailer" \
  'Name=VEX E2E Card' 'Driver=VEX E2E Card PS' 'Model.CARD_DLL=test_card_yes.dll' \
  'Files=test_card_yes.dll' '[Features]' 'VXJob_Type=Normal'

# Job name and password come from a device mode that any application can fill: what the UI
# would not let a user type never reaches the PJL lines.
u16() { local s=$1 i; for ((i = 0; i < ${#s}; i++)); do printf '%s\000' "${s:i:1}"; done; }
{
  printf '\050\017\000\000''0002''\001\000\000\000'      # size 3880, signature, version 1
  head -c 4 /dev/zero                                     # oemUiValue
  { u16 $'Q"x\r\n@PJL SET'; head -c 34 /dev/zero; } | head -c 34   # jobName
  { u16 $'1\r\n9'; head -c 10 /dev/zero; } | head -c 10            # jobPassword
  head -c $((3880 - 60)) /dev/zero
} >"$work/hostile.rec"
header_case hostile-record "$exit_seq@PJL VEXSECURE PASSWORD=19\r\n@PJL JOB NAME=\"Qx@PJL SET\"\r\n$enter$trailer" \
  '[Features]' 'VXJob_Type=Secure' '[Record]' "RecordFile=hostile.rec"

# Every job file that reached the spooler is accepted by Ghostscript, header and all.
for job in "$work"/*.prn; do
  [ -s "$job" ] && gs_accepts "$(basename "$job" .prn)" "$job"
done
finish pjl_headers

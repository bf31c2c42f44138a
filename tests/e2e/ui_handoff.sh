#!/usr/bin/env bash
# The printing application's name from the 64-bit vexui's document event to the 32-bit vexps's
# job header: the UI stand-in runs STARTDOCPOST for the printer and the job the rendering
# stand-in has just started, and stays alive (as the printing application does) while the job is
# rendered. Through the shared-memory section, and through the relay program when the section
# cannot be made; for a local queue, a shared queue and a queue named with ':' and '/'.
#   tests/e2e/ui_handoff.sh <win32 build tree>   (the 64-bit tree lies beside it as win64)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: ui_handoff.sh <build tree>}
. "$here/lib/e2e.bash"
. "$here/lib/prolog.bash"

uihost=$(cd "$tree/../win64" 2>/dev/null && pwd)/bin/ui-host.exe
[ -f "$uihost" ] || { echo "FAIL: no 64-bit ui-host.exe beside $tree" >&2; exit 1; }

# Switch files of the job-information library in both driver folders: fixed machine values for
# the 32-bit one (byte-exact lines), the application's name for the 64-bit one.
switches32=$(driver_folder)/vexjobinfo.ini
switches64=$(dirname "$(dirname "$(driver_folder)")")/x64/3/vexjobinfo.ini
trap 'rm -rf "$work" "$switches32" "$switches64"' EXIT
mkdir -p "$(dirname "$switches32")"
printf '%s\r\n' '[Values]' 'ComputerName=HOST1' 'UserName=amy' \
  'ReceptionTime=2026/12/08 10:00:00' >"$switches32"

block() {  # application name
  printf '@PJL VEXAUXJOBINFO DATA="ComputerName=HOST1"\r\n'
  printf '@PJL VEXAUXJOBINFO DATA="UserName=amy"\r\n'
  printf '@PJL VEXAUXJOBINFO DATA="ReceptionTime=2026/12/08 10:00:00"\r\n'
  printf '@PJL VEXAUXJOBINFO DATA="ApplicationName=%s"\r\n' "$1"
}

# ui_host NAME ARGUMENTS...: runs the 64-bit stand-in once, output in $work/NAME.ui.*
ui_host() {
  local name=$1; shift
  local rc=0
  timeout 120 "$root/scripts/wine" "$uihost" "$@" >"$work/$name.ui.out" 2>"$work/$name.ui.err" || rc=$?
  [ "$rc" -eq 0 ] || fail "$name: ui-host exited with $rc: $(cat "$work/$name.ui.err")"
  return "$rc"
}

# handoff_case NAME APPLICATION PRINTER SHARE [STARTDOC-OPTIONS...]; ui_extra holds further printer
# options for the UI stand-in, printer_extra further [Printer] lines for the rendering stand-in.
ui_extra=() printer_extra=()
handoff_case() {
  local name=$1 application=$2 printer=$3 share=$4; shift 4
  local printer_args=(--printer "$printer" "${ui_extra[@]}") share_lines=("${printer_extra[@]}")
  if [ -n "$share" ]; then printer_args+=(--share "$share"); share_lines=('Shared=1' "ShareName=$share"); fi
  printf '%s\r\n' '[Values]' "Application=$application" >"$switches64"
  # The printer and the 64-bit driver with vexui, installed as the driver's installer would; its
  # event filter asks for STARTDOCPOST.
  ui_host "$name-install" "${printer_args[@]}" queryfilter || return 0
  tr -d '\r' <"$work/$name-install.ui.out" | grep -q 'needed 0, returned 1: 13$' ||
    fail "$name: QUERYFILTER answered $(cat "$work/$name-install.ui.out")"
  local producer
  producer=$(printf 'Producer="%s" --printer "%s" --no-install startdoc --job %%JOBID%% --ready --linger 60 %s' \
    "$(winpath "$uihost")" "$printer" "$*")
  job_file "$name" '[Printer]' "Name=$printer" "${share_lines[@]}" '[Features]' 'VXJob_Type=Normal' \
    '[Document]' 'Name=Handoff job' "$producer" 'ProducerReady=30'
  local rc=0
  render "$name" || rc=$?
  if [ "$rc" -ne 0 ]; then fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"; return; fi
  { printf '\033%%-12345X@PJL JOB NAME="Handoff job"\r\n'; block "${expected_name-$application}"
    printf '@PJL ENTER LANGUAGE=POSTSCRIPT\n'; plugin_prolog
    printf '\033%%-12345X@PJL EOJ\r\n'; } >"$work/$name.expected"
  if ! cmp -s "$work/$name.expected" "$work/$name.inj"; then
    fail "$name: header differs"
    diff <(cat -A "$work/$name.expected") <(cat -A "$work/$name.inj") | head -10 >&2 || true
  fi
  gs_accepts "$name" "$work/$name.prn"
}

handoff_case section 'UI Handoff Writer' 'VEX E2E UI Handoff' ''
handoff_case shared-section 'Shared Sheets' 'VEX E2E UI Shared' 'UI:Sales'
handoff_case reserved-section 'Slash Colon' 'VEX E2E UI Q/1:A' ''
# The mutex's name is taken, so vexui starts the relay program, which writes the name into the
# pipe vexps serves for the queue (its name unchanged, ':' and '/' included).
handoff_case relay 'Relay Writer' 'VEX E2E UI Handoff' '' --occupy-channel
handoff_case reserved-relay 'Relay Slash' 'VEX E2E UI Q/1:A' '' --occupy-channel
handoff_case shared-relay 'Relay Sales' 'VEX E2E UI Shared' 'UI:Sales' --occupy-channel

# Without a relay program nothing delivers: the header waits its 10 seconds and goes on with an
# empty name (so the relay cases above were delivered by the program).
ui_extra=(--driver 'VEX E2E UI NoRelay PS' --model COLORAPEXE=)
printer_extra=('Driver=VEX E2E UI NoRelay PS' 'Model.JobInfoDll=vexjobinfo.dll')
start=$SECONDS
expected_name='' handoff_case no-relay 'Lost Writer' 'VEX E2E UI NoRelay' '' --occupy-channel
[ $((SECONDS - start)) -ge 9 ] || fail "no-relay: the header did not wait for a pipe client"
ui_extra=() printer_extra=()

# Nothing allocated for the filter: only the count needed.
if ui_host filter-none --printer 'VEX E2E UI Handoff' --no-install queryfilter --allocated 0; then
  tr -d '\r' <"$work/filter-none.ui.out" | grep -q 'needed 1, returned 0:$' ||
    fail "filter-none: QUERYFILTER answered $(cat "$work/filter-none.ui.out")"
fi

finish ui_handoff

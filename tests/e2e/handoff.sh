#!/usr/bin/env bash
# The printing application's name travels from the producer (the UI plug-in's side, played here
# by the stand-in itself or by test producers of either word size, or delivered by the relay
# program through a pipe) to vexps, which passes it to the job-information library whose lines
# appear in the PJL header. Without a producer, or with one that never lets go of its mutex, the
# header waits at most 10 seconds and goes on with an empty name.
#   tests/e2e/handoff.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: handoff.sh <build tree>}
. "$here/lib/e2e.bash"
. "$here/lib/prolog.bash"

producer32=$tree/bin/handoff-producer.exe
producer64=$tree/../win64/bin/handoff-producer.exe
relay=$tree/bin/vexrelay.exe
for program in "$producer32" "$producer64" "$relay"; do
  [ -f "$program" ] || { echo "FAIL: no $program in the build" >&2; exit 1; }
done

# Fixed machine values for the job-information library, so that its lines are byte-exact.
switches=$(driver_folder)/vexjobinfo.ini
trap 'rm -rf "$work" "$switches"' EXIT
mkdir -p "$(dirname "$switches")"
printf '%s\r\n' '[Values]' 'ComputerName=HOST1' 'UserName=amy' \
  'ReceptionTime=2026/12/08 10:00:00' >"$switches"

block() {  # application name
  printf '@PJL VEXAUXJOBINFO DATA="ComputerName=HOST1"\r\n'
  printf '@PJL VEXAUXJOBINFO DATA="UserName=amy"\r\n'
  printf '@PJL VEXAUXJOBINFO DATA="ReceptionTime=2026/12/08 10:00:00"\r\n'
  printf '@PJL VEXAUXJOBINFO DATA="ApplicationName=%s"\r\n' "$1"
}

# handoff_case NAME EXPECTED-APPLICATION-NAME PRINTER-AND-DOCUMENT-LINES...
handoff_case() {
  local name=$1 application=$2; shift 2
  job_file "$name" '[Features]' 'VXJob_Type=Normal' "$@"
  local start=$SECONDS rc=0
  render "$name" || rc=$?
  elapsed=$((SECONDS - start))
  if [ "$rc" -ne 0 ]; then fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"; return; fi
  { printf '\033%%-12345X@PJL JOB NAME="Handoff job"\r\n'; block "$application"
    printf '@PJL ENTER LANGUAGE=POSTSCRIPT\n'; plugin_prolog
    printf '\033%%-12345X@PJL EOJ\r\n'; } >"$work/$name.expected"
  if ! cmp -s "$work/$name.expected" "$work/$name.inj"; then
    fail "$name: header differs"
    diff <(cat -A "$work/$name.expected") <(cat -A "$work/$name.inj") | head -10 >&2 || true
  fi
  gs_accepts "$name" "$work/$name.prn"
}

printer='VEX E2E Handoff'
local_printer=('[Printer]' "Name=$printer" '[Document]' 'Name=Handoff job')
produce() {  # program, extra producer arguments...
  local program=$1; shift
  # Ends unquoted: the profile API takes the outer quotes off a value that begins and ends in one.
  printf 'Producer="%s" --printer "%s" --job %%JOBID%% %s --linger 60' "$(winpath "$program")" "$printer" "$*"
}

handoff_case in-process 'Report Writer' "${local_printer[@]}" 'Application=Report Writer'
handoff_case producer-32 'Paint 32' "${local_printer[@]}" \
  "$(produce "$producer32" --name '"Paint 32"')" 'ProducerReady=10'
handoff_case producer-64 'Paint 64' "${local_printer[@]}" \
  "$(produce "$producer64" --name '"Paint 64"')" 'ProducerReady=10'
# A shared queue: the objects are named after the share name, reserved characters as 0.
handoff_case shared-queue 'Sheets' '[Printer]' 'Name=VEX E2E Shared' 'Shared=1' \
  'ShareName=Sales:Queue' '[Document]' 'Name=Handoff job' \
  "Producer=\"$(winpath "$producer64")\" --printer \"VEX E2E Shared\" --share Sales:Queue --job %JOBID% --name Sheets --linger 60" \
  'ProducerReady=10'
# The relay program delivers through the pipe the consumer serves when there is no section.
handoff_case relay 'Relay App' "${local_printer[@]}" \
  "Producer=\"$(winpath "$relay")\" 0 \"Relay App\" \"\\\\.\\pipe\\$printer\\%JOBHEX%\\AppInfo\" --wait-ms 10000"
# A section without a terminator: the name is cut at 60 characters.
handoff_case unterminated-section "$(printf 'A%.0s' {1..60})" "${local_printer[@]}" \
  "$(produce "$producer32" --raw "$(printf '4100%.0s' {1..61})")" 'ProducerReady=10'
# A pipe message longer than the name's 122 bytes: the name is cut at 60 characters.
handoff_case long-pipe-message "$(printf 'B%.0s' {1..60})" "${local_printer[@]}" \
  "Producer=\"$(winpath "$producer64")\" --pipe \"\\\\.\\pipe\\$printer\\%JOBHEX%\\AppInfo\" --raw $(printf '4200%.0s' {1..100}) --linger 0"
# No producer at all: at most 10 seconds, then an empty name.
handoff_case no-producer '' "${local_printer[@]}"
[ "$elapsed" -ge 9 ] && [ "$elapsed" -le 25 ] || fail "no-producer: took ${elapsed}s, expected about 10"
# A holder that never releases the mutex cannot stop the job for longer.
handoff_case stuck-holder '' "${local_printer[@]}" \
  "$(produce "$producer32" --name Stuck --no-release)" 'ProducerReady=10'
[ "$elapsed" -ge 9 ] && [ "$elapsed" -le 25 ] || fail "stuck-holder: took ${elapsed}s, expected about 10"

# A library that leaves no terminator within the size it reported: the block is read no further
# than that size, and the plug-in's own lines around it stay whole.
printf '%s\r\n' '[Behaviour]' 'NoTerminator=1' '[Values]' 'ComputerName=HOST1' 'UserName=amy' \
  'ReceptionTime=2026/12/08 10:00:00' >"$switches"
job_file unterminated-block '[Features]' 'VXJob_Type=Normal' "${local_printer[@]}" \
  'Application=Report Writer'
if render unterminated-block; then
  # The library reports its text and the terminator it then leaves out: one byte more at most.
  limit=$(($(block 'Report Writer' | wc -c) + 1))
  printf '\033%%-12345X@PJL JOB NAME="Handoff job"\r\n' >"$work/head.bin"
  { printf '@PJL ENTER LANGUAGE=POSTSCRIPT\n'; plugin_prolog
    printf '\033%%-12345X@PJL EOJ\r\n'; } >"$work/tail.bin"
  injected=$work/unterminated-block.inj
  head_bytes=$(wc -c <"$work/head.bin") tail_bytes=$(wc -c <"$work/tail.bin")
  block_bytes=$(($(wc -c <"$injected") - head_bytes - tail_bytes))
  head -c "$head_bytes" "$injected" | cmp -s - "$work/head.bin" ||
    fail "unterminated-block: the header does not begin with its own lines"
  tail -c "$tail_bytes" "$injected" | cmp -s - "$work/tail.bin" ||
    fail "unterminated-block: the header does not end with its own lines"
  [ "$block_bytes" -ge 1 ] && [ "$block_bytes" -le "$limit" ] ||
    fail "unterminated-block: block of $block_bytes bytes, expected at most $limit"
  tr -d '\000' <"$injected" | cmp -s - "$injected" || fail "unterminated-block: a zero byte reached the job"
else
  fail "unterminated-block: render-host failed: $(cat "$work/unterminated-block.err")"
fi

finish handoff

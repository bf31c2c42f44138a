#!/usr/bin/env bash
# A Secure job whose record requires a job name asks for it in vexps's job-name dialog (on the X
# display), where a "user" (job-name-prompt-driver.exe) types it; the PJL job line then carries
# the typed name. Shared queues and records that do not require a name print without asking.
# Keeps a screenshot of the dialog as <tree>/artifacts/job-name-prompt.png.
#   tests/e2e/job_name_prompt.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: job_name_prompt.sh <build tree>}
. "$here/lib/e2e.bash"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test or start Xvfb" >&2; exit 1; }
driver=$tree/bin/job-name-prompt-driver.exe
[ -f "$driver" ] || { echo "FAIL: no $driver in the build" >&2; exit 1; }
artifacts=$tree/artifacts
mkdir -p "$artifacts"

secure_job() {  # name, required (0/1), printer lines...
  local name=$1 required=$2; shift 2
  job_file "$name" '[Printer]' 'Model.JobInfoDll=' "$@" '[Features]' 'VXJob_Type=Secure' \
    '[Record]' 'jobName=Stored' 'jobPassword=1234' "jobNameRequired=$required" \
    '[Document]' 'Name=Prompt job'
}
header_names() {  # name: the JOB NAME line of the injected header
  tr '\r' '\n' <"$work/$1.inj" | grep -a -o 'JOB NAME="[^"]*"' || true
}

# Asked: the user types a name while the stand-in waits in the header.
secure_job asked 1 'Name=VEX E2E Prompt'
mkdir "$work/markers"
"$root/scripts/wine" "$driver" 'Typed 2026' --screenshot-marker "$(winpath "$work/markers")" \
  >"$work/driver.out" 2>&1 &
driver_pid=$!
render asked &
host_pid=$!
for _ in $(seq 1 400); do
  if [ -e "$work/markers/prompt.ready" ]; then
    import -window root "$artifacts/job-name-prompt.png" || fail "screenshot failed"
    touch "$work/markers/prompt.done"
    break
  fi
  sleep 0.05
done
rc=0; wait "$host_pid" || rc=$?
[ "$rc" -eq 0 ] || fail "asked: render-host exited with $rc: $(cat "$work/asked.err")"
rc=0; wait "$driver_pid" || rc=$?
[ "$rc" -eq 0 ] || fail "asked: the dialog was not answered ($rc): $(cat "$work/driver.out")"
[ "$(header_names asked)" = 'JOB NAME="Typed 2026"' ] || fail "asked: header has $(header_names asked)"
[ -s "$artifacts/job-name-prompt.png" ] || fail "no screenshot of the dialog"

# Not asked: a shared queue (the dialog would show where nobody sees it), and a record that does
# not require a name. No driver runs: a dialog would hang the job until the time-out.
secure_job shared 1 'Name=VEX E2E Prompt Shared' 'Shared=1' 'ShareName=PromptShare'
secure_job not-required 0 'Name=VEX E2E Prompt'
for name in shared not-required; do
  rc=0
  render_timeout=60 render "$name" || rc=$?
  [ "$rc" -eq 0 ] || fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"
  [ "$(header_names "$name")" = 'JOB NAME="Stored"' ] || fail "$name: header has $(header_names "$name")"
done
finish job_name_prompt

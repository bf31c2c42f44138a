#!/usr/bin/env bash
# pass-through: a 64 MiB document in 4 KiB chunks written by the rendering stand-in (a) straight
# to the spooler and (b) through vexps as a Normal job, in one run; prints the ratio b/a.
# Two lines: the job without a job-information library (what each chunk costs), and the job as
# the sample model prints it, whose header asks the library and the hand-off once per document.
#   bench/pass_through.sh [win32 build tree]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$root/build/win32}
host=$tree/bin/render-host.exe
[ -f "$host" ] || { echo "pass-through: no $host; run scripts/build first" >&2; exit 1; }
# Memory-backed when possible: disk writes vary more than what is measured.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

bench() {  # label, extra job-file lines...
  local label=$1; shift
  printf '%s\r\n' '[Features]' 'VXJob_Type=Normal' 'VXJobLimit=False' 'VXHDDSpool=False' \
    '[Document]' 'Name=pass-through' 'Application=pass-through' "$@" >"$work/job.ini"
  # Output to a file: Wine's helper processes would hold a pipe open.
  if ! "$root/scripts/wine" "$host" --job "$(winpath "$work/job.ini")" \
       --out "$(winpath "$work/job.prn")" --bench 64M >"$work/out" 2>"$work/err"; then
    echo "$label: render-host failed: $(cat "$work/err")" >&2
    return 1
  fi
  local line direct plugin ratio
  line=$(tr -d '\r' <"$work/out")
  direct=$(sed -n 's/.*direct \([0-9.]*\) s.*/\1/p' <<<"$line")
  plugin=$(sed -n 's/.*through the plug-in \([0-9.]*\) s.*/\1/p' <<<"$line")
  ratio=$(sed -n 's/.*ratio \([0-9.]*\)$/\1/p' <<<"$line")
  [ -n "$direct" ] && [ -n "$plugin" ] && [ -n "$ratio" ] ||
    { echo "$label: unexpected output: $line" >&2; return 1; }
  echo "$label: 64 MiB in 4 KiB chunks, median of 7 rounds: direct ${direct} s, vexps ${plugin} s, ratio ${ratio}"
}

bench pass-through '[Printer]' 'Model.JobInfoDll='
bench pass-through-with-job-information

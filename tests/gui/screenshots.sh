#!/usr/bin/env bash
# Runs the empty-name scenario of the job-name dialog tests and photographs the display each time
# the program announces a screenshot point (a "<name>.ready" file in VEX_GUI_MARKERS); the program
# waits for "<name>.done" before it goes on.
#   tests/gui/screenshots.sh <job_name_dialog_gui_tests.exe> <artifacts folder>
# Needs DISPLAY (scripts/test starts Xvfb). Leaves job-name-message.png and job-name-dialog.png.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
program=${1:?usage: screenshots.sh <test program> <artifacts folder>}
artifacts=${2:?usage: screenshots.sh <test program> <artifacts folder>}
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test or start Xvfb" >&2; exit 1; }
command -v import >/dev/null || { echo "FAIL: ImageMagick's import is missing" >&2; exit 1; }

shots=(job-name-message job-name-dialog)
mkdir -p "$artifacts"
for shot in "${shots[@]}"; do rm -f "$artifacts/$shot.png"; done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

# Output goes to a file, not a pipe (Wine's helpers would hold a pipe open).
VEX_GUI_MARKERS=$(winpath "$work") "$root/scripts/wine" "$program" \
  --gtest_filter=JobNameDialog.EmptyNameIsRefusedWithMessage >"$work/log" 2>&1 &
pid=$!
while kill -0 "$pid" 2>/dev/null; do
  for ready in "$work"/*.ready; do
    [ -e "$ready" ] || continue
    name=$(basename "$ready" .ready)
    rm -f "$ready"
    import -window root "$artifacts/$name.png" || echo "import failed for $name" >&2
    touch "$work/$name.done"
  done
  sleep 0.1
done
rc=0
wait "$pid" || rc=$?

failures=0
if [ "$rc" -ne 0 ]; then
  echo "FAIL: the dialog scenario exited with $rc" >&2
  cat "$work/log" >&2
  failures=1
fi
for shot in "${shots[@]}"; do
  png=$artifacts/$shot.png
  if [ ! -s "$png" ]; then
    echo "FAIL: no screenshot $shot.png" >&2
    failures=1
  # A blank display photographs as one colour.
  elif [ "$(convert "$png" -format '%k' info:)" -lt 3 ]; then
    echo "FAIL: $shot.png shows nothing" >&2
    failures=1
  else
    echo "screenshot: $png"
  fi
done
exit "$failures"

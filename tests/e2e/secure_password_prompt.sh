#!/usr/bin/env bash
# An encrypted secure job without a stored password asks for it at print time in the crypto
# library's dialog (on the X display); a "user" (crypto-probe.exe answer) types it, and
# jobinspect decrypts the job with that password. The same holds when the record's
# ask-at-print flag is set although a password is stored.
#   tests/e2e/secure_password_prompt.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: secure_password_prompt.sh <build tree>}
. "$here/lib/e2e.bash"
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run under scripts/test or start Xvfb" >&2; exit 1; }
inspect=${JOBINSPECT:-${tree%win32}native/tools/jobinspect}
[ -x "$inspect" ] || { echo "FAIL: no jobinspect at $inspect (build the native tree)" >&2; exit 1; }
probe=$tree/bin/crypto-probe.exe
. "$root/scripts/env.sh"

asked_job() {  # name, typed password, record lines...
  local name=$1 typed=$2; shift 2
  job_file "$name" '[Printer]' 'Name=VEX Secure Prompt' 'Driver=VEX Demo Secure PS' \
    '[Features]' 'VXJob_Type=Secure_Chip' '[Record]' "$@" '[Document]' 'Name=Asked job' 'Pages=1' \
    'Application='  # published at once: the plug-in does not wait out the hand-off's bound
  "$root/scripts/wine" "$probe" answer "$typed" >"$work/$name.answer" 2>&1 &
  local answer_pid=$! rc=0
  render_timeout=150 render "$name" || rc=$?  # the dialog is answered by another process
  [ "$rc" -eq 0 ] || fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"
  rc=0; wait "$answer_pid" || rc=$?
  [ "$rc" -eq 0 ] || fail "$name: the dialog was not answered ($rc): $(cat "$work/$name.answer")"
  "$inspect" "$work/$name.prn" --password "$typed" --plaintext "$work/$name.plain" \
    >"$work/$name.insp" 2>&1 || fail "$name: jobinspect refused the job: $(tail -1 "$work/$name.insp")"
  grep -aq '%%Title: Asked job' "$work/$name.plain" || fail "$name: the document is not in the plaintext"
}

asked_job no-stored-password 'typed-at-print 77'
stored=$(wine "$probe" "$tree/bin/vexcrypto.dll" encipher 4321 </dev/null | tr -d '\r')
asked_job ask-at-print 'other 55' "encryptedPassword=$stored" \
  "encryptedPasswordLength=$(( ${#stored} / 2 ))" 'cryptoFlag=1'
finish secure_password_prompt

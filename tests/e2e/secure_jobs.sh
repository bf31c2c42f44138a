#!/usr/bin/env bash
# Encrypted secure jobs end to end: the stand-in prints through vexps with the crypto library
# (and the simulated IC-card reader) of the sample package's secure models; jobinspect, which
# decrypts with OpenSSL independently of the Windows code, verifies every stream. The plaintext
# is the job the plug-in produced (the same job printed as a Normal job on the same printer, but
# for its reception time and the IC-card comment lines), and the document's marker text never
# appears in clear in a job file.
#   tests/e2e/secure_jobs.sh <win32 build tree>   (jobinspect from the native tree beside it,
#                                                   or from $JOBINSPECT)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: secure_jobs.sh <build tree>}
. "$here/lib/e2e.bash"

inspect=${JOBINSPECT:-${tree%win32}native/tools/jobinspect}
[ -x "$inspect" ] || { echo "FAIL: no jobinspect at $inspect (build the native tree)" >&2; exit 1; }
probe=$tree/bin/crypto-probe.exe
. "$root/scripts/env.sh"

marker='MARKER-secure-7f3a9c'
printf '%%!PS-Adobe-3.0 fragment\n/Helvetica findfont 20 scalefont setfont\n72 700 moveto (%s) show\nshowpage\n' \
  "$marker" >"$work/body.ps"
cipher_password() {  # password -> hex of the library's enciphered password
  wine "$probe" "$tree/bin/vexcrypto.dll" encipher "$1" </dev/null | tr -d '\r'
}

# Every job publishes an empty printing application's name: the header is the one of a job
# without a name, and the plug-in does not wait out the hand-off's bound for one.
# secure_job NAME EXPECTED-RC LINES...: prints the secure job, then checks that nothing of the
# document is in clear in the job file.
secure_job() {
  local name=$1 expected_rc=$2; shift 2
  job_file "$name" "$@" '[Document]' "Name=${doc:-Secret report}" 'Pages=2' \
    "Body=$(winpath "${body:-$work/body.ps}")" 'Application='
  local rc=0
  render "$name" || rc=$?
  if [ "$rc" -ne "$expected_rc" ]; then
    fail "$name: render-host exited with $rc, expected $expected_rc: $(cat "$work/$name.err")"
    return 1
  fi
  if grep -aq "$marker" "$work/$name.prn"; then fail "$name: the marker text is in clear in the job file"; fi
  if grep -aq 'showpage' "$work/$name.prn"; then fail "$name: PostScript is in clear in the job file"; fi
  return 0
}

# The same document as a Normal job: the marker is there in clear.
plain_job() {
  local name=$1 rc=0; shift
  job_file "$name" "$@" '[Document]' "Name=${doc:-Secret report}" 'Pages=2' \
    "Body=$(winpath "${body:-$work/body.ps}")" 'Application='
  render "$name" || rc=$?
  [ "$rc" -eq 0 ] || fail "$name: render-host exited with $rc: $(cat "$work/$name.err")"
  grep -aq "$marker" "$work/$name.prn" || fail "$name: the marker is not in the plain job"
}

# The job's plaintext is the Normal job's file, apart from its reception time and, for the card
# model, the device lines that only secure jobs carry.
normalised() { sed -e 's/ReceptionTime=[^"]*"/ReceptionTime=T"/' -e '/^@PJL COMMENT Device Name/d' \
  -e '/^@PJL COMMENT Version /d' "$1"; }
same_as_normal() {  # plaintext, normal job file, what
  if ! cmp -s <(normalised "$1") <(normalised "$2"); then
    fail "$3: the decrypted stream differs from the job the plug-in produced"
    diff <(normalised "$1" | cat -A) <(normalised "$2" | cat -A) | head -10 >&2 || true
  fi
}

inspect_ok() {  # name, jobinspect arguments...
  local name=$1; shift
  if ! "$inspect" "$work/$name.prn" "$@" --plaintext "$work/$name.plain" >"$work/$name.insp" 2>&1; then
    fail "$name: jobinspect refused the job: $(tail -1 "$work/$name.insp")"
    return 1
  fi
}
inspect_refuses() {  # name, file, expected message, jobinspect arguments...
  local name=$1 file=$2 message=$3 rc=0; shift 3
  "$inspect" "$file" "$@" >"$work/$name.insp" 2>&1 || rc=$?
  if [ "$rc" -ne 1 ]; then fail "$name: jobinspect exited with $rc, expected 1"; fi
  grep -q "$message" "$work/$name.insp" || fail "$name: no \"$message\" in: $(tail -1 "$work/$name.insp")"
}

hex=$(cipher_password 4321)
[ -n "$hex" ] || fail "the crypto library did not encipher a password"
password_printer=('[Printer]' 'Name=VEX Secure Password' 'Driver=VEX Demo Secure PS')
record=('[Record]' "encryptedPassword=$hex" "encryptedPasswordLength=$(( ${#hex} / 2 ))"
        'cryptoTime=0x00030015')

# 1. Password model, stored enciphered password; the job type comes from "VXJobLimit".
if secure_job stored 0 "${password_printer[@]}" '[Features]' 'VXJob_Type=Normal' 'VXJobLimit=True' \
    "${record[@]}"; then
  header=$(head -c 400 "$work/stored.prn" | tr -d '\r' | sed -n '/KeepingTime/p')
  [ "$header" = '@PJL VEXAUXJOBINFO DATA="KeepingTime=03:21"' ] ||
    fail "stored: no cleartext keeping-time line ($header)"
  if inspect_ok stored --password 4321; then
    plain_job normal-twin "${password_printer[@]}" '[Features]' 'VXJob_Type=Normal' \
      'VXJobLimit=False' "${record[@]}"
    same_as_normal "$work/stored.plain" "$work/normal-twin.prn" stored
  fi
  inspect_refuses wrong-password "$work/stored.prn" 'bad tag' --password 4322
  size=$(stat -c %s "$work/stored.prn")
  head -c $((size - 100)) "$work/stored.prn" >"$work/truncated.prn"
  inspect_refuses truncated "$work/truncated.prn" 'truncated stream' --password 4321
  # Without the end frame the stream is cut at a frame boundary: still refused.
  python3 - "$work/stored.prn" "$work/no-end.prn" <<'PY'
import sys
b = open(sys.argv[1], 'rb').read()
open(sys.argv[2], 'wb').write(b[:b.index(b'@PJL VEXRESOURCEWRITE LOCATION="SecureJobAccessor:write_end"')])
PY
  inspect_refuses no-end-frame "$work/no-end.prn" 'truncated stream' --password 4321
fi

# 2. IC-card model: the card's data is the key; the plug-in announces the card job.
printf 'CARD-0042-\001\002\003' >"$work/card.dat"
card_printer=('[Printer]' 'Name=VEX Secure Card' 'Driver=VEX Demo Card PS'
              "Model.CardFile=$(winpath "$work/card.dat")")
if secure_job card 0 "${card_printer[@]}" '[Features]' 'VXJob_Type=Secure'; then
  grep -aq $'^@PJL COMMENT ICCARDJOB\r$' "$work/card.prn" || fail "card: no IC-card comment"
  grep -aq '^@PJL COMMENT Device Name' "$work/card.prn" || fail "card: no cleartext device line"
  if inspect_ok card --card "$work/card.dat"; then
    grep -q 'IC card key' "$work/card.insp" || fail "card: the stream is not keyed by the card"
    plain_job card-twin "${card_printer[@]}" '[Features]' 'VXJob_Type=Normal'
    same_as_normal "$work/card.plain" "$work/card-twin.prn" card
  fi
  printf 'CARD-0043' >"$work/other-card.dat"
  inspect_refuses other-card "$work/card.prn" 'bad tag' --card "$work/other-card.dat"
fi

# 3. No card on the reader, and a failing reader: the printer is told that the job is over,
#    nothing else of the job is written, and the plug-in drops the rest of it. The job is
#    cancelled, so the stand-in sees the injection points of the dropped output fail (code 7).
closing=$'\e%-12345X@PJL EOJ NAME = "END"\n\e%-12345X'
for reader in no-card:Model.CardFile=missing.dat fault:Model.CardReader=fault; do
  name=${reader%%:*}
  if secure_job "$name" 7 "${card_printer[@]}" "${reader#*:}" '[Features]' 'VXJob_Type=Secure'; then
    [ "$(tail -c ${#closing} "$work/$name.prn")" = "$closing" ] || fail "$name: the job file does not end with the closing lines"
    grep -aq 'VEXRESOURCEWRITE' "$work/$name.prn" && fail "$name: frames were written without a card"
    grep -aq 'ICCARDJOB' "$work/$name.prn" && fail "$name: the card comment was written without a card"
  fi
done

# 4. A secure job whose crypto library is missing: the job is cancelled, nothing is encrypted
#    and nothing of it is written in clear.
if secure_job no-library 7 "${password_printer[@]}" 'Model.CryptoDll=absent.dll' '[Features]' \
    'VXJob_Type=Secure_Chip' "${record[@]}"; then
  grep -aq 'VEXRESOURCEWRITE' "$work/no-library.prn" && fail "no-library: frames without a library"
fi

# 5. Two secure jobs in a row in one printer: each is a complete stream of its own.
for n in 1 2; do
  secure_job "again-$n" 0 "${password_printer[@]}" '[Features]' 'VXJob_Type=Secure_Chip' "${record[@]}" &&
    inspect_ok "again-$n" --password 4321
done

# 6. Text of the document that looks like the end of a job (the document's name in the header,
#    "@PJL EOJ" and "%%%%EOF" in its body) does not end the encrypted session: the stream is one
#    whole session ended by the plug-in's own trailer, holding the whole document.
printf '%%!PS-Adobe-3.0 fragment\n(@PJL EOJ) pop\n%%%%%%%%EOF\n72 700 moveto (%s) show\nshowpage\n' \
  "$marker" >"$work/eoj-body.ps"
if doc='Minutes @PJL EOJ draft' body=$work/eoj-body.ps secure_job eoj-text 0 "${password_printer[@]}" \
    '[Features]' 'VXJob_Type=Secure_Chip' "${record[@]}"; then
  if inspect_ok eoj-text --password 4321; then
    doc='Minutes @PJL EOJ draft' body=$work/eoj-body.ps plain_job eoj-twin "${password_printer[@]}" \
      '[Features]' 'VXJob_Type=Normal' "${record[@]}"
    same_as_normal "$work/eoj-text.plain" "$work/eoj-twin.prn" eoj-text
  fi
  [ "$(grep -ac 'SecureJobAccessor:write_start' "$work/eoj-text.prn")" -eq 1 ] ||
    fail "eoj-text: the document's text started another session"
fi

# 7. EPS output of a chip job has neither PJL header nor trailer: the end of the document still
#    sends it encrypted and finishes its session.
if secure_job eps 0 "${password_printer[@]}" '[Features]' 'VXJob_Type=Secure_Chip' 'Dialect=2' \
    "${record[@]}"; then
  if inspect_ok eps --password 4321; then
    plain_job eps-twin "${password_printer[@]}" '[Features]' 'VXJob_Type=Normal' 'Dialect=2' \
      "${record[@]}"
    cmp -s "$work/eps.plain" "$work/eps-twin.prn" || fail "eps: the decrypted stream is not the document"
  fi
fi

# 8. The cleartext header byte for byte, with fixed job-information values: what precedes the
#    first frame is exactly the job line, the IC-card device lines (card model), the three
#    job-information lines and the keeping time, and for a card job the card comment; without a
#    job-information library there is no cleartext header at all.
switches="$(driver_folder)/vexjobinfo.ini"
printf '[Values]\r\nComputerName=PC-01\r\nUserName=alice\r\nReceptionTime=2024/03/07 09:05:01\r\n' \
  >"$switches"
info_lines=$'@PJL VEXAUXJOBINFO DATA="ComputerName=PC-01"\r\n@PJL VEXAUXJOBINFO DATA="UserName=alice"\r\n@PJL VEXAUXJOBINFO DATA="ReceptionTime=2024/03/07 09:05:01"\r\n'
first_frame='@PJL VEXRESOURCEWRITE LOCATION="SecureJobAccessor:write_start"'
cleartext_is() {  # name, expected bytes before the first frame
  local name=$1 at
  at=$(grep -a -b -o -m 1 'SecureJobAccessor:write_start' "$work/$name.prn" | head -1 | cut -d: -f1)
  if [ -z "$at" ]; then fail "$name: no start frame"; return; fi
  at=$((at - 32))  # the frame head's "@PJL VEXRESOURCEWRITE LOCATION=\""
  printf '%s' "$2" >"$work/$name.clear-expected"
  head -c "$at" "$work/$name.prn" >"$work/$name.clear"
  cmp -s "$work/$name.clear-expected" "$work/$name.clear" || {
    fail "$name: the cleartext header differs"
    diff <(cat -A "$work/$name.clear-expected") <(cat -A "$work/$name.clear") | head -10 >&2 || true
  }
  [ "$(tail -c +$((at + 1)) "$work/$name.prn" | head -c ${#first_frame})" = "$first_frame" ] ||
    fail "$name: the cleartext header is not followed by the start frame"
}
if secure_job clear-password 0 "${password_printer[@]}" '[Features]' 'VXJob_Type=Secure_Chip' \
    "${record[@]}"; then
  cleartext_is clear-password $'\e%-12345X@PJL JOB NAME="Secret report"\r\n'"$info_lines"$'@PJL VEXAUXJOBINFO DATA="KeepingTime=03:21"\r\n'
fi
if secure_job clear-no-info 0 "${password_printer[@]}" 'Model.JobInfoDll=' \
    '[Features]' 'VXJob_Type=Secure_Chip' "${record[@]}"; then
  cleartext_is clear-no-info ''
fi
if secure_job clear-card 0 "${card_printer[@]}" '[Features]' 'VXJob_Type=Secure' \
    '[Record]' 'cryptoTime=0x00010002'; then
  cleartext_is clear-card $'\e%-12345X@PJL JOB NAME="Secret report"\r\n@PJL COMMENT Device Name :VEX Demo Card PS\r\n@PJL COMMENT Version     :1.00.0.0\r\n'"$info_lines"$'@PJL VEXAUXJOBINFO DATA="KeepingTime=01:02"\r\n@PJL COMMENT ICCARDJOB\r\n'
fi
rm -f "$switches"

finish secure_jobs

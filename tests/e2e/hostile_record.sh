#!/usr/bin/env bash
# Records of any content reach the plug-in, through the driver's merge (RecordFile=) and, with
# the stand-in's --no-merge, as they stand: for every job type the job still prints (an
# encrypted job without a crypto library is cancelled and leaves nothing in clear), its PJL
# header holds only clean "@PJL " lines with the job type's own lines and texts the header
# rules allow, and Ghostscript reads the job with the plug-in's prolog.
#   tests/e2e/hostile_record.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: hostile_record.sh <build tree>}
. "$here/lib/e2e.bash"


# Reproducible pseudo-random bytes: count, seed.
noise() {
  LC_ALL=C awk -v n="$1" -v seed="$2" \
    'BEGIN { srand(seed); for (i = 0; i < n; i++) printf "%c", int(rand() * 256) }'
}
# A little-endian u32.
u32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
header() { u32 "$1"; printf '0002'; u32 "$2"; }  # size, version

noise 3880 1 >"$work/random.rec"
{ header 3880 1; noise 3868 2; } >"$work/signed.rec"
{ header 4294967295 1; noise 3868 3; } >"$work/huge-size.rec"
{ header 12 1; noise 3868 4; } >"$work/tiny-size.rec"
{ header 0 4294967295; noise 3868 5; } >"$work/zero-size.rec"
{ header 3880 1; noise 88 6; } >"$work/short.rec"
head -c 3880 /dev/zero | tr '\0' '\377' >"$work/ones.rec"
: >"$work/empty.rec"

# The header's lines: every line before the language switch starts with "@PJL " and holds no
# control byte but its CR LF; the job type's own lines, and nothing of another job type.
check_header() {  # name, job type
  local name=$1 type=$2 inj=$work/$1.inj header=$work/$1.header
  if ! head -c 9 "$inj" | cmp -s - <(printf '\033%%-12345X'); then
    fail "$name: the header does not start with the exit sequence"
    return
  fi
  local at
  at=$(LC_ALL=C grep -a -b -o -m 1 '@PJL ENTER LANGUAGE=POSTSCRIPT' "$inj" | head -1 | cut -d: -f1)
  if [ -z "$at" ]; then fail "$name: no language switch"; return; fi
  head -c "$at" "$inj" | tail -c +10 >"$header"
  if tr -d '\r\n' <"$header" | LC_ALL=C grep -q -a '[^ -~]'; then
    fail "$name: a control or non-ASCII byte in the header"
  fi
  if LC_ALL=C grep -v -q -a $'^@PJL [ -~]*\r$' "$header"; then
    fail "$name: a header line that is not a clean PJL line"
  fi
  local password='^@PJL VEXSECURE PASSWORD=[0-9]{0,4}' job_name='^@PJL JOB NAME="[ !#-~]{0,16}"'
  case $type in
    Normal|Secure_Chip)
      LC_ALL=C grep -q -a -E $'^@PJL JOB NAME="[^"]*"\r$' "$header" || fail "$name: no job line"
      ! grep -q -a 'VEXSECURE\|VEXSPOOL' "$header" || fail "$name: another job type's line" ;;
    Secure)
      LC_ALL=C grep -q -a -E "$password"$'\r$' "$header" || fail "$name: no password line"
      LC_ALL=C grep -q -a -E "$job_name"$'\r$' "$header" || fail "$name: bad job name line"
      ! grep -q -a 'PERMANENT\|VEXSPOOL' "$header" || fail "$name: a Spool job's line" ;;
    Spool)
      LC_ALL=C grep -q -a -E "$password PERMANENT=ON"$'\r$' "$header" || fail "$name: no spool line"
      LC_ALL=C grep -q -a -E "$job_name"$'\r$' "$header" || fail "$name: bad job name line" ;;
  esac
}

for merge in merged unmerged; do
  options=()
  [ "$merge" = unmerged ] && options=(--no-merge)
  for record in random signed huge-size tiny-size zero-size short ones empty; do
    for type in Normal Secure Spool Secure_Chip; do
      name=$merge-$record-$type
      job_file "$name" '[Record]' "RecordFile=$record.rec" '[Features]' "VXJob_Type=$type" \
        '[Document]' "Name=hostile $record" 'Application=hostile'
      # A job-name dialog that a record asks for finds no display and is not shown.
      rc=0
      (unset DISPLAY; render "$name" "${options[@]}") || rc=$?
      # The cancelled encrypted job's dropped output fails its injection points (code 7).
      expected=0
      [ "$type" = Secure_Chip ] && expected=7
      if [ "$rc" -ne "$expected" ]; then
        fail "$name: render-host exited with $rc: $(head -3 "$work/$name.err")"
        continue
      fi
      check_header "$name" "$type"
      if [ "$type" = Secure_Chip ]; then
        # No crypto library: the job is cancelled and nothing of the document is sent.
        if grep -q -a 'showpage\|%!PS' "$work/$name.prn"; then
          fail "$name: the document of a cancelled encrypted job is in the job file"
        fi
      elif ! grep -q '^%%EOF$' "$work/$name.prn" || ! grep -q '^%!PS-Adobe-3.0$' "$work/$name.prn"; then
        fail "$name: the job file lacks the document"
      else
        gs_accepts "$name" "$work/$name.prn"
      fi
    done
  done
done

finish hostile_record

#!/usr/bin/env bash
# The stand-in installs the printer a job file asks for: a per-printer copy of the configuration
# file with the model overrides (the package's file unchanged), the driver listing that copy,
# sharing, and nothing rewritten when the same job runs again.
#   tests/e2e/printer_setup.sh <win32 build tree>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=${1:?usage: printer_setup.sh <build tree>}
. "$here/lib/e2e.bash"
. "$root/scripts/env.sh"
dir3=$WINEPREFIX/drive_c/windows/system32/spool/drivers/w32x86/3
printer="VEX E2E Setup"
driver="VEX E2E Setup PS"
copy="$dir3/$printer.cap"


print_job() {  # label, [Printer] lines...
  local label=$1; shift
  printf '%s\r\n' '[Printer]' "$@" '[Document]' "Name=$label" 'Application=setup' >"$work/$label.ini"
  local rc=0
  "$root/scripts/wine" "$host" --job "$(winpath "$work/$label.ini")" \
    --out "$(winpath "$work/$label.prn")" >"$work/$label.out" 2>"$work/$label.err" || rc=$?
  [ "$rc" -eq 0 ] || fail "$label: render-host exited with $rc: $(cat "$work/$label.err")"
}

registry() {  # key below HKLM\System\CurrentControlSet\Control\Print, value name
  wine reg query "HKLM\\System\\CurrentControlSet\\Control\\Print\\$1" /v "$2" </dev/null \
    >"$work/reg.out" 2>/dev/null || true
  sed -n "s/^ *$2 *REG_[A-Z_]* *//p" "$work/reg.out" | tr -d '\r'
}

has_line() {  # file, line
  tr -d '\r' <"$1" | grep -qxF -- "$2"
}

print_job shared "Name=$printer" "Driver=$driver" 'Shared=1' 'ShareName=vexe2e' \
  'Model.Compression=0' 'Model.CryptoDll=e2e-crypto.dll'
if [ -f "$copy" ]; then
  has_line "$copy" "$driver=VEXDEMO_C1" || fail "the copy maps no model to \"$driver\""
  has_line "$copy" "Compression=0" || fail "the copy lacks Compression=0"
  has_line "$copy" "CryptoDll=e2e-crypto.dll" || fail "the copy lacks the CryptoDll override"
  has_line "$copy" "VEX Demo Color PS=VEXDEMO_C1" || fail "the copy lost the sample driver's entry"
else
  fail "no per-printer configuration file $copy"
fi
cmp -s "$dir3/VEXDEMO.CAP" "$root/package/files/VEXDEMO.CAP" || fail "VEXDEMO.CAP was changed"
dependents=$(registry "Environments\\Windows NT x86\\Drivers\\Version-3\\$driver" "Dependent Files")
[ "${dependents%%\\0*}" = "$printer.cap" ] ||
  fail "the driver's first dependent file is not the copy: $dependents"
case "$dependents" in *vexps.dll*) ;; *) fail "the driver does not list vexps.dll: $dependents" ;; esac
attributes=$(registry "Printers\\$printer" Attributes)
[ $((attributes & 8)) -ne 0 ] || fail "the printer is not shared (attributes $attributes)"
[ "$(registry "Printers\\$printer" "Share Name")" = vexe2e ] || fail "share name not set"
[ "$(registry "Printers\\$printer" Port)" = FILE: ] || fail "port is not FILE:"

# The same job again rewrites nothing.
before=$(stat -c %y "$copy" "$dir3/vexps.dll" "$dir3/VEXDEMO.INI" 2>/dev/null || true)
sleep 0.05
print_job again "Name=$printer" "Driver=$driver" 'Shared=1' 'ShareName=vexe2e' \
  'Model.Compression=0' 'Model.CryptoDll=e2e-crypto.dll'
after=$(stat -c %y "$copy" "$dir3/vexps.dll" "$dir3/VEXDEMO.INI" 2>/dev/null || true)
[ "$before" = "$after" ] || fail "running the same job again rewrote driver files"

# A changed setup changes the copy and the sharing.
print_job changed "Name=$printer" "Driver=$driver" 'Model.Compression=1281'
has_line "$copy" "Compression=1281" || fail "the copy did not take Compression=1281"
has_line "$copy" "CryptoDll=" || fail "the copy kept the earlier CryptoDll override"
attributes=$(registry "Printers\\$printer" Attributes)
[ $((attributes & 8)) -eq 0 ] || fail "the printer is still shared (attributes $attributes)"

# Files= adds to the build's companions, which every printer gets afresh from the build: a
# companion deleted from the shared folder (or left there by an older build) is put back.
rm -f "$dir3/vexjobinfo.dll"
print_job files "Name=$printer" "Driver=$driver" 'Files=test_card_yes.dll'
dependents=$(registry "Environments\\Windows NT x86\\Drivers\\Version-3\\$driver" "Dependent Files")
for file in vexps.dll vexjobinfo.dll vexrelay.exe vexcrypto.dll vexcard.dll test_card_yes.dll; do
  case "$dependents" in *"$file"*) ;; *) fail "files: the driver does not list $file: $dependents" ;; esac
done
cmp -s "$dir3/vexjobinfo.dll" "$tree/bin/vexjobinfo.dll" || fail "files: vexjobinfo.dll is not the build's"

# Another driver for the same printer.
print_job sample "Name=$printer"
[ "$(registry "Printers\\$printer" "Printer Driver")" = "VEX Demo Color PS" ] ||
  fail "the printer did not move to the sample driver"

if [ "$failures" -ne 0 ]; then
  echo "printer_setup: $failures failure(s)" >&2
  exit 1
fi
echo "printer_setup: ok"

#!/usr/bin/env bash
# The driver package and its INF agree (inf-check, under Wine with the system's INF parser): on
# the assembled package, and on damaged copies, each of which must be refused for its reason.
#   tests/package/inf_check.sh <win64 build tree> <package dir> <version>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tree=$(cd "${1:?usage: inf_check.sh <win64 tree> <package dir> <version>}" && pwd)
package=$(cd "${2:?}" && pwd)
version=${3:?}
checker=$tree/bin/inf-check.exe
[ -f "$checker" ] || { echo "FAIL: no $checker in the build" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

# Output to files, never pipes (Wine's helpers would hold a pipe open).
check() {  # package dir, version, name of the run
  local rc=0
  timeout 120 "$root/scripts/wine" "$checker" "$(winpath "$1")" "$2" >"$work/$3.out" \
    2>"$work/$3.err" || rc=$?
  return "$rc"
}

if ! check "$package" "$version" package; then
  fail "the assembled package:"; sed 's/^/  /' "$work/package.err" >&2
fi

# Edits a text file of the copy in place, keeping its CR LF line ends.
edit() {  # file, sed script
  sed -i "$2" "$1"
}
add_after() {  # file, line (without CR), new line
  edit "$1" "s/^$(sed 's/[][\.*^$/]/\\&/g' <<<"$2")\r\$/&\n$3\r/"
}

# name | what is done to the copy | a fault the checker must print
cases=(
  "syntax error|add_after @INF@ '[DestinationDirs]' '[VEX_DATA'|does not parse"
  "dependent file the INF does not copy|add_after @INI@ '[DependentFiles]' 'EXTRA=VEXEXTRA.PS'|DependentFiles\\] EXTRA names VEXEXTRA.PS"
  "model library the INF does not copy|edit @CAP@ 's/^CARD_DLL=vexcard.dll/CARD_DLL=vexcard2.dll/'|\\[VEXDEMO_K1\\] CARD_DLL names vexcard2.dll"
  "new model key naming a file|add_after @CAP@ '[VEXDEMO_C1]' 'SupportRes=vexextra.dll'|\\[VEXDEMO_C1\\] SupportRes names vexextra.dll"
  "plug-in the INI names|edit @INI@ 's/^OEMConfigFile1=vexui.dll/OEMConfigFile1=vexui2.dll/'|\\[OEMFiles\\] OEMConfigFile1 names vexui2.dll"
  "copied file missing|rm @PKG@/x64/vexcard.dll|copies x64.vexcard.dll, which the package lacks"
  "binary of the other word size|cp @PKG@/x86/vexcard.dll @PKG@/x64/vexcard.dll|x64.vexcard.dll is not a binary for amd64"
  "file the INF does not name|touch @PKG@/x86/stray.dll|x86.stray.dll is in the package but the INF does not copy it"
  "driver name without a model|add_after @CAP@ '[Capability]' 'VEX Demo Other PS=VEXDEMO_C1'|names \"VEX Demo Other PS\", which has no NTx86 model"
  "model without a configuration section|edit @CAP@ 's/^VEX Demo Card PS=VEXDEMO_K1/VEX Demo Kard PS=VEXDEMO_K1/'|no model section for \"VEX Demo Card PS\""
  "architecture without models|edit @INF@ 's/^%VEX%=VEX,NTx86,NTamd64/%VEX%=VEX,NTx86/'|has no models section VEX.NTamd64"
  "version file out of step|edit @VER@ 's/^DriverVer=.*/DriverVer=01\\/01\\/2020,1.00.0.0\\r/'|has DriverVer \"01/01/2020,1.00.0.0\""
  "a driver version of five numbers|edit @INF@ 's/^DriverVer=12\/01\/2026,1.00.0.0/DriverVer=12\/01\/2026,1.00.0.0.0/'|DriverVer \"12/01/2026,1.00.0.0.0\" does not carry"
  "a project version of five numbers|VERSION=1.0.0.0.0|is not a version"
  "another project version|VERSION=9.8.7|does not carry 9.8.7.0"
  "binary of another version|VERSION=9.8.7|FILEVERSION 1.0.0.0, not 9.8.7.0"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name action expected <<<"$entry"
  copy=$work/copy
  rm -rf "$copy"; cp -r "$package" "$copy"
  run_version=$version
  case $action in
    VERSION=*) run_version=${action#VERSION=} ;;
    *)
      action=${action//@PKG@/$copy}
      action=${action//@INF@/$copy/VEXDEMO.INF}
      action=${action//@INI@/$copy/VEXDEMO.INI}
      action=${action//@CAP@/$copy/VEXDEMO.CAP}
      action=${action//@VER@/$copy/VEXDEMO.VER}
      eval "$action" ;;
  esac
  id=${name// /-}
  if check "$copy" "$run_version" "$id"; then
    fail "$name: the checker accepts the damaged package"
  elif ! grep -Eq -- "$expected" "$work/$id.err"; then
    fail "$name: expected \"$expected\", got:"; sed 's/^/  /' "$work/$id.err" >&2
  fi
done

[ "$failures" -eq 0 ] || exit 1
echo "INF check: the package agrees with its INF; ${#cases[@]} damaged copies refused"

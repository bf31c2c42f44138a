#!/usr/bin/env bash
# Every PPD the package ships passes the system's own PPD checker (cupstestppd of cups-client),
# warnings allowed, errors not. The checker must also refuse the sample PPD with its JCL
# options opened by *OpenUI: that is the fault readers other than ours stop at.
#   tests/package/ppd_check.sh <package dir>
set -euo pipefail
package=${1:?usage: ppd_check.sh <package dir>}
command -v cupstestppd >/dev/null || { echo "FAIL: no cupstestppd (scripts/setup installs cups-client)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

count=0
while IFS= read -r -d '' ppd; do
  count=$((count + 1))
  rc=0
  cupstestppd -W all "$ppd" >"$work/out" 2>&1 || rc=$?
  [ "$rc" -eq 0 ] || { fail "${ppd#$package/} (cupstestppd exit $rc):"; sed 's/^/  /' "$work/out" >&2; }
done < <(find "$package" -maxdepth 1 -type f -iname '*.ppd' -print0)
[ "$count" -gt 0 ] || fail "the package ships no PPD"

first=$(find "$package" -maxdepth 1 -type f -iname '*.ppd' | head -1)
if [ -n "$first" ]; then
  sed 's/^\*JCLOpenUI /*OpenUI /; s/^\*JCLCloseUI: /*CloseUI: /' "$first" >"$work/plain-open.ppd"
  if cmp -s "$first" "$work/plain-open.ppd"; then
    fail "$(basename "$first") has no JCL options"
  elif cupstestppd -W all "$work/plain-open.ppd" >/dev/null 2>&1; then
    fail "cupstestppd accepts JCLSetup options opened by *OpenUI"
  fi
fi
[ "$failures" -eq 0 ] || exit 1
echo "PPD check: $count PPD(s) pass cupstestppd"

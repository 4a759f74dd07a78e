#!/usr/bin/env bash
# with-dc.sh passes the DC's variables on and expands ${NAME} references without running anything.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cat >"$folder/dc.env" <<'ENV'
TESSARY_SAMBA_URI=ldaps://127.0.0.99
TESSARY_BIND_DN=CN=Administrator,CN=Users,DC=tessary,DC=test
TRAP=$(touch PLACEHOLDER)
lower=ignored
ENV
sed -i "s|PLACEHOLDER|$folder/ran|" "$folder/dc.env"

out=$("$here/with-dc.sh" "$folder/dc.env" 'CHOICE=${TESSARY_SAMBA_URI}/x' 'PLAIN=a=b' -- \
  sh -c 'printf "%s|%s|%s|%s|%s" "$CHOICE" "$PLAIN" "$TESSARY_BIND_DN" "$TRAP" "${lower-unset}"')
expected="ldaps://127.0.0.99/x|a=b|CN=Administrator,CN=Users,DC=tessary,DC=test|\$(touch $folder/ran)|unset"
[[ $out == "$expected" ]] || fail "got '$out', expected '$expected'"

out=$("$here/with-dc.sh" "$folder/dc.env" 'X=${TRAP}' -- sh -c 'printf "%s" "$X"')
[[ $out == "\$(touch $folder/ran)" ]] || fail "a referenced value was changed: '$out'"
[[ ! -e $folder/ran ]] || fail "a value was run as shell code"

if "$here/with-dc.sh" "$folder/missing.env" -- true 2>"$folder/err"; then
  fail "a missing environment file was accepted"
fi
grep -q "no test DC is running ('$folder/missing.env' is missing)" "$folder/err" ||
  fail "unexpected message: $(cat "$folder/err")"
echo "with-dc.sh: all checks passed"

#!/usr/bin/env bash
# Export against a freshly provisioned Samba AD DC (tests/samba/dc.sh), side by side with
# ldapsearch writing LDIF of the same objects and attributes with 100-row pages:
#   1. USERS users in one container, 6 attributes that every user has;
#   2. the same with whenCreated as the sixth attribute: a time column, formatted by the
#      regional settings;
#   3. the first case after the first user the export returns lost one of its attributes, so
#      that the search reads every row's missing columns again through a bind of its own.
# Prints objects per second of each (best of TESSARY_BENCH_RUNS runs, 7 unless set). Needs
# root, as the DC does.
#   bench/export_samba.sh [BUILD] [USERS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
users=${2:-2000}
runs=${TESSARY_BENCH_RUNS:-7}
# shellcheck source=bench/bench_dc.sh
source "$(dirname "$0")/bench_dc.sh"
work=$(mktemp -d)
bench_dc "$work"
unset LDAPNOINIT
export HOME=$work XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
tessary=("$build/src/cli/tessary" --directory "$TESSARY_SAMBA_URI")
# A container below CN=Users: the import names a new object's parent by its ",CN=" or ",OU=" part,
# so a unit right below the domain cannot be created through it.
unit="CN=Bench,CN=Users,$TESSARY_SAMBA_BASE_DN"
plain_attributes=givenName,sn,mail,title,department,telephoneNumber
time_attributes=givenName,sn,mail,title,department,whenCreated
attributes=$plain_attributes

# The users, created through tessary's own import.
printf 'distinguishedName,mode,objectClass\r\n"%s",Create,container\r\n' "$unit" >"$work/unit.csv"
"${tessary[@]}" import "$work/unit.csv" --error-folder "$work" >/dev/null
{
  echo "distinguishedName,mode,objectClass,sAMAccountName,givenName,sn,mail,title,department,telephoneNumber"
  for ((i = 0; i < users; i++)); do
    echo "\"CN=User $i,$unit\",Create,user,bench$i,Given$i,Surname $i,user$i@example.com,Engineer,Department $((i % 40)),+1 555 $((1000000 + i))"
  done
} >"$work/create.csv"
echo "Creating $users users on the DC..."
status=0
"${tessary[@]}" import "$work/create.csv" --error-folder "$work" >"$work/summary.txt" || status=$?
if ((status != 0)); then
  cat "$work/summary.txt" >&2
  sed -n '2,3p' "$work"/Errors*.csv >&2 || true
  exit "$status"
fi

seconds() { date +%s.%N; }
# Objects/s of one run of the command.
rate_once() {
  local start end
  start=$(seconds)
  "$@" >/dev/null 2>&1
  end=$(seconds)
  awk -v n="$users" -v s="$start" -v e="$end" 'BEGIN { printf "%d", n / (e - s) }'
}
# Best objects/s of RUNS runs of the command.
rate() {
  local best=0 r run
  for ((run = 0; run < runs; run++)); do
    r=$(rate_once "$@")
    ((r > best)) && best=$r
  done
  echo "$best"
}
export_users() {
  "${tessary[@]}" export --class User --container "$unit" --attributes "$attributes" \
    --output "$work/export.csv"
}
ldapsearch_users() {
  ldapsearch -LLL -x -H "$TESSARY_SAMBA_URI" -D "$TESSARY_BIND_DN" -y "$TESSARY_BIND_PASSWORD_FILE" \
    -E pr=100/noprompt -b "$unit" -s one "(objectCategory=user)" distinguishedName objectGUID \
    ${attributes//,/ } >"$work/export.ldif"
}

# Both tools over the same attributes, their runs taking turns, so that a change of the
# machine's load falls on both; the best of each.
side_by_side() {
  local tessary_rate=0 ldapsearch_rate=0 r run
  # Untimed: tessary's first run writes its schema cache, and the DC warms its own caches.
  export_users >/dev/null 2>&1
  ldapsearch_users >/dev/null 2>&1
  for ((run = 0; run < runs; run++)); do
    r=$(rate_once export_users)
    ((r > tessary_rate)) && tessary_rate=$r
    r=$(rate_once ldapsearch_users)
    ((r > ldapsearch_rate)) && ldapsearch_rate=$r
  done
  echo "$1: tessary export $tessary_rate objects/s, ldapsearch $ldapsearch_rate objects/s" \
    "(ratio $(awk -v a="$tessary_rate" -v b="$ldapsearch_rate" 'BEGIN { printf "%.2f", a / b }'))"
}
side_by_side "every user has the 6 attributes"
attributes=$time_attributes
side_by_side "whenCreated among the 6 attributes"
attributes=$plain_attributes

# The first row the export returns loses telephoneNumber.
first_dn=$(sed -n '2p' "$work/export.csv" | sed 's/^"\(.*\)",{.*$/\1/')
printf 'distinguishedName,mode,telephoneNumber\r\n"%s",Modify,~DEL\r\n' "$first_dn" >"$work/lose.csv"
"${tessary[@]}" import "$work/lose.csv" --error-folder "$work" >/dev/null
echo "the first row lacks telephoneNumber: tessary export $(rate export_users) objects/s"

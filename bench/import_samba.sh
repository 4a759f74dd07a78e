#!/usr/bin/env bash
# Side by side on a freshly provisioned Samba AD DC: ldapadd of N users from LDIF against an
# import of N create entries with the same attributes (a userAccountControl column, no password),
# then ldapmodify of two attributes against an import of N modify entries.
#   bench/import_samba.sh BUILD_DIR [N]
set -euo pipefail
build=$(cd "$1" && pwd)
count=${2:-2000}
# shellcheck source=bench/bench_dc.sh
source "$(dirname "$0")/bench_dc.sh"
work=$(mktemp -d)
bench_dc "$work"
base=$TESSARY_SAMBA_BASE_DN
ldap() { "$@" -H "$TESSARY_SAMBA_URI" -x -D "$TESSARY_BIND_DN" -y "$TESSARY_BIND_PASSWORD_FILE"; }
rate() { awk -v n="$count" -v s="$1" 'BEGIN { printf "%.0f entries/s (%.2f s)", n / s, s }'; }
seconds() { local start=$1; awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }'; }

printf 'dn: OU=ByLdif,%s\nobjectClass: organizationalUnit\n\ndn: OU=ByImport,%s\nobjectClass: organizationalUnit\n' \
  "$base" "$base" | ldap ldapadd >/dev/null

csv=$work/create.csv
echo 'mode,distinguishedName,objectClass,sAMAccountName,givenName,sn,description,userAccountControl' >"$csv"
ldif=$work/create.ldif
: >"$ldif"
for ((i = 0; i < count; i++)); do
  printf 'dn: CN=L%d,OU=ByLdif,%s\nobjectClass: user\nsAMAccountName: l%d\ngivenName: G%d\nsn: S%d\ndescription: User %d\nuserAccountControl: 514\n\n' \
    "$i" "$base" "$i" "$i" "$i" "$i" >>"$ldif"
  printf 'Create,"CN=I%d,OU=ByImport,%s",user,i%d,G%d,S%d,User %d,514\r\n' "$i" "$base" "$i" "$i" "$i" "$i" >>"$csv"
done
start=$(date +%s.%N); ldap ldapadd -f "$ldif" >/dev/null; ldapadd_s=$(seconds "$start")
import_out=$("$build/bench/import_file" "$TESSARY_SAMBA_URI" "$csv"); import_s=$(tail -n 1 <<<"$import_out" | cut -d' ' -f1)
echo "create  ldapadd:    $(rate "$ldapadd_s")"
echo "create  import:     $(rate "$import_s")  ratio $(awk -v a="$ldapadd_s" -v b="$import_s" 'BEGIN { printf "%.2f", a / b }')"

csv=$work/modify.csv
echo 'mode,distinguishedName,givenName,description' >"$csv"
ldif=$work/modify.ldif
: >"$ldif"
for ((i = 0; i < count; i++)); do
  printf 'dn: CN=L%d,OU=ByLdif,%s\nchangetype: modify\nreplace: givenName\ngivenName: H%d\n-\nreplace: description\ndescription: Changed %d\n-\n\n' \
    "$i" "$base" "$i" "$i" >>"$ldif"
  printf 'Modify,"CN=I%d,OU=ByImport,%s",H%d,Changed %d\r\n' "$i" "$base" "$i" "$i" >>"$csv"
done
start=$(date +%s.%N); ldap ldapmodify -f "$ldif" >/dev/null; ldapmodify_s=$(seconds "$start")
import_out=$("$build/bench/import_file" "$TESSARY_SAMBA_URI" "$csv"); import_s=$(tail -n 1 <<<"$import_out" | cut -d' ' -f1)
echo "modify  ldapmodify: $(rate "$ldapmodify_s")"
echo "modify  import:     $(rate "$import_s")  ratio $(awk -v a="$ldapmodify_s" -v b="$import_s" 'BEGIN { printf "%.2f", a / b }')"

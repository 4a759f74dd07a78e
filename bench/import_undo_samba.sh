#!/usr/bin/env bash
# The cost of an undo file on a Samba AD DC: N modify entries (two attributes each) imported
# without and with --undo-file, alternately twice, the faster of each kind compared; then the
# undo file itself imported.
#   bench/import_undo_samba.sh BUILD_DIR [N]
# With TESSARY_BENCH_DC_ENV naming the env file of a running DC (tests/samba/dc.sh), that DC is
# used and left running; otherwise a fresh one is started and stopped.
set -euo pipefail
build=$(cd "$1" && pwd)
count=${2:-2000}
# shellcheck source=bench/bench_dc.sh
source "$(dirname "$0")/bench_dc.sh"
work=$(mktemp -d)
bench_dc "$work"
unit="OU=Undo$$,$TESSARY_SAMBA_BASE_DN"
import() { "$build/bench/import_file" "$TESSARY_SAMBA_URI" "$@" | tail -n 1 | cut -d' ' -f1; }
rate() { awk -v n="$count" -v s="$1" 'BEGIN { printf "%.0f entries/s (%.2f s)", n / s, s }'; }

printf 'dn: %s\nobjectClass: organizationalUnit\n' "$unit" |
  ldapadd -H "$TESSARY_SAMBA_URI" -x -D "$TESSARY_BIND_DN" -y "$TESSARY_BIND_PASSWORD_FILE" >/dev/null
csv=$work/create.csv
echo 'mode,distinguishedName,objectClass,sAMAccountName,givenName,description,userAccountControl' >"$csv"
for ((i = 0; i < count; i++)); do
  printf 'Create,"CN=U%d,%s",user,u%d-%d,G%d,User %d,514\r\n' "$i" "$unit" "$$" "$i" "$i" "$i" >>"$csv"
done
import "$csv" >/dev/null

modify() {  # $1: a word that makes the values new
  local csv=$work/modify-$1.csv
  echo 'mode,distinguishedName,givenName,description' >"$csv"
  for ((i = 0; i < count; i++)); do
    printf 'Modify,"CN=U%d,%s",%s%d,%s %d\r\n' "$i" "$unit" "$1" "$i" "$1" "$i" >>"$csv"
  done
  echo "$csv"
}
plain1=$(import "$(modify a)")
undo1=$(import "$(modify b)" "$work/undo-b.csv")
plain2=$(import "$(modify c)")
undo2=$(import "$(modify d)" "$work/undo-d.csv")
back=$(import "$work/undo-d.csv")
plain=$(awk -v a="$plain1" -v b="$plain2" 'BEGIN { print (a < b ? a : b) }')
undo=$(awk -v a="$undo1" -v b="$undo2" 'BEGIN { print (a < b ? a : b) }')
echo "modify without undo file: $(rate "$plain")  (runs: $plain1 s, $plain2 s)"
echo "modify with undo file:    $(rate "$undo")  (runs: $undo1 s, $undo2 s)"
echo "ratio with/without:       $(awk -v a="$undo" -v b="$plain" 'BEGIN { printf "%.2f", a / b }') (limit 1.30)"
echo "undo file imported:       $(rate "$back")"
grep -c '^Modify' "$work/undo-d.csv" | sed 's/^/undo entries written:      /'

#!/usr/bin/env bash
# A throw-away Samba AD DC on a loopback address of its own, for the tests that need a real directory.
#
#   dc.sh start  ENVFILE   provision a domain in a temporary folder, start samba, wait for LDAPS,
#                          extend the schema as Exchange 2000 does (exchange-schema.ldif),
#                          write ENVFILE (shell KEY=VALUE lines the tests read)
#   dc.sh stop   ENVFILE   stop samba, remove the temporary folder and the loopback address
#   dc.sh halt   ENVFILE   stop samba only (the domain stays), to test a server that went away
#   dc.sh resume ENVFILE   start samba again on the same domain and wait for LDAPS
#   dc.sh env    ENVFILE   print ENVFILE
#   dc.sh kinit  ENVFILE CCACHE   get a Kerberos ticket for the domain's Administrator into CCACHE
#
# Needs root (it adds an address to lo) and the packages scripts/install-deps.sh lists.
set -euo pipefail

readonly REALM=TESSARY.TEST
readonly DOMAIN=TESSARY
readonly HOST=dc1
readonly BASE_DN=DC=tessary,DC=test
readonly START_TIMEOUT=${TESSARY_SAMBA_START_TIMEOUT:-120}
readonly SCRIPT_FOLDER=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

die() {
  echo "dc.sh: $*" >&2
  exit 1
}

usage() {
  die "usage: dc.sh start|stop|halt|resume|env ENVFILE, or dc.sh kinit ENVFILE CCACHE"
}

# Loads the state a previous start wrote.
load_env() {
  [[ -f $ENVFILE ]] || die "no DC environment at '$ENVFILE' (was 'dc.sh start' run?)"
  # Read as KEY=VALUE lines, never run as shell code.
  local key value
  while IFS='=' read -r key value; do
    if [[ $key =~ ^[A-Z_][A-Z0-9_]*$ ]]; then printf -v "$key" '%s' "$value"; fi
  done <"$ENVFILE"
}

# The first 127.0.0.x that no interface carries yet; adding it claims it, so two runs never share one.
claim_address() {
  local x
  for x in $(seq 60 250); do
    if ip -4 addr add "127.0.0.$x/8" dev lo 2>/dev/null; then
      echo "127.0.0.$x"
      return 0
    fi
  done
  die "no free loopback address 127.0.0.60-250 (is this run as root?)"
}

make_certificates() {
  local tls=$1 address=$2
  mkdir -p "$tls"
  (
    cd "$tls"
    umask 077
    openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Tessary test CA" \
      -keyout ca.key -out ca.pem 2>/dev/null
    openssl req -newkey rsa:2048 -nodes -subj "/CN=$HOST.${REALM,,}" \
      -keyout server.key -out server.csr 2>/dev/null
    printf 'subjectAltName=IP:%s,DNS:%s.%s\nextendedKeyUsage=serverAuth\n' \
      "$address" "$HOST" "${REALM,,}" >server.ext
    openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 \
      -extfile server.ext -out server.pem 2>/dev/null
    chmod 0644 ca.pem server.pem
  )
}

write_krb5_conf() {
  local file=$1 address=$2
  cat >"$file" <<EOF
[libdefaults]
    default_realm = $REALM
    dns_lookup_realm = false
    dns_lookup_kdc = false
    rdns = false
    dns_canonicalize_hostname = false

[realms]
    $REALM = {
        kdc = $address
        admin_server = $address
    }

[domain_realm]
    $address = $REALM
    .${REALM,,} = $REALM
EOF
}

# Starts samba in a process group of its own and waits until LDAPS answers with the CA's certificate.
run_samba() {
  local log=$DC_DIR/samba.log
  setsid samba -s "$DC_DIR/etc/smb.conf" -F --no-process-group -M single \
    --debug-stdout -d 1 >>"$log" 2>&1 </dev/null &
  local pid=$!
  echo "$pid" >"$DC_DIR/samba.pid"
  local waited=0
  while ((waited < START_TIMEOUT * 2)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      tail -n 30 "$log" >&2 || true
      die "samba exited during start-up (log: $log)"
    fi
    # LDAPNOINIT (which a caller's tests may set) would make ldapsearch ignore LDAPTLS_CACERT.
    if env -u LDAPNOINIT LDAPTLS_CACERT="$TESSARY_SAMBA_CA" LDAPTLS_REQCERT=demand ldapsearch -LLL -x \
      -H "ldaps://$TESSARY_SAMBA_ADDRESS" -o nettimeout=2 -b "" -s base defaultNamingContext \
      >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.5
    waited=$((waited + 1))
  done
  stop_samba
  die "samba did not answer LDAPS on $TESSARY_SAMBA_ADDRESS within ${START_TIMEOUT}s (log: $log)"
}

# The domain as Exchange 2000's schema preparation leaves it, so the mailbox component can be
# tested: the schema extension of exchange-schema.ldif.
extend_schema() {
  sed "s/@SCHEMA@/CN=Schema,CN=Configuration,$BASE_DN/" "$SCRIPT_FOLDER/exchange-schema.ldif" |
    env -u LDAPNOINIT LDAPTLS_CACERT="$TESSARY_SAMBA_CA" LDAPTLS_REQCERT=demand ldapmodify -x \
      -H "ldaps://$TESSARY_SAMBA_ADDRESS" -D "CN=Administrator,CN=Users,$BASE_DN" \
      -y "$DC_DIR/admin.password" >>"$DC_DIR/provision.log" 2>&1 ||
    die "could not extend the schema (log: $DC_DIR/provision.log)"
}

stop_samba() {
  local pidfile=$DC_DIR/samba.pid
  [[ -f $pidfile ]] || return 0
  local pid
  pid=$(cat "$pidfile")
  if kill -0 "$pid" 2>/dev/null; then
    # samba runs in its own session (setsid), so its process group id is its pid.
    kill -TERM -- "-$pid" 2>/dev/null || true
    local i
    for i in $(seq 1 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL -- "-$pid" 2>/dev/null || true
  fi
  rm -f "$pidfile"
}

cmd_start() {
  [[ $(id -u) -eq 0 ]] || die "must run as root: it adds a loopback address and runs samba"
  local tool
  for tool in samba samba-tool ldapsearch openssl ip setsid; do
    command -v "$tool" >/dev/null || die "'$tool' is missing; run scripts/install-deps.sh"
  done
  if [[ -f $ENVFILE ]]; then
    # A previous run that was not stopped: clean it up first.
    cmd_stop || true
  fi
  local started=$SECONDS
  mkdir -p "$(dirname "$ENVFILE")"
  # Beside the environment file, not in /tmp, where other runs' clean-ups may sweep it away.
  DC_DIR=$(mktemp -d "$(cd "$(dirname "$ENVFILE")" && pwd)/dc.XXXXXX")
  local address
  address=$(claim_address)
  TESSARY_SAMBA_ADDRESS=$address
  TESSARY_SAMBA_CA=$DC_DIR/tls/ca.pem
  # Written now so that 'stop' can clean up whatever a failed start leaves behind.
  write_envfile "$address"
  trap 'echo "dc.sh: start failed, cleaning up" >&2; cmd_stop >/dev/null 2>&1 || true' ERR

  make_certificates "$DC_DIR/tls" "$address"
  local password
  password="Tessary-$(openssl rand -hex 6)-9a"
  (umask 077 && printf '%s' "$password" >"$DC_DIR/admin.password")

  samba-tool domain provision --quiet --targetdir="$DC_DIR" \
    --realm="$REALM" --domain="$DOMAIN" --host-name="$HOST" --adminpass="$password" \
    --server-role=dc --dns-backend=NONE --host-ip="$address" \
    --option="interfaces=$address" --option="bind interfaces only=yes" \
    --option="pid directory=$DC_DIR/run" \
    --option="server services = ldap, cldap, kdc" \
    --option="dsdb:schema update allowed = true" \
    --option="tls enabled = yes" \
    --option="tls keyfile = $DC_DIR/tls/server.key" \
    --option="tls certfile = $DC_DIR/tls/server.pem" \
    --option="tls cafile = $DC_DIR/tls/ca.pem" \
    --option="log file = $DC_DIR/log.%m" >"$DC_DIR/provision.log" 2>&1 ||
    { tail -n 30 "$DC_DIR/provision.log" >&2; die "samba-tool domain provision failed"; }
  mkdir -p "$DC_DIR/run"
  write_krb5_conf "$DC_DIR/krb5.conf" "$address"
  # GSSAPI clients name the service by the address they connect to (no reverse lookups).
  samba-tool spn add "ldap/$address" "$HOST\$" -s "$DC_DIR/etc/smb.conf" \
    >>"$DC_DIR/provision.log" 2>&1 || die "could not add the SPN ldap/$address"

  run_samba
  extend_schema
  trap - ERR
  echo "dc.sh: Samba AD DC for $REALM on ldaps://$address ready in $((SECONDS - started))s" >&2
}

write_envfile() {
  local address=$1
  cat >"$ENVFILE.tmp" <<EOF
DC_DIR=$DC_DIR
TESSARY_SAMBA_ADDRESS=$address
TESSARY_SAMBA_URI=ldaps://$address
TESSARY_SAMBA_LDAP_URI=ldap://$address
TESSARY_SAMBA_BASE_DN=$BASE_DN
TESSARY_SAMBA_REALM=$REALM
TESSARY_SAMBA_DOMAIN=$DOMAIN
TESSARY_SAMBA_ADMIN=Administrator
TESSARY_SAMBA_CA=$DC_DIR/tls/ca.pem
TESSARY_SAMBA_KRB5_CONFIG=$DC_DIR/krb5.conf
TESSARY_BIND_DN=CN=Administrator,CN=Users,$BASE_DN
TESSARY_BIND_PASSWORD_FILE=$DC_DIR/admin.password
LDAPTLS_CACERT=$DC_DIR/tls/ca.pem
EOF
  mv "$ENVFILE.tmp" "$ENVFILE"
}

cmd_stop() {
  load_env
  stop_samba
  ip -4 addr del "$TESSARY_SAMBA_ADDRESS/8" dev lo 2>/dev/null || true
  case $DC_DIR in
    "$(cd "$(dirname "$ENVFILE")" && pwd)"/dc.*) rm -rf "$DC_DIR" ;;
    *) die "refusing to remove unexpected folder '$DC_DIR'" ;;
  esac
  rm -f "$ENVFILE"
}

cmd_halt() {
  load_env
  stop_samba
}

cmd_resume() {
  load_env
  stop_samba
  run_samba
}

cmd_kinit() {
  load_env
  KRB5_CONFIG=$TESSARY_SAMBA_KRB5_CONFIG KRB5CCNAME=$1 \
    kinit "$TESSARY_SAMBA_ADMIN@$TESSARY_SAMBA_REALM" <"$TESSARY_BIND_PASSWORD_FILE" >/dev/null
}

(($# == 2)) || { (($# == 3)) && [[ $1 == kinit ]]; } || usage
ENVFILE=$2
case $1 in
  kinit) cmd_kinit "$3" ;;
  start) cmd_start ;;
  stop) cmd_stop ;;
  halt) cmd_halt ;;
  resume) cmd_resume ;;
  env) load_env && cat "$ENVFILE" ;;
  *) usage ;;
esac

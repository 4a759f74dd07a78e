# shellcheck shell=bash
# Sourced by the benchmarks that run against a Samba AD DC. `bench_dc WORK` starts a fresh DC
# (tests/samba/dc.sh) with its env file in WORK, and stops it and removes WORK when the script
# exits; with TESSARY_BENCH_DC_ENV naming the env file of a running DC, that DC is used and left
# running. Either way the DC's variables (TESSARY_SAMBA_URI, TESSARY_BIND_DN, ...) are exported.
bench_dc() {
  local work=$1 dc envfile
  dc="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tests/samba/dc.sh"
  if [[ -n "${TESSARY_BENCH_DC_ENV:-}" ]]; then
    envfile=$TESSARY_BENCH_DC_ENV
    # shellcheck disable=SC2064
    trap "rm -rf '$work'" EXIT
  else
    envfile=$work/dc.env
    # shellcheck disable=SC2064
    trap "'$dc' stop '$envfile' >/dev/null 2>&1 || true; rm -rf '$work'" EXIT
    "$dc" start "$envfile" >/dev/null
  fi
  set -a
  # shellcheck disable=SC1090
  source "$envfile"
  set +a
}

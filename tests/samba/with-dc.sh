#!/usr/bin/env bash
# Runs a command with the variables of a running test DC (written by 'dc.sh start') in its environment.
#   with-dc.sh ENVFILE VAR=VALUE... -- COMMAND ARGS...
# VALUE may name the DC's variables as ${NAME}; they are expanded after the DC's file is read.
set -euo pipefail
(($# >= 3)) || { echo "usage: with-dc.sh ENVFILE [VAR=VALUE...] -- COMMAND ARGS..." >&2; exit 2; }
envfile=$1
shift
[[ -f $envfile ]] || { echo "with-dc.sh: no test DC is running ('$envfile' is missing)" >&2; exit 1; }
# Read as KEY=VALUE lines, never run as shell code.
while IFS='=' read -r key value; do
  if [[ $key =~ ^[A-Z_][A-Z0-9_]*$ ]]; then export "$key=$value"; fi
done <"$envfile"
while (($# > 0)) && [[ $1 != -- ]]; do
  name=${1%%=*}
  value=${1#*=}
  # Only ${NAME} references are expanded, never evaluated as shell code.
  while [[ $value =~ \$\{([A-Za-z_][A-Za-z0-9_]*)\} ]]; do
    reference=${BASH_REMATCH[1]}
    value=${value//"\${$reference}"/${!reference-}}
  done
  export "$name=$value"
  shift
done
(($# > 1)) || { echo "with-dc.sh: no command after --" >&2; exit 2; }
shift
exec "$@"

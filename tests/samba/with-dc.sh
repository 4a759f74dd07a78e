#!/usr/bin/env bash
# Runs a command with the variables of a running test DC (written by 'dc.sh start') in its environment.
#   with-dc.sh ENVFILE VAR=VALUE... -- COMMAND ARGS...
# VALUE may name the DC's variables as ${NAME}; they are expanded after the DC's file is read.
set -euo pipefail
(($# >= 3)) || { echo "usage: with-dc.sh ENVFILE [VAR=VALUE...] -- COMMAND ARGS..." >&2; exit 2; }
envfile=$1
shift
[[ -f $envfile ]] || { echo "with-dc.sh: no test DC is running ('$envfile' is missing)" >&2; exit 1; }
set -a
# shellcheck disable=SC1090
source "$envfile"
set +a
while (($# > 0)) && [[ $1 != -- ]]; do
  name=${1%%=*}
  value=$(eval "printf '%s' \"${1#*=}\"")
  export "$name=$value"
  shift
done
(($# > 1)) || { echo "with-dc.sh: no command after --" >&2; exit 2; }
shift
exec "$@"

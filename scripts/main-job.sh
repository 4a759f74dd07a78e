#!/usr/bin/env bash
# The main job on the embedded directory: a sample domain is provisioned on first use, then its
# users are exported with tessary and the export file's first lines are shown. Runs in a private
# data folder below the build, so it never touches the user's own directory file.
set -euo pipefail
build="${1:-build}"
export XDG_DATA_HOME="${XDG_DATA_HOME:-$PWD/$build/demo-data}"
directory="$XDG_DATA_HOME/brenvik/directory.db"
export_file="$XDG_DATA_HOME/users.csv"
tool="$build/tools/tessary-directory"
tessary="$build/src/cli/tessary"

for program in "$tool" "$tessary"; do
  if [[ ! -x "$program" ]]; then
    echo "main-job: $program was not built" >&2
    exit 2
  fi
done
if [[ ! -f "$directory" ]]; then
  echo "Provisioning the sample domain example.com in $directory"
  "$tool" --directory "$directory" provision --domain example.com --sample
  echo
fi

echo "\$ tessary export --class User --container DC=example,DC=com --subcontainers \\"
echo "    --attributes sAMAccountName,displayName,title,department,mail,memberOf \\"
echo "    --output $export_file"
"$tessary" --directory "$directory" export --class User --container DC=example,DC=com \
  --subcontainers --attributes sAMAccountName,displayName,title,department,mail,memberOf \
  --output "$export_file"
echo
echo "First lines of $export_file:"
head -n 8 "$export_file"

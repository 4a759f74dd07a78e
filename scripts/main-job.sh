#!/usr/bin/env bash
# The main job on the embedded directory: a sample domain is provisioned on first use, then the
# directory is shown. Runs in a private data folder below the build, so it never touches the
# user's own directory file.
set -euo pipefail
build="${1:-build}"
export XDG_DATA_HOME="${XDG_DATA_HOME:-$PWD/$build/demo-data}"
directory="$XDG_DATA_HOME/brenvik/directory.db"
tool="$build/tools/tessary-directory"

if [[ ! -x "$tool" ]]; then
  echo "main-job: $tool was not built" >&2
  exit 2
fi
if [[ ! -f "$directory" ]]; then
  echo "Provisioning the sample domain example.com in $directory"
  "$tool" --directory "$directory" provision --domain example.com --sample
fi
"$tool" --directory "$directory" info
echo
echo "First lines of the directory (LDIF):"
# head closes the pipe early; the dump then ends by SIGPIPE (status 141), which is expected here.
{ "$tool" --directory "$directory" dump || [[ $? -eq 141 ]]; } | head -n 40

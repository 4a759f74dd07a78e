#!/usr/bin/env bash
# Regenerates the Active Directory part of the embedded directory's compiled-in schema from
# Microsoft's published schema files (Debian package samba-ad-provision). The generated file is
# committed, so builds need neither the package nor this script.
#   scripts/generate-builtin-schema.sh [build folder] [schema folder]
set -euo pipefail
build="${1:-build}"
schema="${2:-/usr/share/samba/setup/ad-schema}"
cmake --build "$build" --target tessary-schema-generator
"$build/tools/tessary-schema-generator" "$schema" src/directory/ds/embedded/builtin_schema_data.cc

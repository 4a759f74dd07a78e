#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev libicu-dev libldap-dev libsasl2-dev libsasl2-modules-gssapi-mit
  samba-ad-dc samba-ad-provision samba-dsdb-modules winbind ldap-utils krb5-user
  openssl iproute2
  clang libclang-rt-14-dev
  scdoc dpkg-dev lintian man-db bash-completion
  qt6-base-dev qt6-svg-dev fonts-dejavu-core xvfb xauth
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Makes sure the Debian packages named on the command line are installed: installs them when
# run as root, otherwise prints the one apt-get line to run and fails.
set -euo pipefail
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Faltan paquetes. Instálelos con:" >&2
  echo "  sudo apt-get install ${missing[*]}" >&2
  exit 1
fi

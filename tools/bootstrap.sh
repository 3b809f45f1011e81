#!/usr/bin/env bash
# Installs the Debian packages of tools/packages.txt (or of the list given)
# that are missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
list=${1:-$here/packages.txt}
mapfile -t packages < <(grep -v -E '^\s*(#|$)' "$list")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"

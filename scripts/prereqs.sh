#!/usr/bin/env bash
# Installs what Dorvane needs to build and test on Debian 12; apt-get runs only when a package is
# missing. "--check" installs nothing: it names the missing packages and fails when there are any.
set -euo pipefail
check_only=false
[ "${1:-}" = "--check" ] && check_only=true

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
  xvfb xauth locales-all fonts-dejavu-core
  # the session tests: a private session bus (dbus-daemon) for the fake notification service
  dbus
  desktop-file-utils appstream man-db dpkg-dev lintian
  # scripts/test.sh: the clang build, the format check, libFuzzer and the sanitizer runtimes
  # for clang, readable sanitizer stack traces.
  clang clang-format libclang-rt-14-dev llvm
)

# One dpkg-query for all: "<package> <status>" per line, nothing for a package dpkg never saw.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
  awk '/ install ok installed$/ { print $1 }' || true)
missing=()
for p in "${packages[@]}"; do
  grep -qxF "$p" <<<"$installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if $check_only; then
  echo "Missing packages: ${missing[*]} (bash scripts/prereqs.sh installs them)"
  exit 1
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Please run as root or install sudo." >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

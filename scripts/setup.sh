#!/usr/bin/env bash
# Installs, when missing, every Debian package that building, running and testing Tessarine needs.
# Sourced by run.sh and test.sh; safe to run again.
set -euo pipefail

TESSARINE_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins qt6-translations-l10n qt6-l10n-tools
  libicu-dev libcups2-dev libfontconfig-dev
  fonts-ipafont-gothic fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
)
TESSARINE_TEST_PACKAGES=(
  cups cups-client cups-bsd cups-ipp-utils printer-driver-cups-pdf poppler-utils
  clang libclang-rt-14-dev clang-tidy clang-format cppcheck python3
  xvfb openbox lintian
)

tessarine_missing_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]:-}"
}

tessarine_install() {
  local missing
  missing=$(tessarine_missing_packages "$@")
  if [ -n "$missing" ]; then
    echo "Installing: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing
  fi
}

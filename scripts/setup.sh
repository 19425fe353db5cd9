#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine (apt-get, when root).
set -euo pipefail

# openssl makes the TLS test listener's certificates; Wine's TLS (schannel) loads GnuTLS at run time.
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64
          xvfb xauth libboost1.81-dev googletest fonts-ipafont-gothic libwine-dev locales python3
          imagemagick x11-utils clang-format curl openssl libgnutls30
          golang-1.19-src golang-golang-x-image-dev icc-profiles-free colord-data libgs-common)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its user-interface language from LC_ALL; the locales must exist.
need_locales=()
for l in ja_JP en_US; do
    locale -a 2>/dev/null | grep -qi "^${l}\.utf-\?8$" || need_locales+=("$l")
done
if ((${#need_locales[@]})) && [ "$(id -u)" -eq 0 ]; then
    for l in "${need_locales[@]}"; do
        sed -i "s/^# *${l}.UTF-8 UTF-8/${l}.UTF-8 UTF-8/" /etc/locale.gen
        grep -q "^${l}.UTF-8 UTF-8" /etc/locale.gen || echo "${l}.UTF-8 UTF-8" >> /etc/locale.gen
    done
    locale-gen >/dev/null
fi

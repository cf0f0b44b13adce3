#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

need=()
for p in wine64 wine64-tools libwine-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
         xvfb imagemagick fonts-wine cmake ninja-build googletest dpkg-dev x11-utils tcl python3-olefile \
         wixl msitools; do
  dpkg -s "$p" >/dev/null 2>&1 || need+=("$p")
done

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# The SQLite amalgamation is made from Debian's source package, so source lines are needed.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  as_root tee /etc/apt/sources.list.d/quillbox-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  updated=no
fi

# 32-bit hosts are tested too: Wine's 32-bit half runs them under WoW64 (Debian's i386 archive).
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  updated=no
fi
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)

if [ ${#need[@]} -gt 0 ] || [ "${updated:-yes}" = no ]; then
  as_root apt-get update -qq
fi
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

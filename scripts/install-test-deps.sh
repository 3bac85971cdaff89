#!/bin/sh
# Installs, from Debian's packages, whatever the build and the tests need and
# this machine lacks: the Linux toolchain, GoogleTest's sources, clang-format
# 14, clang with its sanitizer and libFuzzer runtimes, strace, the MinGW-w64
# cross compiler and a 32-bit Wine. Needs root (or sudo).
set -eu
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=""
need() { dpkg -s "$1" >/dev/null 2>&1 || missing="$missing $1"; }
for package in cmake ninja-build g++ python3 googletest clang-format-14 clang \
               libclang-rt-14-dev strace util-linux g++-mingw-w64-i686 wine wine32:i386; do
  need "$package"
done
[ -z "$missing" ] && exit 0

echo "installing:$missing"
case "$missing" in *:i386*) as_root dpkg --add-architecture i386 ;; esac
as_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
  $missing >/dev/null

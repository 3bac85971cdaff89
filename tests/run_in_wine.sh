#!/bin/sh
# Runs a Windows test program under Wine in a throwaway prefix of its own,
# then ends that prefix's server (and nothing else) and removes the prefix.
# Without wine: skipped (exit code 77), unless CI is set.
if ! command -v wine >/dev/null 2>&1 || ! command -v wineserver >/dev/null 2>&1; then
  echo "SKIPPED: wine is not installed; $1 was not run"
  [ -n "$CI" ] && exit 1
  exit 77
fi
WINEPREFIX=$(mktemp -d /tmp/theaterlist-wine-XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k; wineserver -w; rm -rf "$WINEPREFIX"' EXIT
wineboot -i >/dev/null 2>&1 </dev/null
wine "$@" </dev/null

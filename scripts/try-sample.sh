#!/bin/sh
# Builds the Linux program and runs it on a sample installation that it lays
# out in a throwaway Wine prefix: a registry value, an installation directory
# and its theater list. Shows the list and the exit code after each run.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build/sample -DCMAKE_BUILD_TYPE=Release -DTHEATERLIST_TESTS=OFF >/dev/null
cmake --build build/sample --target theaterlist >/dev/null
program=$PWD/build/sample/theaterlist

prefix=$(mktemp -d /tmp/theaterlist-sample-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
mkdir -p "$prefix/dosdevices" "$prefix/drive_c/Games/Talvenor"
ln -s ../drive_c "$prefix/dosdevices/c:"
cat > "$prefix/system.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win32

[Software\\Oskmere\\Talvenor\\4.0] 1796987123
"baseDir"="C:\\Games\\Talvenor"
REG
list=$prefix/drive_c/Games/Talvenor/theater.lst
printf 'theaters/coast.tdf\r\ntheaters/valley.tdf\r\n' > "$list"
log=$prefix/drive_c/CorvantaErrorLog.txt

show() {
  echo "theater.lst:"
  sed 's/\r$//; s/^/    /' "$list"
  if [ -e "$log" ]; then echo "error log: $(tr -d '\r' < "$log")"; fi
  echo
}

echo "sample prefix: $prefix (baseDir = C:\\Games\\Talvenor; removed at the end)"
show
for args in "-a theaters/mountain.tdf" "-r theaters/coast.tdf" "-r theaters/missing.tdf" \
            "-a theaters/valley.tdf"; do
  code=0
  # shellcheck disable=SC2086
  WINEPREFIX=$prefix "$program" $args || code=$?
  echo "\$ theaterlist $args    -> exit code $code"
  show
done
rm "$list"
code=0
WINEPREFIX=$prefix "$program" -a theaters/mountain.tdf || code=$?
echo "\$ theaterlist -a theaters/mountain.tdf  (list deleted)    -> exit code $code"
tr -d '\r' < "$log" | sed 's/^/error log: /'

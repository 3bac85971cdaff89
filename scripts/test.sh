#!/bin/sh
# Installs what the tests need, builds both programs (the Linux build and the
# 32-bit Windows program) and runs every test: the Linux suite natively, the
# Windows suite under Wine, and the Linux suite again in a build with
# AddressSanitizer and UBSan, which also runs each fuzzer for a minute.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-test-deps.sh

status=0
for preset in linux windows linux-asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" || status=1
done
exit $status

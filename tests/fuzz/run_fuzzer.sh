#!/bin/sh
# Runs a fuzzer for a bounded time from the kept corpus (which it does not
# change: new inputs go to a scratch directory) and prints what it did.
#   run_fuzzer.sh FUZZER CORPUS SECONDS
set -eu
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$1" -max_total_time="$3" -print_final_stats=1 "$scratch" "$2" 2>"$scratch.log" || {
  tail -n 40 "$scratch.log"; rm -f "$scratch.log"; exit 1; }
grep -E "stat::number_of_executed_units|Done" "$scratch.log" || true
rm -f "$scratch.log"

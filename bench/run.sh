#!/bin/sh
# Builds the cumulation benchmark in Release and runs it over all sizes.
# hledger is installed from Debian when missing and possible (for the
# comparison); without it the benchmark runs without that column.
#   bench/run.sh [benchmark options, e.g. --groesse 100x2000]
set -e
quelle=$(cd "$(dirname "$0")/.." && pwd)
bau=${KV_BENCH_BAU:-$quelle/build-bench}
if ! command -v hledger >/dev/null 2>&1; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    (apt-get install -y hledger >/dev/null 2>&1 ||
     (apt-get update >/dev/null 2>&1 && apt-get install -y hledger >/dev/null 2>&1)) ||
      echo "hledger konnte nicht installiert werden / could not be installed" >&2
  fi
fi
launcher=
command -v ccache >/dev/null 2>&1 && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake -S "$quelle" -B "$bau" -DCMAKE_BUILD_TYPE=Release -DKV_BENCH=ON $launcher >/dev/null
cmake --build "$bau" -j2 --target bench_kumulation >/dev/null
exec "$bau/bench_kumulation" "$@"

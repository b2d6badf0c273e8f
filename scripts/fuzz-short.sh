#!/bin/sh
# Short fuzz run for CI: builds the libFuzzer targets of the language.cf reader and the three
# dict.ini rewrites with clang and the address and undefined-behaviour sanitizers, then runs
# each for FUZZ_SECONDS (20 by default), starting from tests/fuzz/seeds. New inputs go to a
# corpus under the build tree; a crash leaves its input there and makes the script fail.
#
# Longer run (an hour per target, both cores), for example before a release:
#   FUZZ_SECONDS=3600 FUZZ_JOBS=2 scripts/fuzz-short.sh
# The corpus under build/fuzz/tests/fuzz/corpus grows from run to run; delete it to start afresh.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-20}
jobs=${FUZZ_JOBS:-1}

cmake -S "$root" -B "$build" -G Ninja -DSETUP_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target language_cf_fuzz remove_language_lines_fuzz \
      append_language_line_fuzz sort_language_list_fuzz

fuzz="$root/tests/fuzz"
for entry in language_cf_fuzz:language_cf remove_language_lines_fuzz:dict_ini \
             append_language_line_fuzz:dict_ini sort_language_list_fuzz:dict_ini; do
    target=${entry%%:*}
    seeds=${entry#*:}
    corpus="$build/tests/fuzz/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target: $seconds s"
    parallel=""
    [ "$jobs" -gt 1 ] && parallel="-jobs=$jobs -workers=$jobs"
    # Lines longer than the 209- and 299-character pieces need inputs of some kilobytes.
    # shellcheck disable=SC2086
    (cd "$corpus/.." && "$build/tests/fuzz/$target" -max_total_time="$seconds" -max_len=4096 $parallel \
        -print_final_stats=1 -dict="$fuzz/dict_ini.dict" "$corpus" "$fuzz/seeds/$seeds")
done

#!/usr/bin/env bash
# Runs every test: native unit tests, the same under ASan+UBSan, a short fuzz run, then the
# Windows tests and the end-to-end tests under Wine on a private Xvfb screen (1024x768x24).
# Installs what it needs first (Debian 12, as root or with sudo).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then sudo "$root/scripts/install-deps.sh"; else "$root/scripts/install-deps.sh"; fi

jobs=$(nproc)
status=0

# Each stage is announced with the seconds the previous one took, for comparing CI runs.
stage_start=$SECONDS
section() {
  printf '\n=== %s === (previous stage: %d s)\n' "$1" $((SECONDS - stage_start))
  stage_start=$SECONDS
}

section "native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs" || status=1

section "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset asan -j "$jobs" || status=1

if [ -x scripts/fuzz-short.sh ]; then
  section "short fuzz run"
  scripts/fuzz-short.sh || status=1
fi

section "cross builds (i686-w64-mingw32 and x86_64-w64-mingw32)"
# Both are built on every host; which of them can run here is decided below.
for preset in cross cross64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
for tree in cross:i686 cross64:x86_64; do
  exe=build/${tree%:*}/setup.exe
  echo "$exe ($(file -b "$exe" | cut -d, -f1)) imports:"
  "${tree#*:}-w64-mingw32-objdump" -p "$exe" | sed -n 's/^\tDLL Name: /  /p'
done

section "Windows and end-to-end tests under Wine"
SETUP_FORCE_XVFB=1
source scripts/wine-env.sh
decide_wine_arches || status=1
ran=()
declare -A runs
for arch in $SETUP_WINE_RUNS; do
  # Each architecture on a screen and in a prefix of its own, both at the same time.
  start_xvfb_if_needed
  (
    use_wine_arch "$arch"
    setup_wine_prefix || exit 125
    # The Windows tests may share the prefix; the end-to-end tests take the screen one at a time.
    ctest --preset "$(cross_preset_of "$arch")" -j "$jobs"
  ) > "build/wine-tests-$arch.log" 2>&1 &
  runs[$arch]=$!
done
for arch in $SETUP_WINE_RUNS; do
  code=0
  wait "${runs[$arch]}" || code=$?
  echo "--- $arch: $(cross_tree_of "$arch" | sed "s|^$root/||")"
  cat "build/wine-tests-$arch.log"
  if [ "$code" = 125 ]; then
    SETUP_WINE_NOT_RUN+="${SETUP_WINE_NOT_RUN:+$'\n'}$arch: its Wine prefix could not be made"
  else
    ran+=("$arch")
  fi
  [ "$code" = 0 ] || status=1
done
agreement="the two builds were not compared (both must run here)"
if [ "${#ran[@]}" -eq 2 ]; then
  section "the 32-bit and the 64-bit setup.exe install the same files"
  if tests/e2e/builds_agree.sh; then agreement="the two builds installed byte-identical files"; else status=1; agreement="the two builds DIFFER"; fi
fi
# One line that says which Windows tests ran, and why the others did not.
summary="Windows tests ran for: ${ran[*]:-nothing}"
[ -n "$SETUP_WINE_NOT_RUN" ] && summary+="; not run: $(printf '%s' "$SETUP_WINE_NOT_RUN" | paste -sd ';' | sed 's/;/; /g')"
if [ "${#ran[@]}" -eq 0 ]; then
  status=1
  summary+=" (a run without any Windows test fails)"
fi

printf '\n=== done === (previous stage: %d s, all: %d s)\n' $((SECONDS - stage_start)) "$SECONDS"
echo "$summary; $agreement"
exit $status

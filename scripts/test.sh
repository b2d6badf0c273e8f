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

section "cross build (i686-w64-mingw32)"
cmake --preset cross >/dev/null
cmake --build --preset cross -j "$jobs"
echo "setup.exe imports:"
i686-w64-mingw32-objdump -p build/cross/setup.exe | sed -n 's/^\tDLL Name: /  /p'

section "Windows and end-to-end tests under Wine"
SETUP_FORCE_XVFB=1
source scripts/wine-env.sh
start_xvfb_if_needed
setup_wine_prefix
# The Windows tests may share the prefix; the end-to-end tests take the screen one at a time.
ctest --preset cross -j "$jobs" || status=1

printf '\n=== done === (previous stage: %d s, all: %d s)\n' $((SECONDS - stage_start)) "$SECONDS"
exit $status
